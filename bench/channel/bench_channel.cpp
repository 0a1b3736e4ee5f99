// The channel list over a box of 10,000 services (bench/core/BigBox.h): refilling it in each sort
// mode, narrowing it while the user types, and repainting a page of it. A refill costs the
// filter and the sort of keys, nothing per row beyond that; a repaint costs a page, whatever the
// row count. Run with QT_QPA_PLATFORM=offscreen.
#include "bench/core/BigBox.h"
#include "bench/ui/WidgetBench.h"
#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"
#include "ui/CKelvoEdit.h"
#include "views/channel/CChannelRows.h"
#include "views/channel/CKelvoChannelListBox.h"
#include "views/channel/CKelvoPageChannel.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <pugixml.hpp>

namespace {

struct BigDb
{
    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};

    BigDb()
    {
        pugi::xml_document doc;
        wrapper.SetResponseBody(QByteArray::fromStdString(bigbox::FullReload()));
        if (!wrapper.LoadReply(doc) || !db.ReloadFromDocument(doc) || db.Services().size() != 10000) {
            std::fprintf(stderr, "the big box did not load\n");
            std::abort();
        }
    }
};

BigDb& Box()
{
    static BigDb box;
    return box;
}

// The list as the page drives it: rows refilled, then handed to the list.
struct ListOnly
{
    CMainFrameMessages messages;
    CChannelRows rows{Box().db};
    CKelvoChannelListBox list{Box().db, rows, messages};

    ListOnly() { list.resize(311, 44 * 12); }
};

void BM_Refill(benchmark::State& state)
{
    ListOnly l;
    l.rows.SetSortMode(static_cast<int>(state.range(0)));
    l.rows.FillGroups(true);
    for (auto _ : state) {
        l.rows.FillList();
        l.list.RowsRefilled();
        benchmark::DoNotOptimize(l.list.GetCount());
    }
    state.counters["rows"] = l.list.GetCount();
}

// What the frame calls after a reload: groups, list, streamed row.
void BM_RefreshPage(benchmark::State& state)
{
    CMainFrameMessages messages;
    CKelvoPageChannel page(Box().db, messages);
    page.resize(321, 700);
    for (auto _ : state) {
        page.RefreshContent();
        benchmark::DoNotOptimize(page.Rows().Count());
    }
    state.counters["rows"] = page.Rows().Count();
}

// One key typed into the search box: the list is filtered again over every service.
void BM_SearchKeystroke(benchmark::State& state)
{
    CMainFrameMessages messages;
    CKelvoPageChannel page(Box().db, messages);
    page.resize(321, 700);
    page.RefreshContent();
    const QString texts[] = {QStringLiteral("chan"), QStringLiteral("chann")};
    int i = 0;
    for (auto _ : state) {
        page.SearchBox()->setText(texts[i ^= 1]);
        benchmark::DoNotOptimize(page.Rows().Count());
    }
    state.counters["rows"] = page.Rows().Count();
}

void BM_RepaintPage(benchmark::State& state)
{
    ListOnly l;
    l.rows.FillList();
    l.list.RowsRefilled();
    l.list.SetTopIndex(l.list.GetCount() / 2);
    l.list.SetStreamingService(l.list.KeyAt(l.list.GetCount() / 2 + 1));
    widgetbench::RepaintEachIteration(state, l.list);
}

void BM_ScrollAndRepaint(benchmark::State& state)
{
    ListOnly l;
    l.rows.FillList();
    l.list.RowsRefilled();
    widgetbench::PageAndRepaintEachIteration(state, l.list);
}

} // namespace

BENCHMARK(BM_Refill)
    ->ArgName("sort")
    ->Arg(CChannelRows::Alphabetic)
    ->Arg(CChannelRows::Numeric)
    ->Arg(CChannelRows::Group)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RepaintPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollAndRepaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // The box is read before the clock starts.
    return widgetbench::Run(argc, argv, [] { Box(); });
}
