#include "UiTestHelpers.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxListBox.h"
#include "ui/CNxScrollBar.h"

#include <QImage>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

// 100 rows of 20 pixels in a 200-pixel high list: a page of 10 rows.
struct List : CNxListBox
{
    mutable int drawn = 0;
    explicit List(int rows = 100)
    {
        resize(300, 200);
        SetItemHeight(20);
        std::vector<QString> texts;
        for (int i = 0; i < rows; ++i) {
            texts.push_back(QStringLiteral("Row %1").arg(i));
        }
        SetRows(std::move(texts));
    }
    void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const override
    {
        ++drawn;
        CNxListBox::DrawItemContent(p, rect, item);
    }
};

} // namespace

TEST(ListBox, EnsureVisible)
{
    struct Case
    {
        int top, row;
        bool scrolled;
        int newTop;
    };
    const Case cases[] = {
        {0, 5, false, 0},  {0, 9, false, 0},    // already fully visible
        {0, 10, true, 1},  {0, 25, true, 16},   // below: the top moves down by the difference
        {20, 5, true, 5},  {20, 29, false, 20}, // above: becomes the top row
        {0, -1, false, 0}, {0, 100, false, 0},  // outside the list
    };
    for (const Case& c : cases) {
        List list;
        list.SetTopIndex(c.top);
        EXPECT_EQ(list.EnsureVisible(c.row), c.scrolled) << c.top << "," << c.row;
        EXPECT_EQ(list.GetTopIndex(), c.newTop) << c.top << "," << c.row;
    }
    List flat;
    flat.resize(300, 0); // no client area
    EXPECT_FALSE(flat.EnsureVisible(50));
}

TEST(ListBox, WheelScrollsThreeRowsWithinTheList)
{
    struct Case
    {
        int top, delta, newTop;
    };
    const Case cases[] = {
        {0, -120, 3}, {10, 120, 7}, {2, 120, 0}, {0, 120, 0}, {88, -120, 90}, {90, -120, 90}, {0, -240, 6},
    };
    for (const Case& c : cases) {
        List list;
        list.SetTopIndex(c.top);
        uitest::Wheel(&list, QPoint(50, 50), c.delta);
        EXPECT_EQ(list.GetTopIndex(), c.newTop) << c.top << " " << c.delta;
    }
    // a touchpad's half notches add up to one step
    List list;
    uitest::Wheel(&list, QPoint(50, 50), -60);
    EXPECT_EQ(list.GetTopIndex(), 0);
    uitest::Wheel(&list, QPoint(50, 50), -60);
    EXPECT_EQ(list.GetTopIndex(), 3);
}

TEST(ListBox, ScrollBarFollowsTheTopRow)
{
    List list;
    CNxScrollBar* bar = list.ScrollBar();
    EXPECT_EQ(bar->Minimum(), 0);
    EXPECT_EQ(bar->Maximum(), 99);
    EXPECT_EQ(bar->Page(), 10);
    EXPECT_EQ(bar->ScrollPos(), 0);
    list.SetTopIndex(5);
    EXPECT_EQ(bar->ScrollPos(), 6); // one more once the top row is not the first
    list.SetTopIndex(1000);
    EXPECT_EQ(list.GetTopIndex(), 90);
    EXPECT_EQ(bar->ScrollPos(), 90);
    // the bar's own down arrow scrolls the list
    list.SetTopIndex(0);
    const QPoint downArrow = bar->PartRect(CNxScrollBar::SecondArrow).center();
    uitest::Click(bar, downArrow);
    EXPECT_EQ(list.GetTopIndex(), 1);
    // rows that all fit leave the bar shown but disabled
    List few(5);
    few.show();
    EXPECT_TRUE(few.ScrollBar()->isVisible());
    EXPECT_FALSE(few.ScrollBar()->isEnabled());
}

TEST(ListBox, PaintsOnlyTheVisibleRows)
{
    for (int rows : {100, 100000}) {
        List list(rows);
        list.SetTopIndex(rows / 2);
        list.drawn = 0;
        (void)list.grab();
        EXPECT_EQ(list.drawn, 10) << rows;
    }
}

TEST(ListBox, EmptyListShowsTheEmptyText)
{
    CKelvoRes::Instance().Load();
    List list(0);
    const QImage img = list.grab().toImage();
    int textPixels = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < list.ClientRect().width(); ++x) {
            // antialiased grey text: grey levels up to the empty-text colour, never above it
            const QColor c = img.pixelColor(x, y);
            EXPECT_LE(c.red(), 64);
            textPixels += c.red() > 32 && c.red() == c.green() && c.green() == c.blue() ? 1 : 0;
        }
    }
    EXPECT_GT(textPixels, 10);
    EXPECT_EQ(img.pixelColor(5, 5), QColor(0, 0, 0));
    EXPECT_EQ(list.EmptyText(), QStringLiteral("No Information"));
}

TEST(ListBox, SelectionByMouseAndKeys)
{
    List list;
    QSignalSpy changed(&list, &CNxListBox::selectionChanged);
    QSignalSpy doubled(&list, &CNxListBox::itemDoubleClicked);
    uitest::Click(&list, QPoint(50, 45)); // third row
    EXPECT_EQ(list.GetCurSel(), 2);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 2);
    uitest::Mouse(&list, QEvent::MouseButtonDblClick, QPoint(50, 45), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(doubled.count(), 1);
    QKeyEvent end(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QCoreApplication::sendEvent(&list, &end);
    EXPECT_EQ(list.GetCurSel(), 99);
    EXPECT_EQ(list.GetTopIndex(), 90);
}

TEST(ListBox, RowsKeepTheirDataAndSortedOrder)
{
    CNxListBox list;
    list.SetSorted(true);
    list.AddString(QStringLiteral("delta"), 4);
    list.AddString(QStringLiteral("Alpha"), 1);
    list.AddString(QStringLiteral("charlie"), 3);
    EXPECT_EQ(list.GetText(0), QStringLiteral("Alpha"));
    EXPECT_EQ(list.GetItemData(2).toInt(), 4);
    list.SetCurSel(2);
    list.DeleteString(0);
    EXPECT_EQ(list.GetCurSel(), 1); // the selection follows its row
    EXPECT_FALSE(list.GetItemData(7).isValid());
    EXPECT_EQ(list.DeleteString(7), -1);
}

TEST(ListBox, SelectionFollowsItsRowWhenRowsComeAndGo)
{
    struct Case
    {
        int sel;
        bool insert; // else delete
        int index;
        int newSel; // -1: nothing selected
    };
    const Case cases[] = {
        {5, true, 5, 6},   // inserted at the selected index: the new row does not take the selection
        {5, true, 2, 6},   // above it
        {5, true, 6, 5},   // below it
        {5, true, -1, 5},  // appended
        {-1, true, 0, -1}, // no selection stays none
        {5, false, 2, 4},  // deleted above it
        {5, false, 7, 5},  // below it
        {5, false, 5, -1}, // the selected row itself
        {5, false, 50, 5}, // no such row
    };
    for (const Case& c : cases) {
        List list(10);
        list.SetCurSel(c.sel);
        const QString selectedText = list.GetText(c.sel);
        if (c.insert) {
            list.InsertString(c.index, QStringLiteral("new"));
        } else {
            list.DeleteString(c.index);
        }
        EXPECT_EQ(list.GetCurSel(), c.newSel) << c.sel << (c.insert ? " insert " : " delete ") << c.index;
        if (c.newSel >= 0) {
            EXPECT_EQ(list.GetText(list.GetCurSel()), selectedText) << c.sel << " " << c.index;
        }
    }
}
