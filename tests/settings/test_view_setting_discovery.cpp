// The settings form with real discovery, inside a private network namespace (tools/netns-run)
// on the offscreen platform: the demo box announces itself by UPnP on "lo" and the form
// searches loopback only.

#include "DemoBoxProcess.h"
#include "SettingsTestSupport.h"
#include "TestUpnpHost.h"
#include "UiTestHelpers.h"
#include "commands/CMainFrameMessages.h"
#include "ui/CKelvoRes.h"
#include "views/settings/CKelvoIPAddressCtrl.h"
#include "views/settings/CKelvoScanIPListBox.h"
#include "views/settings/CKelvoViewSetting.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QPainter>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {
using V = CKelvoViewSetting;
// The search's own deadline plus slack for a loaded machine and sanitizers.
const int kSearchLimitMs = 12000;

bool Pump(int limitMs, const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

// Serves one description document from another loopback address, so that a second box stands
// at an address of its own.
class DescriptionServer final
{
public:
    DescriptionServer(const QString& address, const QByteArray& body)
    {
        m_ok = m_server.listen(QHostAddress(address), 0);
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this, body] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, body] {
                    if (!socket->readAll().contains("\r\n\r\n") && socket->bytesAvailable() == 0)
                        return;
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n"
                                  "Content-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    bool Ok() const { return m_ok; }
    quint16 Port() const { return m_server.serverPort(); }

private:
    QTcpServer m_server;
    bool m_ok = false;
};

class SettingsDiscovery : public testing::Test
{
protected:
    void SetUp() override
    {
        CKelvoRes::Instance().Load();
        view = std::make_unique<CKelvoViewSetting>(messages);
        view->SetDiscoveryScope(DiscoveryScope::Loopback);
        stored.port = 8081;
        stored.settings.streamingProtocol = CBoxSettings::HLS;
        stored.settings.pinCode = QStringLiteral("4321");
        stored.settings.userName = QStringLiteral("viewer");
        stored.settings.password = QStringLiteral("pw");
        stored.settings.stodAddress = QStringLiteral("10.1.2.3");
        view->LoadFromSettings(stored);
        view->resize(1000, 560);
        view->show();
    }

    CKelvoScanIPListBox* List() const
    {
        return qobject_cast<CKelvoScanIPListBox*>(view->Control(V::IDC_NEARBY_LIST));
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int i = 0; i < List()->GetCount(); ++i)
            rows << List()->GetText(i);
        return rows;
    }
    CMainFrameMessages messages;
    // No box chosen yet; the rest is what picking a box must leave alone.
    CBoxConnection stored;
    std::unique_ptr<CKelvoViewSetting> view;
};

// Starts a search and waits until `found` holds and then for the search's completion, which
// shows as the list's seen addresses emptying again.
bool RunSearch(CKelvoViewSetting& view, const std::function<bool()>& found)
{
    view.SetActive(true);
    if (!view.IsSearching())
        return false;
    const bool sawBoxes = Pump(kSearchLimitMs, found);
    const bool completed = Pump(kSearchLimitMs, [&] { return view.NearbyBoxes().SeenAddresses().isEmpty(); });
    return sawBoxes && completed;
}

TEST_F(SettingsDiscovery, TheDemoBoxIsFoundListedAndPicked)
{
    DemoBoxProcess box({"--no-ffmpeg"});
    ASSERT_TRUE(box.ok()) << box.error();

    ASSERT_TRUE(RunSearch(*view, [&] { return List()->GetCount() == 2; }))
        << Rows().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Rows(), QStringList({QStringLiteral("NORVA+ Media Server (127.0.0.1)"),
                                   QStringLiteral("Scanning...")}));
    EXPECT_TRUE(view->Control(V::IDC_CONNECTED)->isHidden());

    // Picking the row chooses the box; what Save stores differs from the stored connection in
    // the address alone.
    uitest::Click(List(), List()->GetItemRect(0).center());
    CBoxConnection picked = stored;
    picked.address = QStringLiteral("127.0.0.1");
    EXPECT_EQ(view->SaveToSettings(), picked);
    EXPECT_FALSE(view->Control(V::IDC_CONNECTED)->isHidden());

    // Leaving stops the search and drops the unsaved pick; coming back searches afresh and the
    // box is still there.
    view->SetActive(false);
    EXPECT_FALSE(view->IsSearching());
    EXPECT_EQ(view->SaveToSettings(), stored);
    ASSERT_TRUE(RunSearch(*view, [&] { return !view->NearbyBoxes().SeenAddresses().isEmpty(); }));
    EXPECT_EQ(Rows().size(), 2);
    view->SetActive(false);
}

