#include "app/KelvoFrameCommands.h"

#include "app/CKelvoCommandTable.h"
#include "app/CMainFrame.h"
#include "app/CPlaybackController.h"
#include "app/settings/CKelvoAppState.h"
#include "commands/KelvoCommandIds.h"
#include "player/CKelvoControlBar.h"
#include "player/CKelvoInfoBox.h"
#include "player/CKelvoViewPlayer.h"
#include "res/CStringTable.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextEdit>

using namespace Kelvo;

namespace {

bool IsEditing()
{
    const QWidget* w = QApplication::focusWidget();
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTextEdit*>(w);
}

QString Text(int id)
{
    return CStringTable::Get(id);
}

// Enter in an edit field moves on to the next field, as Tab would (not in full screen, where the
// only field is the floating list's search box and Enter means "back").
void MoveToNextField()
{
    if (QWidget* focus = QApplication::focusWidget()) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(focus, &tab);
    }
}

} // namespace

namespace KelvoFrameCommands {

void Add(CKelvoCommandTable& table, CMainFrame& frame, IKelvoApplication& app)
{
    CKelvoAppState& state = app.State();
    CPlaybackController& playback = app.Playback();
    using Row = CKelvoCommandTable::Row;
    using Keys = QList<QKeySequence>;

    const auto mode = [&state](int uiMode) { return [&state, uiMode] { return state.uiMode == uiMode; }; };
    const auto trigger = [&frame](UiTrigger t) { return [&frame, t] { frame.ApplyTrigger(t); }; };
    // The player's keys act while its view shows, and leave an edit field's text alone.
    const auto playerKeys = [&frame] { return frame.CurrentView() == ViewPlayer && !IsEditing(); };
    // Changing mode in full screen would leave the picture under the bars it hides.
    const auto windowed = [&state] { return !state.fullScreen; };
    const auto leaveFullScreenFirst = [&frame, &state](bool mini) {
        if (state.fullScreen)
            frame.SetFullScreen(false);
        frame.SetDisplayMode(mini);
    };

    Row rows[] = {
        {ID_MODE_CHANNEL,
         Text(CStringTable::IDS_CHANNEL),
         trigger(UiTrigger::ModeChannel),
         true,
         {},
         mode(ModeChannel),
         Keys{QKeySequence(Qt::CTRL | Qt::Key_1)},
         windowed},
        {ID_MODE_SCHEDULE,
         Text(CStringTable::IDS_SCHEDULE),
         trigger(UiTrigger::ModeSchedule),
         true,
         {},
         mode(ModeSchedule),
         Keys{QKeySequence(Qt::CTRL | Qt::Key_2)},
         windowed},
        {ID_MODE_SETTING,
         Text(CStringTable::IDS_SETTING),
         trigger(UiTrigger::ModeSetting),
         true,
         {},
         mode(ModeSetting),
         Keys{QKeySequence(Qt::CTRL | Qt::Key_3)},
         windowed},
        {ID_TOGGLE_REMOTE,
         Text(CStringTable::IDS_REMOTE),
         [&frame] { frame.ToggleRemote(); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::CTRL | Qt::Key_R)}},
        {ID_CHANNEL_REFRESH,
         Text(CStringTable::IDS_REFRESH).trimmed(),
         [&frame] { frame.RefreshChannels(); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_F5)}},
        {ID_GUIDE_TV, Text(CStringTable::IDS_GUIDE_BACK_TV), trigger(UiTrigger::ModeChannel)},
        {ID_SAVE_SETTINGS,
         Text(CStringTable::IDS_SAVE),
         [&frame] { frame.SaveSettings(); },
         false,
         [&frame] { return frame.CurrentView() == ViewSetting; },
         {},
         Keys{QKeySequence(Qt::CTRL | Qt::Key_S)}},

