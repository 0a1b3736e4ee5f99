// The database's own rules: withholding, group order, schedule order and grouping, overwriting,
// deleting, links and lookups, built directly without a reply; and its busy state and failures
// behind a scripted box link.
#include "tests/db/DbTestSupport.h"

#include <climits>
#include <functional>
#include <string>
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
        db.AddFavoriteGroup(Key(), std::move(g));
    }

    void AddEntry(int idx, const char* name)
    {
        auto e = std::make_unique<CSatelliteElement>();
        e->idx = idx;
        e->name = QString::fromUtf8(name);
        db.AddGroupEntry(Key(), std::move(e));
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
        db.MutableGuide(Key()).events.push_back(std::move(e));
        return raw;
    }

    FakeBoxLink link;
    CQuarnDataModel db{link};
    std::vector<CFavoriteGroupElement*> groups;
};

TEST_F(DataModelTest, WithholdsServicesOfBlockedGroupsOnlyWhileLocked)
{
    AddGroup(0, 0, false);
    AddGroup(1, 1, true);

    db.SetLocked(Key(), true);
    EXPECT_EQ(db.AddService(Key(), MakeService(0, 1, 0b11)), -1);
    EXPECT_TRUE(db.Services().empty());
    EXPECT_TRUE(groups[0]->services.empty());
    EXPECT_TRUE(groups[1]->services.empty());
    EXPECT_EQ(db.FindService(MakeServiceKey(0, 1)), nullptr);
    // A service only in the unblocked group is kept.
    EXPECT_EQ(db.AddService(Key(), MakeService(0, 2, 0b01)), 0);
    EXPECT_SOUND(db);

    db.SetLocked(Key(), false);
    EXPECT_EQ(db.AddService(Key(), MakeService(0, 1, 0b11)), 1);
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
    db.SetLocked(Key(), true);
    ASSERT_EQ(db.AddService(Key(), MakeService(0, 1, 0b10)), 0);
    ASSERT_EQ(db.AddService(Key(), MakeService(0, 2, INT_MIN)), 1);
    ASSERT_EQ(db.AddService(Key(), MakeService(0, 3, 1 << 7)), 2); // names no group at all
    EXPECT_EQ(groups[0]->services, RefList<CServiceElement>{db.Services()[0].get()});
    EXPECT_EQ(groups[1]->services, RefList<CServiceElement>{db.Services()[1].get()});
    EXPECT_EQ(db.Services().size(), 3u);
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, FindServiceGivesTheFirstOfEqualKeys)
{
    db.SetLocked(Key(), false);
    db.AddService(Key(), MakeService(0, 5, 0, "first"));
    db.AddService(Key(), MakeService(0, 5, 0, "second"));
    db.AddService(Key(), MakeService(1, 5, 0, "radio"));
    db.AddService(Key(), MakeService(-1, 5, 0, "no type"));
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
    db.SortGroups(Key());
    EXPECT_EQ(GroupNames(), (std::vector<QString>{"group0", "sat1", "sat2", "sat3"}));
    EXPECT_EQ(db.FindGroup(2)->name, "sat2");
    EXPECT_EQ(db.FindGroup(7), nullptr);

    // Equal keys: the swap of A and C carries C past B, so B ends up before A.
    db.Clear();
    AddEntry(2, "A");
    AddEntry(2, "B");
    AddEntry(1, "C");
    db.SortGroups(Key());
    EXPECT_EQ(GroupNames(), (std::vector<QString>{"C", "B", "A"}));
    EXPECT_EQ(db.FindGroup(2)->name, "B");
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, SeriesComeFirstInAscendingOrderThenSinglesAsAdded)
{
    db.AddSchedule(Key(), MakeScheduleRecord(1));
    db.AddSchedule(Key(), MakeScheduleRecord(2));
    db.AddSchedule(Key(), MakeScheduleRecord(71, 7));
    db.AddSchedule(Key(), MakeScheduleRecord(72, 7));
    db.AddSchedule(Key(), MakeScheduleRecord(51, 5));
    db.AddSchedule(Key(), MakeScheduleRecord(91, 9));
    db.AddSchedule(Key(), MakeScheduleRecord(3));
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
    db.AddSchedule(Key(), MakeScheduleRecord(8, -5));
    EXPECT_EQ(db.FindSchedule(8), db.Schedules().back().get());
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, FindScheduleForEventMatchesServiceAndEvent)
{
    db.AddSchedule(Key(), MakeScheduleRecord(1, -1, 0, 12, 500));
    db.AddSchedule(Key(), MakeScheduleRecord(2, -1, 0, 13, 501));
    db.AddSchedule(Key(), MakeScheduleRecord(3, 4, 0, 13, 501));
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
    db.AddSchedule(Key(), MakeScheduleRecord(1));
    db.AddSchedule(Key(), MakeScheduleRecord(17, -1, 0, 12, 500));
    db.AddSchedule(Key(), MakeScheduleRecord(2));
    CScheduleElement* before = db.FindSchedule(17);

    CScheduleElement changed = *MakeScheduleRecord(17, -1, 0, 12, 500);
    changed.end = 12345;
    db.StoreSchedule(Key(), changed);
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1, 17, 2}));
    EXPECT_EQ(db.FindSchedule(17), before);
    EXPECT_EQ(before->end, 12345);
    EXPECT_SOUND(db);

    // A new schedule of the guide's service links the event made for it.
    db.MutableGuide(Key()).svcType = 0;
    db.MutableGuide(Key()).svcIdx = 12;
    CEventElement* other = AddGuideEvent(600);
    CEventElement* target = AddGuideEvent(601);
    db.StoreSchedule(Key(), *MakeScheduleRecord(18, -1, 0, 12, 601));
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1, 17, 2, 18}));
    EXPECT_EQ(target->schedule, db.FindSchedule(18));
    EXPECT_EQ(other->schedule, nullptr);
    // One of another service with the same event id links nothing.
    db.StoreSchedule(Key(), *MakeScheduleRecord(19, -1, 0, 13, 600));
    EXPECT_EQ(other->schedule, nullptr);
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, StoreMovesASchedulePutIntoASeries)
{
    db.MutableGuide(Key()).svcType = 0;
    db.MutableGuide(Key()).svcIdx = 1;
    CEventElement* e = AddGuideEvent(40);
    db.AddSchedule(Key(), MakeScheduleRecord(9, -1, 0, 1, 40));
    db.LinkEventsToSchedules(Key());
    ASSERT_EQ(e->schedule, db.FindSchedule(9));

    db.StoreSchedule(Key(), *MakeScheduleRecord(9, 3, 0, 1, 40));
    ASSERT_NE(db.FindSchedule(9), nullptr);
    EXPECT_EQ(db.FindSchedule(9)->seriesId, 3);
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1003}));
    EXPECT_EQ(e->schedule, db.FindSchedule(9));
    EXPECT_SOUND(db);

    db.StoreSchedule(Key(), *MakeScheduleRecord(9, -1, 0, 1, 40));
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{9}));
    EXPECT_EQ(e->schedule, db.FindSchedule(9));
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, RemoveUnlinksEveryEventAndDropsEmptySeries)
{
    db.MutableGuide(Key()).svcType = 0;
    db.MutableGuide(Key()).svcIdx = 1;
    CEventElement* a = AddGuideEvent(40);
    CEventElement* b = AddGuideEvent(40); // the same id twice: both link the schedule
    CEventElement* c = AddGuideEvent(41);
    db.AddSchedule(Key(), MakeScheduleRecord(9, -1, 0, 1, 40));
    db.AddSchedule(Key(), MakeScheduleRecord(10, 6, 0, 1, 41));
    db.AddSchedule(Key(), MakeScheduleRecord(11, 6, 0, 1, 42));
    db.LinkEventsToSchedules(Key());
    ASSERT_NE(b->schedule, nullptr);

    db.RemoveSchedule(Key(), 9);
    EXPECT_EQ(db.FindSchedule(9), nullptr);
    EXPECT_EQ(a->schedule, nullptr);
    EXPECT_EQ(b->schedule, nullptr);
    EXPECT_SOUND(db);

    // A member leaves its series; the series goes with its last member.
    CScheduleElement seriesCopy = *db.Schedules()[0];
    db.RemoveSchedule(Key(), 10);
    EXPECT_EQ(c->schedule, nullptr);
    EXPECT_EQ(db.FindSchedule(10), nullptr);
    EXPECT_EQ(ScheduleIds(), (std::vector<int>{1006}));
    EXPECT_EQ(seriesCopy.members.size(), 2u); // a copy still holds what it was given
    EXPECT_EQ(seriesCopy.members[0]->id, 10);
    db.RemoveSchedule(Key(), 11);
    EXPECT_TRUE(db.Schedules().empty());
    db.RemoveSchedule(Key(), 12); // unknown: nothing happens
    EXPECT_SOUND(db);
}

