// Speed and memory of the channel database on a large box: the raw XML parse of the full-reload
// reply (the floor), the full reload from those bytes into the database, the guide, and the
// per-row lookups of a channel list.
#include "bench/core/BigBox.h"
#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"
#include "tests/support/MedianOf.h"

#include <QByteArray>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <malloc.h>
#include <pugixml.hpp>
#include <string>

namespace {

const QByteArray& ReloadBytes()
{
    static const QByteArray bytes = QByteArray::fromStdString(bigbox::FullReload());
    return bytes;
}

const QByteArray& GuideBytes()
{
    static const QByteArray bytes = QByteArray::fromStdString(bigbox::Guide());
    return bytes;
}

bool Reload(CQuarnWrapper& wrapper, CQuarnDataModel& db)
{
    wrapper.SetResponseBody(ReloadBytes());
    pugi::xml_document doc;
    return wrapper.LoadReply(doc) && db.ReloadFromDocument(doc);
}

void BM_RawParse(benchmark::State& state)
{
    const QByteArray& bytes = ReloadBytes();
    for (auto _ : state) {
        pugi::xml_document doc;
        const auto r = doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()));
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_RawParse)->Unit(benchmark::kMillisecond);

void BM_LoadAll(benchmark::State& state)
{
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    for (auto _ : state) {
        if (!Reload(wrapper, db))
            state.SkipWithError("reload failed");
    }
    state.SetBytesProcessed(state.iterations() * ReloadBytes().size());
    state.counters["services"] = static_cast<double>(db.Services().size());
    state.counters["schedules"] = static_cast<double>(db.Schedules().size());
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond);

// The whole box operation, with the exchange replaced by the prepared reply: request text, reply
// text, header check, reading, flags and sorting.
void BM_UpdateService(benchmark::State& state)
{
    CQuarnWrapper wrapper;
    wrapper.version = QStringLiteral("1.3");
    wrapper.transport = [](const QByteArray&, int) {
        CHttpExchange::Reply reply;
        reply.result = CHttpExchange::Completed;
        reply.httpStatus = 200;
        reply.body = ReloadBytes();
        return reply;
    };
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    for (auto _ : state) {
        if (!db.UpdateService())
            state.SkipWithError("reload failed");
    }
}
BENCHMARK(BM_UpdateService)->Unit(benchmark::kMillisecond);

// The reading alone, from a document already loaded and repaired.
void BM_ReadReloadDocument(benchmark::State& state)
{
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    wrapper.SetResponseBody(ReloadBytes());
    pugi::xml_document doc;
    wrapper.LoadReply(doc);
    for (auto _ : state) {
        if (!db.ReloadFromDocument(doc))
            state.SkipWithError("reload failed");
    }
}
BENCHMARK(BM_ReadReloadDocument)->Unit(benchmark::kMillisecond);

void BM_LoadEPG(benchmark::State& state)
{
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    Reload(wrapper, db);
    for (auto _ : state) {
        wrapper.SetResponseBody(GuideBytes());
        pugi::xml_document doc;
        if (!wrapper.LoadReply(doc) || !db.GuideFromDocument(doc))
            state.SkipWithError("guide failed");
    }
    state.counters["events"] = static_cast<double>(db.Guide().events.size());
}
BENCHMARK(BM_LoadEPG)->Unit(benchmark::kMicrosecond);

// What a channel list does per row: look its service up by key, once for every service.
void BM_FindServiceEveryRow(benchmark::State& state)
{
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    Reload(wrapper, db);
    for (auto _ : state) {
        for (const auto& s : db.Services())
            benchmark::DoNotOptimize(db.FindService(s->key));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(db.Services().size()));
}
BENCHMARK(BM_FindServiceEveryRow)->Unit(benchmark::kMicrosecond);

