#include "model/CScheduleElement.h"
#include "model/CServiceElement.h"
#include "model/ServiceKey.h"

#include <gtest/gtest.h>

TEST(ServiceKey, TypeAboveTwelveBitsIndexBelow)
{
    EXPECT_EQ(MakeServiceKey(0, 5), 5);
    EXPECT_EQ(MakeServiceKey(1, 5), 4096 + 5);
    // A service without a type attribute keeps type -1.
    EXPECT_EQ(MakeServiceKey(-1, 7), (-1 * 4096) | 7);
    EXPECT_EQ(CServiceElement{}.key, -1);
}

TEST(Schedule, DurationMinutesLeavesOutWholeDays)
{
    struct Case
    {
        qint64 seconds;
        int minutes;
    };
    const Case cases[] = {
        {90 * 60, 90},             // 23:30 to 01:00
        {2 * 86400, 0},            // 10:00 to 10:00 two days later
        {25 * 3600, 60},           // a 25-hour timer
        {59, 0},                   // under a minute
        {3600 + 30 * 60 + 59, 90}, // seconds are truncated
        {-90 * 60, -30},           // h is negative, so only the minute part counts
    };
    for (const Case& c : cases) {
        CScheduleElement s;
        s.start = 1'000'000;
        s.end = s.start + c.seconds;
        qint64 d = 0;
        EXPECT_EQ(s.DurationMinutes(&d), c.minutes) << c.seconds;
        EXPECT_EQ(d, c.seconds);
    }
}

TEST(Schedule, IconIndex)
{
    struct Case
    {
        int seriesId, mode, type, icon;
    };
    const Case cases[] = {
        {3, 1, 0, 3},  {3, 4, 1, 2},  {3, 2, 1, 4},  {0, 0, 0, 4}, // series entries
        {-1, 0, 0, 4}, {-1, 1, 0, 0}, {-1, 2, 1, 1}, {-1, 3, 7, 4},
    };
    for (const Case& c : cases) {
        CScheduleElement s;
        s.seriesId = c.seriesId;
        s.mode = c.mode;
        s.type = c.type;
        EXPECT_EQ(s.IconIndex(), c.icon) << c.seriesId << "/" << c.mode << "/" << c.type;
    }
}

TEST(Schedule, CopySharesMembersAndLeavesThemToTheSource)
{
    auto entry = std::make_unique<CScheduleElement>();
    entry->seriesId = 7;
    entry->eventName = QStringLiteral("Series");
    auto member = std::make_shared<CScheduleElement>();
    member->id = 11;
    entry->members.push_back(member);
    std::weak_ptr<CScheduleElement> watch = member;
    member.reset();

    {
        CScheduleElement copy(*entry);
        ASSERT_EQ(copy.members.size(), 1u);
        EXPECT_EQ(copy.members[0].get(), entry->members[0].get());
        EXPECT_EQ(copy.eventName, QStringLiteral("Series"));
    }
    // Destroying the copy left the entry's member alive.
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(entry->members[0]->id, 11);

    // Overwriting with another record's values replaces the member list without touching the old members'
    // owner.
    CScheduleElement other;
    other.id = 3;
    CScheduleElement target(*entry);
    target = other;
    EXPECT_TRUE(target.members.empty());
    EXPECT_EQ(target.id, 3);
    EXPECT_FALSE(watch.expired());

    entry.reset();
    EXPECT_TRUE(watch.expired());
}
