#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <functional>

class QWidget;

// Moves a frameless top-level window with the cursor while the left button is held, one step
// per mouse move. Each step proposes the window's rectangle moved by the cursor's motion since the
// last step; the adjust function may change it (edge snapping) before the window is moved.
//
// Wayland does not let a client place its own windows, so there the drag is handed to the
// compositor (QWindow::startSystemMove) and no snapping takes place.
class CWindowDrag final : public QObject
{
    Q_OBJECT
public:
    // Changes the proposed frame rectangle in place; `cursor` is the global cursor position.
    using AdjustFn = std::function<void(QRect& proposed, QPoint cursor)>;

    static bool CompositorMovesWindows();

    explicit CWindowDrag(QWidget* window, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CWindowDrag)

    void SetAdjust(AdjustFn adjust) { m_adjust = std::move(adjust); }

    // Starts following the cursor; the mouse events are read from `mouseSource` (the window that
    // holds the implicit grab of the press: the dragged window's QWindow, or a child widget).
    // False when a drag is already running or the window cannot be moved.
    bool Begin(QPoint globalCursor, QObject* mouseSource);
    // One step to a new cursor position (also called for every mouse move of the source).
    void Step(QPoint globalCursor);
    void End();
    bool IsActive() const { return m_active; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_window;
    AdjustFn m_adjust;
    QPointer<QObject> m_source;
    QPoint m_lastCursor;
    bool m_active = false;
};
