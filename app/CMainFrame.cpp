#include "app/CMainFrame.h"

#include "app/CBoxController.h"
#include "app/CChannelPopup.h"
#include "app/CKelvoCommandTable.h"
#include "app/CKelvoMessageBox.h"
#include "app/CPlaybackController.h"
#include "app/CScheduleFlow.h"
#include "app/CViewRegistry.h"
#include "app/bars/CKelvoLeftBar.h"
#include "app/bars/CKelvoWindowHandler.h"
#include "app/bars/CMainFrameCaptionBar.h"
#include "app/bars/CMiniFrameCaptionBar.h"
#include "app/bars/CViewCaptionBar.h"
#include "app/bars/KelvoDockLayout.h"
#include "app/settings/CKelvoAppState.h"
#include "app/settings/CKelvoConnection.h"
#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "model/CQuarnDataModel.h"
#include "player/CKelvoControlBar.h"
#include "player/CKelvoOverlayManager.h"
#include "player/CKelvoSATInfoBar.h"
#include "player/CKelvoViewPlayer.h"
#include "player/CMediaPlayer.h"
#include "player/CPlaybackState.h"
#include "rcu/CKelvoRCUWindow.h"
#include "rcu/KelvoRCU.h"
#include "res/CStringTable.h"
#include "views/channel/CKelvoDlgChannelInfo.h"
#include "views/channel/CKelvoPageChannel.h"
#include "views/guide/CKelvoViewEPG.h"
#include "views/schedule/CKelvoPageSchedule.h"
#include "views/schedule/CKelvoViewSchedule.h"
#include "views/schedule/CKelvoViewScheduleEdit.h"
#include "views/settings/CKelvoViewSetting.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

using namespace Kelvo;

CMainFrame::CMainFrame(IKelvoApplication& app)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_app(app), m_state(app.State()),
      m_box(app.Box()), m_playback(app.Playback())
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::StrongFocus);
    setContentsMargins(kBorderWidth, kBorderWidth, kBorderWidth, kBorderWidth);
    m_messages = new CMainFrameMessages(this);
    m_commands = new CKelvoCommandTable(this);
}

CMainFrame::~CMainFrame()
{
    // Stopping the player before its window goes; the box is told to stop only when it streams.
    m_app.MediaPlayer().Stop();
    if (m_state.streamingService >= 0)
        m_box.QuickStopStreaming();
}

bool CMainFrame::LoadFrame()
{
    CreateChildren();
    ConnectMessages();
    ConnectController();

    m_window = new CKelvoWindowHandler(this);
    m_window->CreateGlowWindows(8, false);
    CreateOverlays();
    CreateRemote();
    m_playback.ApplyStoredAudio();
    m_commands->SetOwnWindows([this](const QWidget* window) {
        return window == this || (window && window == m_channelPopup->Window());
    });

    SetDisplayMode(m_state.displayMode == 1);
    if (!m_state.boxConfigured)
        ApplyTrigger(UiTrigger::StartUnconfigured);
    return true;
}

void CMainFrame::CreateRemote()
{
    m_remote = CreateRCU(this);
    auto* rcu = qobject_cast<CKelvoRCUWindow*>(m_remote.data());
    if (!rcu)
        return;
    connect(rcu, &CKelvoRCUWindow::attached, m_window, &CKelvoWindowHandler::SetRemoteAttached);
    // Snapping the frame against the remote attaches it as its own button would.
    connect(m_window, &CKelvoWindowHandler::remoteAttachedChanged, rcu, &CKelvoRCUWindow::SetAttached);
    m_window->SetRemoteWindow(m_remote);
}

