#include "ui/CBoundWndImpl.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace {

const QRect kMonitor(0, 0, 1920, 1080);

// A drag step: the window system proposes the old place moved by the cursor's motion.
struct Drag
{
    CBoundWndImpl snap;
    QRect window;
    QPoint cursor{500, 500};
    QList<CBoundRect> windows;

    explicit Drag(QRect start, QList<QRect> monitors = {kMonitor})
    {
        window = start;
        snap.SetMonitors(monitors);
        snap.BeginDrag(cursor);
    }
    bool Move(int dx, int dy)
    {
        cursor += QPoint(dx, dy);
        QRect proposed = window.translated(dx, dy);
        const bool toWindow = snap.SnapAt(proposed, cursor, windows);
        window = proposed;
        return toWindow;
    }
};

} // namespace

TEST(BoundWnd, MonitorEdgeHoldsUntilThePullReachesTheThreshold)
{
    Drag d(QRect(100, 300, 400, 300));
    // left edge arrives 10 pixels right of the monitor's left edge: it jumps onto it
    d.Move(-90, 0);
    EXPECT_EQ(d.window.left(), 0);
    EXPECT_EQ(d.snap.HorizontalSnap(), 10);
    // 5 more pixels inwards: it stays
    d.Move(5, 0);
    EXPECT_EQ(d.window.left(), 0);
    EXPECT_EQ(d.snap.HorizontalSnap(), 15);
    // once 10 + 5 + 1 reaches 16 it follows the cursor again, where it would be unsnapped
    d.Move(1, 0);
    EXPECT_EQ(d.window.left(), 16);
    EXPECT_EQ(d.snap.HorizontalSnap(), 0);
}

TEST(BoundWnd, TouchesARegisteredWindowWithinFifteenButNotSixteen)
{
    const QRect rcu(1000, 200, 200, 500);
    struct Case
    {
        int gap; // between our right edge and the window's left edge
        bool snaps;
    };
    for (const Case c : {Case{15, true}, Case{16, false}, Case{-15, true}, Case{1, true}}) {
        Drag d(QRect(1000 - c.gap - 400 - 50, 300, 400, 300));
        d.windows = {CBoundRect{rcu, true, true}};
        const bool toWindow = d.Move(50, 0);
        EXPECT_EQ(toWindow, c.snaps) << c.gap;
        EXPECT_EQ(d.window.x() + d.window.width() == rcu.x(), c.snaps) << c.gap;
    }
}

TEST(BoundWnd, SideBySideMonitorsAlignButNeverTouch)
{
    const QList<QRect> monitors{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)};
    // left edge 8 right of the shared edge: aligns with the right monitor's left edge
    Drag a(QRect(1950, 300, 400, 300), monitors);
    a.Move(-22, 0);
    EXPECT_EQ(a.window.left(), 1920);
    // right edge 8 left of the shared edge: aligns with the left monitor's right edge
    Drag b(QRect(1400, 300, 400, 300), monitors);
    b.Move(112, 0);
    EXPECT_EQ(b.window.x() + b.window.width(), 1920);
    // a window outside a monitor, its right edge 8 short of the monitor's left edge: a touch
    // would be needed, and monitors do not touch
    Drag c(QRect(-400, 300, 400, 300), {kMonitor});
    c.Move(-8, 0);
    EXPECT_EQ(c.window.x() + c.window.width(), -8);
    EXPECT_EQ(c.snap.HorizontalSnap(), 0);
}

TEST(BoundWnd, VerticalSnapToAWindowNeedsHorizontalOverlap)
{
    const QRect other(100, 100, 300, 200); // bottom edge at 300
    // overlapping horizontally, our top 10 below its bottom: touches
    Drag over(QRect(150, 330, 200, 100), {QRect(-5000, -5000, 100, 100)});
    over.windows = {CBoundRect{other, true, true}};
    EXPECT_TRUE(over.Move(0, -20));
    EXPECT_EQ(over.window.top(), 300);
    // side by side with no overlap: ignored on the vertical axis
    Drag apart(QRect(600, 330, 200, 100), {QRect(-5000, -5000, 100, 100)});
    apart.windows = {CBoundRect{other, true, true}};
    EXPECT_FALSE(apart.Move(0, -20));
    EXPECT_EQ(apart.window.top(), 310);
}

TEST(BoundWnd, ReleasingASnapToAWindowClearsTheFlag)
{
    const QRect rcu(1000, 200, 200, 500);
    Drag d(QRect(540, 300, 400, 300), {QRect(-5000, -5000, 100, 100)});
    d.windows = {CBoundRect{rcu, true, true}};
    EXPECT_TRUE(d.Move(50, 0)); // right edge at 990 -> touches 1000
    EXPECT_TRUE(d.snap.SnappedToWindow());
    EXPECT_FALSE(d.Move(-30, 0)); // pulled 30 away: released
    EXPECT_EQ(d.window.x() + d.window.width(), 960);
}

TEST(BoundWnd, RegistrationAndHiddenWindows)
{
    CBoundWndImpl snap;
    QWidget shown, hidden, gone;
    EXPECT_EQ(snap.RegisterWindow(&shown), 0);
    EXPECT_EQ(snap.RegisterWindow(&shown), -1);
    EXPECT_EQ(snap.RegisterWindow(&hidden), 1);
    EXPECT_EQ(snap.UnregisterWindow(&gone), -1);
    EXPECT_EQ(snap.UnregisterWindow(&hidden), 1);
    // a hidden registered window is never snapped to
    snap.SetMonitors({});
    snap.RegisterWindow(&hidden);
    hidden.setGeometry(1000, 200, 200, 500);
    snap.BeginDrag(QPoint(0, 0));
    QRect r(590, 300, 400, 300);
    EXPECT_FALSE(snap.Snap(r));
    EXPECT_EQ(r.left(), 590);
}
