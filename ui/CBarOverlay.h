#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QPointer>
#include <QRect>

class QWidget;

// Floats a bar of the frame as a window of its own over a band of its home's client area (a
// child would not show over the engine's native picture window) and docks it back as a child in
// its old place in the stacking order.
//
// Docking happens on the next turn of the event loop: turning the window back into a child
// destroys its native window, and docking is often asked for from a click on one of the bar's
// own buttons, with that window's event handler still on the stack.
class CBarOverlay final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBarOverlay)

public:
    static constexpr int kPollMs = 100;

    // Owned by `bar`, the widget it floats.
    explicit CBarOverlay(QWidget& bar);

    // On: the bar floats over the band of `height` pixels along `edge` (top or bottom) of its
    // parent's client area, shown, raised and never taking the focus. Off: it hides and docks once
    // the current event is done. True when that changed anything; floating needs a parent to come
    // back to.
    bool SetFloating(bool on, Qt::Edge edge, int height);

    bool IsFloating() const { return m_floating; }
    bool IsDockPending() const { return m_dockPending; }
    // Where the bar floats, in global coordinates.
    QRect Rect() const { return m_rect; }
    // The parent the bar docks back into.
    QWidget* Home() const { return m_home; }

    // For the bar's setVisible: while a dock is pending a show waits for it (it would show a
    // stray window). True when the bar must not act on `visible` now.
    bool DeferVisible(bool visible);

signals:
    // Floating, the cursor has left the band; checked every kPollMs.
    void cursorLeft();
    // A child of its home again: the home lays it out anew.
    void docked();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    bool Float(Qt::Edge edge, int height);
    void Dock();
    void FinishDock();

    QWidget& m_bar;
    QPointer<QWidget> m_home;
    // The sibling stacked just above the bar before it floated.
    QPointer<QWidget> m_stackedAbove;
    // The bar's place in its home before it floated, until the home lays it out again.
    QRect m_dockedGeometry;
    QRect m_rect;
    QBasicTimer m_poll;
    bool m_floating = false;
    bool m_dockPending = false;
    bool m_showAfterDock = false;
};
