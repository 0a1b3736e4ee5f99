// The player view and its bars on a live loopback stream under a real X server, read back from
// the screen: the busy animation, the engine's picture in the view, the pause icon window over
// that picture, a real X double click on the picture reaching the pause toggle, and in full
// screen the control bar floating over the picture, the cursor hiding, and the double click.
#include "PlayerTestSupport.h"
#include "PlayerViewTestSupport.h"
#include "commands/KelvoCommandIds.h"
#include "player/CKelvoControlBar.h"
#include "player/CKelvoIconWnd.h"
#include "player/CKelvoInfoBox.h"
#include "player/CKelvoOverlayManager.h"
#include "player/CKelvoSATInfoBar.h"
#include "player/CKelvoViewPlayer.h"
#include "ui/CKelvoButton.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

using namespace pvtest;

namespace {

QImage GrabScreen(const QRect& global)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen->grabWindow(0, global.x(), global.y(), global.width(), global.height()).toImage();
}

// Strongly coloured pixels on an 8-pixel grid: the test pattern has many, the skin's grey
// pictures none.
int Vivid(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); y += 8) {
        for (int x = 0; x < image.width(); x += 8) {
            const QColor c = image.pixelColor(x, y);
            count +=
                std::max({c.red(), c.green(), c.blue()}) - std::min({c.red(), c.green(), c.blue()}) > 100;
        }
    }
    return count;
}

// Share of pixels (on a 3-pixel grid) that differ by at most 24 per channel.
double Matching(const QImage& got, const QImage& want)
{
    int same = 0;
    int all = 0;
    for (int y = 1; y < want.height() && y < got.height(); y += 3) {
        for (int x = 1; x < want.width() && x < got.width(); x += 3) {
            const QRgb a = got.pixel(x, y);
            const QRgb b = want.pixel(x, y);
            ++all;
            same += std::abs(qRed(a) - qRed(b)) <= 24 && std::abs(qGreen(a) - qGreen(b)) <= 24 &&
                    std::abs(qBlue(a) - qBlue(b)) <= 24;
        }
    }
    return all == 0 ? 0.0 : static_cast<double>(same) / all;
}

void Save(const QImage& image, const char* name)
{
    image.save(QDir::current().filePath(QString::fromLatin1(name)));
}

bool Xdotool(const QStringList& args)
{
    return QProcess::execute(QStringLiteral("xdotool"), args) == 0;
}

bool MoveMouse(const QPoint& global)
{
    return Xdotool({QStringLiteral("mousemove"), QString::number(global.x()), QString::number(global.y())});
}

bool DoubleClick()
{
    return Xdotool({QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("2"),
                    QStringLiteral("--delay"), QStringLiteral("80"), QStringLiteral("1")});
}

// A frame as the main window lays it out in the channel mode: the view, the control bar and the
// SAT information bar docked below it.
class LiveView : public ::testing::Test
{
protected:
    static constexpr int kViewHeight = 400;

    LiveView()
    {
        window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        window.setGeometry(20, 20, 640, kViewHeight + CKelvoControlBar::kHeight + CKelvoSATInfoBar::kHeight);
        view = new CKelvoViewPlayer(box.db, box.messages, box.player, &window);
        view->setGeometry(0, 0, 640, kViewHeight);
        bar = new CKelvoControlBar(box.db, box.messages, &window);
        bar->setGeometry(0, kViewHeight, 640, CKelvoControlBar::kHeight);
        sat = new CKelvoSATInfoBar(box.db, &window);
        sat->setGeometry(0, kViewHeight + CKelvoControlBar::kHeight, 640, CKelvoSATInfoBar::kHeight);
        bar->SetPendingService(kErste);
        bar->SetVolume(70);
        sat->SetService(kErste);
        view->SetService(kErste);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        QObject::connect(&view->MediaPlayer(), &CMediaPlayer::defaultMsg, &window, [this](int code) {
            codes.push_back(code);
            if (code == CMediaPlayer::MsgStarted)
                bar->SetPlaybackStarted(true);
        });
    }
    ~LiveView() override { view->MediaPlayer().Stop(); }

    QRect ViewOnScreen() const { return QRect(view->mapToGlobal(QPoint(0, 0)), view->size()); }
    int Count(int code) const { return static_cast<int>(std::count(codes.begin(), codes.end(), code)); }

    bool Play(bool audioOnly)
    {
        stream = std::make_unique<CTestStream>(CTestStream::Kind::Rtp, audioOnly, kRtpPort, folder.path());
        return stream->Start() &&
               view->MediaPlayer().Open(QStringLiteral("rtp://127.0.0.1:%1").arg(kRtpPort)) &&
               view->MediaPlayer().Play();
    }

