#include "player/CKelvoControlBar.h"

#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "player/CKelvoInfoBox.h"
#include "player/CPlaybackState.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/CKelvoSliderCtrl.h"
#include "ui/KelvoImageTable.h"

#include <QCoreApplication>
#include <QPainter>
#include <QWheelEvent>

namespace {

CKelvoButton* MakeButton(QWidget* parent, int commandId, int imageId, int frames)
{
    auto* button = new CKelvoButton(parent, commandId);
    button->SetImage(imageId, frames);
    return button;
}

} // namespace

CKelvoControlBar::CKelvoControlBar(const CQuarnDataModel& db, CMainFrameMessages& messages, QWidget* parent)
    : CNxControlBar(parent), m_messages(messages), m_overlay(new CBarOverlay(*this))
{
    using namespace Kelvo;
    connect(m_overlay, &CBarOverlay::cursorLeft, this, [this] { ShowOverlay(false); });
    connect(m_overlay, &CBarOverlay::docked, this, &CKelvoControlBar::docked);
    SetBackgroundImage(&KelvoRes().imgControlBarBack);

    m_next = MakeButton(this, ID_NEXT_SERVICE, IDB_NEXT_SERVICE, 4);
    m_prev = MakeButton(this, ID_PREV_SERVICE, IDB_PREV_SERVICE, 4);
    m_mute = MakeButton(this, ID_MUTE, IDB_MUTE, 3);
    m_mute->SetKind(CPngButton::Kind::CheckBox, true);
    m_volume = new CKelvoSliderCtrl(this, ID_VOLUME);
    m_volume->setOrientation(Qt::Horizontal);
    m_volume->resize(100, 28);
    m_volume->SetThumbLength(28);
    m_volume->setRange(0, 100);
    m_channelList = MakeButton(this, ID_CHANNEL_POPUP, IDB_CHANNEL_LIST, 4);
    m_mini = MakeButton(this, ID_MINI_PLAYER, IDB_MINI_PLAYER, 4);
    m_normal = MakeButton(this, ID_NORMAL_PLAYER, IDB_NORMAL_PLAYER, 4);
    m_mini->hide();
    m_normal->hide();
    m_infoBox = new CKelvoInfoBox(db, messages, this);
    m_infoBox->resize(CKelvoInfoBox::kMinWidth, CKelvoInfoBox::kHeight);

    // The step buttons act at once when pressed and then every half second while held.
    m_next->SetRepeatDelays({0, 500});
    m_prev->SetRepeatDelays({0, 500});
    m_next->move(21, 7);
    m_prev->move(69, 7);
    m_infoBox->move(120, 7);

    // The buttons carry their command ids and are bound to the frame's commands; only the slider
    // reports a value of its own.
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) {
        if (!m_settingVolume) {
            emit m_messages.setVolume(value);
        }
    });
    ShowModeButtons();
    LayoutBar();
    setObjectName(QStringLiteral("controlBar"));
}

QWidget* CKelvoControlBar::Control(int commandId) const
{
    using namespace Kelvo;
    switch (commandId) {
    case ID_NEXT_SERVICE:
        return m_next;
    case ID_PREV_SERVICE:
        return m_prev;
    case ID_MUTE:
        return m_mute;
    case ID_VOLUME:
        return m_volume;
    case ID_CHANNEL_POPUP:
        return m_channelList;
    case ID_MINI_PLAYER:
        return m_mini;
    case ID_NORMAL_PLAYER:
        return m_normal;
    default:
        return nullptr;
    }
}

void CKelvoControlBar::Follow(const CPlaybackState& now)
{
    connect(&now, &CPlaybackState::pendingServiceChanged, this, &CKelvoControlBar::SetPendingService);
    connect(&now, &CPlaybackState::startedChanged, this, &CKelvoControlBar::SetPlaybackStarted);
    connect(&now, &CPlaybackState::volumeChanged, this, &CKelvoControlBar::SetVolume);
    connect(&now, &CPlaybackState::muteChanged, this, &CKelvoControlBar::SetMute);
}

