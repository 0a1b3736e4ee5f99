// The channel list's rules without widgets: groups offered per media type, filtering by type,
// group and search text, the three sort modes and the streamable-first ordering.
#include "ChannelTestSupport.h"
#include "views/channel/CChannelRows.h"

#include <QDateTime>

using namespace channeltest;

namespace {

// Database order: 1, 4 (streamable, sat 1), 2 (not streamable, sat 1), 3 (sat 2), 5 (radio, sat 3).
const std::vector<Svc> kServices = {
    {.type = 0, .idx = 1, .lcn = 5, .name = "beta", .fav = 1},
    {.type = 0, .idx = 2, .lcn = 2, .name = "Zulu", .streamable = false},
    {.type = 0, .idx = 3, .lcn = 9, .name = "alpha", .sat = 2, .fav = 1},
    {.type = 0, .idx = 4, .lcn = 2, .name = "Alpha two"},
    {.type = 1, .idx = 5, .lcn = 1, .name = "Radio Alpha", .sat = 3, .fav = 2},
};

class RowsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(box.Load(Box(kServices, {{0, "News"}, {1, "Tunes"}}))); }

    // Rows as service indices, for readable tables.
    std::vector<int> Indices() const
    {
        std::vector<int> out;
        for (int key : rows.Keys())
            out.push_back(key & 0xFFF);
        return out;
    }
    std::vector<QString> GroupNames() const
    {
        std::vector<QString> out;
        for (int i = 0; i < static_cast<int>(rows.GroupEntries().size()); ++i)
            out.push_back(rows.GroupName(i));
        return out;
    }

    Db box;
    CChannelRows rows{box.db};
};

} // namespace

TEST_F(RowsTest, FiltersAndOrders)
{
    struct Case
    {
        int type;
        int mode;
        bool streamableFirst;
        const char* search;
        std::vector<int> expected;
    };
    const Case cases[] = {
        // equal numbers keep the database's order; both are listed
        {0, CChannelRows::Numeric, false, "", {4, 2, 1, 3}},
        // code units: capitals before small letters
        {0, CChannelRows::Alphabetic, false, "", {4, 2, 3, 1}},
        {0, CChannelRows::Numeric, true, "", {4, 1, 3, 2}},
        {0, CChannelRows::Alphabetic, true, "", {4, 3, 1, 2}},
        // the search ignores letter case and matches anywhere in the name
        {0, CChannelRows::Numeric, false, "ALPHA", {4, 3}},
        {0, CChannelRows::Numeric, false, "a t", {4}},
        {0, CChannelRows::Alphabetic, false, "zzz", {}},
        {1, CChannelRows::Numeric, false, "", {5}},
        {1, CChannelRows::Numeric, false, "alpha", {5}},
    };
    for (const Case& c : cases) {
        CChannelRows r(box.db);
        r.SetMediaType(c.type);
        r.SetSortMode(c.mode);
        r.SetSearchText(QString::fromUtf8(c.search));
        if (c.streamableFirst)
            r.ToggleStreamableFirst();
        ASSERT_TRUE(r.FillList());
        std::vector<int> got;
        for (int key : r.Keys())
            got.push_back(key & 0xFFF);
        EXPECT_EQ(got, c.expected) << c.type << " " << c.mode << " " << c.streamableFirst << " " << c.search;
    }
}

TEST_F(RowsTest, StreamableFirstToggles)
{
    rows.FillList();
    EXPECT_EQ(Indices(), (std::vector<int>{4, 2, 1, 3}));
    rows.ToggleStreamableFirst();
    rows.FillList();
    EXPECT_EQ(Indices(), (std::vector<int>{4, 1, 3, 2}));
    rows.ToggleStreamableFirst(); // a second double-click restores the plain order
    rows.FillList();
    EXPECT_EQ(Indices(), (std::vector<int>{4, 2, 1, 3}));
}