TEST_F(DataModelTest, MakeScheduleNeedsAKnownService)
{
    db.SetLocked(Key(), false);
    auto svc = MakeService(1, 12);
    svc->satIdx = 3;
    db.AddService(Key(), std::move(svc));
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
    db.SetLocked(Key(), false);
    db.AddService(Key(), MakeService(0, 0));
    db.AddService(Key(), MakeService(0, 1));
    db.AddService(Key(), MakeService(0, 2));
    db.AddService(Key(), MakeService(1, 2));
    struct Case
    {
        const char* what;
        int streamingType, streamingIdx, liveType, liveIdx;
        int streamingAt, liveAt; // positions in the service list; -1 none
    };
    // In turn on one database: each row also shows that the flags of the row before are cleared.
    const std::vector<Case> cases{
        {"radio streams, TV live", 1, 2, 0, 1, 3, 1},
        {"streams the service at index 0", 0, 0, 1, 2, 0, 3},
        {"both at index 0", 0, 0, 0, 0, 0, 0},
        {"live at index 0", 0, 2, 0, 0, 2, 0},
        {"neither", 0, -1, 0, -1, -1, -1},
        {"services the database does not hold", 1, 0, 2, 1, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CBoxStatusElement& status = db.MutableStatus(Key());
        status.streamingService.type = c.streamingType;
        status.streamingService.idx = c.streamingIdx;
        status.liveService.type = c.liveType;
        status.liveService.idx = c.liveIdx;
        db.MarkStatusServices(Key());
        for (size_t i = 0; i < db.Services().size(); ++i) {
            EXPECT_EQ(db.Services()[i]->streaming, static_cast<int>(i) == c.streamingAt) << i;
            EXPECT_EQ(db.Services()[i]->live, static_cast<int>(i) == c.liveAt) << i;
        }
        EXPECT_EQ(db.FindLiveService(),
                  c.liveAt < 0 ? nullptr : db.Services()[static_cast<size_t>(c.liveAt)].get());
    }
}

TEST_F(DataModelTest, ClearKeepsSettingsStatusAndGuideHeader)
{
    db.SetLocked(Key(), false);
    db.Settings().pinCode = "1234";
    db.MutableStatus(Key()).streamingStatus = 2;
    db.MutableGuide(Key()).svcType = 1;
    db.MutableGuide(Key()).svcIdx = 4;
    db.MutableGuide(Key()).boxTime = 99;
    AddGroup(0, 0, false);
    AddEntry(1, "sat");
    db.AddService(Key(), MakeService(0, 1));
    db.AddSchedule(Key(), MakeScheduleRecord(1, 2));
    AddGuideEvent(5);
    auto tp = std::make_unique<CTransponderElement>();
    tp->idx = 3;
    db.StoreTransponder(Key(), std::move(tp));
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
        db.StoreTransponder(Key(), std::move(tp));
    }
    ASSERT_EQ(db.Transponders().size(), 2u);
    EXPECT_EQ(db.FindTransponder(5)->freq, 5 + 65536); // the later one replaced the earlier
    EXPECT_EQ(db.FindTransponder(65535)->freq, -1);
    EXPECT_SOUND(db);
}

