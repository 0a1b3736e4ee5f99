#pragma once

#include <QByteArray>
#include <optional>

// One HTTP exchange with the box. libcurl performs it on a worker thread while the calling
// (user-interface) thread waits in a nested event loop, so windows keep repainting and timers keep
// firing, and nothing spins: the waiting thread sleeps until the worker posts its completion or the
// time limit passes. An exchange that outlives its limit is abandoned: the worker aborts it at its
// next progress tick and its late outcome is dropped.
class CHttpExchange final
{
public:
    enum Result : int
    {
        Completed = 0,
        Failed = -2,
        TimedOut = -3,
    };

    struct Reply
    {
        int result = Failed;
        int httpStatus = 0;
        std::optional<QByteArray> body; // none when the exchange brought no body
    };

    // Replies above this are refused (the connection is dropped) rather than buffered.
    static constexpr qsizetype kMaxBodyBytes = 64 * 1024 * 1024;

    // Sends `target` (an http URL whose request target is already in wire form) with method PUT,
    // no body and no request headers beyond Host. Must be called on a thread with an event loop
    // (a QCoreApplication must exist).
    static Reply Put(const QByteArray& url, int timeLimitMs);

    // Waits for every abandoned exchange to wind down; called at exit.
    static void DrainAbandoned();

    CHttpExchange() = delete;
};
