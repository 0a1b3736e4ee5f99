// The schedule lists' and the edit form's rules, without widgets.
#include "tests/schedule/ScheduleTestSupport.h"
#include "views/schedule/CScheduleRows.h"

#include <QDateTime>

using scheduletest::Box;

namespace {

const ScheduleRows::Formats kFormats{QStringLiteral("%H:%M"), QStringLiteral("%Y-%m-%d")};

CScheduleElement Member(int id, int seriesId, int mode, int type = 1)
{
    CScheduleElement m;
    m.id = id;
    m.seriesId = seriesId;
    m.mode = mode;
    m.type = type;
    return m;
}

CScheduleElement Series(std::initializer_list<CScheduleElement> members)
{
    CScheduleElement entry = Member(0, 7, 1);
    for (const auto& m : members)
        entry.members.push_back(std::make_shared<CScheduleElement>(m));
    return entry;
}

} // namespace

TEST(ScheduleRows, DurationLineLeavesOutWholeDays)
{
    struct Case
    {
        long long start, end;
        const char* text;
    };
    const long long t = Local(2014, 3, 6, 20, 0);
    const Case cases[] = {
        {t, t + 3600, "20:00~21:00(1 Hour  0 Mins)"},
        {t, t + 5400, "20:00~21:30(1 Hour  30 Mins)"},
        {t, t + 7200, "20:00~22:00(2 Hours 0 Mins)"},
        {t, t + 25 * 3600, "20:00~21:00(1 Hour  0 Mins)"},
        {t, t + 45 * 60, "20:00~20:45(0 Hour  45 Mins)"},
        {Local(2014, 3, 9, 22, 30), Local(2014, 3, 10, 0, 15), "22:30~00:15(1 Hour  45 Mins)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScheduleRows::DurationLine(c.start, c.end, kFormats.time), QString::fromLatin1(c.text));
    EXPECT_EQ(ScheduleRows::MemberTimeLine(t, t + 25 * 3600 + 90 * 60, kFormats.time),
              QStringLiteral("20:00~22:30 / 150 Min"));
}

TEST(ScheduleRows, SeriesMarksAndSteps)
{
    // Red while any member is active; grey when all are skipped or there are none.
    EXPECT_EQ(ScheduleRows::EntryIconFrame(Series({Member(1, 7, 4), Member(2, 7, 4)})), 2);
    EXPECT_EQ(ScheduleRows::EntryIconFrame(Series({Member(1, 7, 4), Member(2, 7, 1)})), 3);
    EXPECT_EQ(ScheduleRows::EntryIconFrame(Series({Member(1, 7, 4), Member(2, -1, 4)})), 3);
    EXPECT_EQ(ScheduleRows::EntryIconFrame(Series({})), 2);
    EXPECT_EQ(ScheduleRows::EntryIconFrame(Member(1, -1, 1, 0)), 0);
    EXPECT_EQ(ScheduleRows::EntryIconFrame(Member(1, -1, 1, 1)), 1);

    // A press on a grey mark asks for Once, on a red one for skipped, on Play or Recording delete.
    CSeriesRows rows;
    rows.Fill(Series({Member(1, 7, 4), Member(2, 7, 1), Member(3, -1, 1, 0), Member(4, -1, 2, 1)}),
              kFormats.time);
    ASSERT_EQ(rows.Rows().size(), 4u);
    const int expected[] = {1, 4, 0, 0};
    for (int i = 0; i < 4; ++i) {
        const auto step = rows.StepRecord(i);
        ASSERT_TRUE(step);
        EXPECT_EQ(step->mode, expected[i]) << i;
        EXPECT_EQ(step->id, i + 1);
        EXPECT_EQ(step->type, rows.Rows()[static_cast<size_t>(i)].member.type) << "type is left as it is";
    }
    EXPECT_TRUE(rows.Rows()[0].skipped);
    EXPECT_FALSE(rows.Rows()[1].skipped);
    EXPECT_FALSE(rows.StepRecord(4));
    EXPECT_FALSE(rows.StepRecord(-1));
}

TEST(ScheduleRows, ListRowsFromTheDatabase)
{
    Box box;
    ASSERT_TRUE(box.Load(scheduletest::kBox));
    CScheduleListRows rows;
    rows.Fill(box.db.Schedules(), false, kFormats);
    const auto& r = rows.Rows();
    ASSERT_EQ(rows.ScheduleCount(), 5); // two series entries, three single timers
    ASSERT_EQ(r.size(), 6u);
    EXPECT_TRUE(r.back().isNew);

    // Series entries come first, in series order.
    EXPECT_EQ(r[0].schedule.seriesId, 7);
    EXPECT_EQ(r[0].iconFrame, 3);
    EXPECT_EQ(r[0].schedule.members.size(), 2u);
    EXPECT_EQ(r[1].schedule.seriesId, 9);
    EXPECT_EQ(r[1].iconFrame, 2);
    EXPECT_TRUE(r[1].scrambled);

    const CScheduleRow& film = r[2];
    EXPECT_EQ(film.schedule.id, 4);
    EXPECT_TRUE(film.hasService);
    EXPECT_EQ(film.number, QStringLiteral("0010"));
    EXPECT_EQ(film.name, QStringLiteral("Das Erste"));
    EXPECT_TRUE(film.blocked);
    EXPECT_EQ(film.iconFrame, 1);
    EXPECT_EQ(film.eventName, QStringLiteral("Film"));
    EXPECT_EQ(film.dateLine, QStringLiteral("2014-03-06"));
    EXPECT_EQ(film.durationLine, QStringLiteral("20:00~21:00(1 Hour  0 Mins)"));

    // A service the database does not hold: no number or name, the other lines as usual.
    const CScheduleRow& orphan = r[3];
    EXPECT_EQ(orphan.schedule.id, 10);
    EXPECT_FALSE(orphan.hasService);
    EXPECT_TRUE(orphan.number.isEmpty());
    EXPECT_EQ(orphan.eventName, QStringLiteral("Late Show"));
    EXPECT_EQ(orphan.durationLine, QStringLiteral("22:30~00:15(1 Hour  45 Mins)"));

    // Rows keep no pointer into the database, not even in a series' members.
    for (const CScheduleRow& row : r) {
        EXPECT_EQ(row.schedule.service, nullptr);
        for (const auto& m : row.schedule.members)
            EXPECT_EQ(m->service, nullptr);
    }

    EXPECT_FALSE(rows.OpensEditForm(0)) << "a series opens the series list";
    EXPECT_TRUE(rows.OpensEditForm(2));
    EXPECT_TRUE(rows.OpensEditForm(5)) << "the + row opens the edit form";
    EXPECT_FALSE(rows.OpensEditForm(-1));
}

TEST(ScheduleRows, SelectionAfterRefill)
{
    struct Case
    {
        int kept, schedules;
        bool reset;
        int sel;
    };
    const Case cases[] = {
        {3, 5, false, 3},
        {3, 5, true, 0},  // kept, or reset
        {4, 2, false, 1}, // fewer rows: the last schedule, never the + row
        {2, 0, false, 0}, // none
    };
    for (const Case& c : cases)
        EXPECT_EQ(CScheduleListRows::ClampSelection(c.kept, c.schedules, c.reset), c.sel)
            << c.kept << c.schedules;

    Box box;
    CScheduleListRows rows;
    rows.Fill(box.db.Schedules(), true, kFormats);
    EXPECT_EQ(rows.SelectionAfterFill(), -1) << "only the + row: nothing selected";
    ASSERT_TRUE(box.Load(scheduletest::kBox));
    rows.KeepSelection(4);
    rows.Fill(box.db.Schedules(), false, kFormats);
    EXPECT_EQ(rows.SelectionAfterFill(), 4);
    ASSERT_TRUE(box.Load(scheduletest::kFewer));
    rows.Fill(box.db.Schedules(), false, kFormats);
    EXPECT_EQ(rows.SelectionAfterFill(), 0);
}

TEST(ScheduleRows, NewScheduleService)
{
    const qint64 now = Local(2014, 3, 5, 21, 15);
    Box empty;
    EXPECT_FALSE(MakeNewSchedule(empty.db, 0, now)) << "no service, no schedule";

    Box box;
    ASSERT_TRUE(box.Load(scheduletest::kBox));
    const auto first = MakeNewSchedule(box.db, -1, now);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->svcIdx, 12) << "the first service without live or last streamed one";
    EXPECT_EQ(first->id, 0);
    EXPECT_EQ(first->type, 1);
    EXPECT_EQ(first->mode, 1);
    EXPECT_EQ(first->start, now + 300);
    EXPECT_EQ(first->end, now + 300 + 3600);
    EXPECT_EQ(first->eventId, -1);

    EXPECT_EQ(MakeNewSchedule(box.db, MakeServiceKey(0, 14), now)->svcIdx, 14) << "the last streamed one";
    EXPECT_EQ(MakeNewSchedule(box.db, MakeServiceKey(0, 77), now)->svcIdx, 12) << "no longer in the database";

    Box live;
    ASSERT_TRUE(live.Load(std::string(scheduletest::kBox) +
                          R"(<live><svc idx="13" type="0"><service>Premium</service></svc></live>)"));
    EXPECT_EQ(MakeNewSchedule(live.db, MakeServiceKey(0, 14), now)->svcIdx, 13) << "what the box shows wins";
}

TEST(ScheduleEdit, UnchangedControlsGiveBackTheTimer)
{
    struct Case
    {
        const char* what;
        qint64 start, end;
        qint64 minutes;
    };
    const Case cases[] = {
        {"one hour", Local(2014, 3, 6, 20, 0), Local(2014, 3, 6, 21, 0), 60},
        {"across midnight", Local(2014, 3, 9, 22, 30), Local(2014, 3, 10, 0, 15), 105},
        {"25 hours", Local(2014, 3, 11, 8, 0), Local(2014, 3, 12, 9, 0), 25 * 60},
        {"odd seconds", Local(2014, 3, 6, 20, 0, 30), Local(2014, 3, 6, 21, 0, 50), 60},
        {"empty", Local(2014, 3, 6, 20, 0), Local(2014, 3, 6, 20, 0), 0},
    };
    for (const Case& c : cases) {
        const auto shown = ScheduleEdit::ForControls(c.start, c.end, 9999 * 60);
        ASSERT_TRUE(shown) << c.what;
        EXPECT_EQ(shown->durationMinutes, c.minutes) << c.what;
        const auto [start, end] = ScheduleEdit::FromControls(*shown, *shown, c.start, c.end);
        EXPECT_EQ(start, c.start) << c.what;
        EXPECT_EQ(end, c.end) << c.what;
    }
    EXPECT_FALSE(ScheduleEdit::ForControls(100000, 99999, 9999 * 60)) << "ends before it starts";
    EXPECT_FALSE(ScheduleEdit::ForControls(0, 3600 * 24 * 500, 9999 * 60)) << "beyond the duration control";
}

TEST(ScheduleEdit, ChangedControlsMoveStartAndEnd)
{
    const qint64 start = Local(2014, 3, 9, 22, 30);
    const qint64 end = Local(2014, 3, 10, 0, 15);
    const auto loaded = *ScheduleEdit::ForControls(start, end, 9999 * 60);

    auto later = loaded;
    later.date = later.date.addDays(1); // the date alone: the end moves with it
    auto [s1, e1] = ScheduleEdit::FromControls(later, loaded, start, end);
    EXPECT_EQ(s1, Local(2014, 3, 10, 22, 30));
    EXPECT_EQ(e1, Local(2014, 3, 11, 0, 15));

    auto longer = loaded;
    longer.durationMinutes = 26 * 60 + 5;
    longer.time = QTime(21, 0);
    auto [s2, e2] = ScheduleEdit::FromControls(longer, loaded, start, end);
    EXPECT_EQ(s2, Local(2014, 3, 9, 21, 0));
    EXPECT_EQ(e2, Local(2014, 3, 10, 23, 5));

    auto minutes = loaded;
    minutes.time = QTime(22, 45); // the minutes alone
    auto [s3, e3] = ScheduleEdit::FromControls(minutes, loaded, start, end);
    EXPECT_EQ(s3, Local(2014, 3, 9, 22, 45));
    EXPECT_EQ(e3, Local(2014, 3, 10, 0, 30));
}
