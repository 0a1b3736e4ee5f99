// The database's own rules: withholding, group order, schedule order and grouping, overwriting,
// deleting, links and lookups, built directly without a reply.
#include "tests/db/DbTestSupport.h"

#include <climits>
#include <vector>

using namespace dbtest;

namespace {

class DataModelTest : public ::testing::Test
{
protected:
    // Whatever a test did to the database, its rules still hold.
    void TearDown() override { EXPECT_SOUND(db); }

    void AddGroup(int idx, int satIdx, bool blocked)
    {
        auto g = std::make_unique<CFavoriteGroupElement>();
        g->idx = idx;
        g->satIdx = satIdx;
        g->blocked = blocked;
        groups.push_back(g.get());
        db.AddFavoriteGroup(std::move(g));
    }

    void AddEntry(int idx, const char* name)
    {
        auto e = std::make_unique<CSatelliteElement>();
        e->idx = idx;
        e->name = QString::fromUtf8(name);
        db.AddGroupEntry(std::move(e));
    }

    std::vector<QString> GroupNames() const
    {
        std::vector<QString> names;
        for (const auto& g : db.Groups())
            names.push_back(g->name);
        return names;
    }

    std::vector<int> ScheduleIds() const
    {
        std::vector<int> ids;
        for (const auto& s : db.Schedules())
            ids.push_back(s->seriesId >= 0 ? 1000 + s->seriesId : s->id);
        return ids;
    }

    CEventElement* AddGuideEvent(int id)
    {
        auto e = std::make_unique<CEventElement>();
        e->id = id;
        CEventElement* raw = e.get();
        db.MutableGuide().events.push_back(std::move(e));
        return raw;
    }

