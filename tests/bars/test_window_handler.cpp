#include "app/bars/CKelvoWindowHandler.h"
#include "app/bars/CMainFrameCaptionBar.h"
#include "app/bars/CMiniFrameCaptionBar.h"
#include "app/bars/CWindowDrag.h"
#include "ui/CKelvoRes.h"
#include "ui/CPngButton.h"

#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

const QRect kMonitor(0, 0, 1920, 1080);

// A frameless frame with its caption bar and the handler, dragged by real mouse events through its
// window (the caption bar takes the press, the window sees the moves).
struct Frame
{
    QWidget window{nullptr, Qt::FramelessWindowHint};
    CMainFrameCaptionBar* caption;
    CKelvoWindowHandler handler{&window};
    QPoint cursor;

    Frame()
    {
        CKelvoRes::Instance().Load();
        caption = new CMainFrameCaptionBar(&window);
        window.setGeometry(100, 300, 800, 600);
        caption->setGeometry(0, 0, 800, 119);
        handler.AttachCaptionBar(caption);
        handler.Snapper().SetMonitors({kMonitor});
        window.show();
    }
    QWindow* Handle() const { return window.windowHandle(); }
    void Press(QPoint local)
    {
        cursor = window.mapToGlobal(local);
        QTest::mousePress(Handle(), Qt::LeftButton, {}, local);
    }
    void MoveBy(int dx, int dy)
    {
        cursor += QPoint(dx, dy);
        QTest::mouseMove(Handle(), Handle()->mapFromGlobal(cursor));
    }
    void Release() { QTest::mouseRelease(Handle(), Qt::LeftButton, {}, Handle()->mapFromGlobal(cursor)); }
};

QWidget* MakeRemote(QRect place)
{
    auto* remote = new QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    remote->setGeometry(place);
    remote->show();
    return remote;
}

} // namespace

TEST(WindowHandler, CaptionDragSnapsToTheMonitorEdgeAndLetsGo)
{
    Frame f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    f.Press({400, 30});
    ASSERT_TRUE(f.handler.IsMoving());
    f.MoveBy(-30, 12);
    EXPECT_EQ(f.window.pos(), QPoint(70, 312));
    // left edge 10 pixels from the monitor's: onto the edge; 5 more inwards: it stays
    f.MoveBy(-60, 0);
    EXPECT_EQ(f.window.pos(), QPoint(0, 312));
    f.MoveBy(5, 0);
    EXPECT_EQ(f.window.pos(), QPoint(0, 312));
    // the pull reaches 16: the frame follows the cursor again
    f.MoveBy(1, 0);
    EXPECT_EQ(f.window.pos(), QPoint(16, 312));
    f.Release();
    EXPECT_FALSE(f.handler.IsMoving());
    // the mouse alone no longer moves it
    f.MoveBy(50, 50);
    EXPECT_EQ(f.window.pos(), QPoint(16, 312));

    // the mode-button band does not start a move
    f.Press({145, 80});
    EXPECT_FALSE(f.handler.IsMoving());
    f.Release();
}

TEST(WindowHandler, LooseRemoteAttachesAndThenMovesWithTheFrame)
{
    Frame f;
    std::unique_ptr<QWidget> remote(MakeRemote(QRect(1000, 350, 200, 400)));
    f.handler.SetRemoteWindow(remote.get());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    QSignalSpy attached(&f.handler, &CKelvoWindowHandler::remoteAttachedChanged);

    f.Press({400, 30});
    // the frame's right edge (900) comes within 12 pixels of the remote's left edge: they touch
    f.MoveBy(88, 0);
    EXPECT_EQ(f.window.frameGeometry().right() + 1, 1000);
    EXPECT_TRUE(f.handler.RemoteAttached());
    ASSERT_EQ(attached.size(), 1);
    EXPECT_TRUE(attached.at(0).at(0).toBool());
    f.Release();
    EXPECT_EQ(remote->pos(), QPoint(1000, 350));

    // attached: the two move as one
    f.Press({400, 30});
    f.MoveBy(-200, 40);
    f.MoveBy(-100, 0);
    EXPECT_EQ(f.window.pos(), QPoint(-100, 340));
    EXPECT_EQ(remote->pos(), QPoint(700, 390));
    // the pair snaps to the monitor as one: the remote's right edge lands on 1920
    f.MoveBy(300 + 712, 0);
    EXPECT_EQ(remote->frameGeometry().right() + 1, 1920);
    EXPECT_EQ(f.window.frameGeometry().right() + 1, remote->x());
    f.Release();

    // the remote window says it let go: the next drag leaves it where it is
    f.handler.SetRemoteAttached(false);
    const QPoint remotePlace = remote->pos();
    f.Press({400, 30});
    f.MoveBy(-400, -100);
    EXPECT_EQ(remote->pos(), remotePlace);
    EXPECT_FALSE(f.handler.RemoteAttached());
    f.Release();

    // a hidden remote is not snapped to
    remote->hide();
    f.Press({400, 30});
    f.MoveBy(remote->x() - f.window.frameGeometry().right() - 1 - 5, 0);
    EXPECT_FALSE(f.handler.RemoteAttached());
    f.Release();
}

