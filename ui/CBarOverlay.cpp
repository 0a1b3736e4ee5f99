#include "ui/CBarOverlay.h"

#include <QCursor>
#include <QTimerEvent>
#include <QWidget>

CBarOverlay::CBarOverlay(QWidget& bar) : QObject(&bar), m_bar(bar) {}

bool CBarOverlay::Float(const QRect& band)
{
    QWidget* home = m_bar.parentWidget();
    if (m_floating || home == nullptr) {
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
    m_rect = QRect(home->mapToGlobal(band.topLeft()), band.size());
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
    if (!m_floating) {
        return;
    }
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
