#pragma once

// A client (protocol client + database) wired to a demo box started for the test.

#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "model/CQuarnDataModel.h"
#include "model/IBusyObserver.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// Counts the busy frame's notifications, so tests can see it closed whatever happened.
class CountingBusyObserver final : public IBusyObserver
{
public:
    void BeginBusy() override { ++begun; }
    void EndBusy() override { ++ended; }
    int begun = 0;
    int ended = 0;
};

class BoxClient
{
public:
    explicit BoxClient(const std::vector<std::string>& boxArgs) : box(WithDefaults(boxArgs)), reader(wrapper), db(reader)
    {
        wrapper.address = QStringLiteral("127.0.0.1");
        wrapper.port = box.port();
        // The demo box streams to loopback only.
        wrapper.localAddressProvider = [] { return QStringList{QStringLiteral("127.0.0.1")}; };
        wrapper.SetBoxAddress(QStringLiteral("127.0.0.1"));
        db.SetBusyObserver(&busy);
    }

    // Sets a fault at run time: `command` empty for every query.
    void Fault(const std::string& mode, const std::string& command = {}, const std::string& arg = {})
    {
        std::string target = "/demobox/fault?mode=" + mode;
        if (!command.empty())
            target += "&cmd=" + command;
        if (!arg.empty())
            target += "&arg=" + arg;
        ASSERT_EQ(rawRequest(box.port(), "GET", target).status, 200) << target;
    }

    void ClearFaults() { ASSERT_EQ(rawRequest(box.port(), "GET", "/demobox/fault?clear=1").status, 200); }

    static std::vector<std::string> WithDefaults(std::vector<std::string> args)
    {
        args.insert(args.end(), {"--no-ffmpeg", "--no-upnp"});
        return args;
    }

    DemoBoxProcess box;
    CQuarnWrapper wrapper;
    CQuarnXML reader;
    CQuarnDataModel db;
    CountingBusyObserver busy;
};

// Spins the event loop for `ms` without blocking it.
inline void Pump(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