// The other per-row lookups of the lists: group, live service, schedule of each guide event.
void BM_OtherLookups(benchmark::State& state)
{
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    Reload(wrapper, db);
    wrapper.SetResponseBody(GuideBytes());
    pugi::xml_document doc;
    wrapper.LoadReply(doc);
    db.GuideFromDocument(doc);
    for (auto _ : state) {
        for (const auto& g : db.Groups())
            benchmark::DoNotOptimize(db.FindGroup(g->idx));
        benchmark::DoNotOptimize(db.FindLiveService());
        for (const auto& s : db.Schedules())
            benchmark::DoNotOptimize(db.FindSchedule(s->id));
        for (const auto& e : db.Guide().events)
            benchmark::DoNotOptimize(db.FindScheduleForEvent(db.Guide().svcType, db.Guide().svcIdx, *e));
    }
}
BENCHMARK(BM_OtherLookups)->Unit(benchmark::kMicrosecond);

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Memory the loaded database holds, per service, once the reply and its document are gone.
void ReportMemory()
{
    CQuarnWrapper wrapper;
    malloc_trim(0);
    const size_t heap0 = mallinfo2().uordblks;
    const long rss0 = ResidentKiB();
    {
        CQuarnXML reader(wrapper);
        CQuarnDataModel db(reader);
        Reload(wrapper, db);
        wrapper.SetResponseBody(std::nullopt);
        malloc_trim(0);
        const double n = static_cast<double>(db.Services().size());
        const double heap = static_cast<double>(mallinfo2().uordblks - heap0);
        const double rss = static_cast<double>(ResidentKiB() - rss0) * 1024.0;
        std::printf("database of %zu services, %zu groups, %zu schedules: heap in use %.0f KiB (%.0f bytes a "
                    "service), resident +%.0f KiB (%.0f bytes a service)\n",
                    db.Services().size(), db.Groups().size(), db.Schedules().size(), heap / 1024.0, heap / n,
                    rss / 1024.0, rss / n);
    }
    std::printf("full-reload reply %lld bytes, guide reply %lld bytes\n",
                static_cast<long long>(ReloadBytes().size()), static_cast<long long>(GuideBytes().size()));
}

double CpuMs(const std::function<void()>& work)
{
    std::timespec a{}, b{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
    work();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
    return (static_cast<double>(b.tv_sec - a.tv_sec) * 1e9 + static_cast<double>(b.tv_nsec - a.tv_nsec)) /
           1e6;
}

// The full reload against the raw parse of the same bytes, in rounds that alternate the two so that
// both see the same state of a machine shared with other work. Processor time, not wall time: a
// round that another process interrupts would otherwise count the interruption.
void ReportReloadRatio()
{
    constexpr int kRounds = 9;
    constexpr int kEach = 5;
    CQuarnWrapper wrapper;
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);
    Reload(wrapper, db); // the steady state: every reload replaces a full database
    std::vector<double> raw, full, ratio;
    for (int round = 0; round < kRounds; ++round) {
        const double r = CpuMs([] {
                             for (int i = 0; i < kEach; ++i) {
                                 pugi::xml_document doc;
                                 benchmark::DoNotOptimize(doc.load_buffer(
                                     ReloadBytes().constData(), static_cast<size_t>(ReloadBytes().size())));
                             }
                         }) /
                         kEach;
        const double f = CpuMs([&] {
                             for (int i = 0; i < kEach; ++i)
                                 Reload(wrapper, db);
                         }) /
                         kEach;
        raw.push_back(r);
        full.push_back(f);
        ratio.push_back(f / r);
    }
    std::printf("full reload of %zu services and %zu schedules: %.2f ms, raw parse %.2f ms, ratio %.2f "
                "(medians of %d rounds; ratios from %.2f to %.2f)\n",
                db.Services().size(), db.Schedules().size(), MedianOf(full), MedianOf(raw), MedianOf(ratio),
                kRounds, *std::min_element(ratio.begin(), ratio.end()),
                *std::max_element(ratio.begin(), ratio.end()));
}

} // namespace

int main(int argc, char** argv)
{
    ReloadBytes();
    GuideBytes();
    ReportMemory();
    ReportReloadRatio();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
