// The progress bar's frequent case, a one-step Value change, against a full
// redraw, on a 1000-pixel bar of one-pixel dots (the update control's kind of
// bar, with the percentage caption over it). Both include the pass over
// pending events that ends every drawing; on a shown bar that pass also
// repaints what changed, on a hidden one it only drains the queue.
//
//   QT_QPA_PLATFORM=offscreen build/bench/progressbar_bench

#include "update/progressbar/qvprogressbar.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int BarLength = 1000;

void setUpBar(qvProgressBar &bar, bool shown, int value)
{
    bar.setBorderStyle(progressbar::BorderStyle::None);
    bar.setDotWidth(1);
    bar.setGapWidth(0);
    bar.setMarginSize(0);
    bar.setBackColour(0xFFFFFF);
    bar.setBarColour(0xFFFF80);
    bar.setGradientColour(progressbar::GradientBlue);
    bar.setMax(BarLength); // one Value step is one dot
    bar.resize(BarLength, 30);
    if (shown)
        bar.show();
    bar.setValue(value);
}

// Walks Value up and down the whole scale one step at a time, so the caption
// changes every tenth step as it does during a download.
void ValueStep(benchmark::State &state)
{
    qvProgressBar bar;
    setUpBar(bar, state.range(0) != 0, BarLength / 2);
    int value = bar.Value();
    int step = 1;
    for (auto _ : state) {
        if (value + step < 0 || value + step > BarLength)
            step = -step;
        value += step;
        bar.setValue(value);
    }
}
BENCHMARK(ValueStep)->ArgName("shown")->Arg(1)->Arg(0);

// Any property other than Value redraws everything: clear, layout, and the
// walk from the first dot up to the fill (fill 500 paints 501 dots).
void FullRedraw(benchmark::State &state)
{
    qvProgressBar bar;
    setUpBar(bar, state.range(0) != 0, int(state.range(1)));
    for (auto _ : state)
        bar.setBarColour(0xFFFF80);
}
BENCHMARK(FullRedraw)->ArgNames({"shown", "fill"})->Args({1, 500})->Args({1, 0})->Args({1, 1000})->Args({0, 500});

// The fixed cost of one pass over an empty event queue, part of both above.
void EventPass(benchmark::State &state)
{
    for (auto _ : state)
        QCoreApplication::processEvents();
}
BENCHMARK(EventPass);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
