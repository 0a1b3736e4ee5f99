// The player view without a stream, offscreen: busy animation, background geometry, the guide
// button on the caption strip, the pause toggle when there is nothing to toggle, and which edge
// bar the overlay manager floats in.
#include "PlayerViewTestSupport.h"
#include "player/CKelvoIconWnd.h"
#include "player/CKelvoOverlayManager.h"
#include "player/CKelvoViewPlayer.h"
#include "player/CVideoSurface.h"
#include "ui/CNxButton.h"

#include <QTest>

using namespace pvtest;

namespace {

class ViewTest : public ::testing::Test
{
protected:
    ViewTest()
    {
        view.resize(640, 400);
        view.show();
    }

    Box box;
    CKelvoViewPlayer view{box.db, box.messages, box.player};
};

struct BusyCase
{
    int height;
    int top;
};

class BusyPlacement : public ::testing::TestWithParam<BusyCase>
{
};

// Just below the centre in a low view, no more than three frame heights above the bottom in a
// tall one.
TEST_P(BusyPlacement, SitsBelowTheCentre)
{
    const QRect r = CKelvoViewPlayer::BusyRectFor(QSize(300, GetParam().height));
    EXPECT_EQ(r, QRect(127, GetParam().top, 46, 46));
}

INSTANTIATE_TEST_SUITE_P(Heights, BusyPlacement,
                         ::testing::Values(BusyCase{200, 123}, BusyCase{600, 462}, BusyCase{46, 46},
                                           BusyCase{300, 173}));

TEST(ViewGeometry, BusyTextBelowTheAnimation)
{
    const QRect busy = CKelvoViewPlayer::BusyRectFor(QSize(300, 600));
    // Room below: one text height under the animation; at the bottom: two text heights up.
    EXPECT_EQ(CKelvoViewPlayer::TextRectFor(QSize(300, 600), busy, QSize(60, 14)), QRect(120, 522, 76, 18));
    const QRect low = CKelvoViewPlayer::BusyRectFor(QSize(300, 200));
    EXPECT_EQ(CKelvoViewPlayer::TextRectFor(QSize(300, 200), low, QSize(60, 14)), QRect(120, 172, 76, 18));
    EXPECT_TRUE(CKelvoViewPlayer::TextRectFor(QSize(300, 200), low, QSize()).isNull());
}

TEST(ViewGeometry, RadioPictureFillsWithoutDistortion)
{
    const QSize image(1920, 1080);
    // Twice as wide as high: the middle band over the full width.
    EXPECT_EQ(CKelvoViewPlayer::FillSource(image, QSize(800, 400)), QRect(0, 60, 1920, 960));
    // Square: the middle square over the full height.
    EXPECT_EQ(CKelvoViewPlayer::FillSource(image, QSize(300, 300)), QRect(420, 0, 1080, 1080));
    EXPECT_EQ(CKelvoViewPlayer::FillSource(image, QSize(1920, 1080)), QRect(0, 0, 1920, 1080));
    EXPECT_TRUE(CKelvoViewPlayer::FillSource(image, QSize(0, 10)).isNull());
}

TEST_F(ViewTest, BusyAnimationStepsEvery100MsAndStops)
{
    EXPECT_EQ(
        view.BusyRect(),
        CKelvoViewPlayer::BusyRectFor(view.contentsRect().size()).translated(view.contentsRect().topLeft()));
    view.ShowBusy(true);
    EXPECT_TRUE(view.IsBusy());
    EXPECT_EQ(view.BusyFrame(), 0);
    const QImage first = view.grab(view.BusyRect()).toImage();
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.BusyFrame() >= 3; }, 2000));
    const QImage later = view.grab(view.BusyRect()).toImage();
    EXPECT_NE(first, later);
    // The strip wraps after its twelfth frame.
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.BusyFrame() == 0; }, 3000));

    view.ShowBusy(false);
    EXPECT_FALSE(view.IsBusy());
    const QImage idle = view.grab(view.BusyRect()).toImage();
    QTest::qWait(250);
    EXPECT_EQ(view.BusyFrame(), 0);
    EXPECT_EQ(view.grab(view.BusyRect()).toImage(), idle);

    // A picture already up gives way to the animation while the next channel starts: nothing can
    // be drawn over the engine's native window.
    emit view.MediaPlayer().videoOutputChanged(true);
    EXPECT_TRUE(view.VideoSurface()->isVisibleTo(&view));
    view.ShowBusy(true);
    EXPECT_FALSE(view.VideoSurface()->isVisibleTo(&view));
    view.ShowBusy(false);
    EXPECT_TRUE(view.VideoSurface()->isVisibleTo(&view));
    // The engine keeps its output past a stop without saying so: the view goes back to its own
    // picture rather than the stream's last one.
    emit view.MediaPlayer().stopped();
    EXPECT_FALSE(view.VideoSurface()->isVisibleTo(&view));
}

