// The channel page offscreen, driven by clicks and keys: what reaches the frame (QSignalSpy on
// CMainFrameMessages and on the Refresh button's command), media type, sort, group and search,
// the guide buttons, floating, and a reload between BeginUpdate and EndUpdate.
#include "ChannelTestSupport.h"
#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoCommandBinder.h"
#include "ui/CKelvoEdit.h"
#include "ui/CKelvoRes.h"
#include "views/channel/CKelvoChannelListBox.h"
#include "views/channel/CKelvoPageChannel.h"

#include <QAction>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace channeltest;

namespace {

// Present events on the box's clock; the page draws whatever the database holds.
const std::vector<Svc> kServices = {
    {.type = 0,
     .idx = 1,
     .lcn = 5,
     .name = "beta",
     .fav = 1,
     .evtStart = "2014-03-05T23:30",
     .evtEnd = "2014-03-06T01:10",
     .evtId = 11,
     .evtName = "Late film"},
    {.type = 0,
     .idx = 2,
     .lcn = 2,
     .name = "Zulu",
     .streamable = false,
     .evtStart = "2014-03-05T21:00",
     .evtEnd = "2014-03-05T22:00",
     .evtId = 12},
    {.type = 0, .idx = 3, .lcn = 9, .name = "alpha", .sat = 2, .fav = 1, .scrambled = true, .blocked = true},
    {.type = 0,
     .idx = 4,
     .lcn = 3,
     .name = "Alpha two",
     .evtStart = "2014-03-05T21:00",
     .evtEnd = "2014-03-05T22:00",
     .evtId = 0},
    {.type = 1,
     .idx = 5,
     .lcn = 1,
     .name = "Radio Alpha",
     .sat = 3,
     .fav = 2,
     .evtStart = "2014-03-05T21:00",
     .evtEnd = "2014-03-05T22:00",
     .evtId = 15},
};

class PageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CKelvoRes::Instance().Load();
        ASSERT_TRUE(box.Load(Box(kServices, {{0, "News"}, {1, "Tunes"}}, 0, 4)));
        host.resize(321, 570);
        page = new CKelvoPageChannel(box.db, messages, &host);
        page->setGeometry(host.rect());
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        page->RefreshContent();
    }

    CKelvoChannelListBox* List() const { return page->List(); }

    std::vector<int> Indices() const
    {
        std::vector<int> out;
        for (int i = 0; i < List()->GetCount(); ++i)
            out.push_back(List()->KeyAt(i) & 0xFFF);
        return out;
    }

    int RowOf(int idx, int type = 0) const
    {
        for (int i = 0; i < List()->GetCount(); ++i)
            if (List()->KeyAt(i) == MakeServiceKey(type, idx))
                return i;
        return -1;
    }

    void DoubleClickRow(int row)
    {
        const QPoint at = List()->GetItemRect(row).topLeft() + QPoint(30, 20);
        uitest::Press(List(), at);
        uitest::Release(List(), at);
        uitest::Mouse(List(), QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        uitest::Release(List(), at);
    }

    QPoint Button(int row) const { return List()->GuideButtonRect(row).center(); }

    Db box;
    CMainFrameMessages messages;
    QWidget host;
    CKelvoPageChannel* page = nullptr;
    QSignalSpy play{&messages, &CMainFrameMessages::playService};
    QSignalSpy guide{&messages, &CMainFrameMessages::showGuide};
};

} // namespace