        {ID_NEXT_SERVICE,
         Text(CStringTable::IDS_CMD_NEXT_SERVICE),
         [&playback] { playback.StepService(+1); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_Right)},
         playerKeys,
         true},
        {ID_PREV_SERVICE,
         Text(CStringTable::IDS_CMD_PREV_SERVICE),
         [&playback] { playback.StepService(-1); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_Left)},
         playerKeys,
         true},
        {ID_VOLUME_UP,
         Text(CStringTable::IDS_CMD_VOLUME_UP),
         [&playback, &state] { playback.SetVolume(state.volume + 1); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_Up)},
         playerKeys,
         true},
        {ID_VOLUME_DOWN,
         Text(CStringTable::IDS_CMD_VOLUME_DOWN),
         [&playback, &state] { playback.SetVolume(state.volume - 1); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_Down)},
         playerKeys,
         true},
        {ID_MUTE,
         Text(CStringTable::IDS_CMD_MUTE),
         [&playback, &state] { playback.SetMute(!state.mute); },
         true,
         {},
         [&state] { return state.mute; },
         Keys{QKeySequence(Qt::Key_M)},
         playerKeys},
        {ID_PAUSE,
         Text(CStringTable::IDS_CMD_PAUSE),
         [&frame] { frame.PlayerView().TogglePause(); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_Space)},
         playerKeys,
         true},

        // Enter as the keyboard table has it: the next field while editing, otherwise in and out of
        // full screen from the player view; elsewhere it is swallowed.
        {ID_ENTER,
         Text(CStringTable::IDS_CMD_ENTER),
         [&frame, &state] {
             if (IsEditing() && !state.fullScreen)
                 MoveToNextField();
             else if (state.fullScreen)
                 frame.SetFullScreen(false);
             else if (frame.CurrentView() == ViewPlayer)
                 frame.SetFullScreen(true);
         },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}},
        {ID_FULL_SCREEN,
         Text(CStringTable::IDS_CMD_FULL_SCREEN),
         [&frame, &state] { frame.SetFullScreen(!state.fullScreen); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_F11)}},
        {ID_EXIT_FULL_SCREEN,
         Text(CStringTable::IDS_CMD_EXIT_FULL_SCREEN),
         [&frame] { frame.SetFullScreen(false); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_Escape)},
         [&state] { return state.fullScreen; },
         true},
        {ID_CHANNEL_POPUP,
         Text(CStringTable::IDS_CMD_CHANNEL_POPUP),
         [&frame] { frame.ToggleChannelPopup(); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::CTRL | Qt::Key_L)}},
        {ID_CHANNEL_DOCK, Text(CStringTable::IDS_CMD_CHANNEL_POPUP),
         [&frame] { frame.ShowChannelPopup(false); }},
        {ID_MINI_PLAYER,
         Text(CStringTable::IDS_CMD_MINI_PLAYER),
         [leaveFullScreenFirst] { leaveFullScreenFirst(true); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::CTRL | Qt::Key_M)},
         [&state] { return state.displayMode == 0; }},
        {ID_NORMAL_PLAYER,
         Text(CStringTable::IDS_CMD_NORMAL_PLAYER),
         [leaveFullScreenFirst] { leaveFullScreenFirst(false); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::CTRL | Qt::Key_M)},
         [&state] { return state.displayMode == 1; }},
        {ID_SHOW_GUIDE,
         Text(CStringTable::IDS_PROGRAM_GUIDE),
         [&frame] { frame.PlayerView().ShowGuide(); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_G)},
         playerKeys,
         false,
         false},
        {ID_CHANNEL_INFO,
         Text(CStringTable::IDS_CMD_CHANNEL_INFO),
         [&frame] { frame.PlayerControlBar().InfoBox()->ShowInfo(); },
         false,
         {},
         {},
         Keys{QKeySequence(Qt::Key_I)},
         [&frame] { return frame.PlayerControlBar().isVisible() && !IsEditing(); },
         false,
         false},
    };
    for (Row& row : rows)
        table.Add(std::move(row));
    table.Bind(&frame);
    table.UpdateStates();
}

} // namespace KelvoFrameCommands
