#pragma once

// Runs the real application object against a demo box on a free loopback port, with a settings
// file, a runtime folder (single-instance lock) and a message log of its own.

#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "app/CKelvoPlayerApp.h"
#include "app/CMainFrame.h"
#include "app/testing/KelvoTestSeams.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <string>

class AppTestEnvironment
{
public:
    AppTestEnvironment()
    {
        qputenv("XDG_RUNTIME_DIR", m_dir.path().toLocal8Bit());
        KelvoTestSeams::LogMessagesTo(MessageLogPath());
    }

    QString SettingsPath() const { return m_dir.path() + QStringLiteral("/Kelvo+.conf"); }
    QString MessageLogPath() const { return m_dir.path() + QStringLiteral("/messages.log"); }
    QString Dir() const { return m_dir.path(); }

    QString Messages() const
    {
        QFile f(MessageLogPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void ClearMessages() const { QFile::remove(MessageLogPath()); }

    // Points the settings at a box (or at none: port 0).
    void WriteBoxSettings(int port) const
    {
        QFile f(SettingsPath());
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate) && port > 0)
            f.write(
                QStringLiteral("[STB]\nSTB%20IP%20Address=127.0.0.1\nSTB%20Port=%1\n").arg(port).toUtf8());
    }

private:
    QTemporaryDir m_dir;
};

// Text of the demo box's request log.
inline std::string BoxLog(int port)
{
    return rawRequest(port, "GET", "/demobox/log").body;
}

inline void ClearBoxLog(int port)
{
    rawRequest(port, "GET", "/demobox/log?clear=1");
}

inline int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// Lets queued events, deferred deletions and paints run.
inline void Settle(int ms = 50)
{
    QTest::qWait(ms);
}
