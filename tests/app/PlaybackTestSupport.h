#pragma once

// The real application, its frame and a demo box, for the playback tests: settings with a
// streaming protocol, the services stepping may visit, and the box's streaming requests as a
// short list ("start 0/0/12", "stop").

#include "AppTestSupport.h"
#include "app/CPlaybackController.h"
#include "app/settings/CKelvoAppState.h"
#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"

#include <gtest/gtest.h>
#include <sstream>
#include <vector>

class PlaybackTest : public ::testing::Test
{
protected:
    // Starts the program against the box on `port` (none: 0); `stb` lines are added to the
    // settings' STB section as they stand ("STB%20Code=1111").
    void Start(int port, int protocol = 0, const QString& stb = {})
    {
        QFile f(env.SettingsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (port > 0)
            f.write(QStringLiteral("[STB]\nSTB%20IP%20Address=127.0.0.1\nSTB%20Port=%1\n"
                                   "STB%20Streaming%20Protocol=%2\n%3")
                        .arg(port)
                        .arg(protocol)
                        .arg(stb)
                        .toUtf8());
        f.close();
        app = std::make_unique<CKelvoPlayerApp>(env.SettingsPath());
        ASSERT_TRUE(app->InitInstance());
        Settle();
    }

    void Restart()
    {
        Frame().close();
        app->ExitInstance();
        app.reset();
        app = std::make_unique<CKelvoPlayerApp>(env.SettingsPath());
        ASSERT_TRUE(app->InitInstance());
        Settle();
    }

    CMainFrame& Frame() { return *app->Frame(); }
    CKelvoAppState& State() { return app->State(); }
    CMainFrameMessages& Messages() { return Frame().Messages(); }

    // Services in the database's order.
    std::vector<const CServiceElement*> Services() const
    {
        std::vector<const CServiceElement*> all;
        for (const auto& s : app->Database().Services())
            all.push_back(s.get());
        return all;
    }

    // Position of the first streamable service of `type` at or after `from`; -1 when none.
    int FindPlayable(int type, int from = 0) const
    {
        const auto all = Services();
        for (int i = from; i < static_cast<int>(all.size()); ++i)
            if (all[static_cast<size_t>(i)]->streamingPossible && all[static_cast<size_t>(i)]->type == type)
                return i;
        return -1;
    }

    static std::string StartOf(const CServiceElement& s)
    {
        std::ostringstream out;
        out << "start " << s.satIdx << "/" << s.type << "/" << s.idx;
        return out.str();
    }

    // The box's streaming requests since the log was last cleared, oldest first.
    std::vector<std::string> Streaming(int port) const
    {
        std::vector<std::string> seen;
        std::istringstream lines(BoxLog(port));
        for (std::string line; std::getline(lines, line);) {
            if (line.find("/qnql") == std::string::npos)
                continue;
            if (line.find("start_streaming") != std::string::npos) {
                auto field = [&line](const std::string& name) {
                    const size_t at = line.find("&" + name + "=");
                    return at == std::string::npos
                               ? std::string("?")
                               : line.substr(at + name.size() + 2,
                                             line.find('&', at + 1) - at - name.size() - 2);
                };
                seen.push_back("start " + field("sat_idx") + "/" + field("svc_type") + "/" +
                               field("svc_idx"));
            } else if (line.find("stop_streaming") != std::string::npos) {
                seen.push_back("stop");
            }
        }
        return seen;
    }

    AppTestEnvironment env;
    std::unique_ptr<CKelvoPlayerApp> app;
};

// Formats a list for a failure message.
inline std::string Joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return "[" + out + "]";
}
