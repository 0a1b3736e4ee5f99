#include "ui/CBarOverlay.h"

#include <QCursor>
#include <QTimerEvent>
#include <QWidget>

CBarOverlay::CBarOverlay(QWidget& bar) : QObject(&bar), m_bar(bar) {}

bool CBarOverlay::SetFloating(bool on, Qt::Edge edge, int height)
{
    if (on == m_floating) {
        return false;
    }
    if (!on) {
        Dock();
        return true;
    }
    return Float(edge, height);
}

bool CBarOverlay::Float(Qt::Edge edge, int height)
{
    QWidget* home = m_bar.parentWidget();
    if (home == nullptr) {
        return false;
    }
    m_home = home;
    m_dockPending = false;
    m_stackedAbove = nullptr;
    const QObjectList& siblings = home->children();
    const qsizetype index = siblings.indexOf(&m_bar);
    for (qsizetype i = index + 1; index >= 0 && i < siblings.size(); ++i) {
        if (siblings.at(i)->isWidgetType()) {
            m_stackedAbove = static_cast<QWidget*>(siblings.at(i));
            break;
        }
    }
    if (!m_bar.isWindow()) {
        m_dockedGeometry = m_bar.geometry();
    }
    // Inside the home's border: where the picture is.
    const QRect client = home->contentsRect();
    const int top = edge == Qt::BottomEdge ? client.bottom() + 1 - height : client.top();
    m_rect = QRect(home->mapToGlobal(QPoint(client.left(), top)), QSize(client.width(), height));
    m_floating = true;
    m_bar.setParent(home, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    m_bar.setAttribute(Qt::WA_ShowWithoutActivating);
    m_bar.setGeometry(m_rect);
    m_bar.show();
    m_bar.raise();
    m_poll.start(kPollMs, this);
    return true;
}

void CBarOverlay::Dock()
{
    m_poll.stop();
    m_floating = false;
    m_bar.hide();
    m_dockPending = true;
    m_showAfterDock = false;
    QMetaObject::invokeMethod(this, &CBarOverlay::FinishDock, Qt::QueuedConnection);
}

void CBarOverlay::FinishDock()
{
    if (!m_dockPending) {
        return;
    }
    m_dockPending = false;
    if (m_home) {
        m_bar.setParent(m_home, Qt::Widget);
        if (m_dockedGeometry.isValid()) {
            m_bar.setGeometry(m_dockedGeometry);
        }
        if (m_stackedAbove && m_stackedAbove->parentWidget() == m_home) {
            m_bar.stackUnder(m_stackedAbove);
        }
    }
    if (m_showAfterDock) {
        m_showAfterDock = false;
        m_bar.show();
    }
    emit docked();
}

bool CBarOverlay::DeferVisible(bool visible)
{
    if (!m_dockPending) {
        return false;
    }
    m_showAfterDock = visible;
    return visible;
}

void CBarOverlay::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_poll.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (!m_rect.contains(QCursor::pos())) {
        emit cursorLeft();
    }
}
