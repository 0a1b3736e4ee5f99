// The control bar, the information box and the SAT information bar, offscreen: which message
// each control runs or sends, the layout rules, and what the boxes show of a service.
#include "PlayerViewTestSupport.h"
#include "commands/KelvoCommandIds.h"
#include "player/CKelvoControlBar.h"
#include "player/CKelvoInfoBox.h"
#include "player/CKelvoSATInfoBar.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoCommandBinder.h"
#include "ui/CKelvoSliderCtrl.h"

#include <QAction>
#include <QHash>
#include <QTest>
#include <functional>
#include <map>

using namespace pvtest;

namespace {

class ControlBarTest : public ::testing::Test
{
protected:
    ControlBarTest()
    {
        host.resize(800, 200);
        bar = new CKelvoControlBar(box.db, box.messages, &host);
        bar->setGeometry(0, 0, 800, CKelvoControlBar::kHeight);
        host.show();
    }

    // A press held long enough for the button's first (immediate) repeat, then released.
    void ClickHeld(int commandId, int holdMs = 50)
    {
        QWidget* w = bar->Control(commandId);
        ASSERT_NE(w, nullptr);
        const QPoint centre = w->rect().center();
        uitest::Press(w, centre);
        QTest::qWait(holdMs);
        uitest::Release(w, centre);
    }

    Box box;
    QWidget host;
    CKelvoControlBar* bar = nullptr;
};

// The bar's buttons carry command ids and are bound to the frame's actions; here each id gets an
// action of its own so that what a click runs can be counted.
class ControlBarButtons : public ControlBarTest, public ::testing::WithParamInterface<int>
{
public:
    static constexpr int kIds[] = {Kelvo::ID_NEXT_SERVICE,  Kelvo::ID_PREV_SERVICE, Kelvo::ID_MUTE,
                                   Kelvo::ID_CHANNEL_POPUP, Kelvo::ID_MINI_PLAYER,  Kelvo::ID_NORMAL_PLAYER};

protected:
    ControlBarButtons()
    {
        for (int id : kIds) {
            auto* action = new QAction(&host);
            action->setCheckable(id == Kelvo::ID_MUTE);
            actions[id] = action;
        }
        CKelvoCommandBinder::Bind(&host, [this](int id) { return actions.value(id, nullptr); });
    }

