// The guide list's rules without widgets: which events a day shows, how far the running event
// has come, which icon a schedule shows and what a press on a row asks the box for.
#include "tests/guide/GuideTestSupport.h"
#include "views/guide/CKelvoEPGRows.h"

#include <QByteArray>
#include <cstdlib>
#include <ctime>
#include <vector>

using namespace guidetest;

namespace {

// Runs a test in a zone with summer time, whatever the machine's zone is.
class CetZone
{
public:
    CetZone() : m_saved(qgetenv("TZ"))
    {
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        tzset();
    }
    ~CetZone()
    {
        if (m_saved.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_saved);
        tzset();
    }

private:
    QByteArray m_saved;
};

std::vector<int> Ids(const CKelvoEPGRows& rows)
{
    std::vector<int> ids;
    for (int i = 0; i < rows.Count(); ++i)
        ids.push_back(rows.At(i)->eventId);
    return ids;
}

} // namespace

TEST(GuideRows, EventsGroupByTheirLocalStartDay)
{
    const CetZone zone;
    GuideBox box;
    ASSERT_TRUE(box.Guide(R"(
        <evt id="1" stime="2014-06-04T23:50" etime="2014-06-05T00:40"/>
        <evt id="2" stime="2014-06-05T00:00" etime="2014-06-05T01:00"/>
        <evt id="3" stime="2014-06-05T23:59" etime="2014-06-06T01:00"/>
        <evt id="4" stime="2014-06-05T12:00" etime="2014-06-05T13:00"/>
        <evt id="5" stime="2014-03-29T23:30" etime="2014-03-30T00:30"/>
        <evt id="6" stime="2014-03-30T03:30" etime="2014-03-30T04:00"/>
        <evt id="7" stime="2014-03-31T00:10" etime="2014-03-31T01:00"/>
        <evt id="8" stime="2014-10-26T02:30" etime="2014-10-26T03:30"/>
        <evt id="9" stime="2014-10-26T23:30" etime="2014-10-27T00:30"/>)"));
    struct Case
    {
        qint64 day;
        std::vector<int> ids;
    };
    const Case cases[] = {
        {Local(2014, 6, 5, 21, 15), {2, 3, 4}}, // reply order, not sorted; 23:50 the day before is not on it
        {Local(2014, 6, 4, 0, 0), {1}},         {Local(2014, 6, 6, 23, 59), {}},
        {Local(2014, 3, 30, 12, 0), {6}},    // the day the clocks go forward
        {Local(2014, 10, 26, 1, 0), {8, 9}}, // the 25-hour day
    };
    for (const Case& c : cases) {
        CKelvoEPGRows rows;
        rows.Fill(box.db.Guide(), c.day);
        EXPECT_EQ(Ids(rows), c.ids) << c.day;
        EXPECT_EQ(rows.SvcIdx(), 12);
    }

    // Stepping a day keeps the time of day on the calendar, where 86400 s would skip a day or stay.
    struct Step
    {
        qint64 from;
        int days;
        int dayKey;
    };
    const Step steps[] = {
        {Local(2014, 3, 29, 23, 30), 1, 20140330}, // 86400 s later is already 31 March, 00:30
        {Local(2014, 3, 31, 0, 30), -1, 20140330},
        {Local(2014, 10, 26, 0, 30), 1, 20141027}, // 86400 s later is still 26 October, 23:30
        {Local(2014, 10, 27, 23, 30), -1, 20141026},
        {Local(2014, 12, 31, 12, 0), 1, 20150101},
    };
    for (const Step& s : steps)
        EXPECT_EQ(CKelvoEPGRows::LocalDayKey(CKelvoEPGRows::AddDays(s.from, s.days)), s.dayKey) << s.from;
}

TEST(GuideRows, ProgressOfTheRunningEvent)
{
    const qint64 t = Local(2014, 3, 5, 21, 0);
    struct Case
    {
        const char* what;
        qint64 start, end, now;
        double progress;
    };
    const Case cases[] = {
        {"half of an hour", t, t + 3600, t + 1800, 0.5},
        {"a quarter", t, t + 3600, t + 900, 0.25},
        {"not yet started", t, t + 3600, t, 0.0},
        {"ended", t, t + 3600, t + 3600, 0.0},
        {"long ended", t, t + 3600, t + 90000, 0.0},
        {"a whole day is 0 minutes long: full", t, t + 86400, t + 600, 1.0},
        {"two whole days: full", t, t + 2 * 86400, t + 90000, 1.0},
        {"no length at all: never on air", t, t, t, 0.0},
        {"25 hours count as one: capped", t, t + 25 * 3600, t + 7200, 1.0},
        {"25 hours, into the second day", t, t + 25 * 3600, t + 86400 + 1800, 0.5},
        {"reversed times", t + 3600, t, t + 1800, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(CKelvoEPGRows::Progress(c.start, c.end, c.now), c.progress) << c.what;
    EXPECT_EQ(CKelvoEPGRows::LengthMinutes(t, t + 5400), 90);
    EXPECT_EQ(CKelvoEPGRows::LengthMinutes(t, t + 86400 + 60), 1);
}

TEST(GuideRows, IconByScheduleAndTheStepOfAPress)
{
    struct Case
    {
        const char* what;
        int type, mode, seriesId;
        int icon;
        CKelvoEPGRows::Step next;
    };
    const Case cases[] = {
        {"play once", 0, 1, -1, CKelvoEPGRows::IconPlay, {1, 1}},
        {"play daily", 0, 2, -1, CKelvoEPGRows::IconPlay, {1, 1}},
        {"recording", 1, 1, -1, CKelvoEPGRows::IconRecording, {2, 0}},
        {"deleted", 1, 0, -1, CKelvoEPGRows::IconNone, {0, 1}},
        {"series, active", 1, 1, 5, CKelvoEPGRows::IconSeriesOn, {2, 4}},
        {"series, skipped", 1, 4, 5, CKelvoEPGRows::IconSeriesOff, {2, 1}},
        {"series, other mode", 1, 2, 5, CKelvoEPGRows::IconNone, {0, 1}},
    };
    for (const Case& c : cases) {
        CScheduleElement s;
        s.type = c.type;
        s.mode = c.mode;
        s.seriesId = c.seriesId;
        EXPECT_EQ(CKelvoEPGRows::IconFrameFor(&s), c.icon) << c.what;
        EXPECT_EQ(CKelvoEPGRows::NextStep(c.icon), c.next) << c.what;
    }
    EXPECT_EQ(CKelvoEPGRows::IconFrameFor(nullptr), CKelvoEPGRows::IconNone);
    EXPECT_EQ(CKelvoEPGRows::NextStep(CKelvoEPGRows::IconNone), (CKelvoEPGRows::Step{0, 1}));
}

TEST(GuideRows, WhatAPressSends)
{
    GuideBox box;
    // Event 2 is recorded, event 3 belongs to a series; events 1 and 4 have no schedule.
    ASSERT_TRUE(box.Load(R"(
        <alarm id="4" type="1" mode="1" stime="2014-03-05T21:00" etime="2014-03-05T22:00">
          <svc sat="3" type="0" idx="12"/><evt id="2">Zwei</evt></alarm>
        <alarm id="5" type="1" mode="1" stime="2014-03-05T22:00" etime="2014-03-05T23:00">
          <svc sat="3" type="0" idx="12"/><evt id="3">Drei</evt><series id="9">Serie</series></alarm>)"));
    ASSERT_TRUE(box.Guide(R"(
        <evt id="1" stime="2014-03-05T20:00" etime="2014-03-05T21:00"><name>Eins</name></evt>
        <evt id="2" stime="2014-03-05T21:00" etime="2014-03-05T22:00"/>
        <evt id="3" stime="2014-03-05T22:00" etime="2014-03-05T23:00"/>
        <evt id="4" stime="2014-03-05T23:00" etime="2014-03-05T23:45"><name>Vier</name></evt>)"));
    CKelvoEPGRows rows;
    rows.Fill(box.db.Guide(), Local(2014, 3, 5, 21, 15));
    ASSERT_EQ(rows.Count(), 4);
    const qint64 now = Local(2014, 3, 5, 21, 15);

    EXPECT_FALSE(rows.IconPress(box.db, 0, now)) << "an ended event does not react";
    const auto recorded = rows.IconPress(box.db, 1, now);
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->id, 4);
    EXPECT_EQ(recorded->type, 2);
    EXPECT_EQ(recorded->mode, 0);
    const auto series = rows.IconPress(box.db, 2, now);
    ASSERT_TRUE(series);
    EXPECT_EQ(series->id, 5);
    EXPECT_EQ(series->mode, 4);
    const auto fresh = rows.IconPress(box.db, 3, now);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->id, 0);
    EXPECT_EQ(fresh->type, 0);
    EXPECT_EQ(fresh->mode, 1);
    EXPECT_EQ(fresh->eventId, 4);
    EXPECT_EQ(fresh->eventName, "Vier");
    EXPECT_EQ(fresh->start, Local(2014, 3, 5, 23, 0));
    EXPECT_EQ(fresh->satIdx, 3);

    // The timer button: the event's own schedule, a new single Play, nothing for a series.
    EXPECT_EQ(rows.TimerPress(box.db, 1)->id, 4);
    EXPECT_TRUE(rows.TimerDisabled(box.db, 2));
    EXPECT_FALSE(rows.TimerPress(box.db, 2));
    const auto edit = rows.TimerPress(box.db, 0);
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->id, 0);
    EXPECT_EQ(edit->type, 0);
    EXPECT_EQ(edit->mode, 1);
    EXPECT_EQ(edit->eventId, 1);
    EXPECT_FALSE(rows.TimerPress(box.db, 4)) << "past the last row";

    // The service went away with a reload: nothing can be made for its events any more.
    pugi::xml_document empty;
    dbtest::Inject(box.wrapper, empty, Reply(R"(<pin error="0"/>)"));
    box.db.ReloadFromDocument(empty);
    ASSERT_EQ(box.db.FindService(Key12()), nullptr);
    EXPECT_FALSE(rows.IconPress(box.db, 3, now));
    EXPECT_FALSE(rows.TimerPress(box.db, 3));
    EXPECT_EQ(rows.FirstNotEnded(now), 1);
    EXPECT_EQ(rows.FindEvent(4), 3);
}
