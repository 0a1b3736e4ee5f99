#pragma once

#include "ui/CBoundWndImpl.h"
#include "ui/CNxGlowWindowManager.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>

class CKelvoCaptionBar;
class CWindowDrag;
class QMenu;
class QWidget;
class QWindow;

// The window mechanics of the frameless frame: moves started from a caption bar (with edge
// snapping and the remote-control window docked to the frame), maximize and restore, minimize,
// the glow windows that give it resize borders, full screen, and the monitor list of the
// snapping helper. Which bars show in which state stays with the frame.
class CKelvoWindowHandler final : public QObject
{
    Q_OBJECT
public:
    // Takes over the caption bars the frame already has (AttachCaptionBar on each).
    static constexpr int kEdgeBand = 16;

    explicit CKelvoWindowHandler(QWidget* frame);
    ~CKelvoWindowHandler() override;
    Q_DISABLE_COPY_MOVE(CKelvoWindowHandler)

    // Connects a caption bar's move, minimize, maximize, close and window-menu requests to this
    // handler (close asks the frame to close, which may defer it) and keeps its maximize face and
    // full-screen button in step. Full screen stays the frame's to connect: it decides which bars
    // show. Attaching a bar again changes nothing.
    void AttachCaptionBar(CKelvoCaptionBar* bar);

    // The four glow windows round the frame, shown only while it is restored. Size 8 with
    // invisible windows, or a visible border of `size` pixels in `colour`. Not on Wayland, where
    // a client cannot place windows next to each other.
    void CreateGlowWindows(int size = 8, bool visibleMode = false, const QColor& colour = QColor());
    CNxGlowWindowManager* GlowWindows() const { return m_glow; }

    // The remote-control window: registered for snapping while it is loose, moved along with the
    // frame while it is attached.
    void SetRemoteWindow(QWidget* remote);
    QWidget* RemoteWindow() const { return m_remote; }
    void SetRemoteAttached(bool attached);
    bool RemoteAttached() const { return m_remoteAttached; }

    // Starts moving the frame with the cursor (a press on a caption). Refused while maximized,
    // minimized, in full screen or while a move runs.
    bool BeginMove(QPoint globalCursor);
    bool IsMoving() const;

    void Minimize();
    // Maximize when restored, restore when maximized; nothing in full screen.
    void ToggleMaximize();
    bool IsMaximized() const;

    // On: remembers whether the frame was maximized and its normal place, then full screen.
    // Off: back to maximized, or to the normal place.
    void SetFullScreen(bool on);
    bool IsFullScreen() const { return m_fullScreen; }
    // Where the frame goes when it is restored: what to store as its window place on close. The
    // toolkit's own record is lost when the frame passes from full screen back to maximized.
    QRect NormalGeometry() const;

    // The window menu of the caption (restore, move, size, minimize, maximize, close), with the
    // entries enabled for the frame's present state.
    std::unique_ptr<QMenu> BuildSystemMenu();
    void ShowSystemMenu(QPoint global);

    CBoundWndImpl& Snapper() { return m_snap; }
    CWindowDrag& Drag() { return *m_drag; }

signals:
    void maximizedChanged(bool maximized);
    void fullScreenChanged(bool on);
    // The frame was dragged against the loose remote window (true), or the remote was attached
    // or detached by SetRemoteAttached.
    void remoteAttachedChanged(bool attached);
    // In full screen the cursor moved into the top or bottom band (kEdgeBand pixels) of the
    // frame: the frame shows its caption or control bar over the picture. Sent on every such
    // move; showing an overlay that is already shown must change nothing.
    void fullScreenEdgeHovered(Qt::Edge edge);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AdjustMove(QRect& proposed, QPoint cursor);
    void WatchScreens();
    // Mouse moves over any child reach the frame's QWindow first; it exists once the frame is
    // about to show.
    void WatchWindow();
    void CheckEdges(QPoint local);

    QWidget* m_frame;
    CBoundWndImpl m_snap;
    CWindowDrag* m_drag;
    // Belongs to the frame (Qt parent), like the glow windows themselves.
    QPointer<CNxGlowWindowManager> m_glow;
    QPointer<QWidget> m_remote;
    QList<QPointer<CKelvoCaptionBar>> m_captions;
    QPointer<QWindow> m_window;
    bool m_remoteAttached = false;
    bool m_maximized = false;
    bool m_fullScreen = false;
    bool m_maximizedBeforeFullScreen = false;
    QRect m_normalGeometry;
    // Set when full screen hands back a maximized frame: the next restore goes here.
    QRect m_restoreGeometry;
};
