// The simple service list: TV services only, preselection, a double-click chooses, the cross and
// Escape cancel without changing anything.
#include "ChannelTestSupport.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxStatic.h"
#include "ui/CPngButton.h"
#include "views/common/CKelvoChannelListBoxSimple.h"
#include "views/common/CKelvoDlgChannelListSimple.h"

#include <QTest>
#include <QTimer>

using namespace channeltest;

namespace {

class SimpleListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CKelvoRes::Instance().Load();
        ASSERT_TRUE(box.Load(Box({
            {.type = 0, .idx = 5, .lcn = 3, .name = "Three"},
            {.type = 1, .idx = 6, .lcn = 1, .name = "Radio One"},
            {.type = 0, .idx = 7, .lcn = 1, .name = "One", .streamable = false},
            {.type = 0, .idx = 8, .lcn = 2, .name = "Two", .sat = 2, .scrambled = true},
        })));
    }

    static std::vector<int> Rows(const CKelvoChannelListBoxSimple& list)
    {
        std::vector<int> keys;
        for (int i = 0; i < list.GetCount(); ++i)
            keys.push_back(list.KeyAt(i));
        return keys;
    }

    static void DoubleClick(CNxListBox* list, int row)
    {
        const QPoint at = list->GetItemRect(row).center();
        uitest::Press(list, at);
        uitest::Release(list, at);
        uitest::Mouse(list, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        uitest::Release(list, at);
    }

    Db box;
};

} // namespace

TEST_F(SimpleListTest, ListsTvServicesInDatabaseOrderAndPreselects)
{
    const int tv5 = MakeServiceKey(0, 5), tv7 = MakeServiceKey(0, 7), tv8 = MakeServiceKey(0, 8);
    struct Case
    {
        int preselect;
        int selectedRow;
    };
    // a radio service is not listed, so it cannot be preselected
    const Case cases[] = {{-1, -1}, {tv5, 0}, {tv7, 1}, {tv8, 2}, {MakeServiceKey(1, 6), -1}, {4711, -1}};
    for (const Case& c : cases) {
        CKelvoDlgChannelListSimple dlg(box.db);
        dlg.SetChosenService(c.preselect);
        EXPECT_EQ(Rows(*dlg.List()), (std::vector<int>{tv5, tv7, tv8}));
        EXPECT_EQ(dlg.List()->GetCurSel(), c.selectedRow) << c.preselect;
    }
}

TEST_F(SimpleListTest, LayoutFollowsTheTemplate)
{
    CKelvoDlgChannelListSimple dlg(box.db);
    // 222 x 222 dialog units of the template font plus the two-pixel frame on each side
    EXPECT_EQ(dlg.size(), QSize(333 + 4, 361 + 4));
    EXPECT_EQ(dlg.List()->geometry(), QRect(2, 2 + 38, 333, 361 - 38));
    EXPECT_EQ(dlg.CloseButton()->geometry(), QRect(2 + 333 - 30, 2 + 6, 24, 24));
    EXPECT_EQ(dlg.List()->GetItemHeight(), 30);
    EXPECT_EQ(dlg.Title()->geometry().top(), 2);
    dlg.SetChosenService(MakeServiceKey(0, 7));
    EXPECT_TRUE(dlg.grab().save(QStringLiteral("channel_list_simple.png")));
}

TEST_F(SimpleListTest, DoubleClickChoosesSingleClickOnlySelects)
{
    CKelvoDlgChannelListSimple dlg(box.db);
    dlg.SetChosenService(MakeServiceKey(0, 5));
    dlg.show();
    const QPoint second = dlg.List()->GetItemRect(2).center();
    uitest::Click(dlg.List(), second);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.List()->GetCurSel(), 2);
    QTest::keyClick(dlg.List(), Qt::Key_Up);
    EXPECT_TRUE(dlg.isVisible());
    DoubleClick(dlg.List(), 1);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.ChosenService(), MakeServiceKey(0, 7));
}

TEST_F(SimpleListTest, PickReturnsTheChoiceOrMinusOneWhenCancelled)
{
    // What the user does once the modal loop runs: double-click a row, the cross, or Escape.
    const std::function<void(CKelvoDlgChannelListSimple&)> actions[] = {
        [](CKelvoDlgChannelListSimple& d) { DoubleClick(d.List(), 2); },
        [](CKelvoDlgChannelListSimple& d) { uitest::Click(d.CloseButton(), QPoint(12, 12)); },
        [](CKelvoDlgChannelListSimple& d) { QTest::keyClick(d.List(), Qt::Key_Escape); },
    };
    const int expected[] = {MakeServiceKey(0, 8), -1, -1};
    for (size_t i = 0; i < std::size(actions); ++i) {
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<CKelvoDlgChannelListSimple*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(dlg->List()->GetCurSel(), 0); // the preselection
            actions[i](*dlg);
            if (dlg->isVisible())
                dlg->done(42); // never hang on a failed action
        });
        EXPECT_EQ(CKelvoDlgChannelListSimple::Pick(box.db, MakeServiceKey(0, 5), nullptr), expected[i]) << i;
    }
}

TEST_F(SimpleListTest, CancelLeavesThePreselection)
{
    CKelvoDlgChannelListSimple dlg(box.db);
    dlg.SetChosenService(MakeServiceKey(0, 7));
    dlg.show();
    uitest::Click(dlg.List(), dlg.List()->GetItemRect(0).center());
    uitest::Click(dlg.CloseButton(), QPoint(12, 12));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(dlg.ChosenService(), MakeServiceKey(0, 7));
}

TEST(SimpleListEmpty, EmptyDatabaseShowsNoRows)
{
    CKelvoRes::Instance().Load();
    Db empty;
    CKelvoDlgChannelListSimple dlg(empty.db);
    dlg.SetChosenService(5);
    EXPECT_EQ(dlg.List()->GetCount(), 0);
    EXPECT_EQ(dlg.List()->GetCurSel(), -1);
    EXPECT_FALSE(dlg.List()->grab().isNull()); // paints its empty text without a row
}