TEST_F(PageTest, ControlsAndLayout)
{
    EXPECT_EQ(page->objectName(), "PageChannel");
    EXPECT_EQ(page->RefreshButton()->CommandId(), Kelvo::ID_CHANNEL_REFRESH);
    EXPECT_EQ(page->RefreshButton()->Text(), "Refresh ");
    EXPECT_EQ(page->RefreshButton()->geometry(), QRect(321 - 99, 0, 88, 37));
    EXPECT_EQ(page->TvButton()->geometry(), QRect(4, 1, 70, 36));
    EXPECT_EQ(page->RadioButton()->geometry(), QRect(74, 1, 70, 36));
    EXPECT_TRUE(page->TvButton()->IsChecked());
    EXPECT_FALSE(page->DockButton()->isVisible());
    EXPECT_EQ(page->SortBox()->count(), 3);
    EXPECT_EQ(page->SortBox()->itemText(0), "Alphabetic");
    EXPECT_EQ(page->SortBox()->currentIndex(), 1); // Numeric
    EXPECT_FALSE(page->GroupBox()->isEnabled());
    EXPECT_EQ(page->SortBox()->geometry(), QRect(5, 38, 137, 21));
    EXPECT_EQ(page->GroupBox()->geometry(), QRect(143, 38, 321 - 5 - 143, 21));
    EXPECT_EQ(page->SearchBox()->geometry(), QRect(45, 64, 321 - 9 - 45, 20));
    EXPECT_EQ(List()->geometry(), QRect(5, 89, 311, 570 - 9 - 89));
    EXPECT_EQ(List()->GetItemHeight(), 44);
    EXPECT_EQ(Indices(), (std::vector<int>{2, 4, 1, 3}));

    QSignalSpy refresh(page->RefreshButton(), &CPngButton::command);
    uitest::Click(page->RefreshButton(), QPoint(40, 18));
    ASSERT_EQ(refresh.count(), 1);
    EXPECT_EQ(refresh.at(0).at(0).toInt(), 49170);
}

TEST_F(PageTest, DoubleClickPlaysOrBringsStreamableServicesUp)
{
    DoubleClickRow(RowOf(1));
    ASSERT_EQ(play.count(), 1);
    EXPECT_EQ(play.at(0).at(0).toInt(), MakeServiceKey(0, 1));

    // Zulu cannot be streamed: no playback, the streamable services move to the top, and back.
    DoubleClickRow(RowOf(2));
    EXPECT_EQ(play.count(), 1);
    EXPECT_EQ(Indices(), (std::vector<int>{4, 1, 3, 2}));
    DoubleClickRow(RowOf(2));
    EXPECT_EQ(play.count(), 1);
    EXPECT_EQ(Indices(), (std::vector<int>{2, 4, 1, 3}));

    // Enter only moves nothing and plays nothing.
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    QTest::keyClick(List(), Qt::Key_Return);
    EXPECT_EQ(play.count(), 1);
}

TEST_F(PageTest, MediaTypeButtons)
{
    QSignalSpy changed(page, &CKelvoPageChannel::mediaTypeChanged);
    uitest::Click(page->RadioButton(), QPoint(35, 18));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 1);
    EXPECT_EQ(Indices(), (std::vector<int>{5}));
    EXPECT_TRUE(page->RadioButton()->IsChecked());
    EXPECT_FALSE(page->TvButton()->IsChecked());
    uitest::Click(page->RadioButton(), QPoint(35, 18));
    EXPECT_EQ(changed.count(), 1); // already shown
    // the frame's own setting is not reported back
    page->SetMediaType(0);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(Indices(), (std::vector<int>{2, 4, 1, 3}));
    EXPECT_TRUE(page->TvButton()->IsChecked());
}

