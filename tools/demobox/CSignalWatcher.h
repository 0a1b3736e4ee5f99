#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns SIGINT and SIGTERM into a signal on the event loop, so that the box shuts down through
// its destructors (stopping ffmpeg, removing temporary files) instead of dying in a handler.
class CSignalWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CSignalWatcher)
public:
    explicit CSignalWatcher(QObject* parent = nullptr);
    ~CSignalWatcher() override;

signals:
    void terminationRequested();

private:
    static void handler(int signalNumber);
    static int s_fds[2];
    std::unique_ptr<QSocketNotifier> m_notifier;
};
