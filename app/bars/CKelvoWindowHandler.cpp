#include "app/bars/CKelvoWindowHandler.h"

#include "app/bars/CKelvoCaptionBar.h"
#include "app/bars/CWindowDrag.h"
#include "ui/CNxGlowWindowManager.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

CKelvoWindowHandler::CKelvoWindowHandler(QWidget* frame)
    : QObject(frame), m_frame(frame), m_drag(new CWindowDrag(frame, this))
{
    m_drag->SetAdjust([this](QRect& proposed, QPoint cursor) { AdjustMove(proposed, cursor); });
    if (m_frame != nullptr) {
        m_frame->installEventFilter(this);
        m_maximized = m_frame->isMaximized();
        for (CKelvoCaptionBar* bar : m_frame->findChildren<CKelvoCaptionBar*>()) {
            AttachCaptionBar(bar);
        }
        WatchWindow();
    }
    WatchScreens();
}

CKelvoWindowHandler::~CKelvoWindowHandler() = default;

void CKelvoWindowHandler::WatchScreens()
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return;
    }
    const auto rebuild = [this] { m_snap.RebuildMonitors(); };
    const auto watch = [this, rebuild](QScreen* screen) {
        connect(screen, &QScreen::geometryChanged, this, rebuild);
    };
    for (QScreen* screen : QGuiApplication::screens()) {
        watch(screen);
    }
    connect(app, &QGuiApplication::screenAdded, this, [rebuild, watch](QScreen* screen) {
        watch(screen);
        rebuild();
    });
    // A removed screen is still in the list while this signal runs: rebuild once it is gone.
    connect(app, &QGuiApplication::screenRemoved, this, rebuild, Qt::QueuedConnection);
}

void CKelvoWindowHandler::AttachCaptionBar(CKelvoCaptionBar* bar)
{
    if (bar == nullptr || m_captions.contains(bar)) {
        return;
    }
    m_captions.removeAll(nullptr);
    m_captions.append(bar);
    connect(bar, &CKelvoCaptionBar::moveStarted, this, &CKelvoWindowHandler::BeginMove);
    if (m_frame != nullptr) {
        connect(bar, &CKelvoCaptionBar::closeRequested, m_frame, &QWidget::close);
    }
    connect(bar, &CKelvoCaptionBar::minimizeRequested, this, &CKelvoWindowHandler::Minimize);
    connect(bar, &CKelvoCaptionBar::maximizeRequested, this, &CKelvoWindowHandler::ToggleMaximize);
    connect(bar, &CKelvoCaptionBar::systemMenuRequested, this, &CKelvoWindowHandler::ShowSystemMenu);
    connect(this, &CKelvoWindowHandler::maximizedChanged, bar, &CKelvoCaptionBar::SetMaximized);
    connect(this, &CKelvoWindowHandler::fullScreenChanged, bar, &CKelvoCaptionBar::SetFullScreen);
    bar->SetMaximized(IsMaximized());
    bar->SetFullScreen(m_fullScreen);
}

void CKelvoWindowHandler::CreateGlowWindows(int size, bool visibleMode, const QColor& colour)
{
    if (m_glow != nullptr || m_frame == nullptr || CWindowDrag::CompositorMovesWindows()) {
        return;
    }
    m_glow = colour.isValid() ? new CNxGlowWindowManager(m_frame, size, visibleMode, colour)
                              : new CNxGlowWindowManager(m_frame, size, visibleMode);
}

void CKelvoWindowHandler::SetRemoteWindow(QWidget* remote)
{
    m_remote = remote;
    if (remote == nullptr) {
        SetRemoteAttached(false);
    }
}

void CKelvoWindowHandler::SetRemoteAttached(bool attached)
{
    attached = attached && m_remote != nullptr;
    if (m_remoteAttached != attached) {
        m_remoteAttached = attached;
        emit remoteAttachedChanged(attached);
    }
}

bool CKelvoWindowHandler::BeginMove(QPoint globalCursor)
{
    if (m_frame == nullptr || m_fullScreen || IsMoving() ||
        (m_frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) != 0) {
        return false;
    }
    m_snap.BeginDrag(globalCursor);
    // The frame's QWindow sees every mouse event of the drag, whichever child took the press.
    QObject* source = m_frame->windowHandle() != nullptr ? static_cast<QObject*>(m_frame->windowHandle())
                                                         : static_cast<QObject*>(m_frame);
    return m_drag->Begin(globalCursor, source);
}

bool CKelvoWindowHandler::IsMoving() const
{
    return m_drag->IsActive();
}

void CKelvoWindowHandler::AdjustMove(QRect& proposed, QPoint cursor)
{
    QWidget* remote = m_remote;
    if (remote == nullptr) {
        m_snap.SnapAt(proposed, cursor, {});
        return;
    }
    if (m_remoteAttached) {
        // Frame and remote move as one: the pair snaps to the monitor edges, not to each other.
        QRect remoteRect =
            remote->frameGeometry().translated(proposed.topLeft() - m_frame->frameGeometry().topLeft());
        QRect both = proposed.united(remoteRect);
        const QPoint before = both.topLeft();
        m_snap.SnapAt(both, cursor, {});
        const QPoint shift = both.topLeft() - before;
        proposed.translate(shift);
        remoteRect.translate(shift);
        if (remoteRect.topLeft() != remote->frameGeometry().topLeft()) {
            remote->move(remoteRect.topLeft());
        }
        return;
    }
    // Loose: the remote is one more edge to snap to, and snapping to it attaches the two.
    QList<CBoundRect> windows;
    if (remote->isVisible()) {
        windows.append(CBoundRect{remote->frameGeometry(), true, true});
    }
    SetRemoteAttached(m_snap.SnapAt(proposed, cursor, windows));
}

