// Paints one page of a CNxListBox and pages through it, for 100, 10,000 and 100,000 rows; the
// cost must not grow with the row count. Run with QT_QPA_PLATFORM=offscreen.
#include "bench/ui/WidgetBench.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxListBox.h"

#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// A row like the channel list's: gradient or fill, number, name, icon, second line, separator.
class ChannelRows final : public CNxListBox
{
protected:
    void DrawItemBackground(QPainter& p, const QRect& r, const NxDrawItem& item) const override
    {
        const CKelvoRes& res = KelvoRes();
        if (item.selected) {
            res.imgRowBlue43.Draw(p, r, 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Top);
        } else {
            p.fillRect(r, res.colorListBack);
        }
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), res.colorListLine);
    }
    void DrawItemContent(QPainter& p, const QRect& r, const NxDrawItem& item) const override
    {
        const CKelvoRes& res = KelvoRes();
        p.setFont(res.fontBold15);
        p.setPen(res.colorText);
        p.drawText(QRect(r.left() + 18, r.top() + 4, 42, 21), Qt::AlignLeft | Qt::AlignBottom,
                   QString::number(item.index + 1));
        p.drawText(QRect(r.left() + 60, r.top() + 4, r.width() - 124, 21), Qt::AlignLeft | Qt::AlignBottom,
                   item.text);
        res.imgIconsTimer.Draw(p, QRect(r.right() - 39, r.top() + 10, 27, 25), 0, CNxImages::HAlign::Left,
                               CNxImages::VAlign::Top);
        p.setFont(res.fontNormal12);
        p.setPen(res.colorColumn3);
        p.drawText(QRect(r.left() + 60, r.top() + 25, r.width() - 153, 15), Qt::AlignLeft | Qt::AlignBottom,
                   QStringLiteral("Evening News"));
    }
};

std::unique_ptr<ChannelRows> MakeList(int rows)
{
    auto list = std::make_unique<ChannelRows>();
    list->resize(420, 43 * 14);
    list->SetItemHeight(43);
    std::vector<QString> texts;
    texts.reserve(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        texts.push_back(QStringLiteral("Channel %1").arg(i));
    }
    list->SetRows(std::move(texts));
    list->SetCurSel(rows / 2 + 3);
    return list;
}

void BM_PaintPage(benchmark::State& state)
{
    const auto list = MakeList(static_cast<int>(state.range(0)));
    list->SetTopIndex(static_cast<int>(state.range(0)) / 2);
    widgetbench::RepaintEachIteration(state, *list);
}

void BM_ScrollPage(benchmark::State& state)
{
    const auto list = MakeList(static_cast<int>(state.range(0)));
    widgetbench::PageAndRepaintEachIteration(state, *list);
}

void BM_FillRows(benchmark::State& state)
{
    for (auto _ : state) {
        const auto list = MakeList(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(list.get());
    }
}

} // namespace

BENCHMARK(BM_PaintPage)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollPage)->Arg(100)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillRows)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return widgetbench::Run(argc, argv);
}
