// Selection, stepping, failure reports, volume and keys on the real frame, offscreen, against a
// demo box that answers but sends no stream. The frame's player still listens on the box's fixed
// ports, so the test runs in a private network namespace.
#include "PlaybackTestSupport.h"
#include "app/CBoxController.h"
#include "app/CKelvoCommandTable.h"
#include "app/bars/CPopupFrame.h"
#include "commands/KelvoCommandIds.h"
#include "player/CKelvoControlBar.h"
#include "player/CKelvoSATInfoBar.h"
#include "player/CKelvoViewPlayer.h"
#include "player/CMediaPlayer.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoEdit.h"
#include "ui/CKelvoSliderCtrl.h"
#include "views/channel/CKelvoChannelListBox.h"
#include "views/channel/CKelvoPageChannel.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <functional>
#include <set>

using namespace Kelvo;

namespace {

const std::vector<std::string> kNoBoxArgs{"--no-ffmpeg", "--no-upnp", "--services", "40"};

// The box generates 40 services; two radio services of its blocked favourite group are withheld,
// and the database holds 38: radio at 6, 19 and 32, the last (37) on a transponder that cannot be
// streamed, TV elsewhere.
constexpr int kServices = 38;
constexpr int kRadio = 6;
constexpr int kUnstreamable = 37;

class PlaybackControlTest : public PlaybackTest
{
protected:
    void StartWithBox(const QString& stb = {})
    {
        ASSERT_TRUE(box.ok()) << box.error();
        Start(box.port(), 0, stb);
        const auto all = Services();
        ASSERT_EQ(all.size(), static_cast<size_t>(kServices));
        ASSERT_EQ(all[kRadio]->type, 1);
        ASSERT_EQ(all[19]->type, 1);
        ASSERT_EQ(all[32]->type, 1);
        ASSERT_FALSE(all[kUnstreamable]->streamingPossible);
        ASSERT_TRUE(all[kUnstreamable - 1]->streamingPossible);
    }
    int Key(int position) const { return Services()[static_cast<size_t>(position)]->key; }
    std::string StartAt(int position) const { return StartOf(*Services()[static_cast<size_t>(position)]); }
    void Fault(const std::string& query) { rawRequest(box.port(), "GET", "/demobox/fault?" + query); }

    // Sends a key as the window system would: to the focused widget of the active window.
    static void Press(int key)
    {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr)
            target = QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key));
    }

    DemoBoxProcess box{kNoBoxArgs};
};

// ---- stepping -----------------------------------------------------------------------------------

struct StepCase
{
    const char* name;
    int mediaType;
    int selected;                // position played first, -1 none
    const char* keys;            // R right, L left
    std::vector<int> candidates; // positions the SAT bar shows, one per key
};

class StepTest : public PlaybackControlTest, public ::testing::WithParamInterface<StepCase>
{
};

