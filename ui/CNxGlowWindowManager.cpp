#include "ui/CNxGlowWindowManager.h"

#include <QEvent>

CNxGlowWindowManager::CNxGlowWindowManager(QWidget* owner, int size, bool visibleMode, const QColor& colour)
    : QObject(owner), m_owner(owner)
{
    for (int side = 0; side < 4; ++side) {
        m_windows[static_cast<size_t>(side)] =
            new CNxGlowWindow(static_cast<CNxGlowWindow::Side>(side), owner, size, visibleMode, colour);
    }
    if (m_owner != nullptr) {
        m_owner->installEventFilter(this);
    }
    Update();
    SyncVisibility();
}

CNxGlowWindowManager::~CNxGlowWindowManager()
{
    // (a destroyed filter removes itself from the owner)
    for (const auto& w : m_windows) {
        if (w != nullptr) {
            w->hide();
        }
    }
}

void CNxGlowWindowManager::Update()
{
    for (const auto& w : m_windows) {
        if (w != nullptr) {
            w->Place();
        }
    }
}

bool CNxGlowWindowManager::ShouldShow() const
{
    return m_owner != nullptr && m_owner->isVisible() &&
           (m_owner->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

void CNxGlowWindowManager::SyncVisibility()
{
    const bool show = ShouldShow();
    for (const auto& w : m_windows) {
        if (w == nullptr) {
            continue;
        }
        if (show) {
            w->Place();
        }
        w->setVisible(show);
    }
}

bool CNxGlowWindowManager::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
            Update();
            break;
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::WindowStateChange:
            SyncVisibility();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