    CQuarnWrapper wrapper;
    CQuarnDataModel db{wrapper};
    std::vector<CFavoriteGroupElement*> groups;
};

TEST_F(DataModelTest, WithholdsServicesOfBlockedGroupsOnlyWhileLocked)
{
    AddGroup(0, 0, false);
    AddGroup(1, 1, true);

    db.SetLocked(true);
    EXPECT_EQ(db.AddService(MakeService(0, 1, 0b11)), -1);
    EXPECT_TRUE(db.Services().empty());
    EXPECT_TRUE(groups[0]->services.empty());
    EXPECT_TRUE(groups[1]->services.empty());
    EXPECT_EQ(db.FindService(MakeServiceKey(0, 1)), nullptr);
    // A service only in the unblocked group is kept.
    EXPECT_EQ(db.AddService(MakeService(0, 2, 0b01)), 0);
    EXPECT_SOUND(db);

    db.SetLocked(false);
    EXPECT_EQ(db.AddService(MakeService(0, 1, 0b11)), 1);
    ASSERT_EQ(db.Services().size(), 2u);
    EXPECT_EQ(groups[0]->services.size(), 2u);
    ASSERT_EQ(groups[1]->services.size(), 1u);
    EXPECT_EQ(groups[1]->services[0], db.Services()[1].get());
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, FavouriteBitsWrapAtThirtyTwoAndIgnoreMissingGroups)
{
    AddGroup(33, 0, false); // bit 1, like group 1
    AddGroup(-1, 0, false); // bit 31
    db.SetLocked(true);
    ASSERT_EQ(db.AddService(MakeService(0, 1, 0b10)), 0);
    ASSERT_EQ(db.AddService(MakeService(0, 2, INT_MIN)), 1);
    ASSERT_EQ(db.AddService(MakeService(0, 3, 1 << 7)), 2); // names no group at all
    EXPECT_EQ(groups[0]->services, RefList<CServiceElement>{db.Services()[0].get()});
    EXPECT_EQ(groups[1]->services, RefList<CServiceElement>{db.Services()[1].get()});
    EXPECT_EQ(db.Services().size(), 3u);
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, FindServiceGivesTheFirstOfEqualKeys)
{
    db.SetLocked(false);
    db.AddService(MakeService(0, 5, 0, "first"));
    db.AddService(MakeService(0, 5, 0, "second"));
    db.AddService(MakeService(1, 5, 0, "radio"));
    db.AddService(MakeService(-1, 5, 0, "no type"));
    EXPECT_EQ(db.FindService(MakeServiceKey(0, 5))->name, "first");
    EXPECT_EQ(db.FindService(MakeServiceKey(1, 5))->name, "radio");
    EXPECT_EQ(db.FindService(MakeServiceKey(-1, 5))->name, "no type");
    EXPECT_EQ(db.FindService(MakeServiceKey(0, 6)), nullptr);
    EXPECT_SOUND(db);
    db.Clear();
    EXPECT_EQ(db.FindService(MakeServiceKey(0, 5)), nullptr);
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, SortGroupsIsTheExchangeSort)
{
    AddEntry(3, "sat3");
    AddEntry(1, "sat1");
    AddEntry(2, "sat2");
    AddEntry(0, "group0");
    db.SortGroups();
    EXPECT_EQ(GroupNames(), (std::vector<QString>{"group0", "sat1", "sat2", "sat3"}));
    EXPECT_EQ(db.FindGroup(2)->name, "sat2");
    EXPECT_EQ(db.FindGroup(7), nullptr);

    // Equal keys: the swap of A and C carries C past B, so B ends up before A.
    db.Clear();
    AddEntry(2, "A");
    AddEntry(2, "B");
    AddEntry(1, "C");
    db.SortGroups();
    EXPECT_EQ(GroupNames(), (std::vector<QString>{"C", "B", "A"}));
    EXPECT_EQ(db.FindGroup(2)->name, "B");
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, SeriesComeFirstInAscendingOrderThenSinglesAsAdded)
{
    db.AddSchedule(MakeScheduleRecord(1));
    db.AddSchedule(MakeScheduleRecord(2));
    db.AddSchedule(MakeScheduleRecord(71, 7));
    db.AddSchedule(MakeScheduleRecord(72, 7));
    db.AddSchedule(MakeScheduleRecord(51, 5));
    db.AddSchedule(MakeScheduleRecord(91, 9));
    db.AddSchedule(MakeScheduleRecord(3));
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1005, 1007, 1009, 1, 2, 3}));
    const CScheduleElement& series7 = *db.Schedules()[1];
    ASSERT_EQ(series7.members.size(), 2u);
    EXPECT_EQ(series7.members[0]->id, 71);
    EXPECT_EQ(series7.members[1]->id, 72);
    EXPECT_EQ(series7.id, 71); // the entry is a copy of its first schedule

    // Lookups look into the members, never at the entry itself.
    EXPECT_EQ(db.FindSchedule(72), series7.members[1].get());
    EXPECT_EQ(db.FindSchedule(71), series7.members[0].get());
    EXPECT_EQ(db.FindSchedule(2), db.Schedules()[4].get());
    EXPECT_EQ(db.FindSchedule(4), nullptr);
    EXPECT_SOUND(db);

    // A stray negative series id is a single schedule, not a series nobody looks into.
    db.AddSchedule(MakeScheduleRecord(8, -5));
    EXPECT_EQ(db.FindSchedule(8), db.Schedules().back().get());
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, FindScheduleForEventMatchesServiceAndEvent)
{
    db.AddSchedule(MakeScheduleRecord(1, -1, 0, 12, 500));
    db.AddSchedule(MakeScheduleRecord(2, -1, 0, 13, 501));
    db.AddSchedule(MakeScheduleRecord(3, 4, 0, 13, 501));
    CEventElement e;
    e.id = 500;
    EXPECT_EQ(db.FindScheduleForEvent(0, 12, e), db.FindSchedule(1));
    EXPECT_EQ(db.FindScheduleForEvent(0, 13, e), nullptr);
    EXPECT_EQ(db.FindScheduleForEvent(1, 12, e), nullptr);
    e.id = 501;
    EXPECT_EQ(db.FindScheduleForEvent(0, 13, e), db.FindSchedule(3)); // the series comes first
}

