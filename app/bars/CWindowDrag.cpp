#include "app/bars/CWindowDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

bool CWindowDrag::CompositorMovesWindows()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

CWindowDrag::CWindowDrag(QWidget* window, QObject* parent) : QObject(parent), m_window(window) {}

bool CWindowDrag::Begin(QPoint globalCursor, QObject* mouseSource)
{
    if (m_active && m_source == nullptr) {
        m_active = false; // the source went away in the middle of a drag
    }
    if (m_active || m_window == nullptr || mouseSource == nullptr) {
        return false;
    }
    if (CompositorMovesWindows()) {
        // The compositor runs the move; a client may neither read nor set its window position.
        QWindow* handle = m_window->windowHandle();
        return handle != nullptr && handle->startSystemMove();
    }
    m_source = mouseSource;
    m_lastCursor = globalCursor;
    m_active = true;
    mouseSource->installEventFilter(this);
    return true;
}

void CWindowDrag::Step(QPoint globalCursor)
{
    if (!m_active || globalCursor == m_lastCursor) {
        return;
    }
    QRect proposed = m_window->frameGeometry().translated(globalCursor - m_lastCursor);
    m_lastCursor = globalCursor;
    if (m_adjust) {
        m_adjust(proposed, globalCursor);
    }
    if (proposed.topLeft() != m_window->frameGeometry().topLeft()) {
        m_window->move(proposed.topLeft());
    }
}

void CWindowDrag::End()
{
    if (!m_active) {
        return;
    }
    m_active = false;
    if (m_source != nullptr) {
        m_source->removeEventFilter(this);
    }
    m_source = nullptr;
}

bool CWindowDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (m_active && watched == m_source) {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const auto* me = static_cast<QMouseEvent*>(event);
            if ((me->buttons() & Qt::LeftButton) == 0) {
                // the release went elsewhere (another grab took the mouse): stop here
                End();
            } else {
                Step(me->globalPosition().toPoint());
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                Step(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
                End();
            }
            break;
        case QEvent::Hide:
            End();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