TEST_F(SettingsDiscovery, TwoDemoBoxesAtOneAddressAndABoxAtAnotherGiveOneRowPerAddress)
{
    DemoBoxProcess first({"--no-ffmpeg"});
    DemoBoxProcess second({"--no-ffmpeg", "--friendly-name", "norva+ media server"});
    ASSERT_TRUE(first.ok()) << first.error();
    ASSERT_TRUE(second.ok()) << second.error();
    // A box of its own at 127.0.0.2: its description is served from there.
    DescriptionServer other(
        QStringLiteral("127.0.0.2"),
        TestUpnpHost::Description(QStringLiteral("NORVA+ Media Server"), QStringLiteral("kelvo-other-box")));
    ASSERT_TRUE(other.Ok());
    TestUpnpHost announcer;
    ASSERT_TRUE(announcer.Ok());
    announcer.Announce(QStringLiteral("kelvo-other-box"),
                       QStringLiteral("http://127.0.0.2:%1/description.xml").arg(other.Port()));

    ASSERT_TRUE(RunSearch(*view, [&] { return List()->GetCount() == 3; }))
        << Rows().join(QLatin1Char('|')).toStdString();
    const QStringList rows = Rows();
    ASSERT_EQ(rows.size(), 3) << rows.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(rows.count(QStringLiteral("NORVA+ Media Server (127.0.0.1)")) +
                  rows.count(QStringLiteral("norva+ media server (127.0.0.1)")),
              1);
    EXPECT_EQ(rows.count(QStringLiteral("NORVA+ Media Server (127.0.0.2)")), 1);
    EXPECT_EQ(rows.last(), QStringLiteral("Scanning..."));

    // Typing the second box's address selects its row.
    auto* address = qobject_cast<CKelvoIPAddressCtrl*>(view->Control(V::IDC_ADDRESS));
    address->SetAddress(0x7F000002u);
    EXPECT_EQ(List()->GetText(List()->GetCurSel()), QStringLiteral("NORVA+ Media Server (127.0.0.2)"));
    EXPECT_FALSE(view->Control(V::IDC_CONNECTED)->isHidden());

    // The form as the user sees it, with its caption bar above it.
    const char* shot = std::getenv("KELVO_SETTINGS_SCREENSHOT");
    if (shot && *shot) {
        QWidget window;
        window.setWindowTitle(QStringLiteral("Kelvo+"));
        QWidget* bar = new QWidget(&window);
        bar->setAutoFillBackground(true);
        QPalette palette = bar->palette();
        palette.setColor(QPalette::Window, QColor(24, 24, 24));
        bar->setPalette(palette);
        QWidget* caption = view->CaptionContent();
        caption->setParent(bar);
        view->setParent(&window);
        window.resize(1000, 600);
        bar->setGeometry(0, 0, 1000, V::kCaptionHeight);
        caption->setGeometry(0, 0, 1000, V::kCaptionHeight);
        view->setGeometry(0, V::kCaptionHeight, 1000, 600 - V::kCaptionHeight);
        view->show();
        window.show();
        Pump(300, [] { return false; });
        EXPECT_TRUE(window.grab().save(QString::fromLocal8Bit(shot)));
        view->setParent(nullptr);
        caption->setParent(view.get());
    }
    view->SetActive(false);
}
} // namespace
