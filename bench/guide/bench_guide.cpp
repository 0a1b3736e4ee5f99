// The program guide view with a week of 1,008 ten-minute events of one service, read from a guide
// reply by the protocol's reader without a box: showing the guide (the day of the reply, out of all
// events), paging a day, repainting the list's page, and one step of the progress timer with the
// repaint of the running row it causes. Run with QT_QPA_PLATFORM=offscreen.
#include "bench/ui/WidgetBench.h"
#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"
#include "ui/CKelvoRes.h"
#include "views/guide/CKelvoEPGListBox.h"
#include "views/guide/CKelvoViewEPG.h"

#include <QDateTime>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <pugixml.hpp>
#include <string>

namespace {

constexpr int kEvents = 7 * 24 * 6; // ten minutes each, a week

std::string Reply(const std::string& body, const QString& created)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quarn:query quarn:version=\"1.3\" quarn:created=\"" +
           created.toStdString() + "\">" + body + "</quarn:query>";
}

QString BoxText(const QDateTime& t)
{
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm"));
}

// The database with one service and its week of guide; the reply was made at noon of day 4.
struct GuideWeek
{
    GuideWeek()
    {
        const QDateTime midnight(QDate(2014, 3, 3), QTime(0, 0));
        noon = midnight.addDays(3).addSecs(12 * 3600 + 5 * 60);
        std::string events;
        for (int i = 0; i < kEvents; ++i) {
            const QDateTime start = midnight.addSecs(i * 600);
            events +=
                QStringLiteral("<evt id=\"%1\" stime=\"%2\" etime=\"%3\"><name>Programme %4</name></evt>")
                    .arg(10000 + i)
                    .arg(BoxText(start), BoxText(start.addSecs(600)))
                    .arg(i % 37)
                    .toStdString();
        }
        const QString created = noon.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        pugi::xml_document services;
        pugi::xml_document guide;
        if (!Load(services, Reply(R"(<pin error="0"/><sat idx="3" degree="192" name="Astra"><tp idx="7">
                  <svc idx="12" type="0"><service num="1" lcn="7">Eins</service></svc></tp></sat>)",
                                  created)) ||
            !db.ReloadFromDocument(services) ||
            !Load(guide, Reply("<epg svc_type=\"0\" svc_idx=\"12\">" + events + "</epg>", created)) ||
            !db.GuideFromDocument(guide) || db.Guide().events.size() != size_t(kEvents)) {
            std::fprintf(stderr, "the guide did not load\n");
            std::exit(1);
        }
    }

    bool Load(pugi::xml_document& doc, const std::string& xml)
    {
        wrapper.SetResponseBody(QByteArray::fromStdString(xml));
        return wrapper.LoadReply(doc);
    }

    QDateTime noon;
    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
};

GuideWeek& Week()
{
    static GuideWeek week;
    return week;
}

struct ShownView
{
    ShownView() : view(Week().db, messages, [] { return Week().noon.toSecsSinceEpoch(); })
    {
        view.resize(700, 26 + 10 * CKelvoEPGListBox::kRowHeight);
        view.show();
        view.SetService(MakeServiceKey(0, 12));
    }

    CMainFrameMessages messages;
    CKelvoViewEPG view;
};

void BM_ShowGuide(benchmark::State& state)
{
    ShownView shown;
    for (auto _ : state) {
        shown.view.SetService(MakeServiceKey(0, 12));
        benchmark::DoNotOptimize(shown.view.List()->GetCount());
    }
    state.counters["rows"] = shown.view.List()->GetCount();
}

void BM_PageDay(benchmark::State& state)
{
    ShownView shown;
    int step = 0;
    for (auto _ : state) {
        // Back and forth within the week, so that every page shows a full day.
        if ((step++ / 3) % 2 == 0)
            shown.view.ShowNextDay();
        else
            shown.view.ShowPrevDay();
        benchmark::DoNotOptimize(shown.view.List()->GetCount());
    }
}

void BM_RepaintPage(benchmark::State& state)
{
    ShownView shown;
    CKelvoEPGListBox& list = *shown.view.List();
    list.SetTopIndex(list.Rows().FirstNotEnded(Week().noon.toSecsSinceEpoch()));
    widgetbench::RepaintEachIteration(state, list);
}

void BM_RepaintView(benchmark::State& state)
{
    ShownView shown;
    widgetbench::RepaintEachIteration(state, shown.view);
}

// What the timer does every 5 s: find the running row among those shown and redraw it.
void BM_ProgressTick(benchmark::State& state)
{
    ShownView shown;
    CKelvoEPGListBox& list = *shown.view.List();
    const int running = list.Rows().FirstNotEnded(Week().noon.toSecsSinceEpoch());
    list.SetTopIndex(running - 5);
    const QRect row = list.GetItemRect(running);
    QImage target(list.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        list.AdvanceProgress();
        list.render(&target, row.topLeft(), QRegion(row));
        benchmark::ClobberMemory();
    }
    if (list.OnAirRow() != running)
        state.SkipWithError("the running row was not found");
}

} // namespace

BENCHMARK(BM_ShowGuide)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PageDay)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RepaintView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProgressTick)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    return widgetbench::Run(argc, argv);
}
