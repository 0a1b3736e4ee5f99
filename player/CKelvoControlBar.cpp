#include "player/CKelvoControlBar.h"

#include "player/CKelvoInfoBox.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/CKelvoSliderCtrl.h"
#include "ui/CMainFrameMessages.h"
#include "ui/KelvoCommandIds.h"

#include <QCoreApplication>
#include <QCursor>
#include <QPainter>
#include <QTimerEvent>
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
    : CNxControlBar(parent), m_messages(messages)
{
    using namespace Kelvo;
    SetBackgroundImage(&KelvoRes().imgControlBarBack);

    m_next = MakeButton(this, ID_NEXT_SERVICE, 398, 4);
    m_prev = MakeButton(this, ID_PREV_SERVICE, 396, 4);
    m_mute = MakeButton(this, ID_MUTE, 405, 3);
    m_mute->SetKind(CPngButton::Kind::CheckBox, true);
    m_volume = new CKelvoSliderCtrl(this, ID_VOLUME);
    m_volume->setOrientation(Qt::Horizontal);
    m_volume->resize(100, 28);
    m_volume->SetThumbLength(28);
    m_volume->setRange(0, 100);
    m_channelList = MakeButton(this, ID_CHANNEL_POPUP, 397, 4);
    m_mini = MakeButton(this, ID_MINI_PLAYER, 437, 4);
    m_normal = MakeButton(this, ID_NORMAL_PLAYER, 438, 4);
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

    connect(m_next, &CKelvoButton::clicked, this, [this] { emit m_messages.nextService(); });
    connect(m_prev, &CKelvoButton::clicked, this, [this] { emit m_messages.prevService(); });
    connect(m_mute, &CKelvoButton::clicked, this, [this] {
        const bool muted = m_mute->IsChecked();
        m_volume->setEnabled(!muted);
        emit m_messages.setMute(muted);
    });
    connect(m_volume, &QSlider::valueChanged, this, [this](int value) {
        if (!m_settingVolume) {
            emit m_messages.setVolume(value);
        }
    });
    connect(m_channelList, &CKelvoButton::clicked, this, [this] { emit m_messages.toggleChannelPopup(); });
    connect(m_mini, &CKelvoButton::clicked, this, [this] {
        emit m_messages.setDisplayMode(true);
        m_normal->show();
        m_mini->hide();
    });
    connect(m_normal, &CKelvoButton::clicked, this, [this] {
        emit m_messages.setDisplayMode(false);
        m_normal->hide();
        m_mini->show();
    });
    ShowModeButtons();
    LayoutBar();
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

void CKelvoControlBar::BeginUpdate()
{
    m_infoBox->BeginUpdate();
}

void CKelvoControlBar::RefreshContent()
{
    m_infoBox->RefreshContent();
}

void CKelvoControlBar::EndUpdate()
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
    const Layout l = ComputeLayout(width(), m_displayMode == 1 || m_overlay);
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
    if (on == m_overlay) {
        return;
    }
    if (on) {
        QWidget* home = parentWidget();
        if (home == nullptr) {
            return;
        }
        m_home = home;
        m_dockPending = false;
        m_stackedAbove = nullptr;
        const QObjectList& siblings = home->children();
        const qsizetype index = siblings.indexOf(this);
        for (qsizetype i = index + 1; index >= 0 && i < siblings.size(); ++i) {
            if (siblings.at(i)->isWidgetType()) {
                m_stackedAbove = static_cast<QWidget*>(siblings.at(i));
                break;
            }
        }
        const QRect client = home->contentsRect();
        const QRect band(client.left(), client.bottom() + 1 - kHeight, client.width(), kHeight);
        m_overlayRect = QRect(home->mapToGlobal(band.topLeft()), band.size());
        m_overlay = true;
        // A child would not show over the engine's native picture window: a window of its own,
        // kept above the frame, that never takes the focus from it.
        setParent(home, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(m_overlayRect);
        LayoutBar();
        show();
        raise();
        m_poll.start(kOverlayPollMs, this);
    } else {
        m_poll.stop();
        m_overlay = false;
        hide();
        // Turning the window back into a child destroys its native window, and this may run
        // inside a click on one of the bar's own buttons (mini/normal leave full screen), with
        // that window's event handler still on the stack: the bar docks once the event is done.
        m_dockPending = true;
        m_showAfterDock = false;
        QMetaObject::invokeMethod(this, &CKelvoControlBar::Dock, Qt::QueuedConnection);
        LayoutBar();
    }
    emit overlayShown(on);
}

void CKelvoControlBar::Dock()
{
    if (!m_dockPending) {
        return;
    }
    m_dockPending = false;
    if (m_home) {
        setParent(m_home, Qt::Widget);
        if (m_stackedAbove && m_stackedAbove->parentWidget() == m_home) {
            stackUnder(m_stackedAbove);
        }
    }
    if (m_showAfterDock) {
        m_showAfterDock = false;
        show();
    }
    emit docked();
}

void CKelvoControlBar::setVisible(bool visible)
{
    // Shown by the frame's layout before it has docked: shown once it is a child again, never as
    // a stray window.
    if (m_dockPending) {
        m_showAfterDock = visible;
        if (visible) {
            return;
        }
    }
    CNxControlBar::setVisible(visible);
}

void CKelvoControlBar::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_poll.timerId()) {
        CNxControlBar::timerEvent(event);
        return;
    }
    if (!m_overlayRect.contains(QCursor::pos())) {
        ShowOverlay(false);
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
    if (m_overlay && m_home) {
        QCoreApplication::sendEvent(m_home, event);
        return;
    }
    event->ignore();
}

void CKelvoControlBar::DrawContent(QPainter& p)
{
    KelvoRes().imgChannelTag.Draw(p, QRect(QPoint(4, 7), KelvoRes().imgChannelTag.FrameSize()), 0,
                                  CNxImages::HAlign::Left, CNxImages::VAlign::Top);
}