void CKelvoControlBar::SetPendingService(int serviceKey)
{
    m_infoBox->SetService(serviceKey);
    m_infoBox->SetInfoEnabled(false);
}

void CKelvoControlBar::SetVolume(int volume)
{
    m_settingVolume = true;
    m_volume->setValue(volume);
    m_settingVolume = false;
    m_volume->update();
}

void CKelvoControlBar::SetMute(bool muted)
{
    m_mute->SetChecked(muted);
    m_volume->setEnabled(!muted);
}

void CKelvoControlBar::SetPlaybackStarted(bool started)
{
    m_infoBox->SetInfoEnabled(started);
}

void CKelvoControlBar::SetDisplayMode(int mode)
{
    m_displayMode = mode;
    ShowModeButtons();
    LayoutBar();
}

void CKelvoControlBar::ShowModeButtons()
{
    m_mini->setVisible(m_displayMode == 0);
    m_normal->setVisible(m_displayMode == 1);
}

void CKelvoControlBar::OnBeginUpdate()
{
    m_infoBox->BeginUpdate();
}

void CKelvoControlBar::RefreshContent()
{
    m_infoBox->RefreshContent();
}

void CKelvoControlBar::OnEndUpdate()
{
    m_infoBox->EndUpdate();
}

CKelvoControlBar::Layout CKelvoControlBar::ComputeLayout(int width, bool channelListShown)
{
    const int w = width;
    Layout l;
    l.mini = QRect(w - 48, 12, 34, 34);
    l.normal = l.mini;
    int c = w + 40;
    if (channelListShown) {
        l.channelList = QRect(w - 88, 12, 34, 34);
        c = w;
    }
    l.volume = QRect(c - 199, 18, 100, 28);
    l.mute = QRect(c - 214, 18, 15, 28);
    if (c - 349 >= CKelvoInfoBox::kMinWidth) {
        l.infoBox = QRect(120, 7, c - 349, CKelvoInfoBox::kHeight);
    }
    return l;
}

void CKelvoControlBar::LayoutBar()
{
    // The channel list is offered where the left bar is not visible: mini player, full screen.
    const Layout l = ComputeLayout(width(), m_displayMode == 1 || m_overlay->IsFloating());
    m_mini->move(l.mini.topLeft());
    m_normal->move(l.normal.topLeft());
    m_channelList->setVisible(!l.channelList.isNull());
    if (!l.channelList.isNull()) {
        m_channelList->move(l.channelList.topLeft());
    }
    m_volume->move(l.volume.topLeft());
    m_mute->move(l.mute.topLeft());
    if (l.infoBox.isNull()) {
        m_infoBox->hide();
    } else {
        m_infoBox->resize(l.infoBox.size());
        m_infoBox->show();
    }
}

void CKelvoControlBar::ShowOverlay(bool on)
{
    if (!m_overlay->SetFloating(on, Qt::BottomEdge, kHeight)) {
        return;
    }
    LayoutBar();
    emit overlayShown(on);
}

void CKelvoControlBar::setVisible(bool visible)
{
    if (!m_overlay->DeferVisible(visible)) {
        CNxControlBar::setVisible(visible);
    }
}

void CKelvoControlBar::resizeEvent(QResizeEvent* event)
{
    CNxControlBar::resizeEvent(event);
    LayoutBar();
}

void CKelvoControlBar::wheelEvent(QWheelEvent* event)
{
    // Docked, the turn reaches the frame by itself; floating, the bar has no parent to pass it to.
    if (m_overlay->IsFloating() && m_overlay->Home() != nullptr) {
        QCoreApplication::sendEvent(m_overlay->Home(), event);
        return;
    }
    event->ignore();
}

void CKelvoControlBar::DrawContent(QPainter& p)
{
    KelvoRes().imgChannelTag.Draw(p, QRect(QPoint(4, 7), KelvoRes().imgChannelTag.FrameSize()), 0,
                                  CNxImages::HAlign::Left, CNxImages::VAlign::Top);
}