void CMainFrame::CreateChildren()
{
    const CQuarnDataModel& db = m_app.Database();
    m_mainCaption = new CMainFrameCaptionBar(this);
    m_miniCaption = new CMiniFrameCaptionBar(this);
    m_leftBar = new CKelvoLeftBar(this);
    m_satBar = new CKelvoSATInfoBar(db, this);
    m_controlBar = new CKelvoControlBar(db, *m_messages, this);
    m_viewCaption = new CViewCaptionBar(this);
    m_bars = {m_mainCaption, m_miniCaption, m_leftBar, m_satBar, m_controlBar, m_viewCaption};
    m_miniCaption->hide();

    auto boxTime = [this] { return m_box.BoxTime(); };
    m_channelPage = new CKelvoPageChannel(db, *m_messages, m_leftBar);
    m_schedulePage = new CKelvoPageSchedule(db, *m_messages, boxTime, m_leftBar);
    m_leftBar->AddPage(m_channelPage);
    m_leftBar->AddPage(m_schedulePage);

    m_viewRegistry = new CViewRegistry(*m_viewCaption, this);
    CViewRegistry& views = *m_viewRegistry;
    m_player = views.Add(ViewPlayer, new CKelvoViewPlayer(db, *m_messages, m_app.MediaPlayer(), this));
    m_setting = views.Add(ViewSetting, new CKelvoViewSetting(*m_messages, this));
    m_setting->SetDiscoveryScope(m_app.Discovery());
    m_schedule = views.Add(ViewSchedule, new CKelvoViewSchedule(db, *m_messages, this));
    m_scheduleEdit = views.Add(ViewScheduleEdit, new CKelvoViewScheduleEdit(db, *m_messages, boxTime, this));
    m_guide = views.Add(ViewGuide, new CKelvoViewEPG(db, *m_messages, boxTime, this));
    for (CKelvoView* part :
         std::initializer_list<CKelvoView*>{m_channelPage, m_schedulePage, m_controlBar, m_satBar})
        views.AddPart(part);
    m_schedules = new CScheduleFlow({*m_guide, *m_schedule, *m_scheduleEdit, *m_schedulePage},
                                    {[this](UiTrigger t) { return ApplyTrigger(t); },
                                     [this](int mode, int view) { SetUiMode(mode, view); }},
                                    m_box, m_state, this);
    m_channelPopup = std::make_unique<CChannelPopup>(*m_channelPage, *m_leftBar, *this);

    m_player->SetMediaType(m_state.mediaType);
    m_channelPage->SetMediaType(m_state.mediaType);
    connect(m_viewRegistry, &CViewRegistry::currentChanged, this, &CMainFrame::OnViewChanged);
    SwitchView(ViewPlayer);
}

void CMainFrame::CreateOverlays()
{
    // In full screen the bars float over the picture as windows of their own: a child widget
    // painted over the engine's native window would not show.
    m_overlays = new CKelvoOverlayManager(m_player, this);
    m_overlays->SetOverlay(CKelvoOverlayManager::Edge::Bottom,
                           [this](bool on) { m_controlBar->ShowOverlay(on); });
    m_overlays->SetOverlay(CKelvoOverlayManager::Edge::Top,
                           [this](bool on) { m_miniCaption->ShowOverlay(on); });
    m_overlays->SetPlayingQuery([this] { return m_app.MediaPlayer().IsPlaying(); });
    connect(&m_playback, &CPlaybackController::pictureStarted, m_overlays,
            &CKelvoOverlayManager::RestartCursorTimer);
    connect(m_controlBar, &CKelvoControlBar::docked, this, &CMainFrame::Layout);
    connect(m_miniCaption, &CMiniFrameCaptionBar::docked, this, &CMainFrame::Layout);
}

void CMainFrame::ConnectMessages()
{
    CMainFrameMessages& m = *m_messages;
    connect(&m, &CMainFrameMessages::playService, &m_playback, &CPlaybackController::SelectService);
    m_schedules->Connect(m);
    connect(&m, &CMainFrameMessages::setVolume, &m_playback, &CPlaybackController::SetVolume);
    connect(&m, &CMainFrameMessages::showChannelInfo, this, &CMainFrame::OnShowChannelInfo);

    const CPlaybackState& now = m_playback.Now();
    m_controlBar->Follow(now);
    m_satBar->Follow(now);
    m_player->Follow(now);
    m_channelPage->Follow(now);
    connect(&now, &CPlaybackState::muteChanged, m_commands, &CKelvoCommandTable::UpdateStates);
    connect(&m_playback, &CPlaybackController::showPlayerView, this,
            [this] { ApplyTrigger(UiTrigger::PlayService); });
    connect(m_channelPage, &CKelvoPageChannel::mediaTypeChanged, this, [this](int type) {
        m_state.mediaType = type;
        m_player->SetMediaType(type);
    });
    connect(m_mainCaption, &CMainFrameCaptionBar::fullScreenRequested, this,
            [this] { m_commands->Trigger(ID_FULL_SCREEN); });
    connect(m_miniCaption, &CMiniFrameCaptionBar::fullScreenRequested, this,
            [this] { m_commands->Trigger(ID_FULL_SCREEN); });
}