TEST_F(DataModelTest, StoreOverwritesInPlaceOrAddsAndLinks)
{
    db.AddSchedule(MakeScheduleRecord(1));
    db.AddSchedule(MakeScheduleRecord(17, -1, 0, 12, 500));
    db.AddSchedule(MakeScheduleRecord(2));
    CScheduleElement* before = db.FindSchedule(17);

    CScheduleElement changed = *MakeScheduleRecord(17, -1, 0, 12, 500);
    changed.end = 12345;
    db.StoreSchedule(changed);
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1, 17, 2}));
    EXPECT_EQ(db.FindSchedule(17), before);
    EXPECT_EQ(before->end, 12345);
    EXPECT_SOUND(db);

    // A new schedule of the guide's service links the event made for it.
    db.MutableGuide().svcType = 0;
    db.MutableGuide().svcIdx = 12;
    CEventElement* other = AddGuideEvent(600);
    CEventElement* target = AddGuideEvent(601);
    db.StoreSchedule(*MakeScheduleRecord(18, -1, 0, 12, 601));
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1, 17, 2, 18}));
    EXPECT_EQ(target->schedule, db.FindSchedule(18));
    EXPECT_EQ(other->schedule, nullptr);
    // One of another service with the same event id links nothing.
    db.StoreSchedule(*MakeScheduleRecord(19, -1, 0, 13, 600));
    EXPECT_EQ(other->schedule, nullptr);
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, StoreMovesASchedulePutIntoASeries)
{
    db.MutableGuide().svcType = 0;
    db.MutableGuide().svcIdx = 1;
    CEventElement* e = AddGuideEvent(40);
    db.AddSchedule(MakeScheduleRecord(9, -1, 0, 1, 40));
    db.LinkEventsToSchedules();
    ASSERT_EQ(e->schedule, db.FindSchedule(9));

    db.StoreSchedule(*MakeScheduleRecord(9, 3, 0, 1, 40));
    ASSERT_NE(db.FindSchedule(9), nullptr);
    EXPECT_EQ(db.FindSchedule(9)->seriesId, 3);
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1003}));
    EXPECT_EQ(e->schedule, db.FindSchedule(9));
    EXPECT_SOUND(db);

    db.StoreSchedule(*MakeScheduleRecord(9, -1, 0, 1, 40));
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{9}));
    EXPECT_EQ(e->schedule, db.FindSchedule(9));
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, RemoveUnlinksEveryEventAndDropsEmptySeries)
{
    db.MutableGuide().svcType = 0;
    db.MutableGuide().svcIdx = 1;
    CEventElement* a = AddGuideEvent(40);
    CEventElement* b = AddGuideEvent(40); // the same id twice: both link the schedule
    CEventElement* c = AddGuideEvent(41);
    db.AddSchedule(MakeScheduleRecord(9, -1, 0, 1, 40));
    db.AddSchedule(MakeScheduleRecord(10, 6, 0, 1, 41));
    db.AddSchedule(MakeScheduleRecord(11, 6, 0, 1, 42));
    db.LinkEventsToSchedules();
    ASSERT_NE(b->schedule, nullptr);

    db.RemoveSchedule(9);
    EXPECT_EQ(db.FindSchedule(9), nullptr);
    EXPECT_EQ(a->schedule, nullptr);
    EXPECT_EQ(b->schedule, nullptr);
    EXPECT_SOUND(db);

    // A member leaves its series; the series goes with its last member.
    CScheduleElement seriesCopy = *db.Schedules()[0];
    db.RemoveSchedule(10);
    EXPECT_EQ(c->schedule, nullptr);
    EXPECT_EQ(db.FindSchedule(10), nullptr);
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1006}));
    EXPECT_EQ(seriesCopy.members.size(), 2u); // a copy still holds what it was given
    EXPECT_EQ(seriesCopy.members[0]->id, 10);
    db.RemoveSchedule(11);
    EXPECT_TRUE(db.Schedules().empty());
    db.RemoveSchedule(12); // unknown: nothing happens
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, MakeScheduleNeedsAKnownService)
{
    db.SetLocked(false);
    auto svc = MakeService(1, 12);
    svc->satIdx = 3;
    db.AddService(std::move(svc));
    CEventElement e;
    e.id = 77;
    e.start = 1000;
    e.end = 4600;
    e.name = "News";
    e.nameEncoding = "ISO-8859-5";
    const auto s = db.MakeSchedule(1, 12, 1, 2, &e);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->id, 0);
    EXPECT_EQ(s->type, 1);
    EXPECT_EQ(s->mode, 2);
    EXPECT_EQ(s->days, 0);
    EXPECT_EQ(s->satIdx, 3);
    EXPECT_EQ(s->svcType, 1);
    EXPECT_EQ(s->svcIdx, 12);
    EXPECT_EQ(s->start, 1000);
    EXPECT_EQ(s->end, 4600);
    EXPECT_EQ(s->eventId, 77);
    EXPECT_EQ(s->eventName, "News");
    EXPECT_EQ(s->eventEncoding, "ISO-8859-5");
    EXPECT_EQ(s->service, nullptr);
    EXPECT_EQ(s->seriesId, -1);

    const auto bare = db.MakeSchedule(1, 12, 0, 1, nullptr);
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->start, 0);
    EXPECT_EQ(bare->eventId, -1);
    EXPECT_FALSE(db.MakeSchedule(0, 12, 0, 1, nullptr));
}