TEST_F(ViewTest, BordersLeaveTheSidesAndGoInFullScreen)
{
    EXPECT_EQ(view.contentsRect(), QRect(5, 0, 630, 400));
    EXPECT_EQ(view.VideoSurface()->geometry(), view.contentsRect());
    view.SetFullScreen(true);
    EXPECT_EQ(view.contentsRect(), view.rect());
    EXPECT_EQ(view.VideoSurface()->geometry(), view.rect());
    view.SetFullScreen(false);
    EXPECT_EQ(view.contentsRect(), QRect(5, 0, 630, 400));
}

TEST_F(ViewTest, IdlePictureWithoutAStream)
{
    // Nothing plays: the video window stays out of the way and the idle picture is painted.
    EXPECT_FALSE(view.VideoSurface()->isVisible());
    const QImage image = view.grab().toImage();
    const QColor centre = image.pixelColor(view.width() / 2, view.height() / 2);
    const QImage idle = KelvoRes().imgPlayerIdle.Frame(0).toImage();
    EXPECT_EQ(centre.rgb(), idle.pixelColor(960, 540).rgb());
    view.SetMediaType(CKelvoViewPlayer::kMediaRadio);
    // Radio picture only while a radio stream plays.
    EXPECT_EQ(view.grab().toImage(), image);
}

struct GuideCase
{
    const char* name;
    int key;
    bool shown;
};

class GuideButton : public ::testing::TestWithParam<GuideCase>
{
};

TEST_P(GuideButton, ShownExactlyWhenThereIsAPresentEvent)
{
    Box box;
    CKelvoViewPlayer view(box.db, box.messages, box.player);
    view.SetService(GetParam().key);
    EXPECT_EQ(view.IsGuideAvailable(), GetParam().shown);
    EXPECT_EQ(view.GuideButton()->isVisibleTo(view.CaptionContent()), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Services, GuideButton,
                         ::testing::Values(GuideCase{"event", kErste, true},
                                           GuideCase{"noEvent", kNoGuide, false},
                                           GuideCase{"unknown", 4242, false}, GuideCase{"none", -1, false}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ViewTest, GuideButtonAsksForTheShownServicesGuide)
{
    QWidget* caption = view.CaptionContent();
    ASSERT_NE(caption, nullptr);
    // The frame puts the strip on its view caption bar.
    QWidget bar;
    caption->setParent(&bar);
    bar.resize(500, 38);
    caption->setGeometry(0, 0, 500, 38);
    caption->show();
    bar.show();
    view.SetService(kErste);
    CNxButton* guide = view.GuideButton();
    EXPECT_EQ(guide->geometry().right(), 500 - 1 - 4);
    EXPECT_EQ(guide->y(), 1);

    QSignalSpy spy(&box.messages, &CMainFrameMessages::showGuide);
    QTest::mouseClick(guide, Qt::LeftButton);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), kErste);

    // The service went with a reload: the button does nothing, and goes once the view is told.
    view.BeginUpdate();
    QTest::mouseClick(guide, Qt::LeftButton);
    box.db.Clear();
    view.RefreshContent();
    view.EndUpdate();
    EXPECT_FALSE(guide->isVisibleTo(caption));
    guide->click();
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(ViewTest, TogglePauseWithNothingOpenedDoesNothing)
{
    QSignalSpy spy(&view, &CKelvoViewPlayer::videoDoubleClicked);
    view.TogglePause();
    EXPECT_FALSE(view.IconWindow()->isVisible());
    EXPECT_FALSE(view.MediaPlayer().IsPlaying());
    // A double click on the picture goes the same way.
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, view.rect().center());
    EXPECT_EQ(spy.count(), 1);
    EXPECT_FALSE(view.IconWindow()->isVisible());
}