    // The engine's picture is what the screen shows in the view.
    bool WaitForPicture()
    {
        return QTest::qWaitFor([&] { return Count(CMediaPlayer::MsgStarted) == 1; }, 15000) &&
               QTest::qWaitFor([&] { return Vivid(GrabScreen(ViewOnScreen())) > 100; }, 10000);
    }

    Box box;
    QWidget window;
    CKelvoViewPlayer* view = nullptr;
    CKelvoControlBar* bar = nullptr;
    CKelvoSATInfoBar* sat = nullptr;
    QTemporaryDir folder;
    std::unique_ptr<CTestStream> stream;
    std::vector<int> codes;
};

TEST_F(LiveView, BusyThenPictureThenPauseIconAndDoubleClick)
{
    // Starting a stream: the animation turns over the idle picture.
    view->ShowBusy(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->BusyFrame() >= 2; }, 2000));
    const QRect busyOnScreen = view->BusyRect().translated(ViewOnScreen().topLeft());
    const QImage busyA = GrabScreen(busyOnScreen);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->BusyFrame() >= 5; }, 2000));
    QTest::qWait(30);
    EXPECT_NE(busyA, GrabScreen(busyOnScreen));
    Save(GrabScreen(ViewOnScreen()), "live_busy.png");

    view->ShowBusy(false);
    ASSERT_TRUE(Play(false));
    ASSERT_TRUE(WaitForPicture());
    EXPECT_TRUE(view->VideoSurface()->isVisible());
    EXPECT_TRUE(bar->InfoBox()->InfoButton()->isEnabled());
    QTest::qWait(200);
    Save(GrabScreen(window.frameGeometry()), "live_player.png");

    // Pause: the icon window flashes over the picture.
    QSignalSpy doubleClicks(view, &CKelvoViewPlayer::videoDoubleClicked);
    view->TogglePause();
    CKelvoIconWnd* icon = view->IconWindow();
    ASSERT_TRUE(icon->isVisible());
    EXPECT_EQ(icon->ImageId(), CKelvoViewPlayer::kPauseIcon);
    EXPECT_EQ(icon->geometry().center(), ViewOnScreen().center());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(icon));
    QTest::qWait(60);
    const QImage screen = GrabScreen(icon->geometry());
    Save(GrabScreen(ViewOnScreen()), "live_pause_icon.png");
    // Where the icon is nearly opaque the screen shows its own pixels, not the picture's: as
    // premultiplied without a compositing manager (Xvfb), blended over the picture with one.
    const QImage iconImage =
        QImage(CNxImages::ResourcePath(CKelvoViewPlayer::kPauseIcon)).convertToFormat(QImage::Format_ARGB32);
    int covered = 0;
    int matching = 0;
    for (int y = 2; y < iconImage.height(); y += 4) {
        for (int x = 2; x < iconImage.width(); x += 4) {
            const QRgb want = qPremultiply(iconImage.pixel(x, y));
            if (qAlpha(want) < 140)
                continue;
            ++covered;
            const QRgb got = screen.pixel(x, y);
            matching += std::abs(qRed(got) - qRed(want)) <= 40 &&
                        std::abs(qGreen(got) - qGreen(want)) <= 40 &&
                        std::abs(qBlue(got) - qBlue(want)) <= 40;
        }
    }
    ASSERT_GT(covered, 100);
    EXPECT_GE(matching * 10, covered * 9) << matching << " of " << covered;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->MediaPlayer().IsPlaying(); }, 3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !icon->isVisible(); }, 3000));

    // A real double click on the picture, through the X server: it reaches the view, not the
    // engine, and resumes playback.
    ASSERT_TRUE(MoveMouse(ViewOnScreen().center() + QPoint(60, 40)));
    QTest::qWait(100);
    ASSERT_TRUE(DoubleClick());
    ASSERT_TRUE(QTest::qWaitFor([&] { return doubleClicks.count() == 1; }, 3000));
    EXPECT_TRUE(icon->isVisible());
    EXPECT_EQ(icon->ImageId(), CKelvoViewPlayer::kPlayIcon);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view->MediaPlayer().IsPlaying(); }, 3000));

    // Single clicks far apart in time are not a double click.
    QTest::qWait(1500);
    ASSERT_TRUE(Xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    QTest::qWait(700);
    ASSERT_TRUE(Xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    QTest::qWait(300);
    EXPECT_EQ(doubleClicks.count(), 1);
    EXPECT_TRUE(view->MediaPlayer().IsPlaying());
}

TEST_F(LiveView, FullScreenBarOverThePictureCursorAndDoubleClick)
{
    // Full screen as the frame makes it: the bars hidden, the view over the whole screen.
    const QRect screenRect = QGuiApplication::primaryScreen()->geometry();
    bar->hide();
    sat->hide();
    window.setGeometry(screenRect);
    view->setGeometry(QRect(QPoint(0, 0), screenRect.size()));
    view->SetFullScreen(true);
    CKelvoOverlayManager overlays(view);
    overlays.SetOverlay(CKelvoOverlayManager::Edge::Bottom, [this](bool on) { bar->ShowOverlay(on); });
    overlays.SetPlayingQuery([this] { return view->MediaPlayer().IsPlaying(); });
    overlays.SetFullScreen(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.geometry() == screenRect; }, 2000));
    ASSERT_TRUE(MoveMouse(screenRect.center()));
    ASSERT_TRUE(Play(false));
    ASSERT_TRUE(WaitForPicture());

    // Into the bottom 16 pixels: the bar floats over the picture, as a window above it.
    ASSERT_TRUE(MoveMouse(QPoint(screenRect.center().x(), screenRect.bottom() - 8)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->IsOverlayShown(); }, 1000));
    const QRect band(0, screenRect.bottom() + 1 - 58, screenRect.width(), 58);
    EXPECT_EQ(bar->geometry(), band);
    EXPECT_EQ(bar->OverlayRect(), band);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(bar));
    QTest::qWait(150);
    const QImage shot = GrabScreen(screenRect);
    Save(shot, "live_fullscreen_bar.png");
    const QImage barImage = bar->grab().toImage();
    EXPECT_GT(Matching(shot.copy(band), barImage), 0.9);
    EXPECT_GT(Vivid(shot.copy(0, 0, screenRect.width(), screenRect.height() - 58)), 100);
    // Floating, the bar offers the channel list, as in the mini player.
    EXPECT_TRUE(bar->Control(Kelvo::ID_CHANNEL_POPUP)->isVisible());

    // Away from it, it docks again within the poll (and the frame's picture is seen there).
    QElapsedTimer left;
    ASSERT_TRUE(MoveMouse(screenRect.center()));
    left.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar->IsOverlayShown(); }, 1000));
    EXPECT_LT(left.elapsed(), 500);
    EXPECT_FALSE(bar->isVisible());
    QTest::qWait(150);
    EXPECT_FALSE(bar->isWindow());
    EXPECT_LT(Matching(GrabScreen(band), barImage), 0.5);

    // The cursor resting over the picture hides after 2 s, and a move shows it.
    ASSERT_TRUE(QTest::qWaitFor([&] { return overlays.IsCursorHidden(); }, 4000));
    EXPECT_GE(left.elapsed(), 1900);
    EXPECT_EQ(view->cursor().shape(), Qt::BlankCursor);
    ASSERT_TRUE(MoveMouse(screenRect.center() + QPoint(30, 30)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !overlays.IsCursorHidden(); }, 1000));

    // A real double click on the full-screen picture pauses.
    ASSERT_TRUE(DoubleClick());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view->MediaPlayer().IsPlaying(); }, 3000));
    EXPECT_EQ(view->IconWindow()->ImageId(), CKelvoViewPlayer::kPauseIcon);
    // Paused, the cursor stays.
    QTest::qWait(2300);
    EXPECT_FALSE(overlays.IsCursorHidden());

    overlays.SetFullScreen(false);
    EXPECT_FALSE(bar->IsOverlayShown());
}

TEST_F(LiveView, RadioStreamShowsTheRadioPicture)
{
    view->SetMediaType(CKelvoViewPlayer::kMediaRadio);
    const QImage idle = GrabScreen(ViewOnScreen());
    ASSERT_TRUE(Play(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Count(CMediaPlayer::MsgStarted) == 1; }, 15000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->MediaPlayer().IsPlaying(); }, 5000));
    QTest::qWait(200);
    const QImage radio = GrabScreen(ViewOnScreen());
    Save(radio, "live_radio.png");
    EXPECT_NE(radio, idle);
    // The picture's middle band fills the client area: its centre pixel is the picture's centre.
    const QImage source = KelvoRes().imgPlayerRadio.Frame(0).toImage();
    const QRgb want = source.pixel(source.width() / 2, source.height() / 2);
    const QRgb got = radio.pixel(view->contentsRect().center());
    EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) +
                  std::abs(qBlue(got) - qBlue(want)),
              30);
    EXPECT_FALSE(view->VideoSurface()->isVisible());
}

} // namespace