TEST_P(StepTest, StepsWithinTheWaitStartOnlyTheLastCandidate)
{
    const StepCase& c = GetParam();
    StartWithBox();
    if (c.mediaType == 1) {
        QTest::mouseClick(Frame().ChannelPage().RadioButton(), Qt::LeftButton);
        ASSERT_EQ(State().mediaType, 1);
    }
    if (c.selected >= 0)
        Messages().playService(Key(c.selected));
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    Frame().PlayerView().setFocus();
    auto* sat = Frame().findChild<CKelvoSATInfoBar*>(QStringLiteral("satBar"));
    ASSERT_NE(sat, nullptr);
    ClearBoxLog(box.port());

    // The player view, and with it the "Program Guide" button, keeps the service it had until
    // the step is committed; only the bars follow every step.
    const int viewService = Frame().PlayerView().Service();
    const bool guideButton = Frame().PlayerView().IsGuideAvailable();
    std::vector<int> shown;
    QElapsedTimer sinceLast;
    for (const char* k = c.keys; *k; ++k) {
        if (k != c.keys)
            QTest::qWait(150);
        Press(*k == 'R' ? Qt::Key_Right : Qt::Key_Left);
        sinceLast.start();
        shown.push_back(sat->Service());
        EXPECT_EQ(Frame().PlayerView().Service(), viewService) << "after key " << (k - c.keys);
        EXPECT_EQ(Frame().PlayerView().IsGuideAvailable(), guideButton) << "after key " << (k - c.keys);
    }
    EXPECT_EQ(viewService, c.selected >= 0 ? Key(c.selected) : -1);
    std::vector<int> expected;
    for (int p : c.candidates)
        expected.push_back(Key(p));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(Frame().Playback().PendingService(), expected.back());
    // Back at the service that streams: the commit leaves its stream alone.
    const bool backToStreamed = c.selected >= 0 && c.candidates.back() == c.selected;
    EXPECT_EQ(State().streamingService == expected.back(), backToStreamed);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !Frame().Playback().StepPending(); }, 5000));
    // A coarse timer may fire a little early, never much.
    EXPECT_GE(sinceLast.elapsed(), CPlaybackController::kStepCommitMs - 100);
    QTest::qWait(300);
    EXPECT_EQ(State().streamingService, expected.back());
    EXPECT_EQ(Streaming(box.port()), backToStreamed ? std::vector<std::string>{}
                                                    : std::vector<std::string>{StartAt(c.candidates.back())})
        << BoxLog(box.port());
    EXPECT_EQ(Frame().PlayerView().Service(), expected.back());
    EXPECT_TRUE(env.Messages().isEmpty()) << env.Messages().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StepTest,
    ::testing::Values(StepCase{"RightSkipsRadio", 0, 4, "RRR", {5, 7, 8}},
                      // From no service the first look is at the last position: it cannot stream.
                      StepCase{"AroundTheEndSkipsTheUnstreamable", 0, -1, "LRL", {36, 0, 36}},
                      StepCase{"RadioVisitsOnlyRadio", 1, -1, "RRR", {6, 19, 32}},
                      StepCase{"BackToTheStreamedServiceWithinTheWait", 0, 4, "RL", {5, 4}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PlaybackControlTest, LeavingThePlayerViewDropsAStepThatWaits)
{
    StartWithBox();
    Messages().playService(Key(1));
    ASSERT_EQ(State().streamingService, Key(1)) << env.Messages().toStdString();
    ClearBoxLog(box.port());
    Frame().Commands().Trigger(ID_NEXT_SERVICE);
    ASSERT_TRUE(Frame().Playback().StepPending());
    Frame().Commands().Trigger(ID_MODE_SETTING);
    QTest::qWait(CPlaybackController::kStepCommitMs + 300);
    EXPECT_EQ(Frame().CurrentView(), ViewSetting);
    EXPECT_EQ(State().streamingService, Key(1));
    EXPECT_EQ(Streaming(box.port()), std::vector<std::string>{}) << BoxLog(box.port());
}

TEST_F(PlaybackControlTest, SteppingWithoutServicesFindsNothingAndStartsNothing)
{
    Start(0);
    Frame().Commands().Trigger(ID_NEXT_SERVICE);
    EXPECT_EQ(Frame().Playback().PendingService(), -1);
    EXPECT_FALSE(Frame().Playback().StepPending());
    QTest::qWait(CPlaybackController::kStepCommitMs + 200);
    EXPECT_EQ(State().streamingService, -1);
    EXPECT_TRUE(env.Messages().isEmpty()) << env.Messages().toStdString();
}

// ---- failures -----------------------------------------------------------------------------------

constexpr int kStreamed = -1; // the position of the service streamed first

struct FailureCase
{
    const char* name;
    const char* fault;   // demo box fault query, empty none
    bool streamFirst;    // position 1 streams before the failing selection
    int target;          // position selected, or kStreamed (a stop)
    bool whileBusy;      // selected while a guide load waits for the box
    const char* message; // expected "caption|text", empty none
    bool streamingKept;  // position 1 is still streamed afterwards
};

class FailureTest : public PlaybackControlTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(FailureTest, ReportsTheResultAndKeepsTheRightState)
{
    const FailureCase& c = GetParam();
    StartWithBox();
    const int first = Key(1);
    if (c.streamFirst) {
        Messages().playService(first);
        ASSERT_EQ(State().streamingService, first) << env.Messages().toStdString();
    }
    const int target = c.target == kStreamed ? first : Key(c.target);
    if (*c.fault)
        Fault(c.fault);
    env.ClearMessages();
    // What the user sees while the message box is open: no turning "Loading...", and the list
    // already marks what the box streams now.
    std::vector<std::pair<bool, int>> atMessage;
    QObject::connect(&app->Box(), &CBoxController::failure, &Frame(), [&] {
        atMessage.emplace_back(Frame().PlayerView().IsBusy(),
                               Frame().ChannelPage().List()->StreamingService());
    });
    if (c.whileBusy) {
        Fault("cmd=epg_info&mode=delay&arg=1500");
        QTimer::singleShot(300, &Frame(), [&] { Messages().playService(target); });
        Messages().showGuide(Key(3));
        ASSERT_FALSE(app->Box().IsBusy());
    } else {
        Messages().playService(target);
    }
    const QString expected = *c.message ? QString::fromLatin1(c.message) + QLatin1Char('\n') : QString();
    EXPECT_EQ(env.Messages(), expected);
    EXPECT_EQ(State().streamingService, c.streamingKept ? first : (*c.message ? -1 : target));
    EXPECT_EQ(Frame().PlayerView().MediaPlayer().State() != CMediaPlayer::Stopped, !*c.message);
    EXPECT_FALSE(Frame().PlayerView().IsBusy());
    // Whatever the outcome, the window takes input again and the wait cursor is gone.
    EXPECT_TRUE(Frame().isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(atMessage.size(), *c.message ? 1u : 0u);
    for (const auto& [busy, marked] : atMessage) {
        EXPECT_FALSE(busy);
        EXPECT_EQ(marked, State().streamingService);
    }
}

#define START_FAILURE(text) "Start Streaming Failure|" text

INSTANTIATE_TEST_SUITE_P(
    Results, FailureTest,
    ::testing::Values(FailureCase{"Refused1", "cmd=start_streaming&mode=error&arg=1", true, 2, false,
                                  START_FAILURE("Start streaming failed"), false},
                      FailureCase{"Refused2", "cmd=start_streaming&mode=error&arg=2", false, 2, false,
                                  START_FAILURE("Not available state"), false},
                      FailureCase{"Refused3", "cmd=start_streaming&mode=error&arg=3", false, 2, false,
                                  START_FAILURE("Now playing"), false},
                      FailureCase{"Refused4", "cmd=start_streaming&mode=error&arg=4", false, 2, false,
                                  START_FAILURE("Storage error"), false},
                      FailureCase{"Refused5", "cmd=start_streaming&mode=error&arg=5", false, 2, false,
                                  START_FAILURE("PIN Code error"), false},
                      FailureCase{"Refused7", "cmd=start_streaming&mode=error&arg=7", false, 2, false,
                                  START_FAILURE("Unknown error"), false},
                      FailureCase{"NoUsableReply", "cmd=start_streaming&mode=http500", true, 2, false,
                                  START_FAILURE("Unknown error"), false},
                      // The box did not stop what it sent (6): that stream is still the streamed one.
                      FailureCase{"PreviousNotStopped", "cmd=stop_streaming&mode=error&arg=1", true, 2, false,
                                  START_FAILURE("Unknown error"), true},
                      FailureCase{"StartWhileBusy", "", true, 2, true, START_FAILURE("Unknown error"), false},
                      FailureCase{"StopRefused", "cmd=stop_streaming&mode=error&arg=1", true, kStreamed,
                                  false, "Stop Streaming Failure|Stop streaming failed", true},
                      FailureCase{"StopWhileBusy", "", true, kStreamed, true,
                                  "Stop Streaming Failure|Stop streaming failed", true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PlaybackControlTest, WhileAStartWaitsTheViewIsBusyAndTheWindowTakesNoInput)
{
    StartWithBox();
    Fault("cmd=start_streaming&mode=delay&arg=600");
    bool busy = false;
    bool enabled = true;
    QTimer::singleShot(300, &Frame(), [&] {
        busy = Frame().PlayerView().IsBusy();
        enabled = Frame().isEnabled();
    });
    Messages().playService(Key(1));
    EXPECT_TRUE(busy);
    EXPECT_FALSE(enabled);
    EXPECT_EQ(State().streamingService, Key(1)) << env.Messages().toStdString();
    EXPECT_FALSE(Frame().PlayerView().IsBusy());
    EXPECT_TRUE(Frame().isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

// ---- saving the settings ------------------------------------------------------------------------

TEST_F(PlaybackControlTest, SavingTheSettingsStopsTheStreamAndAsksTheBoxItsVersionAgain)
{
    StartWithBox();
    Messages().playService(Key(1));
    ASSERT_EQ(State().streamingService, Key(1)) << env.Messages().toStdString();
    Frame().Commands().Trigger(ID_MODE_SETTING);
    Settle();
    ASSERT_EQ(State().streamingService, Key(1));
    ClearBoxLog(box.port());
    env.ClearMessages();

    ASSERT_TRUE(Frame().Commands().Trigger(ID_SAVE_SETTINGS));
    EXPECT_EQ(env.Messages(), QStringLiteral("Setting|Setting saved\n"));
    EXPECT_EQ(State().streamingService, -1);
    EXPECT_EQ(Frame().PlayerView().MediaPlayer().State(), CMediaPlayer::Stopped);
    EXPECT_EQ(Streaming(box.port()), std::vector<std::string>{"stop"}) << BoxLog(box.port());

    // The settings may name another box: the next request learns its protocol version first.
    ClearBoxLog(box.port());
    Messages().playService(Key(2));
    std::vector<std::string> queries;
    std::istringstream lines(BoxLog(box.port()));
    for (std::string line; std::getline(lines, line);)
        if (const size_t at = line.find("/qnql?"); at != std::string::npos)
            queries.push_back(line.substr(at));
    ASSERT_FALSE(queries.empty());
    EXPECT_EQ(queries.front(), "/qnql?q=") << BoxLog(box.port());
    EXPECT_EQ(State().streamingService, Key(2)) << env.Messages().toStdString();
}

// ---- reload -------------------------------------------------------------------------------------

TEST_F(PlaybackControlTest, AReloadKeepsWhatTheUserChose)
{
    StartWithBox();
    CKelvoPageChannel& page = Frame().ChannelPage();
    Messages().playService(Key(1));
    ASSERT_EQ(State().streamingService, Key(1)) << env.Messages().toStdString();
    page.SortBox()->setFocus();
    QTest::keyClick(page.SortBox(), Qt::Key_End); // by group
    page.GroupBox()->setFocus();
    QTest::keyClick(page.GroupBox(), Qt::Key_Down);
    ASSERT_EQ(page.Rows().GroupIndex(), 1);
    ASSERT_GT(page.Rows().Count(), 0);
    const CServiceElement* shown = app->Database().FindService(page.Rows().KeyAt(0));
    ASSERT_NE(shown, nullptr);
    page.SearchBox()->setFocus();
    QTest::keyClicks(page.SearchBox(), shown->name.left(3));
    ASSERT_GT(page.Rows().Count(), 0);

    for (int mediaType : {0, 1}) {
        SCOPED_TRACE(mediaType);
        if (mediaType == 1)
            QTest::mouseClick(page.RadioButton(), Qt::LeftButton);
        ASSERT_EQ(page.MediaType(), mediaType);
        const int sort = page.Rows().SortMode();
        const int group = page.Rows().GroupIndex();
        const QString search = page.Rows().SearchText();
        const std::vector<int> rows = page.Rows().Keys();
        ClearBoxLog(box.port());
        ASSERT_TRUE(Frame().Commands().Trigger(ID_CHANNEL_REFRESH));
        Settle();
        ASSERT_EQ(Count(BoxLog(box.port()), "svc_list"), 1);
        EXPECT_EQ(page.MediaType(), mediaType);
        EXPECT_EQ(State().mediaType, mediaType);
        EXPECT_EQ(page.SortBox()->currentIndex(), sort);
        EXPECT_EQ(page.Rows().SortMode(), sort);
        EXPECT_EQ(page.GroupBox()->currentIndex(), group);
        EXPECT_EQ(page.Rows().GroupIndex(), group);
        EXPECT_EQ(page.SearchBox()->text(), search);
        EXPECT_EQ(page.Rows().Keys(), rows);
        EXPECT_EQ(page.List()->StreamingService(), Key(1));
        EXPECT_EQ(State().streamingService, Key(1));
    }
    EXPECT_TRUE(env.Messages().isEmpty()) << env.Messages().toStdString();
}

// ---- volume and mute ----------------------------------------------------------------------------

TEST_F(PlaybackControlTest, VolumeStaysInRangeAndMuteDisablesTheSlider)
{
    StartWithBox();
    Frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    Frame().PlayerView().setFocus();
    CKelvoControlBar* bar = Frame().findChild<CKelvoControlBar*>(QStringLiteral("controlBar"));
    ASSERT_NE(bar, nullptr);
    enum Action
    {
        Up,
        Down,
        WheelUp,
        WheelDown,
        Set150,
        SetMinus3
    };
    struct VolumeCase
    {
        int from;
        Action action;
        int to;
    };
    const VolumeCase cases[] = {{100, Up, 100},    {0, Down, 0},        {50, Up, 51},
                                {50, Down, 49},    {100, WheelUp, 100}, {50, WheelDown, 49},
                                {0, WheelDown, 0}, {50, Set150, 100},   {50, SetMinus3, 0}};
    CMediaPlayer& player = Frame().PlayerView().MediaPlayer();
    for (const VolumeCase& v : cases) {
        Messages().setVolume(v.from);
        switch (v.action) {
        case Up:
        case Down:
            Press(v.action == Up ? Qt::Key_Up : Qt::Key_Down);
            break;
        case WheelUp:
        case WheelDown: {
            QWidget* view = &Frame().PlayerView();
            const QPoint at = view->mapTo(&Frame(), view->rect().center());
            QWheelEvent wheel(at, Frame().mapToGlobal(at), QPoint(),
                              QPoint(0, v.action == WheelUp ? 120 : -120), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(&Frame(), &wheel);
            break;
        }
        case Set150:
            Messages().setVolume(150);
            break;
        case SetMinus3:
            Messages().setVolume(-3);
            break;
        }
        EXPECT_EQ(State().volume, v.to) << v.from << " " << v.action;
        EXPECT_EQ(player.Volume(), v.to) << v.from << " " << v.action;
        EXPECT_EQ(bar->VolumeSlider()->value(), v.to) << v.from << " " << v.action;
    }

    for (bool muted : {true, false}) {
        // The mute command toggles: its button and its key.
        Frame().Commands().Trigger(ID_MUTE);
        EXPECT_EQ(State().mute, muted);
        EXPECT_EQ(player.Mute(), muted);
        EXPECT_EQ(bar->Control(ID_MUTE)->property("checked").toBool(), muted);
        EXPECT_EQ(bar->VolumeSlider()->isEnabled(), !muted);
    }
}

TEST_F(PlaybackControlTest, VolumeAndMuteComeBackWithTheNextFrame)
{
    StartWithBox();
    Messages().setVolume(37);
    Frame().Commands().Trigger(ID_MUTE);
    Restart();
    CKelvoControlBar* bar = Frame().findChild<CKelvoControlBar*>(QStringLiteral("controlBar"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(State().volume, 37);
    EXPECT_TRUE(State().mute);
    EXPECT_EQ(Frame().PlayerView().MediaPlayer().Volume(), 37);
    EXPECT_TRUE(Frame().PlayerView().MediaPlayer().Mute());
    EXPECT_EQ(bar->VolumeSlider()->value(), 37);
    EXPECT_FALSE(bar->VolumeSlider()->isEnabled());
}

// ---- keys -------------------------------------------------------------------------------------

// Sees whether a key reached the widget it was sent to, after the application's filter.
class KeySeen final : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            keys.push_back(static_cast<QKeyEvent*>(event)->key());
        return false;
    }
    std::vector<int> keys;
};

enum class Focus
{
    PlayerView,
    ChannelList,
    ChannelSearch,
    SettingEdit,
    SettingView,
    PopupSearch, // the channel popup's search field over the full-screen picture
};

enum class Effect
{
    None,
    NextField,
    StepForward,
    StepBack,
    Louder,
    Quieter,
};

struct KeyCase
{
    const char* name;
    int view;
    bool fullScreen;
    Focus focus;
    Qt::Key key;
    bool fullScreenAfter;
    bool passesOn; // the focused widget gets the key too
    Effect effect;
};

TEST_F(PlaybackControlTest, KeysActByViewFullScreenAndFocus)
{
    StartWithBox();
    const KeyCase cases[] = {
        {"EnterInEditMovesOn", ViewSetting, false, Focus::SettingEdit, Qt::Key_Return, false, false,
         Effect::NextField},
        {"EnterElsewhereInSettingsIsConsumed", ViewSetting, false, Focus::SettingView, Qt::Key_Return, false,
         false, Effect::None},
        {"EnterEntersFullScreenInThePlayerView", ViewPlayer, false, Focus::ChannelList, Qt::Key_Enter, true,
         false, Effect::None},
        {"EnterLeavesFullScreen", ViewPlayer, true, Focus::PlayerView, Qt::Key_Return, false, false,
         Effect::None},
        {"EnterInThePopupsFieldLeavesFullScreen", ViewPlayer, true, Focus::PopupSearch, Qt::Key_Return, false,
         false, Effect::None},
        {"EscapeLeavesFullScreen", ViewPlayer, true, Focus::PlayerView, Qt::Key_Escape, false, true,
         Effect::None},
        {"EscapeInThePopupsFieldLeavesFullScreen", ViewPlayer, true, Focus::PopupSearch, Qt::Key_Escape,
         false, true, Effect::None},
        {"EscapeWithoutFullScreen", ViewPlayer, false, Focus::PlayerView, Qt::Key_Escape, false, true,
         Effect::None},
        {"RightStepsOnce", ViewPlayer, false, Focus::PlayerView, Qt::Key_Right, false, true,
         Effect::StepForward},
        {"RightStepsOnceFromTheList", ViewPlayer, false, Focus::ChannelList, Qt::Key_Right, false, true,
         Effect::StepForward},
        {"LeftStepsBackInFullScreen", ViewPlayer, true, Focus::PlayerView, Qt::Key_Left, true, true,
         Effect::StepBack},
        {"UpIsLouderOnce", ViewPlayer, false, Focus::PlayerView, Qt::Key_Up, false, true, Effect::Louder},
        {"DownIsQuieterFromTheList", ViewPlayer, false, Focus::ChannelList, Qt::Key_Down, false, true,
         Effect::Quieter},
        {"SpacePassesOn", ViewPlayer, false, Focus::PlayerView, Qt::Key_Space, false, true, Effect::None},
        // Typing in the search field edits the text and leaves playback alone.
        {"ArrowsInTheSearchFieldEditText", ViewPlayer, false, Focus::ChannelSearch, Qt::Key_Right, false,
         true, Effect::None},
        {"SpaceInTheSearchFieldIsText", ViewPlayer, false, Focus::ChannelSearch, Qt::Key_Space, false, true,
         Effect::None},
        {"UpInTheSearchFieldIsText", ViewPlayer, false, Focus::ChannelSearch, Qt::Key_Up, false, true,
         Effect::None},
        // Another view: the keys go on to it and do nothing to playback.
        {"ArrowsOutsideThePlayerView", ViewSetting, false, Focus::SettingView, Qt::Key_Right, false, true,
         Effect::None},
        {"UpOutsideThePlayerView", ViewSetting, false, Focus::SettingView, Qt::Key_Up, false, true,
         Effect::None},
    };
    int pendingChanges = 0;
    QObject::connect(&Frame().Playback().Now(), &CPlaybackState::pendingServiceChanged, &Frame(),
                     [&] { ++pendingChanges; });
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        Frame().Commands().Trigger(c.view == ViewPlayer ? ID_MODE_CHANNEL : ID_MODE_SETTING);
        Settle();
        ASSERT_EQ(Frame().CurrentView(), c.view);
        Messages().setVolume(50);
        if (c.fullScreen) {
            Frame().SetFullScreen(true);
            // The bars float in windows of their own now; let their showing settle before the
            // frame takes the keyboard back.
            Settle();
        }
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        QWidget* focus = nullptr;
        switch (c.focus) {
        case Focus::PlayerView:
            focus = &Frame().PlayerView();
            break;
        case Focus::ChannelList:
            focus = Frame().ChannelPage().List();
            break;
        case Focus::ChannelSearch:
            focus = Frame().ChannelPage().SearchBox();
            break;
        case Focus::SettingView:
            focus = Frame().View(ViewSetting);
            break;
        case Focus::SettingEdit:
            for (QLineEdit* edit : Frame().View(ViewSetting)->findChildren<QLineEdit*>())
                if (edit->isVisible() && edit->isEnabled() && !focus)
                    focus = edit;
            break;
        case Focus::PopupSearch:
            Frame().ShowChannelPopup(true);
            Settle();
            ASSERT_TRUE(Frame().ChannelPage().IsFloating());
            focus = Frame().ChannelPage().SearchBox();
            focus->window()->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(focus->window()));
            break;
        }
        ASSERT_NE(focus, nullptr);
        ASSERT_TRUE(focus->isVisible());
        // The offscreen platform hands activation between the frame and the windows that float
        // over it (popup, bars) with some delay: ask again until the key will go where it should.
        ASSERT_TRUE(QTest::qWaitFor(
            [focus] {
                focus->window()->activateWindow();
                focus->setFocus();
                return QApplication::focusWidget() == focus;
            },
            2000));
        KeySeen seen;
        focus->installEventFilter(&seen);
        const int pendingBefore = pendingChanges;
        const int pendingKey = Frame().Playback().PendingService();

        Press(c.key);
        Settle();

        EXPECT_EQ(Frame().IsFullScreen(), c.fullScreenAfter);
        EXPECT_EQ(std::count(seen.keys.begin(), seen.keys.end(), c.key), c.passesOn ? 1 : 0);
        const bool stepped = c.effect == Effect::StepForward || c.effect == Effect::StepBack;
        EXPECT_EQ(pendingChanges - pendingBefore, stepped ? 1 : 0);
        if (stepped) {
            EXPECT_NE(Frame().Playback().PendingService(), pendingKey);
            EXPECT_TRUE(Frame().Playback().StepPending());
        }
        EXPECT_EQ(State().volume, c.effect == Effect::Louder ? 51 : c.effect == Effect::Quieter ? 49 : 50);
        if (c.effect == Effect::NextField) {
            EXPECT_NE(QApplication::focusWidget(), focus);
            EXPECT_TRUE(Frame().View(ViewSetting)->isAncestorOf(QApplication::focusWidget()));
        }
        focus->removeEventFilter(&seen);
        Frame().ChannelPage().SearchBox()->clear();
        Frame().Playback().CancelStep();
        if (Frame().ChannelPage().IsFloating())
            Frame().ShowChannelPopup(false);
        if (Frame().IsFullScreen())
            Frame().SetFullScreen(false);
        Settle();
    }
}

// The channel list floats over the picture only where the left bar is gone; in the normal window
// the list is already there.
TEST_F(PlaybackControlTest, TheChannelPopupOpensInTheMiniPlayerAndInFullScreenOnly)
{
    StartWithBox();
    auto* bar = static_cast<CKelvoControlBar*>(Frame().BarWidget(CMainFrame::ControlBar));
    struct Case
    {
        const char* name;
        bool mini, fullScreen, opens;
    };
    const Case cases[] = {
        {"normal window", false, false, false},
        {"mini player", true, false, true},
        {"full screen", false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mini) {
            QTest::mouseClick(bar->Control(ID_MINI_PLAYER), Qt::LeftButton);
            Settle();
            ASSERT_EQ(State().displayMode, 1);
        }
        if (c.fullScreen)
            Frame().SetFullScreen(true);
        Settle();
        Frame().Commands().Trigger(ID_CHANNEL_POPUP);
        Settle();
        EXPECT_EQ(Frame().ChannelPage().IsFloating(), c.opens);
        Frame().Commands().Trigger(ID_CHANNEL_POPUP);
        Settle();
        EXPECT_FALSE(Frame().ChannelPage().IsFloating()) << "a second press closes it";

        if (Frame().ChannelPage().IsFloating())
            Frame().ShowChannelPopup(false);
        if (Frame().IsFullScreen())
            Frame().SetFullScreen(false);
        if (State().displayMode == 1)
            QTest::mouseClick(bar->Control(ID_NORMAL_PLAYER), Qt::LeftButton);
        Settle();
    }
}

// ---- painting -----------------------------------------------------------------------------------

// Pixels that differ between two pictures; all of them when the sizes differ.
int DifferentPixels(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size())
        return x.width() * x.height();
    int n = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col)
            n += x.pixel(col, row) != y.pixel(col, row) ? 1 : 0;
    return n;
}

TEST_F(PlaybackControlTest, TheMiniPlayersControlBarShowsNothingOfTheBarsItHid)
{
    StartWithBox();
    Messages().playService(Key(0));
    Settle();
    QWidget* sat = Frame().BarWidget(CMainFrame::SatBar);
    auto* bar = static_cast<CKelvoControlBar*>(Frame().BarWidget(CMainFrame::ControlBar));
    ASSERT_TRUE(sat->isVisible());
    ASSERT_TRUE(Frame().ChannelPage().List()->isVisible());
    ASSERT_GT(Frame().ChannelPage().List()->GetCount(), 0);
    const QRect satArea = sat->geometry();

    QTest::mouseClick(bar->Control(ID_MINI_PLAYER), Qt::LeftButton);
    Settle();
    ASSERT_EQ(State().displayMode, 1);
    ASSERT_FALSE(sat->isVisible());
    const QRect area = bar->geometry();
    ASSERT_TRUE(area.intersects(satArea));

    // The window's back buffer, as the screen gets it, against the same area painted afresh.
    QScreen* screen = Frame().screen();
    const QImage shown =
        screen->grabWindow(Frame().winId(), area.x(), area.y(), area.width(), area.height()).toImage();
    const QImage fresh = Frame().grab(area).toImage();
    const int differ = DifferentPixels(shown, fresh);
    if (differ != 0) {
        shown.save(QStringLiteral("mini-control-bar-shown.png"));
        fresh.save(QStringLiteral("mini-control-bar-fresh.png"));
    }
    EXPECT_EQ(differ, 0);
}

} // namespace

// ---- every command ---------------------------------------------------------------------------------

// Each row of the frame's command table, run the way a user runs it (its first key where it has
// one, otherwise its control's action) from a state where it applies, and the effect it must have.
// A row added to the table without a case here fails the completeness check at the end.
TEST_F(PlaybackControlTest, EveryCommandRowRunsFromItsKeyOrItsControl)
{
    StartWithBox();
    Messages().playService(Key(1));
    ASSERT_EQ(State().streamingService, Key(1)) << env.Messages().toStdString();
    auto mode = [this](int id) {
        Frame().Commands().Trigger(id);
        Settle();
    };
    auto showGuide = [this] {
        Messages().showGuide(Key(1));
        Settle();
    };
    int volume = 0;
    bool mute = false;
    int reloads = 0;
    // Steps from the first TV services go to their neighbours: the first radio service is further on.
    int pending = 0;
    auto position = [this](int key) {
        const auto all = Services();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i]->key == key)
                return static_cast<int>(i);
        return -1;
    };
    QString modal;
    struct Case
    {
        int id;
        std::function<void()> setup;
        std::function<bool()> effect;
    };
    const Case cases[] = {
        {ID_MODE_CHANNEL, [&] { mode(ID_MODE_SETTING); }, [&] { return State().uiMode == ModeChannel; }},
        {ID_MODE_SCHEDULE, [&] { mode(ID_MODE_CHANNEL); }, [&] { return State().uiMode == ModeSchedule; }},
        {ID_MODE_SETTING, [&] { mode(ID_MODE_CHANNEL); },
         [&] { return State().uiMode == ModeSetting && Frame().CurrentView() == ViewSetting; }},
        {ID_TOGGLE_REMOTE, [] {},
         [&] { return Frame().RemoteWindow() && Frame().RemoteWindow()->isVisible(); }},
        {ID_CHANNEL_REFRESH, [&] { reloads = Count(BoxLog(box.port()), "svc_list"); },
         [&] { return Count(BoxLog(box.port()), "svc_list") == reloads + 1; }},
        {ID_GUIDE_TV, showGuide, [&] { return Frame().CurrentView() == ViewPlayer; }},
        {ID_SAVE_SETTINGS,
         [&] {
             mode(ID_MODE_SETTING);
             env.ClearMessages();
         },
         [&] { return env.Messages() == QStringLiteral("Setting|Setting saved\n"); }},
        {ID_NEXT_SERVICE,
         [&] {
             mode(ID_MODE_CHANNEL);
             pending = position(Frame().Playback().PendingService());
         },
         [&] {
             return Frame().Playback().StepPending() &&
                    position(Frame().Playback().PendingService()) == pending + 1;
         }},
        {ID_PREV_SERVICE,
         [&] {
             mode(ID_MODE_CHANNEL);
             pending = position(Frame().Playback().PendingService());
         },
         [&] {
             return Frame().Playback().StepPending() &&
                    position(Frame().Playback().PendingService()) == pending - 1;
         }},
        {ID_VOLUME_UP, [&] { Messages().setVolume(volume = 50); },
         [&] { return State().volume == volume + 1; }},
        {ID_VOLUME_DOWN, [&] { Messages().setVolume(volume = 50); },
         [&] { return State().volume == volume - 1; }},
        {ID_MUTE, [&] { mute = State().mute; },
         [&] {
             return State().mute != mute && Frame().Commands().Action(ID_MUTE)->isChecked() == State().mute;
         }},
        // Nothing plays offscreen, so pausing has nothing to pause: the key reaches the view's
        // toggle, which the player view's own tests cover with a stream.
        {ID_PAUSE, [] {}, [&] { return !Frame().IsFullScreen() && Frame().CurrentView() == ViewPlayer; }},
        {ID_ENTER, [&] { mode(ID_MODE_CHANNEL); }, [&] { return Frame().IsFullScreen(); }},
        {ID_FULL_SCREEN, [&] { Frame().SetFullScreen(true); }, [&] { return !Frame().IsFullScreen(); }},
        {ID_EXIT_FULL_SCREEN, [&] { Frame().SetFullScreen(true); }, [&] { return !Frame().IsFullScreen(); }},
        {ID_CHANNEL_POPUP, [&] { mode(ID_MINI_PLAYER); }, [&] { return Frame().IsChannelPopupShown(); }},
        {ID_CHANNEL_DOCK, [&] { Frame().ShowChannelPopup(true); },
         [&] { return !Frame().IsChannelPopupShown() && !Frame().ChannelPage().IsFloating(); }},
        {ID_MINI_PLAYER, [&] { mode(ID_NORMAL_PLAYER); }, [&] { return State().displayMode == 1; }},
        {ID_NORMAL_PLAYER, [&] { mode(ID_MINI_PLAYER); }, [&] { return State().displayMode == 0; }},
        {ID_SHOW_GUIDE, [&] { mode(ID_MODE_CHANNEL); }, [&] { return Frame().CurrentView() == ViewGuide; }},
        {ID_CHANNEL_INFO,
         [&] {
             mode(ID_MODE_CHANNEL);
             Frame().PlayerControlBar().SetPlaybackStarted(true);
             // The information dialog is modal: note it and close it.
             QTimer::singleShot(200, &Frame(), [&modal] {
                 if (QWidget* w = QApplication::activeModalWidget()) {
                     modal = w->objectName();
                     w->close();
                 }
             });
         },
         [&] { return modal == QStringLiteral("ChannelInfo"); }},
    };

    std::set<int> covered;
    for (const Case& c : cases) {
        const CKelvoCommandTable::Row* row = Frame().Commands().Find(c.id);
        ASSERT_NE(row, nullptr) << c.id;
        SCOPED_TRACE(row->text.toStdString());
        covered.insert(c.id);
        if (State().fullScreen)
            Frame().SetFullScreen(false);
        if (State().displayMode == 1 && c.id != ID_NORMAL_PLAYER && c.id != ID_CHANNEL_POPUP)
            mode(ID_NORMAL_PLAYER);
        c.setup();
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
        Frame().setFocus();
        if (row->keys.isEmpty()) {
            EXPECT_TRUE(Frame().Commands().Trigger(c.id));
        } else {
            const QKeyCombination key = row->keys.first()[0];
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &Frame();
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        }
        QTest::qWait(c.id == ID_CHANNEL_INFO ? 400 : 50);
        EXPECT_TRUE(c.effect());
        Frame().Playback().CancelStep();
        if (Frame().RemoteWindow() && Frame().RemoteWindow()->isVisible())
            Frame().ToggleRemote();
    }
    std::set<int> rows;
    for (const CKelvoCommandTable::Row& row : Frame().Commands().Rows())
        rows.insert(row.id);
    EXPECT_EQ(covered, rows);
}