TEST(IconWindow, FadesOutAndRestartsOnAnotherToggle)
{
    CKelvoRes::Instance().Load();
    CKelvoIconWnd icon;
    const QRect over(100, 100, 400, 300);
    ASSERT_TRUE(icon.ShowImage(over, CKelvoViewPlayer::kPauseIcon));
    EXPECT_TRUE(icon.isVisible());
    EXPECT_EQ(icon.geometry(), QRect(252, 202, 96, 96));
    EXPECT_TRUE(icon.testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(icon.isWindow());
    QTest::qWait(300);
    EXPECT_LT(icon.Alpha(), 255 - 6 * 5);
    // A second toggle within the fade starts again at full opacity with the new icon.
    ASSERT_TRUE(icon.ShowImage(over.translated(10, 0), CKelvoViewPlayer::kPlayIcon));
    EXPECT_EQ(icon.Alpha(), 255);
    EXPECT_EQ(icon.ImageId(), CKelvoViewPlayer::kPlayIcon);
    EXPECT_EQ(icon.x(), 262);
    // 43 steps of 25 ms, then hidden.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !icon.isVisible(); }, 3000));
    EXPECT_FALSE(icon.IsFading());
    EXPECT_FALSE(icon.ShowImage(over, 99999));
}

} // namespace

namespace {

// Which bar the manager floats in for a cursor at a height of a 300-pixel host, in full screen.
struct EdgeCase
{
    int y;
    bool fullScreen;
    int bottom; // calls with true
    int top;
};

class OverlayEdges : public ::testing::TestWithParam<EdgeCase>
{
};

TEST_P(OverlayEdges, FloatTheBarOfTheNearEdge)
{
    const EdgeCase& c = GetParam();
    QWidget host;
    host.setGeometry(50, 60, 400, 300);
    host.show();
    CKelvoOverlayManager overlays(&host);
    int bottom = 0;
    int top = 0;
    int docked = 0;
    overlays.SetOverlay(CKelvoOverlayManager::Edge::Bottom, [&](bool on) { on ? ++bottom : ++docked; });
    overlays.SetOverlay(CKelvoOverlayManager::Edge::Top, [&](bool on) { on ? ++top : ++docked; });
    overlays.SetFullScreen(c.fullScreen);
    overlays.OnCursor(host.mapToGlobal(QPoint(200, c.y)));
    EXPECT_EQ(bottom, c.bottom);
    EXPECT_EQ(top, c.top);
    // Any move over the host starts the count towards hiding the cursor; nothing plays here.
    EXPECT_TRUE(overlays.IsCursorTimerActive());
    EXPECT_FALSE(overlays.IsCursorHidden());
    // Leaving full screen docks both bars.
    docked = 0;
    overlays.SetFullScreen(false);
    EXPECT_EQ(docked, 2);
}

INSTANTIATE_TEST_SUITE_P(Heights, OverlayEdges,
                         ::testing::Values(EdgeCase{299, true, 1, 0}, EdgeCase{284, true, 1, 0},
                                           EdgeCase{283, true, 0, 0}, EdgeCase{150, true, 0, 0},
                                           EdgeCase{16, true, 0, 1}, EdgeCase{0, true, 0, 1},
                                           EdgeCase{17, true, 0, 0}, EdgeCase{299, false, 0, 0},
                                           EdgeCase{0, false, 0, 0}));

} // namespace