void CKelvoWindowHandler::Minimize()
{
    if (m_frame != nullptr) {
        m_drag->End();
        m_frame->showMinimized();
    }
}

void CKelvoWindowHandler::ToggleMaximize()
{
    if (m_frame == nullptr || m_fullScreen) {
        return;
    }
    m_drag->End();
    if (IsMaximized()) {
        m_frame->showNormal();
    } else {
        m_frame->showMaximized();
    }
}

bool CKelvoWindowHandler::IsMaximized() const
{
    return m_frame != nullptr && (m_frame->windowState() & Qt::WindowMaximized) != 0;
}

void CKelvoWindowHandler::SetFullScreen(bool on)
{
    if (m_frame == nullptr || on == m_fullScreen) {
        return;
    }
    m_drag->End();
    if (on) {
        m_maximizedBeforeFullScreen = IsMaximized();
        m_normalGeometry = m_maximizedBeforeFullScreen ? NormalGeometry() : m_frame->geometry();
        m_restoreGeometry = QRect();
    }
    m_fullScreen = on;
    if (on) {
        m_frame->showFullScreen();
        // A window manager makes a full-screen window cover its monitor; without one (a bare X
        // server, a kiosk session) nobody would, so the window covers it itself.
        if (const QScreen* screen = m_frame->screen()) {
            m_frame->setGeometry(screen->geometry());
        }
    } else if (m_maximizedBeforeFullScreen) {
        m_restoreGeometry = m_normalGeometry;
        m_frame->showMaximized();
    } else {
        m_frame->showNormal();
        if (m_normalGeometry.isValid()) {
            m_frame->setGeometry(m_normalGeometry);
        }
    }
    emit fullScreenChanged(on);
}

QRect CKelvoWindowHandler::NormalGeometry() const
{
    if (m_frame == nullptr) {
        return {};
    }
    if (m_fullScreen && m_normalGeometry.isValid()) {
        return m_normalGeometry;
    }
    if (m_restoreGeometry.isValid()) {
        return m_restoreGeometry;
    }
    return m_frame->normalGeometry();
}

std::unique_ptr<QMenu> CKelvoWindowHandler::BuildSystemMenu()
{
    auto menu = std::make_unique<QMenu>();
    const bool maximized = IsMaximized();
    QWindow* handle = m_frame != nullptr ? m_frame->windowHandle() : nullptr;

    QAction* restore = menu->addAction(tr("&Restore"), this, &CKelvoWindowHandler::ToggleMaximize);
    restore->setEnabled(maximized);
    QAction* move = menu->addAction(tr("&Move"), this, [handle] {
        if (handle != nullptr) {
            handle->startSystemMove();
        }
    });
    move->setEnabled(!maximized);
    QAction* size = menu->addAction(tr("&Size"), this, [handle] {
        if (handle != nullptr) {
            handle->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
        }
    });
    size->setEnabled(!maximized);
    menu->addAction(tr("Mi&nimize"), this, &CKelvoWindowHandler::Minimize);
    QAction* maximize = menu->addAction(tr("Ma&ximize"), this, &CKelvoWindowHandler::ToggleMaximize);
    maximize->setEnabled(!maximized);
    menu->addSeparator();
    menu->addAction(tr("&Close"), m_frame, &QWidget::close);
    return menu;
}

void CKelvoWindowHandler::ShowSystemMenu(QPoint global)
{
    if (m_frame == nullptr || m_fullScreen) {
        return;
    }
    // The menu runs its own event loop; the frame may change meanwhile, the actions re-check.
    const std::unique_ptr<QMenu> menu = BuildSystemMenu();
    menu->exec(global);
}

void CKelvoWindowHandler::WatchWindow()
{
    QWindow* handle = m_frame->windowHandle();
    if (handle == nullptr || handle == m_window) {
        return;
    }
    if (m_window != nullptr) {
        m_window->removeEventFilter(this);
    }
    m_window = handle;
    handle->installEventFilter(this);
}

void CKelvoWindowHandler::CheckEdges(QPoint local)
{
    if (!m_fullScreen) {
        return;
    }
    if (local.y() <= kEdgeBand) {
        emit fullScreenEdgeHovered(Qt::TopEdge);
    } else if (local.y() >= m_frame->height() - kEdgeBand) {
        emit fullScreenEdgeHovered(Qt::BottomEdge);
    }
}

bool CKelvoWindowHandler::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::MouseMove) {
        CheckEdges(static_cast<QMouseEvent*>(event)->position().toPoint());
        return QObject::eventFilter(watched, event);
    }
    if (watched == m_frame && (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)) {
        WatchWindow();
    }
    if (watched == m_frame && event->type() == QEvent::WindowStateChange) {
        constexpr Qt::WindowStates notNormal =
            Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen;
        if ((m_frame->windowState() & notNormal) == 0 && m_restoreGeometry.isValid()) {
            const QRect normal = m_restoreGeometry;
            m_restoreGeometry = QRect();
            m_frame->setGeometry(normal);
        }
        const bool maximized = IsMaximized();
        if (maximized != m_maximized) {
            m_maximized = maximized;
            emit maximizedChanged(maximized);
        }
    }
    return QObject::eventFilter(watched, event);
}