TEST(WindowHandler, MaximizeRestoreAndFullScreenRoundTrips)
{
    Frame f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    QSignalSpy maximized(&f.handler, &CKelvoWindowHandler::maximizedChanged);

    // a double click on the caption maximizes; the button shows the restore face
    QTest::mouseDClick(f.Handle(), Qt::LeftButton, {}, QPoint(400, 30));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.isMaximized(); }, 2000));
    EXPECT_TRUE(f.caption->IsMaximized());
    EXPECT_FALSE(f.handler.IsMoving());
    EXPECT_FALSE(f.handler.BeginMove(QPoint(500, 30))); // a maximized frame does not move

    // full screen from maximized comes back maximized
    f.handler.SetFullScreen(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.isFullScreen(); }, 2000));
    EXPECT_TRUE(f.caption->IsFullScreen());
    EXPECT_EQ(f.handler.NormalGeometry(), QRect(100, 300, 800, 600));
    f.handler.ToggleMaximize(); // nothing in full screen
    EXPECT_TRUE(f.window.isFullScreen());
    f.handler.SetFullScreen(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.isMaximized() && !f.window.isFullScreen(); }, 2000));
    EXPECT_FALSE(f.caption->IsFullScreen());
    EXPECT_EQ(f.handler.NormalGeometry(), QRect(100, 300, 800, 600));
    // twice over: the second round starts from the handler's record, not the toolkit's
    f.handler.SetFullScreen(true);
    f.handler.SetFullScreen(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.isMaximized() && !f.window.isFullScreen(); }, 2000));

    // restore, then full screen from the normal state comes back to the same place
    f.handler.ToggleMaximize();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.window.isMaximized(); }, 2000));
    EXPECT_FALSE(f.caption->IsMaximized());
    EXPECT_EQ(f.window.geometry(), QRect(100, 300, 800, 600)); // through maximized and full screen
    f.window.setGeometry(150, 220, 900, 640);
    const QRect normal = f.window.geometry();
    f.handler.SetFullScreen(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.isFullScreen(); }, 2000));
    EXPECT_FALSE(f.handler.BeginMove(QPoint(500, 30)));
    f.handler.SetFullScreen(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.window.isFullScreen(); }, 2000));
    EXPECT_FALSE(f.window.isMaximized());
    EXPECT_EQ(f.window.geometry(), normal);
    EXPECT_GE(maximized.size(), 2);

    // minimize from the caption
    const QPoint minimize = f.caption->Button(CKelvoCaptionBar::MinimizeButton)->geometry().center();
    QTest::mouseClick(f.Handle(), Qt::LeftButton, {}, minimize);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.isMinimized(); }, 2000));
}

TEST(WindowHandler, FullScreenEdgesCallForTheOverlays)
{
    Frame f; // the handler exists before the frame has a window, as in the application
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    QSignalSpy edges(&f.handler, &CKelvoWindowHandler::fullScreenEdgeHovered);
    const auto moveTo = [&](int y) { QTest::mouseMove(f.Handle(), QPoint(300, y)); };
    moveTo(5);
    EXPECT_EQ(edges.size(), 0); // not in full screen

    f.handler.SetFullScreen(true);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return f.window.isFullScreen() && f.window.geometry() == f.window.screen()->geometry(); },
        2000));
    const int h = f.window.height();
    struct Case
    {
        int y;
        int edges; // -1 none
    };
    const Case cases[] = {
        {0, Qt::TopEdge},         {16, Qt::TopEdge},      {17, -1}, {h / 2, -1}, {h - 17, -1},
        {h - 16, Qt::BottomEdge}, {h - 1, Qt::BottomEdge}};
    for (const Case& c : cases) {
        edges.clear();
        moveTo(c.y);
        if (c.edges < 0) {
            EXPECT_EQ(edges.size(), 0) << c.y;
        } else {
            ASSERT_EQ(edges.size(), 1) << c.y;
            EXPECT_EQ(edges.at(0).at(0).value<Qt::Edge>(), static_cast<Qt::Edge>(c.edges)) << c.y;
        }
    }
    f.handler.SetFullScreen(false);
}