TEST_F(DataModelTest, StatusFlagsTheStreamingAndLiveServices)
{
    db.SetLocked(false);
    db.AddService(MakeService(0, 1));
    db.AddService(MakeService(0, 2));
    db.AddService(MakeService(1, 2));
    db.MutableStatus().streamingService.type = 1;
    db.MutableStatus().streamingService.idx = 2;
    db.MutableStatus().liveService.type = 0;
    db.MutableStatus().liveService.idx = 1;
    db.MarkStatusServices();
    EXPECT_TRUE(db.Services()[2]->streaming);
    EXPECT_FALSE(db.Services()[1]->streaming);
    EXPECT_EQ(db.FindLiveService(), db.Services()[0].get());

    db.MutableStatus().liveService.idx = -1; // no live service: every flag cleared
    db.MarkStatusServices();
    EXPECT_EQ(db.FindLiveService(), nullptr);
}

TEST_F(DataModelTest, ClearKeepsSettingsStatusAndGuideHeader)
{
    db.SetLocked(false);
    db.Settings().pinCode = "1234";
    db.MutableStatus().streamingStatus = 2;
    db.MutableGuide().svcType = 1;
    db.MutableGuide().svcIdx = 4;
    db.MutableGuide().boxTime = 99;
    AddGroup(0, 0, false);
    AddEntry(1, "sat");
    db.AddService(MakeService(0, 1));
    db.AddSchedule(MakeScheduleRecord(1, 2));
    AddGuideEvent(5);
    auto tp = std::make_unique<CTransponderElement>();
    tp->idx = 3;
    db.StoreTransponder(std::move(tp));
    ASSERT_NE(db.FindTransponder(3), nullptr);

    db.Clear();
    EXPECT_TRUE(db.Services().empty() && db.Groups().empty() && db.FavoriteGroups().empty());
    EXPECT_TRUE(db.Schedules().empty() && db.Guide().events.empty() && db.Transponders().empty());
    EXPECT_EQ(db.Settings().pinCode, "1234");
    EXPECT_FALSE(db.IsLocked());
    EXPECT_EQ(db.Status().streamingStatus, 2);
    EXPECT_EQ(db.Guide().svcType, 1);
    EXPECT_EQ(db.Guide().svcIdx, 4);
    EXPECT_EQ(db.Guide().boxTime, 99);
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, TransponderKeysAreSixteenBits)
{
    for (int idx : {5, 5 + 65536, -1}) {
        auto tp = std::make_unique<CTransponderElement>();
        tp->idx = idx;
        tp->freq = idx;
        db.StoreTransponder(std::move(tp));
    }
    ASSERT_EQ(db.Transponders().size(), 2u);
    EXPECT_EQ(db.FindTransponder(5)->freq, 5 + 65536); // the later one replaced the earlier
    EXPECT_EQ(db.FindTransponder(65535)->freq, -1);
    EXPECT_SOUND(db);
}

TEST(DataModelDefaults, ConstructionValues)
{
    CQuarnWrapper wrapper;
    CQuarnDataModel db(wrapper);
    EXPECT_TRUE(db.IsLocked());
    EXPECT_FALSE(db.IsBusy());
    EXPECT_EQ(db.Settings().pinCode, "8351");
    EXPECT_EQ(db.Settings().userName, "root");
    EXPECT_TRUE(db.Settings().password.isEmpty());
    EXPECT_TRUE(db.Settings().stodAddress.isEmpty());
    EXPECT_EQ(db.Guide().svcType, -1);
    EXPECT_SOUND(db);
}

} // namespace
