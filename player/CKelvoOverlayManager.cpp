#include "player/CKelvoOverlayManager.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QTimerEvent>
#include <QWidget>
#include <QWindow>

CKelvoOverlayManager::CKelvoOverlayManager(QWidget* host, QObject* parent) : QObject(parent), m_host(host)
{
    qApp->installEventFilter(this);
}

CKelvoOverlayManager::~CKelvoOverlayManager()
{
    qApp->removeEventFilter(this);
    ShowCursor();
}

void CKelvoOverlayManager::SetOverlay(Edge edge, std::function<void(bool)> showOverlay)
{
    m_overlays[static_cast<size_t>(edge)] = std::move(showOverlay);
}

void CKelvoOverlayManager::SetFullScreen(bool on)
{
    m_fullScreen = on;
    if (!on) {
        for (const auto& show : m_overlays) {
            if (show) {
                show(false);
            }
        }
    }
    UpdatePolling();
}

void CKelvoOverlayManager::UpdatePolling()
{
    // Besides the events, the poll follows the cursor while a bar may have to float in, or while
    // the cursor is hidden or about to be.
    const bool needed = m_fullScreen || m_cursorTimer.isActive() || m_cursorHidden;
    if (needed && !m_poll.isActive()) {
        m_poll.start(kPollMs, this);
    } else if (!needed) {
        m_poll.stop();
    }
}

bool CKelvoOverlayManager::OverHost(const QPoint& global) const
{
    if (!m_host || !m_host->isVisible() || !m_host->rect().contains(m_host->mapFromGlobal(global))) {
        return false;
    }
    // Only where the picture itself is under the cursor, not a popup or a floating bar.
    QWidget* under = QApplication::widgetAt(global);
    return under != nullptr && (under == m_host || m_host->isAncestorOf(under));
}

void CKelvoOverlayManager::OnCursor(const QPoint& global, bool pressed)
{
    const bool moved = global != m_lastPos;
    m_lastPos = global;
    if (moved || pressed) {
        ShowCursor();
        if (m_host && m_host->isVisible() && m_host->rect().contains(m_host->mapFromGlobal(global))) {
            m_cursorTimer.start(kCursorHideMs, this);
        } else {
            m_cursorTimer.stop();
        }
    }
    if (m_fullScreen && m_host && m_host->isVisible()) {
        const QPoint local = m_host->mapFromGlobal(global);
        if (m_host->rect().contains(local)) {
            const auto& bottom = m_overlays[static_cast<size_t>(Edge::Bottom)];
            const auto& top = m_overlays[static_cast<size_t>(Edge::Top)];
            if (local.y() >= m_host->height() - kEdgeBand && bottom) {
                bottom(true);
            } else if (local.y() <= kEdgeBand && top) {
                top(true);
            }
        }
    }
    UpdatePolling();
}

void CKelvoOverlayManager::RestartCursorTimer()
{
    if (OverHost(QCursor::pos())) {
        m_cursorTimer.start(kCursorHideMs, this);
        UpdatePolling();
    }
}

void CKelvoOverlayManager::ShowCursor()
{
    if (m_cursorHidden) {
        m_cursorHidden = false;
        if (m_host) {
            m_host->unsetCursor();
        }
    }
}

void CKelvoOverlayManager::OnCursorTimer()
{
    m_cursorTimer.stop();
    const QPoint pos = QCursor::pos();
    if (!m_cursorHidden && m_isPlaying && m_isPlaying() && OverHost(pos)) {
        // The host's cursor reaches its children, the engine's native window included; the
        // floating bars and an override cursor (the wait cursor of a box operation) keep theirs.
        m_host->setCursor(Qt::BlankCursor);
        m_cursorHidden = true;
        m_lastPos = pos;
    }
    UpdatePolling();
}

bool CKelvoOverlayManager::eventFilter(QObject* watched, QEvent* event)
{
    // Taken from the windows: a widget without mouse tracking never sees a plain move, and every
    // move or press passes through the window it happens in first.
    if ((event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress) &&
        watched->isWindowType()) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        OnCursor(mouse->globalPosition().toPoint(), event->type() == QEvent::MouseButtonPress);
    }
    return QObject::eventFilter(watched, event);
}

void CKelvoOverlayManager::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_poll.timerId()) {
        OnCursor(QCursor::pos());
    } else if (event->timerId() == m_cursorTimer.timerId()) {
        OnCursorTimer();
    } else {
        QObject::timerEvent(event);
    }
}
