// What moving the progress bar costs a read of the largest loadable file
// (4679 points, one setValue per point), on a shown window.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "window/frmDataEntry.h"

namespace {

frmDataEntry *shownWindow()
{
    static frmDataEntry *window = [] {
        auto *w = new frmDataEntry;
        w->show();
        QApplication::processEvents();
        return w;
    }();
    return window;
}

void ReadOf4679Points(benchmark::State &state)
{
    kestrane::ProgressBar *bar = shownWindow()->ProgressBar1;
    for (auto _ : state) {
        bar->setMin(1);
        bar->setMax(4679);
        for (int point = 1; point <= 4679; ++point)
            bar->setValue(float(point));
        bar->setValue(1);
    }
}
BENCHMARK(ReadOf4679Points)->Unit(benchmark::kMillisecond);

// For comparison: a bar painted after every value.
void ReadOf4679PointsPaintingEveryValue(benchmark::State &state)
{
    kestrane::ProgressBar *bar = shownWindow()->ProgressBar1;
    for (auto _ : state) {
        bar->setMin(1);
        bar->setMax(4679);
        for (int point = 1; point <= 4679; ++point) {
            bar->setValue(float(point));
            bar->repaint();
        }
        bar->setValue(1);
    }
}
BENCHMARK(ReadOf4679PointsPaintingEveryValue)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