TEST_F(RowsTest, GroupsOfferOnlyEntriesWithServicesOfTheShownType)
{
    rows.FillGroups(true);
    EXPECT_EQ(GroupNames(), (std::vector<QString>{"Sat 1", "Sat 2", "News"}));
    rows.SetMediaType(1);
    rows.FillGroups(true);
    EXPECT_EQ(GroupNames(), (std::vector<QString>{"Sat 3", "Tunes"}));
}

TEST_F(RowsTest, GroupModeListsMembersInTheLastNonGroupOrder)
{
    rows.SetSortMode(CChannelRows::Alphabetic);
    rows.ToggleStreamableFirst();
    rows.FillList();
    rows.FillGroups(true);
    rows.SetSortMode(CChannelRows::Group);
    struct Case
    {
        int groupIndex;
        std::vector<int> expected;
    };
    const Case cases[] = {{0, {4, 1, 2}}, {1, {3}}, {2, {3, 1}}};
    for (const Case& c : cases) {
        rows.SetGroupIndex(c.groupIndex);
        ASSERT_TRUE(rows.FillList());
        EXPECT_EQ(Indices(), c.expected) << c.groupIndex;
        EXPECT_EQ(rows.ListOrder(), CChannelRows::ByName);
        EXPECT_TRUE(rows.ListStreamableFirst());
    }
    // Toggling in the group mode changes the page's value, not the group's order.
    rows.ToggleStreamableFirst();
    rows.SetGroupIndex(0);
    rows.FillList();
    EXPECT_EQ(Indices(), (std::vector<int>{4, 1, 2}));
    // the search narrows a group too
    rows.SetSearchText("BET");
    rows.FillList();
    EXPECT_EQ(Indices(), (std::vector<int>{1}));
}

TEST_F(RowsTest, GroupIndexIsKeptOnlyWhileItPointsAtAnEntry)
{
    rows.FillGroups(true);
    rows.SetGroupIndex(2);
    rows.FillGroups(false);
    EXPECT_EQ(rows.GroupIndex(), 2);
    rows.FillGroups(true);
    EXPECT_EQ(rows.GroupIndex(), 0);
    rows.SetGroupIndex(2);
    rows.SetMediaType(1); // two entries only
    rows.FillGroups(false);
    EXPECT_EQ(rows.GroupIndex(), 0);
}

TEST(ChannelRowsEmpty, GroupModeWithoutGroupsLeavesTheRows)
{
    Db box;
    ASSERT_TRUE(box.Load(Box({{.type = 0, .idx = 1, .lcn = 1, .name = "One"}})));
    CChannelRows rows(box.db);
    rows.SetMediaType(1); // no radio: no group entry
    rows.FillGroups(true);
    EXPECT_TRUE(rows.GroupEntries().empty());
    rows.SetMediaType(0);
    ASSERT_TRUE(rows.FillList());
    rows.SetMediaType(1);
    rows.SetSortMode(CChannelRows::Group);
    EXPECT_FALSE(rows.FillList());
    EXPECT_EQ(rows.Keys(), (std::vector<int>{MakeServiceKey(0, 1)}));
}

TEST(ChannelRowsTexts, NumberStartAndLength)
{
    EXPECT_EQ(CChannelRows::NumberText(7), "0007");
    EXPECT_EQ(CChannelRows::NumberText(12345), "12345");
    const qint64 start = QDateTime(QDate(2014, 3, 5), QTime(23, 30)).toSecsSinceEpoch();
    EXPECT_EQ(CChannelRows::StartText(start), "23:30");
    struct Case
    {
        qint64 seconds;
        int minutes;
    };
    // across midnight; whole days are left out of the length
    const Case cases[] = {{100 * 60, 100}, {45 * 60 + 59, 45}, {25 * 3600, 60}, {24 * 3600, 0}, {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(CChannelRows::LengthMinutes(start, start + c.seconds), c.minutes) << c.seconds;
}