    QHash<int, QAction*> actions;
};

TEST_P(ControlBarButtons, RunTheirCommandOnceAndNothingElse)
{
    const int id = GetParam();
    bar->SetDisplayMode(id == Kelvo::ID_NORMAL_PLAYER ? 1 : 0);
    std::map<int, int> runs;
    for (int other : kIds)
        QObject::connect(actions[other], &QAction::triggered, &host, [&runs, other] { ++runs[other]; });
    QSignalSpy volume(&box.messages, &CMainFrameMessages::setVolume);
    ClickHeld(id);
    EXPECT_EQ(runs, (std::map<int, int>{{id, 1}}));
    EXPECT_EQ(volume.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Ids, ControlBarButtons, ::testing::ValuesIn(ControlBarButtons::kIds));

TEST_F(ControlBarButtons, HoldingNextStepsRepeatedly)
{
    QSignalSpy spy(actions[Kelvo::ID_NEXT_SERVICE], &QAction::triggered);
    // At once, then every 500 ms: 0, 500 and 1000 ms fall inside a 1200 ms hold.
    ClickHeld(Kelvo::ID_NEXT_SERVICE, 1200);
    EXPECT_EQ(spy.count(), 3);
    QTest::qWait(600);
    EXPECT_EQ(spy.count(), 3); // nothing after the release
}

TEST_F(ControlBarTest, DisplayModeSwapsTheMiniAndNormalButtons)
{
    QWidget* mini = bar->Control(Kelvo::ID_MINI_PLAYER);
    QWidget* normal = bar->Control(Kelvo::ID_NORMAL_PLAYER);
    EXPECT_TRUE(mini->isVisibleTo(bar));
    EXPECT_FALSE(normal->isVisibleTo(bar));
    bar->SetDisplayMode(1);
    EXPECT_FALSE(mini->isVisibleTo(bar));
    EXPECT_TRUE(normal->isVisibleTo(bar));
    bar->SetDisplayMode(0);
    EXPECT_TRUE(mini->isVisibleTo(bar));
}

TEST_F(ControlBarTest, MuteChecksTheButtonAndDisablesTheSlider)
{
    bar->SetMute(true);
    EXPECT_TRUE(static_cast<CKelvoButton*>(bar->Control(Kelvo::ID_MUTE))->IsChecked());
    EXPECT_FALSE(bar->VolumeSlider()->isEnabled());
    bar->SetMute(false);
    EXPECT_FALSE(static_cast<CKelvoButton*>(bar->Control(Kelvo::ID_MUTE))->IsChecked());
    EXPECT_TRUE(bar->VolumeSlider()->isEnabled());
}

TEST_F(ControlBarTest, SliderSendsTheVolumeTheUserChoseOnly)
{
    QSignalSpy spy(&box.messages, &CMainFrameMessages::setVolume);
    CKelvoSliderCtrl* slider = bar->VolumeSlider();
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 100);
    bar->SetVolume(40);
    EXPECT_EQ(slider->value(), 40);
    EXPECT_EQ(spy.count(), 0);

    // A press on the channel jumps there and reports it; the volume follows every move.
    const QRect band = slider->Band();
    const QPoint at(slider->ChannelRight() - 1, band.center().y());
    uitest::Press(slider, at);
    uitest::Move(slider, QPoint(slider->ChannelLeft(), at.y()), true);
    uitest::Release(slider, QPoint(slider->ChannelLeft(), at.y()));
    ASSERT_GE(spy.count(), 2);
    EXPECT_GT(spy.at(0).at(0).toInt(), 90);
    EXPECT_EQ(spy.last().at(0).toInt(), 0);
    EXPECT_EQ(slider->value(), 0);
}

TEST_F(ControlBarTest, InfoButtonWaitsForPlayback)
{
    QSignalSpy spy(&box.messages, &CMainFrameMessages::showChannelInfo);
    CKelvoButton* info = bar->InfoBox()->InfoButton();
    bar->SetPendingService(kErste);
    EXPECT_FALSE(info->isEnabled());
    uitest::Click(info, info->rect().center());
    EXPECT_EQ(spy.count(), 0);

    bar->SetPlaybackStarted(true);
    EXPECT_TRUE(info->isEnabled());
    uitest::Click(info, info->rect().center());
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), kErste);

    // Stepping to another service disables it again until that one plays.
    bar->SetPendingService(kRai);
    EXPECT_FALSE(info->isEnabled());
}

TEST_F(ControlBarTest, FloatsOverTheBottomOfItsParentAndDocksBack)
{
    struct WheelCounter : QObject
    {
        int count = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            count += e->type() == QEvent::Wheel ? 1 : 0;
            return false;
        }
    } counter;
    host.installEventFilter(&counter);
    QWidget sibling(&host);
    bar->stackUnder(&sibling);
    QSignalSpy shown(bar, &CKelvoControlBar::overlayShown);

    bar->ShowOverlay(true);
    ASSERT_TRUE(bar->IsOverlayShown());
    EXPECT_TRUE(bar->isWindow());
    EXPECT_TRUE(bar->isVisible());
    const QRect band(host.mapToGlobal(QPoint(0, 200 - 58)), QSize(800, 58));
    EXPECT_EQ(bar->OverlayRect(), band);
    EXPECT_EQ(bar->geometry(), band);
    // Floating, the channel list is offered as in the mini player.
    EXPECT_TRUE(bar->Control(Kelvo::ID_CHANNEL_POPUP)->isVisibleTo(bar));
    // A window of its own, its wheel turns would go nowhere: they reach the frame.
    QWheelEvent e(QPointF(10, 10), QPointF(bar->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, 120),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &e);
    EXPECT_EQ(counter.count, 1);
    bar->ShowOverlay(true);
    EXPECT_EQ(shown.count(), 1);

    // Docking waits for the event loop (it may be asked for from a click on the bar itself); a
    // show from the frame's layout meanwhile waits with it instead of showing a stray window.
    bar->ShowOverlay(false);
    EXPECT_FALSE(bar->IsOverlayShown());
    EXPECT_FALSE(bar->isVisible());
    bar->show();
    EXPECT_FALSE(bar->isVisible());
    bar->hide();
    ASSERT_TRUE(bar->IsDockPending());
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->IsDockPending());
    EXPECT_FALSE(bar->isWindow());
    EXPECT_EQ(bar->parentWidget(), &host);
    EXPECT_FALSE(bar->isVisibleTo(&host));
    EXPECT_FALSE(bar->Control(Kelvo::ID_CHANNEL_POPUP)->isVisibleTo(bar));
    // Back in its place in the stacking order, just under the sibling it was under.
    const QObjectList& order = host.children();
    EXPECT_EQ(order.indexOf(bar) + 1, order.indexOf(&sibling));
    ASSERT_EQ(shown.count(), 2);
    EXPECT_FALSE(shown.at(1).at(0).toBool());

    // Shown by the layout before docking: a visible child once docked.
    bar->ShowOverlay(true);
    bar->ShowOverlay(false);
    bar->show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(bar->isWindow());
    EXPECT_TRUE(bar->isVisible());
}

