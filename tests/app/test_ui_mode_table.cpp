#include "app/CUiModeTable.h"

#include <gtest/gtest.h>

using namespace Kelvo;

namespace {

struct Case
{
    const char* name;
    UiTrigger trigger;
    int oldMode;
    int currentView;
    bool configured;
    bool selectionOpensEdit;
    // expected
    int mode;
    int view;
    bool refresh;
    bool left;
    LeftPage page;
    bool sat;
    bool control;
};

constexpr LeftPage C = LeftPage::Channel;
constexpr LeftPage S = LeftPage::Schedule;

const Case kCases[] = {
    // trigger                         old view cfg  edit | mode view refresh left page sat  ctrl
    {"channel from setting", UiTrigger::ModeChannel, 2, 1, true, false, 0, 0, true, true, C, true, true},
    {"channel while player shown", UiTrigger::ModeChannel, 0, 0, true, false, 0, 0, false, true, C, true, true},
    {"channel from guide, same mode", UiTrigger::ModeChannel, 0, 4, true, false, 0, 0, false, true, C, true, true},
    {"channel unconfigured", UiTrigger::ModeChannel, 2, 1, false, false, 0, 0, false, true, C, true, true},
    {"schedule from channel", UiTrigger::ModeSchedule, 0, 0, true, false, 1, 2, true, true, S, false, false},
    {"schedule, selection opens edit", UiTrigger::ModeSchedule, 0, 0, true, true, 1, 3, true, true, S, false, false},
    {"schedule while list shown", UiTrigger::ModeSchedule, 0, 2, true, false, 1, 2, false, true, S, false, false},
    {"schedule again", UiTrigger::ModeSchedule, 1, 3, true, false, 1, 2, false, true, S, false, false},
    {"setting never refreshes", UiTrigger::ModeSetting, 0, 0, true, false, 2, 1, false, false, C, false, false},
    {"guide from schedule", UiTrigger::ShowGuide, 1, 2, true, false, 0, 4, true, true, C, false, false},
    {"guide from channel", UiTrigger::ShowGuide, 0, 0, true, false, 0, 4, false, true, C, false, false},
    {"play from guide", UiTrigger::PlayService, 0, 4, true, false, 0, 0, false, true, C, true, true},
    {"play from schedule", UiTrigger::PlayService, 1, 2, true, false, 0, 0, true, true, C, true, true},
    {"start unconfigured", UiTrigger::StartUnconfigured, 0, 0, false, false, 2, 1, false, false, C, false, false},
    {"close edit in channel mode", UiTrigger::CloseEditChannel, 0, 3, true, false, 0, 4, false, true, C, false, false},
    {"mini player", UiTrigger::DisplayMini, 0, 4, true, false, 3, 0, false, false, C, false, true},
    {"normal from mini", UiTrigger::DisplayNormal, 3, 0, true, false, 0, 0, false, true, C, true, true},
    {"normal from setting", UiTrigger::DisplayNormal, 2, 1, true, false, 0, 0, true, true, C, true, true},
    // Any mode chosen from the mini player leaves it for the normal window.
    {"schedule from mini", UiTrigger::ModeSchedule, 3, 0, true, false, 1, 2, false, true, S, false, false},
    {"setting from mini", UiTrigger::ModeSetting, 3, 0, true, false, 2, 1, false, false, C, false, false},
};

class UiModeTableTest : public ::testing::TestWithParam<Case>
{
};

} // namespace

TEST_P(UiModeTableTest, ResolvesModeBarsViewAndRefresh)
{
    const Case& c = GetParam();
    CUiState state;
    state.uiMode = c.oldMode;
    state.displayMode = c.oldMode == ModeMini ? 1 : 0;
    state.currentView = c.currentView;
    state.boxConfigured = c.configured;
    state.scheduleSelectionOpensEdit = c.selectionOpensEdit;
    const CUiLayout out = CUiModeTable::Apply(state, c.trigger);
    EXPECT_EQ(out.uiMode, c.mode);
    EXPECT_EQ(out.view, c.view);
    EXPECT_EQ(out.refresh, c.refresh);
    EXPECT_EQ(out.leftBar, c.left);
    if (c.left) {
        EXPECT_EQ(out.leftPage, c.page);
    }
    EXPECT_EQ(out.satBar, c.sat);
    EXPECT_EQ(out.controlBar, c.control);
    const bool mini = c.mode == ModeMini;
    EXPECT_EQ(out.displayMode, mini ? 1 : 0);
    EXPECT_EQ(out.mainCaption, !mini);
    EXPECT_EQ(out.miniCaption, mini);
    EXPECT_EQ(out.viewCaption, !mini);
    // Leaving the mini player restores the captions and never reloads on the way.
    if (c.oldMode == ModeMini) {
        EXPECT_FALSE(out.refresh);
    }
}

INSTANTIATE_TEST_SUITE_P(Triggers, UiModeTableTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) {
                             std::string n = param.param.name;
                             for (char& ch : n)
                                 if (!isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return n;
                         });

TEST(UiModeTable, SetUiModeRefreshesOnlyForAnotherModeAndView)
{
    CUiState state;
    state.boxConfigured = true;
    state.uiMode = ModeSchedule;
    state.currentView = ViewSchedule;
    // The stepping timer's commit from the schedule list: another mode, another view.
    CUiLayout out = CUiModeTable::SetUiMode(state, ModeChannel, ViewPlayer);
    EXPECT_TRUE(out.refresh);
    EXPECT_TRUE(out.satBar);
    // The edit form within the same mode: no reload.
    out = CUiModeTable::SetUiMode(state, ModeSchedule, ViewScheduleEdit);
    EXPECT_FALSE(out.refresh);
    // Into the setting mode: never.
    out = CUiModeTable::SetUiMode(state, ModeSetting, ViewSetting);
    EXPECT_FALSE(out.refresh);
    // A channel-mode view other than the player hides the player's bars.
    state.uiMode = ModeChannel;
    out = CUiModeTable::SetUiMode(state, ModeChannel, ViewScheduleEdit);
    EXPECT_FALSE(out.satBar);
    EXPECT_FALSE(out.controlBar);
    EXPECT_EQ(out.view, ViewScheduleEdit);
}

TEST(UiModeTable, FullScreenKeepsTheFloatingPopup)
{
    CUiState state;
    state.fullScreen = true;
    EXPECT_FALSE(CUiModeTable::Apply(state, UiTrigger::ModeSchedule).dockPopup);
    state.fullScreen = false;
    EXPECT_TRUE(CUiModeTable::Apply(state, UiTrigger::ModeSchedule).dockPopup);
}
