#pragma once

#include "app/CUiModeTable.h"
#include "app/CViewRegistry.h"
#include "app/IKelvoApplication.h"
#include "app/settings/CKelvoAppState.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

class CBoxController;
class CChannelPopup;
class CKelvoCommandTable;
class CKelvoControlBar;
class CKelvoLeftBar;
class CKelvoOverlayManager;
class CKelvoPageChannel;
class CKelvoPageSchedule;
class CKelvoSATInfoBar;
class CKelvoViewEPG;
class CKelvoViewPlayer;
class CKelvoViewSchedule;
class CKelvoViewScheduleEdit;
class CKelvoViewSetting;
class CKelvoWindowHandler;
class CMainFrameCaptionBar;
class CMainFrameMessages;
class CMiniFrameCaptionBar;
class CPlaybackController;
class CScheduleElement;
class CScheduleFlow;
class CViewCaptionBar;

// The one top-level window: caption bars, the left bar with its pages, the player's bars, the
// views and the floating channel popup, laid out in docking order. It is given the application's
// objects (IKelvoApplication) and wires them to what shows: the box controller runs box
// operations, the playback controller plays, the mode table decides what shows, the window handler
// moves the frameless window. Its public operations are the user's intents, which the command
// table's rows (built with the frame by the application) call.
class CMainFrame final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    static constexpr int kBorderWidth = 1;
    static constexpr QSize kMinimumNormal{1020 + 2 * kBorderWidth, 686 + 2 * kBorderWidth};
    static constexpr QSize kMinimumMini{340 + 2 * kBorderWidth, 320 + 2 * kBorderWidth};

    explicit CMainFrame(IKelvoApplication& app);
    ~CMainFrame() override;

    // Frame loading: the window and its children, the stored display mode, and the setting mode
    // when no box is configured (the settings are loaded by then).
    bool LoadFrame();

    void SwitchView(int index) { m_viewRegistry->Switch(index); }
    void SetUiMode(int mode, int index);
    // Returns the layout applied, so a caller can tell whether the change reloaded.
    Kelvo::CUiLayout ApplyTrigger(Kelvo::UiTrigger trigger);
    void SetDisplayMode(bool mini)
    {
        ApplyTrigger(mini ? Kelvo::UiTrigger::DisplayMini : Kelvo::UiTrigger::DisplayNormal);
    }
    bool RefreshFromBox();
    void ShowChannelPopup(bool show);
    bool IsChannelPopupShown() const;
    void ToggleChannelPopup();
    void SetFullScreen(bool on);
    void ToggleRemote();
    // The refresh button: a reload, or the reason there is none.
    void RefreshChannels();
    // The settings form's Save: checked, applied, stored, and the outcome told.
    void SaveSettings();
    bool IsWindowMaximized() const;

    int CurrentView() const { return m_viewRegistry->Current(); }
    bool IsFullScreen() const { return m_state.fullScreen; }
    int Volume() const { return m_state.volume; }
    QWidget* View(int index) const { return m_viewRegistry->Widget(index); }
    // Where views register; a view added here can be switched to like the frame's own.
    CViewRegistry& Views() const { return *m_viewRegistry; }
    CMainFrameMessages& Messages() const { return *m_messages; }
    CKelvoCommandTable& Commands() const { return *m_commands; }
    CPlaybackController& Playback() const { return m_playback; }
    CKelvoViewPlayer& PlayerView() const { return *m_player; }
    CKelvoPageChannel& ChannelPage() const { return *m_channelPage; }
    CKelvoControlBar& PlayerControlBar() const { return *m_controlBar; }
    CKelvoPageSchedule& SchedulePage() const { return *m_schedulePage; }
    QWidget* RemoteWindow() const { return m_remote; }

    // The bars in docking order, for layout checks.
    enum Bar
    {
        MainCaption,
        MiniCaption,
        LeftBar,
        SatBar,
        ControlBar,
        ViewCaption,
        BarCount
    };
    QWidget* BarWidget(Bar bar) const { return m_bars[bar]; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void CreateChildren();
    void CreateOverlays();
    void CreateRemote();
    void ConnectMessages();
    void ConnectController();
    void Apply(const Kelvo::CUiLayout& layout);
    Kelvo::CUiState UiState() const;
    void Layout();
    void UpdateMinimumSize() { setMinimumSize(m_state.displayMode == 1 ? kMinimumMini : kMinimumNormal); }

    void OnViewChanged(int index);
    void OnShowChannelInfo(int serviceKey);
    void OnBusyChanged(bool busy);
    void ShowFailure(const QString& caption, const QString& text);

    IKelvoApplication& m_app;
    CKelvoAppState& m_state;
    CBoxController& m_box;
    CPlaybackController& m_playback;
    CMainFrameMessages* m_messages = nullptr;
    CKelvoCommandTable* m_commands = nullptr;
    CKelvoWindowHandler* m_window = nullptr;
    CKelvoOverlayManager* m_overlays = nullptr;

    std::array<QWidget*, BarCount> m_bars{};
    CMainFrameCaptionBar* m_mainCaption = nullptr;
    CMiniFrameCaptionBar* m_miniCaption = nullptr;
    CKelvoLeftBar* m_leftBar = nullptr;
    CKelvoSATInfoBar* m_satBar = nullptr;
    CKelvoControlBar* m_controlBar = nullptr;
    CViewCaptionBar* m_viewCaption = nullptr;
    CKelvoPageChannel* m_channelPage = nullptr;
    CKelvoPageSchedule* m_schedulePage = nullptr;

    CViewRegistry* m_viewRegistry = nullptr;
    CKelvoViewPlayer* m_player = nullptr;
    CKelvoViewSetting* m_setting = nullptr;
    CKelvoViewSchedule* m_schedule = nullptr;
    CKelvoViewScheduleEdit* m_scheduleEdit = nullptr;
    CKelvoViewEPG* m_guide = nullptr;
    CScheduleFlow* m_schedules = nullptr;
    std::unique_ptr<CChannelPopup> m_channelPopup;
    QPointer<QWidget> m_remote;
    // A close asked for while a box operation waits is carried out when it has ended.
    bool m_closePending = false;
};