void CMainFrame::ConnectController()
{
    connect(&m_box, &CBoxController::updateBegins, m_viewRegistry, &CViewRegistry::BeginUpdate);
    connect(&m_box, &CBoxController::updateEnds, this, [this] {
        m_viewRegistry->EndUpdate();
        if (m_closePending && !m_box.IsBusy())
            QTimer::singleShot(0, this, &QWidget::close);
    });
    connect(&m_box, &CBoxController::reloaded, this, [this] {
        m_schedules->OnReloaded();
        m_viewRegistry->RefreshContent();
    });
    connect(&m_box, &CBoxController::busyChanged, this, &CMainFrame::OnBusyChanged);
    connect(&m_box, &CBoxController::failure, this, &CMainFrame::ShowFailure);
}

void CMainFrame::ShowFailure(const QString& caption, const QString& text)
{
    CKelvoMessageBox::Show(this, caption, text);
}

void CMainFrame::OnBusyChanged(bool busy)
{
    // The remote window is a top-level window of its own and stays usable: keys go out even
    // while a reload waits.
    setEnabled(!busy);
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

Kelvo::CUiState CMainFrame::UiState() const
{
    CUiState s;
    s.uiMode = m_state.uiMode;
    s.displayMode = m_state.displayMode;
    s.currentView = CurrentView();
    s.boxConfigured = m_state.boxConfigured;
    s.fullScreen = m_state.fullScreen;
    s.scheduleSelectionOpensEdit = m_schedulePage->SelectionOpensEditForm();
    return s;
}

void CMainFrame::Apply(const CUiLayout& layout)
{
    m_state.uiMode = layout.uiMode;
    m_state.displayMode = layout.displayMode;
    if (layout.dockPopup)
        m_channelPopup->Dock();
    if (!layout.keepBars) {
        m_mainCaption->setVisible(layout.mainCaption);
        m_miniCaption->setVisible(layout.miniCaption);
        m_viewCaption->setVisible(layout.viewCaption);
        m_leftBar->ShowPage(layout.leftPage == LeftPage::Schedule ? static_cast<QWidget*>(m_schedulePage)
                                                                  : static_cast<QWidget*>(m_channelPage));
        m_leftBar->setVisible(layout.leftBar);
        m_satBar->setVisible(layout.satBar);
        m_controlBar->setVisible(layout.controlBar);
        m_controlBar->SetDisplayMode(layout.displayMode);
    }
    UpdateMinimumSize();
    Layout();
    SwitchView(layout.view);
    m_commands->UpdateStates();
    // Last: the reload waits in a nested loop, and what paints meanwhile is the new mode.
    if (layout.refresh)
        RefreshFromBox();
}

CUiLayout CMainFrame::ApplyTrigger(UiTrigger trigger)
{
    if (trigger == UiTrigger::DisplayNormal) {
        // Leaving the mini player gives the window at least the normal mode's size.
        const QSize min = kMinimumNormal;
        if (width() < min.width() || height() < min.height())
            resize(std::max(width(), min.width()), std::max(height(), min.height()));
    }
    const CUiLayout layout = CUiModeTable::Apply(UiState(), trigger);
    Apply(layout);
    return layout;
}

void CMainFrame::SetUiMode(int mode, int index)
{
    Apply(CUiModeTable::SetUiMode(UiState(), mode, index));
}

void CMainFrame::OnViewChanged(int index)
{
    Layout();
    m_playback.SetPlayerViewShown(index == ViewPlayer);
    if (index != ViewPlayer)
        m_playback.CancelStep();
    if (index == ViewSetting) {
        m_setting->LoadFromSettings(m_app.Connection().Value());
        m_setting->SetQuickStart(m_app.Connection().QuickStart());
    }
    m_commands->UpdateStates();
}

void CMainFrame::Layout()
{
    // A bar floating over the picture (full screen, the mini player's hover) takes no strip.
    using KelvoDockLayout::Edge;
    QWidget* miniCaption = m_miniCaption->IsOverlayShown() ? nullptr : m_miniCaption;
    QWidget* controlBar = m_controlBar->IsOverlayShown() ? nullptr : m_controlBar;
    const QRect rest = KelvoDockLayout::Dock(contentsRect(), {{m_mainCaption, Edge::Top},
                                                              {miniCaption, Edge::Top},
                                                              {m_leftBar, Edge::Left},
                                                              {m_satBar, Edge::Bottom},
                                                              {controlBar, Edge::Bottom},
                                                              {m_viewCaption, Edge::Top}});
    if (QWidget* view = m_viewRegistry->CurrentWidget())
        view->setGeometry(rest);
}

void CMainFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Layout();
}

void CMainFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QRegion border = QRegion(rect()) - QRegion(contentsRect());
    for (const QRect& r : border)
        p.drawRect(r);
}

void CMainFrame::wheelEvent(QWheelEvent* event)
{
    if (CurrentView() != ViewPlayer)
        return QWidget::wheelEvent(event);
    m_playback.SetVolume(m_state.volume + (event->angleDelta().y() < 0 ? -1 : 1));
    event->accept();
}

void CMainFrame::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    if (QWidget* view = m_viewRegistry->CurrentWidget())
        view->setFocus();
}

bool CMainFrame::IsWindowMaximized() const
{
    return m_window->IsMaximized();
}

bool CMainFrame::RefreshFromBox()
{
    return m_box.Reload(m_schedules->GuideService());
}

void CMainFrame::ShowChannelPopup(bool show)
{
    if (show)
        m_channelPopup->Show();
    else
        m_channelPopup->Dock();
}

bool CMainFrame::IsChannelPopupShown() const
{
    return m_channelPopup->IsShown();
}

void CMainFrame::ToggleChannelPopup()
{
    if (m_channelPopup->IsFloating())
        ShowChannelPopup(false);
    else if (m_state.displayMode == 1 || m_state.fullScreen)
        ShowChannelPopup(true);
}

void CMainFrame::ToggleRemote()
{
    if (!m_remote)
        return;
    if (m_remote->isVisible()) {
        m_remote->hide();
    } else {
        m_remote->move(frameGeometry().right() + 1, frameGeometry().top());
        m_remote->show();
    }
    activateWindow();
    setFocus();
}

void CMainFrame::RefreshChannels()
{
    if (m_state.boxConfigured)
        RefreshFromBox();
    else
        ShowFailure(CStringTable::Get(CStringTable::IDS_STB_SETTING),
                    CStringTable::Get(CStringTable::IDS_NEED_STB_IP));
}

void CMainFrame::SaveSettings()
{
    if (CurrentView() != ViewSetting)
        return;
    // Refused before anything changes: the stream plays on and the form keeps what was typed.
    if (const auto problem = m_setting->CheckInput()) {
        ShowFailure(CStringTable::Get(problem->captionId), CStringTable::Get(problem->textId));
        return;
    }
    if (m_state.streamingService >= 0)
        m_playback.StopService();
    m_box.ForgetBox();
    m_app.Connection().Apply(m_setting->SaveToSettings(), m_setting->QuickStart());
    // Saying "saved" when the file could not be written would lose the user's box at the next start
    // without a word.
    const bool saved = m_app.SaveSettings();
    ShowFailure(
        CStringTable::Get(CStringTable::IDS_SETTING_CAPTION),
        CStringTable::Get(saved ? CStringTable::IDS_SETTING_SAVED : CStringTable::IDS_SETTING_NOT_SAVED));
}

void CMainFrame::OnShowChannelInfo(int serviceKey)
{
    CKelvoDlgChannelInfo dlg(m_app.Database(), serviceKey, m_app.MediaPlayer(), this);
    dlg.exec();
}

void CMainFrame::SetFullScreen(bool on)
{
    m_state.fullScreen = on;
    if (on) {
        SwitchView(ViewPlayer);
        for (QWidget* bar : m_bars)
            bar->hide();
        m_player->SetFullScreen(true);
        Layout();
        m_window->SetFullScreen(true);
        m_overlays->SetFullScreen(true);
        return;
    }
    // The floating bars dock before they are shown again as bars of the frame.
    m_overlays->SetFullScreen(false);
    m_player->SetFullScreen(false);
    m_window->SetFullScreen(false);
    (m_state.displayMode == 1 ? static_cast<QWidget*>(m_miniCaption) : m_mainCaption)->show();
    m_viewCaption->show();
    SetDisplayMode(m_state.displayMode == 1);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_box.IsBusy()) {
        // The box operation under way waits in a nested loop further up the stack; closing now
        // would destroy what it returns to.
        m_closePending = true;
        event->ignore();
        return;
    }
    m_state.maximized = isMaximized();
    m_state.SetWindowRect(m_window->NormalGeometry());
    m_app.SaveSettings();
    if (m_remote)
        m_remote->close();
    event->accept();
}