TEST(WindowHandler, SystemMenuEntriesFollowTheState)
{
    Frame f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    const auto enabled = [&] {
        QStringList on;
        const std::unique_ptr<QMenu> menu = f.handler.BuildSystemMenu();
        for (QAction* a : menu->actions()) {
            if (!a->isSeparator() && a->isEnabled()) {
                on.append(a->text().remove('&'));
            }
        }
        return on;
    };
    EXPECT_EQ(enabled(), (QStringList{"Move", "Size", "Minimize", "Maximize", "Close"}));
    f.window.showMaximized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.window.isMaximized(); }, 2000));
    EXPECT_EQ(enabled(), (QStringList{"Restore", "Minimize", "Close"}));
}

TEST(WindowHandler, GlowWindowsShowOnlyWhileRestored)
{
    Frame f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    f.handler.CreateGlowWindows(8, false);
    ASSERT_NE(f.handler.GlowWindows(), nullptr);
    QWidget* right = f.handler.GlowWindows()->Window(CNxGlowWindow::Right);
    EXPECT_TRUE(right->isVisible());
    f.handler.ToggleMaximize();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !right->isVisible(); }, 2000));
    f.handler.ToggleMaximize();
    EXPECT_TRUE(QTest::qWaitFor([&] { return right->isVisible(); }, 2000));
    // they follow a drag
    f.Press({400, 30});
    f.MoveBy(40, 40);
    f.Release();
    EXPECT_EQ(right->geometry(), CNxGlowWindow::Placement(CNxGlowWindow::Right, f.window.frameGeometry(), 8));
}

namespace {

// A frame that counts its close requests and may refuse them, as the main frame does while a box
// operation waits.
class ClosingFrame final : public QWidget
{
public:
    ClosingFrame() : QWidget(nullptr, Qt::FramelessWindowHint) {}
    int closeRequests = 0;
    bool refuse = false;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closeRequests;
        event->setAccepted(!refuse);
    }
};

} // namespace

TEST(WindowHandler, TakesOverTheFramesCaptionBars)
{
    CKelvoRes::Instance().Load();
    ClosingFrame frame;
    frame.setGeometry(100, 100, 800, 600);
    auto* main = new CMainFrameCaptionBar(&frame);
    main->setGeometry(0, 0, 800, 119);
    auto* mini = new CMiniFrameCaptionBar(&frame);
    mini->setGeometry(0, 0, 800, 38);
    mini->hide();
    // made after the bars, as the frame does, and told about one of them again
    CKelvoWindowHandler handler(&frame);
    handler.AttachCaptionBar(main);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    // close goes through the frame's own close handling, once per click
    frame.refuse = true;
    QTest::mouseClick(main->Button(CKelvoCaptionBar::CloseButton), Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(frame.closeRequests, 1);
    EXPECT_TRUE(frame.isVisible());

    // both bars follow the window state
    QTest::mouseDClick(main, Qt::LeftButton, {}, QPoint(400, 30));
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame.isMaximized(); }, 2000));
    EXPECT_TRUE(main->IsMaximized());
    EXPECT_TRUE(mini->IsMaximized());
    handler.ToggleMaximize();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame.isMaximized(); }, 2000));
    EXPECT_FALSE(mini->IsMaximized());

    // leaving full screen docks the mini caption's overlay before the frame shows its bars again
    handler.SetFullScreen(true);
    EXPECT_TRUE(mini->IsFullScreen());
    mini->ShowOverlay(true);
    ASSERT_TRUE(mini->isWindow());
    handler.SetFullScreen(false);
    EXPECT_FALSE(mini->IsOverlayShown());
    EXPECT_EQ(frame.geometry(), QRect(100, 100, 800, 600));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mini->IsDockPending(); }, 1000));
    EXPECT_FALSE(mini->isWindow());
    EXPECT_EQ(mini->parentWidget(), &frame);

    frame.refuse = false;
    QTest::mouseClick(main->Button(CKelvoCaptionBar::CloseButton), Qt::LeftButton, {}, QPoint(12, 12));
    EXPECT_EQ(frame.closeRequests, 2);
    EXPECT_FALSE(frame.isVisible());
}
