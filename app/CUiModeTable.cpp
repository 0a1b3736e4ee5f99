#include "app/CUiModeTable.h"

namespace Kelvo {

namespace {

// The bars of a mode as the mode table lists them; `view` decides the player's bars in the
// channel mode.
void ShowBarsOf(CUiLayout& out, int mode, int view)
{
    out.leftBar = mode == ModeChannel || mode == ModeSchedule;
    out.leftPage = mode == ModeSchedule ? LeftPage::Schedule : LeftPage::Channel;
    out.satBar = mode == ModeChannel && view == ViewPlayer;
    out.controlBar = (mode == ModeChannel && view == ViewPlayer) || mode == ModeMini;
}

void NormalCaptions(CUiLayout& out)
{
    out.mainCaption = true;
    out.miniCaption = false;
    out.viewCaption = true;
}

// Common to every change into a mode other than the mini player: dock the popup (not in full
// screen), and leave the mini player when coming from it instead of reloading.
CUiLayout Leave(const CUiState& state, int mode, bool refreshCondition)
{
    CUiLayout out;
    out.uiMode = mode;
    out.displayMode = state.displayMode;
    out.dockPopup = !state.fullScreen;
    if (state.uiMode == ModeMini) {
        out.displayMode = 0;
        NormalCaptions(out);
    } else {
        out.mainCaption = state.displayMode == 0;
        out.miniCaption = state.displayMode != 0;
        out.viewCaption = state.displayMode == 0;
        out.refresh = state.boxConfigured && refreshCondition;
    }
    return out;
}

int ScheduleView(const CUiState& state)
{
    return state.scheduleSelectionOpensEdit ? ViewScheduleEdit : ViewSchedule;
}

} // namespace

CUiLayout CUiModeTable::SetUiMode(const CUiState& state, int mode, int index)
{
    CUiLayout out;
    if (mode == ModeMini) {
        out.uiMode = mode;
        out.displayMode = 1;
        out.mainCaption = false;
        out.miniCaption = true;
        out.viewCaption = false;
    } else {
        out = Leave(state, mode, mode != ModeSetting && mode != state.uiMode && index != state.currentView);
    }
    if (mode > ModeMini || mode < ModeChannel) {
        out.view = index;
        out.keepBars = true;
        return out;
    }
    if (mode == ModeSchedule)
        index = ScheduleView(state);
    out.view = index;
    ShowBarsOf(out, mode, index);
    return out;
}

CUiLayout CUiModeTable::Apply(const CUiState& state, UiTrigger trigger)
{
    CUiLayout out;
    switch (trigger) {
    case UiTrigger::ModeChannel:
    case UiTrigger::PlayService:
        out = Leave(state, ModeChannel, state.uiMode != ModeChannel && state.currentView != ViewPlayer);
        out.view = ViewPlayer;
        break;
    case UiTrigger::ModeSchedule:
        out = Leave(state, ModeSchedule, state.uiMode != ModeSchedule && state.currentView != ViewSchedule);
        out.view = ScheduleView(state);
        break;
    case UiTrigger::ModeSetting:
        out = Leave(state, ModeSetting, false);
        out.view = ViewSetting;
        break;
    case UiTrigger::ShowGuide:
        out = Leave(state, ModeChannel, state.uiMode != ModeChannel && state.currentView != ViewGuide);
        out.view = ViewGuide;
        break;
    case UiTrigger::CloseEditChannel:
        out = Leave(state, ModeChannel, false);
        out.view = ViewGuide;
        break;
    case UiTrigger::StartUnconfigured:
        out = Leave(state, ModeSetting, false);
        out.view = ViewSetting;
        break;
    case UiTrigger::DisplayMini:
        out = SetUiMode(state, ModeMini, ViewPlayer);
        out.dockPopup = false;
        return out;
    case UiTrigger::DisplayNormal:
        out = Leave(state, ModeChannel, state.uiMode != ModeChannel && state.currentView != ViewPlayer);
        NormalCaptions(out);
        out.displayMode = 0;
        out.view = ViewPlayer;
        break;
    }
    ShowBarsOf(out, out.uiMode, out.view);
    return out;
}

} // namespace Kelvo