TEST_F(PageTest, SortGroupAndSearchByKeys)
{
    CKelvoComboBox* sort = page->SortBox();
    CKelvoComboBox* group = page->GroupBox();
    sort->setFocus();
    QTest::keyClick(sort, Qt::Key_Up); // Numeric -> Alphabetic
    EXPECT_EQ(Indices(), (std::vector<int>{4, 2, 3, 1}));
    EXPECT_TRUE(List()->hasFocus());

    sort->setFocus();
    QTest::keyClick(sort, Qt::Key_End); // Group
    ASSERT_EQ(sort->currentIndex(), 2);
    EXPECT_TRUE(group->isEnabled());
    ASSERT_EQ(group->count(), 3); // Sat 3 and Tunes hold radio services only
    EXPECT_EQ(group->itemText(2), "News");
    EXPECT_EQ(group->currentIndex(), 0);
    EXPECT_EQ(Indices(), (std::vector<int>{4, 2, 1})); // Sat 1, by name as last chosen
    group->setFocus();
    QTest::keyClick(group, Qt::Key_End);
    EXPECT_EQ(Indices(), (std::vector<int>{3, 1}));

    // the search box filters while typing, ignoring case; Escape empties it
    page->SearchBox()->setFocus();
    QTest::keyClicks(page->SearchBox(), "BET");
    EXPECT_EQ(Indices(), (std::vector<int>{1}));
    QTest::keyClick(page->SearchBox(), Qt::Key_Escape);
    EXPECT_EQ(page->SearchBox()->text(), "");
    EXPECT_EQ(Indices(), (std::vector<int>{3, 1}));
}

TEST_F(PageTest, GroupModeWithoutGroupsKeepsTheList)
{
    Db empty;
    ASSERT_TRUE(empty.Load(Box({{.type = 0, .idx = 1, .lcn = 1, .name = "One"}})));
    CMainFrameMessages m;
    CKelvoPageChannel p(empty.db, m);
    p.resize(321, 570);
    p.RefreshContent();
    uitest::Click(p.RadioButton(), QPoint(35, 18)); // no radio service: no group, no row
    EXPECT_EQ(p.GroupBox()->count(), 0);
    EXPECT_EQ(p.List()->GetCount(), 0);
    uitest::Click(p.TvButton(), QPoint(35, 18));
    ASSERT_EQ(p.List()->GetCount(), 1);
    p.SetMediaType(1);
    p.SortBox()->setFocus();
    QTest::keyClick(p.SortBox(), Qt::Key_End);
    EXPECT_EQ(p.GroupBox()->count(), 0);
    EXPECT_EQ(p.List()->GetCount(), 0); // the radio list, as it was
}