// Layout of the bar by width and mode: where slider, mute, channel list and info box go.
struct LayoutCase
{
    int width;
    bool channelList; // mini player or floating in full screen
    int infoWidth;    // 0: hidden
    int sliderX;
    int muteX;
    int channelListX; // -1: hidden
};

class ControlBarLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(ControlBarLayout, PlacesControls)
{
    const LayoutCase& c = GetParam();
    const CKelvoControlBar::Layout l = CKelvoControlBar::ComputeLayout(c.width, c.channelList);
    EXPECT_EQ(l.infoBox.isNull() ? 0 : l.infoBox.width(), c.infoWidth);
    if (!l.infoBox.isNull()) {
        EXPECT_EQ(l.infoBox.topLeft(), QPoint(120, 7));
        EXPECT_EQ(l.infoBox.height(), 45);
    }
    EXPECT_EQ(l.volume.topLeft(), QPoint(c.sliderX, 18));
    EXPECT_EQ(l.mute.topLeft(), QPoint(c.muteX, 18));
    EXPECT_EQ(l.channelList.isNull() ? -1 : l.channelList.x(), c.channelListX);
    EXPECT_EQ(l.mini.topLeft(), QPoint(c.width - 48, 12));
}

INSTANTIATE_TEST_SUITE_P(
    Widths, ControlBarLayout,
    ::testing::Values(LayoutCase{528, false, 0, 369, 354, -1}, LayoutCase{529, false, 220, 370, 355, -1},
                      LayoutCase{800, false, 491, 641, 626, -1}, LayoutCase{800, true, 451, 601, 586, 712},
                      LayoutCase{568, true, 0, 369, 354, 480}, LayoutCase{569, true, 220, 370, 355, 481}));

TEST_F(ControlBarTest, ModeAndWidthMoveTheRealControls)
{
    bar->resize(528, CKelvoControlBar::kHeight);
    EXPECT_FALSE(bar->InfoBox()->isVisibleTo(bar));
    EXPECT_FALSE(bar->Control(Kelvo::ID_CHANNEL_POPUP)->isVisibleTo(bar));
    bar->resize(529, CKelvoControlBar::kHeight);
    EXPECT_TRUE(bar->InfoBox()->isVisibleTo(bar));
    EXPECT_EQ(bar->InfoBox()->geometry(), QRect(120, 7, 220, 45));
    const int normalSlider = bar->VolumeSlider()->x();

    bar->SetDisplayMode(1);
    EXPECT_TRUE(bar->Control(Kelvo::ID_CHANNEL_POPUP)->isVisibleTo(bar));
    EXPECT_EQ(bar->Control(Kelvo::ID_CHANNEL_POPUP)->pos(), QPoint(529 - 88, 12));
    EXPECT_EQ(bar->VolumeSlider()->x(), normalSlider - 40);
    EXPECT_EQ(bar->Control(Kelvo::ID_NORMAL_PLAYER)->pos(), QPoint(529 - 48, 12));
    EXPECT_TRUE(bar->Control(Kelvo::ID_NORMAL_PLAYER)->isVisibleTo(bar));
    EXPECT_FALSE(bar->Control(Kelvo::ID_MINI_PLAYER)->isVisibleTo(bar));
    EXPECT_EQ(bar->sizeHint().height(), 58);
}

// ---- information box ----