// ---- box operations behind a scripted link ---------------------------------------------------

// One box operation, its outcome reduced to a number: the result code, or 1/0 for true/false.
struct Operation
{
    const char* name;
    std::function<int(CQuarnDataModel&)> run;
    int answered; // with a usable reply whose box code is kBoxCode
    int refused;  // while another operation waits
    int failed;   // without a usable reply, or when the reader threw
};

constexpr int kBoxCode = 7;

std::vector<Operation> Operations()
{
    static const pugi::xml_document doc; // the scripted link reads nothing from it
    static const CServiceElement service{};
    return {
        {"reload", [](CQuarnDataModel& db) { return int(db.UpdateService()); }, 1, 0, 0},
        {"reload from a document", [](CQuarnDataModel& db) { return int(db.ReloadFromDocument(doc)); }, 1, 0, 0},
        {"guide", [](CQuarnDataModel& db) { return int(db.UpdateEPG(0, 1)); }, 1, 0, 0},
        {"guide from a document", [](CQuarnDataModel& db) { return int(db.GuideFromDocument(doc)); }, 1, 0, 0},
        {"schedule", [](CQuarnDataModel& db) { return db.SetSchedule(CScheduleElement()); }, kBoxCode, -4, -1},
        {"start streaming", [](CQuarnDataModel& db) { return db.StartStreaming(&service); }, kBoxCode, -4, -1},
        {"stop streaming", [](CQuarnDataModel& db) { return db.StopStreaming(); }, kBoxCode, -4, -1},
    };
}

class BoxOperationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.SetBusyObserver(&observer);
        link.result = kBoxCode;
    }
    void TearDown() override
    {
        EXPECT_FALSE(db.IsBusy());
        EXPECT_EQ(observer.begun, observer.ended);
        EXPECT_SOUND(db);
    }

    FakeBoxLink link;
    CQuarnDataModel db{link};
    FakeBusyObserver observer;
};

TEST_F(BoxOperationTest, WhileOneWaitsEveryOtherIsRefusedButKeysGoOut)
{
    using Outcome = FakeBoxLink::Outcome;
    for (const Operation& op : Operations()) {
        for (const Outcome outcome : {Outcome::Answers, Outcome::NoReply, Outcome::Throws}) {
            SCOPED_TRACE(std::string(op.name) + " / outcome " + std::to_string(static_cast<int>(outcome)));
            link.outcome = outcome;
            observer.begun = observer.ended = 0;
            bool waited = false;
            link.whileWaiting = [&] {
                waited = true;
                EXPECT_TRUE(db.IsBusy());
                EXPECT_EQ(observer.begun, 1);
                EXPECT_EQ(observer.ended, 0);
                const int asked = link.calls;
                for (const Operation& other : Operations())
                    EXPECT_EQ(other.run(db), other.refused) << other.name;
                EXPECT_EQ(link.calls, asked); // refused before the box is asked
                const int keys = link.keys;
                db.SendRemoteKey(5, 1);
                EXPECT_EQ(link.keys, keys + 1);
            };
            const int got = op.run(db);
            EXPECT_TRUE(waited);
            EXPECT_EQ(got, outcome == Outcome::Answers ? op.answered : op.failed);
            // The busy state ends on every way out, including the reader's exception.
            EXPECT_FALSE(db.IsBusy());
            EXPECT_EQ(observer.begun, 1);
            EXPECT_EQ(observer.ended, 1);
            EXPECT_SOUND(db);
        }
    }
}

TEST_F(BoxOperationTest, ReloadStartsEmptyAndLockedAndFailingLeavesNothing)
{
    bool answered = false;
    link.fill = [&](CQuarnDataModel& d) {
        EXPECT_TRUE(d.IsLocked()); // until the PIN check says otherwise
        EXPECT_TRUE(d.Services().empty() && d.Groups().empty() && d.Schedules().empty());
        d.SetLocked(Key(), false);
        for (int idx : {4, 0, 2}) {
            auto entry = std::make_unique<CSatelliteElement>();
            entry->idx = idx;
            d.AddGroupEntry(Key(), std::move(entry));
        }
        d.AddService(Key(), MakeService(0, 0));
        d.AddService(Key(), MakeService(0, 1));
        d.AddSchedule(Key(), MakeScheduleRecord(3));
        d.MutableStatus(Key()).streamingService.type = 0;
        d.MutableStatus(Key()).streamingService.idx = 0;
        d.MutableStatus(Key()).liveService.type = 0;
        d.MutableStatus(Key()).liveService.idx = 1;
        answered = true;
    };
    // A usable reload finishes with the groups in order and the status services flagged.
    ASSERT_TRUE(db.UpdateService());
    EXPECT_TRUE(answered);
    ASSERT_EQ(db.Groups().size(), 3u);
    EXPECT_EQ(db.Groups()[0]->idx, 0);
    EXPECT_EQ(db.Groups()[2]->idx, 4);
    EXPECT_TRUE(db.Services()[0]->streaming);
    EXPECT_EQ(db.FindLiveService(), db.Services()[1].get());
    EXPECT_FALSE(db.IsLocked());

    // A reply that fails half way, either way, leaves neither half of it nor the earlier box.
    for (const auto outcome : {FakeBoxLink::Outcome::NoReply, FakeBoxLink::Outcome::Throws}) {
        ASSERT_TRUE(db.UpdateService());
        link.outcome = outcome;
        EXPECT_FALSE(db.UpdateService());
        EXPECT_TRUE(db.Services().empty() && db.Groups().empty() && db.Schedules().empty());
        EXPECT_EQ(db.FindService(MakeServiceKey(0, 0)), nullptr);
        EXPECT_SOUND(db);
        link.outcome = FakeBoxLink::Outcome::Answers;
    }
}

