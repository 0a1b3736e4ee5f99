#include "app/bars/CKelvoLeftBar.h"
#include "app/bars/CPopupFrame.h"
#include "app/bars/CWindowDrag.h"
#include "ui/CKelvoBaseWnd.h"
#include "ui/CKelvoRes.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

// A frame with the left bar at its side, as the main frame lays it out.
struct Frame
{
    QWidget window{nullptr, Qt::FramelessWindowHint};
    CKelvoLeftBar* bar = new CKelvoLeftBar(&window);
    CKelvoBaseWnd* channel = new CKelvoBaseWnd(bar);
    CKelvoBaseWnd* schedule = new CKelvoBaseWnd(bar);

    Frame()
    {
        window.setGeometry(300, 200, 1022, 688);
        bar->setGeometry(0, 119, 321, 569);
        channel->Create(bar, 0, QRect(0, 0, 321, 570));
        schedule->Create(bar, 0, QRect(0, 0, 321, 570));
        bar->AddPage(channel);
        bar->AddPage(schedule);
        window.show();
    }
};

} // namespace

TEST(LeftBar, ShowsOnePageFillingTheBar)
{
    Frame f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    EXPECT_EQ(f.bar->CalcFixedLayout(true, false).width(), 321);
    EXPECT_EQ(f.bar->PageCount(), 2);
    // the last page added is the one shown
    EXPECT_EQ(f.bar->CurrentPage(), f.schedule);
    EXPECT_FALSE(f.channel->isVisible());
    EXPECT_TRUE(f.schedule->isVisible());
    EXPECT_EQ(f.schedule->geometry(), f.bar->rect());

    QSignalSpy changed(f.bar, &CKelvoLeftBar::currentPageChanged);
    f.bar->ShowPage(f.channel);
    EXPECT_EQ(f.bar->CurrentIndex(), 0);
    EXPECT_TRUE(f.channel->isVisible());
    EXPECT_FALSE(f.schedule->isVisible());
    EXPECT_EQ(changed.size(), 1);

    // pages that are not in the list, and indices out of range, change nothing
    CKelvoBaseWnd stranger;
    f.bar->ShowPage(&stranger);
    f.bar->ShowPage(2);
    f.bar->ShowPage(-1);
    f.bar->ShowPage(nullptr);
    EXPECT_EQ(f.bar->CurrentPage(), f.channel);
    EXPECT_EQ(changed.size(), 1);
    // adding a page twice only shows it
    EXPECT_EQ(f.bar->AddPage(f.schedule), 1);
    EXPECT_EQ(f.bar->PageCount(), 2);
    EXPECT_EQ(f.bar->CurrentPage(), f.schedule);

    f.bar->resize(321, 400);
    EXPECT_EQ(f.schedule->geometry(), QRect(0, 0, 321, 400));
    EXPECT_EQ(f.channel->geometry(), QRect(0, 0, 321, 400));
}

TEST(LeftBar, PopupTakesThePageAndGivesItBack)
{
    Frame f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    f.bar->ShowPage(f.channel);
    auto* popup = new CPopupFrame(f.bar, &f.window);
    popup->Create(QString(), QRect(f.window.frameGeometry().topLeft() + QPoint(16, 16), QSize(323, 571)));
    EXPECT_EQ(popup->CreationSize(), QSize(323, 571));
    EXPECT_TRUE(popup->isWindow());

    popup->TakePage(f.channel);
    popup->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    EXPECT_EQ(popup->HostedPage(), f.channel);
    EXPECT_EQ(f.channel->parentWidget(), popup);
    EXPECT_EQ(f.channel->geometry(), QRect(0, 0, 323, 571));
    EXPECT_TRUE(f.channel->isVisible());
    EXPECT_FALSE(f.bar->IsHome(f.channel));
    popup->resize(400, 500);
    EXPECT_EQ(f.channel->size(), QSize(400, 500));

    // the left bar moves on to the schedule page without hiding the page that floats
    f.bar->ShowPage(f.schedule);
    EXPECT_TRUE(f.channel->isVisible());
    EXPECT_TRUE(f.schedule->isVisible());

    // back home it fits the bar and stays hidden behind the page the bar shows now
    EXPECT_EQ(popup->GiveBack(), f.channel);
    EXPECT_EQ(popup->GiveBack(), nullptr);
    EXPECT_EQ(f.channel->parentWidget(), f.bar);
    EXPECT_EQ(f.channel->geometry(), f.bar->rect());
    EXPECT_FALSE(f.channel->isVisible());
    f.bar->ShowPage(f.channel);
    EXPECT_TRUE(f.channel->isVisible());

    // a popup torn down while it hosts the page hands it back instead of deleting it
    popup->TakePage(f.channel);
    QPointer<CKelvoBaseWnd> alive = f.channel;
    delete popup;
    ASSERT_NE(alive, nullptr);
    EXPECT_EQ(f.channel->parentWidget(), f.bar);
    EXPECT_TRUE(f.channel->isVisible());
}

TEST(LeftBar, PopupDragsByThePageBackgroundAndSnaps)
{
    Frame f;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.window));
    CPopupFrame popup(&f.window);
    popup.Create(QString(), QRect(400, 300, 323, 571));
    popup.Snapper().SetMonitors({QRect(0, 0, 1920, 1080)});
    popup.TakePage(f.channel);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    QWindow* w = popup.windowHandle();

    const auto moveTo = [&](QPoint global) { QTest::mouseMove(w, w->mapFromGlobal(global)); };
    QTest::mousePress(w, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(popup.Drag().IsActive());
    moveTo({540, 400});
    EXPECT_EQ(popup.pos(), QPoint(440, 300));
    // left edge 8 pixels from the monitor's: it jumps onto it
    moveTo({540 - 432, 400});
    EXPECT_EQ(popup.pos(), QPoint(0, 300));
    // the bottom edge comes within 16 pixels of the frame's bottom (888): they line up
    moveTo({540 - 432, 410});
    EXPECT_EQ(popup.geometry().bottom() + 1, 888);
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->mapFromGlobal(QPoint(540 - 432, 410)));
    EXPECT_FALSE(popup.Drag().IsActive());
    popup.GiveBack();
}
