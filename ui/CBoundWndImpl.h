#pragma once

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QWidget;

// A rectangle the moving window may snap to. `align` lines up like edges (left with left),
// `touch` puts opposite edges together (left against right).
struct CBoundRect
{
    QRect rect;
    bool align = true;
    bool touch = false;
};

// Makes a top-level window magnetic while it is dragged: an edge within 16 pixels of a monitor
// edge or of a registered window's edge jumps onto it and stays until the cursor has been pulled
// far enough away. Pure geometry: SnapAt() takes the cursor and the candidate windows, so it
// runs without a display.
class CBoundWndImpl final
{
public:
    static constexpr int kThreshold = 16;

    CBoundWndImpl();
    Q_DISABLE_COPY_MOVE(CBoundWndImpl)

    // Rebuilds the monitor list from the screens (full geometry of each); call on display changes.
    void RebuildMonitors();
    void SetMonitors(const QList<QRect>& monitors);
    const QList<CBoundRect>& Monitors() const { return m_monitors; }

    // Registered windows are snapped to while visible. Register returns the index or -1 when the
    // window is already registered; Unregister returns the new count or -1 when it was not.
    int RegisterWindow(QWidget* window);
    int UnregisterWindow(QWidget* window);

    // Start of a drag: clears the snaps and remembers the cursor.
    void BeginDrag(QPoint cursor);
    // One move step with the rectangle the drag proposes (screen coordinates), changed in place.
    // Returns whether the window is snapped to a registered window.
    bool Snap(QRect& proposed);
    bool SnapAt(QRect& proposed, QPoint cursor, const QList<CBoundRect>& windows);

    int HorizontalSnap() const { return m_snapH; }
    int VerticalSnap() const { return m_snapV; }
    bool SnappedToWindow() const { return m_snappedToWindow; }

private:
    QList<CBoundRect> VisibleWindows() const;

    int m_thresholdH = kThreshold;
    int m_thresholdV = kThreshold;
    int m_snapH = 0;
    int m_snapV = 0;
    QPoint m_prevCursor;
    QList<CBoundRect> m_monitors;
    QList<QPointer<QWidget>> m_windows;
    bool m_snappedToWindow = false;
};