TEST_F(PageTest, GuideButtons)
{
    const int beta = RowOf(1), zulu = RowOf(2), alpha = RowOf(3), two = RowOf(4);
    EXPECT_EQ(List()->GuideButtonFrame(beta), 0);
    EXPECT_EQ(List()->GuideButtonFrame(alpha), 3); // no event on air
    EXPECT_EQ(List()->GuideButtonFrame(two), 0);   // event id 0: looks active, does not answer

    uitest::Move(List(), Button(beta), false);
    EXPECT_EQ(List()->HotRow(), beta);
    EXPECT_EQ(List()->GuideButtonFrame(beta), 2);
    uitest::Press(List(), Button(beta));
    EXPECT_EQ(List()->GuideButtonFrame(beta), 1);
    uitest::Release(List(), Button(beta));
    ASSERT_EQ(guide.count(), 1);
    EXPECT_EQ(guide.at(0).at(0).toInt(), MakeServiceKey(0, 1));
    EXPECT_EQ(List()->GetCurSel(), beta);

    // pressed, moved off while held, released elsewhere: nothing opens
    uitest::Press(List(), Button(zulu));
    uitest::Move(List(), Button(zulu) - QPoint(100, 0), true);
    EXPECT_EQ(List()->GuideButtonFrame(zulu), 0);
    uitest::Release(List(), Button(zulu) - QPoint(100, 0));
    // a button that does not answer, one without an event, and the row beside a button
    for (int row : {alpha, two})
        uitest::Click(List(), Button(row));
    uitest::Click(List(), Button(beta) - QPoint(60, 0));
    EXPECT_EQ(guide.count(), 1);
    // a double-click on a button plays nothing
    uitest::Mouse(List(), QEvent::MouseButtonDblClick, Button(beta), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(play.count(), 0);

    uitest::Mouse(List(), QEvent::Leave, QPoint(), Qt::NoButton, Qt::NoButton);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(List(), &leave);
    EXPECT_FALSE(List()->IsTracking());
}

TEST_F(PageTest, FloatingDisablesGuideButtonsAndShowsTheDockButton)
{
    QWidget window;
    window.resize(323, 571);
    page->setParent(&window);
    page->SetFloating(true);
    window.show();
    EXPECT_TRUE(page->IsFloating());
    EXPECT_EQ(page->size(), QSize(323, 571));
    EXPECT_TRUE(page->DockButton()->isVisible());
    EXPECT_EQ(page->DockButton()->pos(), QPoint(323 - 32, 6));
    EXPECT_EQ(page->RefreshButton()->pos(), QPoint(323 - 131, 0));
    const int beta = RowOf(1);
    EXPECT_EQ(List()->GuideButtonFrame(beta), 3);
    uitest::Click(List(), Button(beta));
    EXPECT_EQ(guide.count(), 0);
    // The dock button is the frame's command, bound to it by id.
    QAction dock;
    CKelvoCommandBinder::Bind(page,
                              [&dock](int id) { return id == Kelvo::ID_CHANNEL_DOCK ? &dock : nullptr; });
    QSignalSpy docked(&dock, &QAction::triggered);
    uitest::Click(page->DockButton(), QPoint(12, 12));
    EXPECT_EQ(docked.count(), 1);

    page->setParent(&host);
    page->SetFloating(false);
    EXPECT_FALSE(page->DockButton()->isVisibleTo(page));
    EXPECT_EQ(page->size(), QSize(321, 570));
    uitest::Click(List(), Button(beta));
    EXPECT_EQ(guide.count(), 1);
}

TEST_F(PageTest, StreamedRowIsShownAndDrawnBlue)
{
    page->resize(321, 200); // room for about two rows
    const int last = List()->GetCount() - 1;
    const int key = List()->KeyAt(last);
    page->SetStreamingService(key);
    page->ShowStreamedRow(-1);
    EXPECT_GT(List()->GetTopIndex(), 0);
    const QRect row = List()->GetItemRect(last);
    ASSERT_TRUE(List()->rect().contains(row));
    const QImage shot = List()->grab().toImage();
    const QColor mid = shot.pixelColor(row.left() + 5, row.top() + 2);
    EXPECT_GT(mid.blue(), mid.red() + 20) << mid.name().toStdString();
    // the separator line along the row's last pixel row
    EXPECT_EQ(shot.pixelColor(row.left() + 5, row.bottom()), QColor(54, 54, 54));
}

TEST_F(PageTest, ReloadBetweenBeginAndEndUpdate)
{
    uitest::Move(List(), Button(RowOf(1)), false);
    page->BeginUpdate();
    page->BeginUpdate(); // nested: only the outermost bracket counts
    // What the frame's reload does: the database empties, paint and input go on meanwhile.
    box.db.Clear();
    uitest::Move(List(), Button(0), false);
    uitest::Click(List(), Button(RowOf(1)));
    DoubleClickRow(RowOf(1));
    EXPECT_EQ(List()->HotRow(), -1);
    EXPECT_EQ(guide.count(), 0);
    EXPECT_EQ(play.count(), 0);
    (void)page->grab();
    page->EndUpdate();
    EXPECT_TRUE(List()->IsUpdating());
    ASSERT_TRUE(box.Load(Box({{.type = 0,
                               .idx = 7,
                               .lcn = 1,
                               .name = "New",
                               .evtStart = "2014-03-05T21:00",
                               .evtEnd = "2014-03-05T22:00",
                               .evtId = 3}})));
    page->RefreshContent();
    page->EndUpdate();
    EXPECT_EQ(Indices(), (std::vector<int>{7}));
    (void)page->grab();
    uitest::Click(List(), Button(0));
    ASSERT_EQ(guide.count(), 1);
    EXPECT_EQ(guide.at(0).at(0).toInt(), MakeServiceKey(0, 7));
}

TEST_F(PageTest, Screenshot)
{
    page->SetStreamingService(MakeServiceKey(0, 1));
    List()->SetCurSel(RowOf(4));
    const QImage shot = page->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(QStringLiteral("channel_page.png")));
}
