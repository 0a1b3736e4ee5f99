// Reading a service's guide and linking its events to the schedules made for them.
#include "protocol/CQuarnXML.h"
#include "protocol/CReplyReader.h"
#include "tests/db/DbTestSupport.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

using namespace dbtest;

namespace {

class GuideTest : public ::testing::Test
{
protected:
    // Whatever a test did to the database, its rules still hold.
    void TearDown() override { EXPECT_SOUND(db); }

    // What UpdateEPG does once the reply is in.
    bool ReadGuide(const std::string& xml)
    {
        pugi::xml_document doc;
        Inject(wrapper, doc, xml);
        return db.GuideFromDocument(doc);
    }

    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
};

TEST_F(GuideTest, ReadsEventsInReplyOrder)
{
    db.SetMissingNameText("Broken Information");
    ASSERT_TRUE(ReadGuide(Reply(R"(<epg svc_type="0" svc_idx="12">
        <evt id="1" stime="2014-03-05T21:00" etime="2014-03-05T21:45">
          <name encoding="UTF-8">Tagesthemen</name><text encoding="x">Nachrichten</text></evt>
        <evt id="2" stime="2014-03-05T21:45" etime="2014-03-05T23:00"><name>(none)</name></evt>
        <evt id="3"><name>(NONE) </name></evt>
      </epg>)")));
    const CGuideElement& g = db.Guide();
    EXPECT_EQ(g.boxTime, Local(2014, 3, 5, 21, 15)); // the seconds of 21:15:59 are not read
    EXPECT_EQ(g.svcType, 0);
    EXPECT_EQ(g.svcIdx, 12);
    ASSERT_EQ(g.events.size(), 3u);
    EXPECT_EQ(g.events[0]->id, 1);
    EXPECT_EQ(g.events[0]->start, Local(2014, 3, 5, 21, 0));
    EXPECT_EQ(g.events[0]->end, Local(2014, 3, 5, 21, 45));
    EXPECT_EQ(g.events[0]->name, "Tagesthemen");
    EXPECT_EQ(g.events[0]->nameEncoding, "UTF-8");
    EXPECT_EQ(g.events[0]->text, "Nachrichten");
    EXPECT_EQ(g.events[0]->textEncoding, "x");
    EXPECT_EQ(g.events[1]->name, "Broken Information");
    EXPECT_TRUE(g.events[1]->text.isEmpty());
    EXPECT_TRUE(g.events[1]->textEncoding.isEmpty());
    EXPECT_EQ(g.events[2]->name, "(NONE) "); // only the exact word is replaced
    EXPECT_EQ(g.events[2]->start, 0);
    EXPECT_SOUND(db);
}

TEST_F(GuideTest, LinksEventsToSchedulesOfTheSameService)
{
    db.AddSchedule(Key(), MakeScheduleRecord(1, -1, 0, 12, 7)); // this service
    db.AddSchedule(Key(), MakeScheduleRecord(2, -1, 0, 13, 8)); // another service, event 8
    db.AddSchedule(Key(), MakeScheduleRecord(3, 5, 0, 12, 9));  // a series of this service
    ASSERT_TRUE(ReadGuide(Reply(R"(<epg svc_type="0" svc_idx="12">
        <evt id="7"/><evt id="8"/><evt id="9"/><evt id="10"/></epg>)")));
    const auto& ev = db.Guide().events;
    EXPECT_EQ(ev[0]->schedule, db.FindSchedule(1));
    EXPECT_EQ(ev[1]->schedule, nullptr);
    EXPECT_EQ(ev[2]->schedule, db.FindSchedule(3));
    EXPECT_EQ(ev[3]->schedule, nullptr);
    EXPECT_SOUND(db);

    // Deleting the schedule takes the link with it; a new one for the guide's service links anew.
    db.RemoveSchedule(Key(), 1);
    EXPECT_EQ(ev[0]->schedule, nullptr);
    db.StoreSchedule(Key(), *MakeScheduleRecord(17, -1, 0, 12, 10));
    EXPECT_EQ(ev[3]->schedule, db.FindSchedule(17));
    EXPECT_SOUND(db);
}

TEST_F(GuideTest, MissingPartsAndBrokenTimes)
{
    ASSERT_TRUE(ReadGuide(Reply(R"(<epg svc_type="1" svc_idx="4"><evt id="1"/></epg>)")));
    // Without an epg section: no events, the service of the previous guide stays.
    ASSERT_TRUE(ReadGuide(Reply("<other/>")));
    EXPECT_TRUE(db.Guide().events.empty());
    EXPECT_EQ(db.Guide().svcType, 1);
    EXPECT_EQ(db.Guide().svcIdx, 4);

    ASSERT_TRUE(ReadGuide(Reply(R"(<epg svc_type="1" svc_idx="4"><evt id="1"/></epg>)")));
    // An event time out of range fails the guide; the one shown before stays whole.
    EXPECT_FALSE(ReadGuide(
        Reply(R"(<epg svc_type="0" svc_idx="5"><evt id="2"/><evt id="3" etime="2014-02-01T10:60"/></epg>)")));
    ASSERT_EQ(db.Guide().events.size(), 1u);
    EXPECT_EQ(db.Guide().events[0]->id, 1);
    EXPECT_EQ(db.Guide().svcIdx, 4);
    EXPECT_SOUND(db);
}

} // namespace

namespace {

// Readers convert many times at once and take shortcuts for it; the result must be exactly what
// the box time rule gives for every text, also around the clock changes of a zone with summer time.
TEST(GuideTimes, SameAsTheBoxTimeRuleAroundClockChanges)
{
    const QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    tzset();
    std::string events;
    std::vector<std::string> texts;
    for (int day : {29, 30}) {
        for (int hour = 0; hour < 5; ++hour) {
            for (int minute : {0, 1, 29, 59}) {
                char text[40];
                std::snprintf(text, sizeof text, "2014-03-%02dT%02d:%02d", day, hour, minute);
                texts.push_back(text);
            }
        }
    }
    for (const char* text : {"2014-10-26T01:59", "2014-10-26T03:00", "2014-10-26T03:30", "2014-02-30T10:00",
                             "2014-3-5T9:7", " 2014-03-05T09:07 ", "2014-03-05T09:07:59", "2014-03-05"})
        texts.push_back(text);
    for (const std::string& t : texts)
        events += "<evt stime=\"" + t + "\"/>";

    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    pugi::xml_document doc;
    Inject(wrapper, doc, Reply("<epg>" + events + "</epg>"));
    ASSERT_TRUE(db.GuideFromDocument(doc));
    ASSERT_EQ(db.Guide().events.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i]);
        const auto expected = CReplyReader::ParseBoxTime(QString::fromStdString(texts[i]));
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(db.Guide().events[i]->start, *expected);
    }
    // A summer hour lies 3600 s after the winter one: the clock change is seen.
    EXPECT_EQ(db.Guide().events[4 * 5 + 3 * 4]->start - db.Guide().events[4 * 5 + 1 * 4]->start, 3600);

    if (savedTz.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", savedTz);
    tzset();
}

} // namespace
