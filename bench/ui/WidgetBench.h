#pragma once

// What the benches of painted widgets share: the repaint loops and the program around them.

#include "ui/CKelvoRes.h"
#include "ui/CNxListBox.h"

#include <QApplication>
#include <QImage>
#include <QWidget>
#include <benchmark/benchmark.h>
#include <functional>

namespace widgetbench {

// Each iteration paints the whole widget as it stands.
inline void RepaintEachIteration(benchmark::State& state, QWidget& widget)
{
    QImage target(widget.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        widget.render(&target);
        benchmark::ClobberMemory();
    }
}

// Each iteration pages the list down by one page (from the top again past the last) and paints it.
inline void PageAndRepaintEachIteration(benchmark::State& state, CNxListBox& list)
{
    QImage target(list.size(), QImage::Format_ARGB32_Premultiplied);
    const int rows = list.GetCount();
    int top = 0;
    for (auto _ : state) {
        top += list.PageRows();
        if (top > rows - list.PageRows()) {
            top = 0;
        }
        list.SetTopIndex(top);
        list.render(&target);
        benchmark::ClobberMemory();
    }
}

// The bench's main: offscreen unless a platform was chosen, the skin loaded, then `prepare` once
// before the benchmarks run.
inline int Run(int argc, char** argv, const std::function<void()>& prepare = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    CKelvoRes::Instance().Load();
    if (prepare) {
        prepare();
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace widgetbench
