// A bounded soak: thousands of alternating reloads, guide requests, schedule changes and remote
// keys against the demo box, with the resident memory sampled for a growth trend.
#include "RobustSupport.h"

#include <QFile>
#include <cstdlib>

namespace {

long ResidentKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

int SoakSeconds()
{
    const char* s = std::getenv("KELVO_SOAK_SECONDS");
    return s ? std::max(1, std::atoi(s)) : 45;
}

} // namespace

TEST(Soak, AlternatingOperationsKeepMemoryFlat)
{
    BoxClient c({"--protocol-version", "1.3"});
    ASSERT_TRUE(c.box.ok()) << c.box.error();
    ASSERT_TRUE(c.db.UpdateService());
    ASSERT_FALSE(c.db.Services().empty());

    const int seconds = SoakSeconds();
    QElapsedTimer clock;
    clock.start();
    std::vector<long> samples;
    long operations = 0, failures = 0;
    int round = 0;
    while (clock.elapsed() < seconds * 1000LL) {
        ++round;
        const auto& services = c.db.Services();
        const CServiceElement* s = services[static_cast<size_t>(round) % services.size()].get();
        const int svcType = s->type, svcIdx = s->idx;
        switch (round % 4) {
        case 0:
            failures += c.db.UpdateService() ? 0 : 1;
            break;
        case 1:
            failures += c.db.UpdateEPG(svcType, svcIdx) ? 0 : 1;
            break;
        case 2: {
            // Create a timer a few days ahead, then delete it again.
            auto schedule = c.db.MakeSchedule(svcType, svcIdx, round % 2, 1, nullptr);
            const qint64 start = static_cast<qint64>(std::time(nullptr)) + 5 * 86400 + (round % 500) * 60;
            schedule->start = start - start % 60;
            schedule->end = schedule->start + 600;
            const int rc = c.db.SetSchedule(*schedule);
            if (rc == 0) {
                for (const auto& entry : c.db.Schedules()) {
                    if (entry->seriesId < 0 && entry->start == schedule->start && entry->svcIdx == svcIdx) {
                        CScheduleElement del(*entry);
                        del.mode = 0;
                        failures += c.db.SetSchedule(del) == 0 ? 0 : 1;
                        break;
                    }
                }
            } else if (rc < 0) {
                ++failures; // the box's refusals (collisions) are fine; no reply is not
            }
            break;
        }
        default: {
            int code = -1;
            failures += c.db.SendRemoteKey(round % 60, round % 2, &code) ? 0 : 1;
            break;
        }
        }
        ++operations;
        ASSERT_FALSE(c.db.IsBusy());
        if (operations % 100 == 0) {
            ASSERT_EQ(c.db.CheckInvariants(), QString());
            samples.push_back(ResidentKiB());
        }
    }
    ASSERT_GE(samples.size(), 4u);
    // Compare the second half of the run with the first: a leak grows with the operation count.
    const size_t half = samples.size() / 2;
    const long firstMax = *std::max_element(samples.begin() + 1, samples.begin() + static_cast<long>(half));
    const long lastMax = *std::max_element(samples.begin() + static_cast<long>(half), samples.end());
    std::printf(
        "[ soak ] %ld operations in %d s (%ld failed), resident %ld KiB at start, %ld KiB max of first "
        "half, %ld KiB max of second half, %ld KiB at end\n",
        operations, seconds, failures, samples.front(), firstMax, lastMax, samples.back());
    EXPECT_EQ(failures, 0);
    EXPECT_GE(operations, 1000);
    EXPECT_LE(lastMax, firstMax + firstMax / 20 + 2048); // within 5 % and 2 MiB of noise
}