TEST(InfoBox, ShowsServiceAndPresentEvent)
{
    Box box;
    CKelvoInfoBox info(box.db, box.messages);
    info.resize(400, 45);
    EXPECT_FALSE(info.Shown().found);
    info.SetService(kErste);
    const CKelvoInfoBox::Content& c = info.Shown();
    ASSERT_TRUE(c.found);
    EXPECT_EQ(c.lcn, 10);
    EXPECT_EQ(c.name, "Das Erste");
    EXPECT_TRUE(c.scrambled);
    EXPECT_TRUE(c.blocked);
    EXPECT_TRUE(c.hasEvent);
    EXPECT_EQ(c.eventName, "Tagesthemen");
    EXPECT_EQ(CKelvoInfoBox::TimeText(c.start, c.end), "21:00 ~ 21:45");
    EXPECT_EQ(CKelvoInfoBox::DurationText(c.start, c.end), "45 Min");

    info.SetService(kNoGuide);
    EXPECT_TRUE(info.Shown().found);
    EXPECT_FALSE(info.Shown().hasEvent);
    info.SetService(12345);
    EXPECT_FALSE(info.Shown().found);
    // Every state paints without touching the database.
    EXPECT_FALSE(info.grab().isNull());
}

TEST(InfoBox, KeepsWhatItShowsWhileTheDatabaseIsReplaced)
{
    Box box;
    CKelvoInfoBox info(box.db, box.messages);
    info.resize(400, 45);
    info.SetService(kErste);
    info.BeginUpdate();
    box.db.Clear();
    info.SetService(kErste);
    EXPECT_EQ(info.Shown().name, "Das Erste");
    EXPECT_FALSE(info.grab().isNull());
    info.EndUpdate();
    EXPECT_FALSE(info.Shown().found);
}

TEST(InfoBox, LayoutFollowsWidthAndScrambledMark)
{
    const auto l = CKelvoInfoBox::ComputeLayout(QSize(300, 45), true);
    EXPECT_EQ(l.infoButton, QRect(273, 14, 22, 20));
    EXPECT_EQ(l.name, QRect(QPoint(77, 4), QPoint(247, 24)));
    EXPECT_EQ(l.blocked, QRect(QPoint(251, 6), QPoint(266, 21)));
    EXPECT_EQ(l.eventName, QRect(QPoint(101, 25), QPoint(218, 40)));
    EXPECT_EQ(l.duration, QRect(QPoint(222, 25), QPoint(269, 40)));
    EXPECT_EQ(CKelvoInfoBox::ComputeLayout(QSize(300, 45), false).name.left(), 60);
}

struct DurationCase
{
    qint64 seconds;
    int minutes;
};

class InfoBoxDuration : public ::testing::TestWithParam<DurationCase>
{
};

TEST_P(InfoBoxDuration, WholeMinutesWithinADay)
{
    EXPECT_EQ(CKelvoInfoBox::DurationMinutes(1000, 1000 + GetParam().seconds), GetParam().minutes);
}

INSTANTIATE_TEST_SUITE_P(Lengths, InfoBoxDuration,
                         ::testing::Values(DurationCase{0, 0}, DurationCase{59, 0}, DurationCase{2700, 45},
                                           DurationCase{3600, 60}, DurationCase{23 * 3600 + 59 * 60, 1439},
                                           DurationCase{86400, 0}, DurationCase{86400 + 600, 10},
                                           DurationCase{-600, -1}));

// ---- SAT information bar ----

TEST(SatInfoBar, FourLinesOfTheService)
{
    Box box;
    CKelvoSATInfoBar bar(box.db);
    EXPECT_EQ(bar.sizeHint().height(), CKelvoSATInfoBar::kHeight);
    EXPECT_EQ(bar.Lines(), (QStringList{"SAT", "TP", "PID", "Provider"}));
    bar.SetService(kErste);
    EXPECT_EQ(bar.Lines(), (QStringList{"SAT : Astra", "TP : 11494 [H] 22000", "PID : 101 / 102 / 104",
                                        "Provider : ARD"}));
    bar.SetService(kRai);
    EXPECT_EQ(bar.Lines(), (QStringList{"SAT : Hotbird", "TP : 12000 [V] 27500", "PID : 301 / 302 / 304",
                                        "Provider : RAI"}));
    bar.resize(600, CKelvoSATInfoBar::kHeight);
    EXPECT_FALSE(bar.grab().isNull());

    // A reload that loses the service leaves the bare labels; during it, the old lines stay.
    bar.BeginUpdate();
    box.db.Clear();
    bar.RefreshContent();
    EXPECT_EQ(bar.Lines(), (QStringList{"SAT", "TP", "PID", "Provider"}));
    bar.SetService(kErste);
    bar.EndUpdate();
    EXPECT_EQ(bar.Lines(), (QStringList{"SAT", "TP", "PID", "Provider"}));
}

} // namespace