TEST_F(BoxOperationTest, GuideLinksItsEventsOnlyWhenItWasRead)
{
    db.AddSchedule(Key(), MakeScheduleRecord(9, -1, 0, 1, 40));
    link.guideFill = [](CGuideElement& guide) {
        guide.svcType = 0;
        guide.svcIdx = 1;
        guide.events.clear();
        auto e = std::make_unique<CEventElement>();
        e->id = 40;
        guide.events.push_back(std::move(e));
    };
    ASSERT_TRUE(db.UpdateEPG(0, 1));
    ASSERT_EQ(db.Guide().events.size(), 1u);
    EXPECT_EQ(db.Guide().events[0]->schedule, db.FindSchedule(9));
    const CEventElement* kept = db.Guide().events[0].get();

    for (const auto outcome : {FakeBoxLink::Outcome::NoReply, FakeBoxLink::Outcome::Throws}) {
        link.outcome = outcome;
        EXPECT_FALSE(db.UpdateEPG(0, 1));
        EXPECT_FALSE(db.GuideFromDocument(pugi::xml_document()));
        ASSERT_EQ(db.Guide().events.size(), 1u);
        EXPECT_EQ(db.Guide().events[0].get(), kept);
        EXPECT_EQ(kept->schedule, db.FindSchedule(9));
    }
}

TEST_F(BoxOperationTest, StreamingAndKeysUseTheLinksAddressesAndCodes)
{
    db.Settings().streamingProtocol = CBoxSettings::UDP;
    db.Settings().pinCode = "0000";
    CServiceElement service;
    EXPECT_EQ(db.StartStreaming(&service), kBoxCode);
    EXPECT_EQ(link.started.protocol, CBoxSettings::UDP);
    EXPECT_EQ(link.started.address, "10.0.0.5");
    EXPECT_EQ(link.started.port, CBoxSettings::ClientPort(CBoxSettings::UDP));
    EXPECT_EQ(link.started.pin, "0000");
    EXPECT_EQ(db.GetMediaAddress(), "udp://@:1234");
    db.Settings().streamingProtocol = CBoxSettings::HLS;
    EXPECT_EQ(db.GetMediaAddress(), "http://root:@192.168.0.3/quarn/content.m3u8");

    // Without a service nothing is asked.
    const int asked = link.calls;
    EXPECT_EQ(db.StartStreaming(nullptr), -1);
    EXPECT_EQ(link.calls, asked);

    int code = -9;
    EXPECT_TRUE(db.SendRemoteKey(1, 0, &code));
    EXPECT_EQ(code, kBoxCode);
    for (const auto outcome : {FakeBoxLink::Outcome::NoReply, FakeBoxLink::Outcome::Throws}) {
        link.outcome = outcome;
        code = -9;
        EXPECT_FALSE(db.SendRemoteKey(1, 0, &code));
        EXPECT_EQ(code, -9);
    }
    EXPECT_EQ(observer.begun, 2); // the two starts: keys never enter the busy state

    db.SetMissingNameText("Broken Information");
    EXPECT_EQ(link.missingNameText, "Broken Information");
}

TEST(DataModelDefaults, ConstructionValues)
{
    FakeBoxLink link;
    CQuarnDataModel db(link);
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
