// The open and convert commands on a shown window, for the largest loadable
// file (LargestLogPoints), with dialogs answered at once. Goal: under 50 ms from
// the operator's answer to the end of each command.
//
//   OpenCommand         from the open dialog's answer to the end of the command
//   ConvertCommand      the whole convert command: workbook, dialog, SaveAs
//   ConvertAfterAnswer  from the save dialog's answer to the end (SaveAs, close)
//   ReadOnly            the read alone, without the window (what the open adds to it
//                       is the progress bar and the labels)
//   ProgressMovesOnly   the progress-bar moves of that read, alone
#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

#include "DatGenerator.h"
#include "datfile/DatReader.h"
#include "window/DialogDriver.h"
#include "window/frmDataEntry.h"

namespace {

using Clock = std::chrono::steady_clock;

// Answers every file dialog at once with the path it holds, and notes when.
class InstantDialogs : public kestrane::DialogDriver {
public:
    QString answer;
    Clock::time_point answeredAt;
    int messages = 0;

    void showMessageBox(const kestrane::MessageBoxRequest &) override { ++messages; }
    std::optional<QString> showFileDialog(const kestrane::FileDialogRequest &) override
    {
        answeredAt = Clock::now();
        return answer;
    }
};

struct Bench {
    std::string folder = kestrane::testdata::freshFolder("window-bench");
    std::string dat;
    frmDataEntry *window = nullptr;
    InstantDialogs *dialogs = nullptr;

    Bench()
    {
        const kestrane::testdata::DatSpec spec{.points = kestrane::testdata::LargestLogPoints};
        dat = kestrane::testdata::writeDat(folder + "/largest.dat", spec);
        window = new frmDataEntry;
        auto driver = std::make_unique<InstantDialogs>();
        dialogs = driver.get();
        window->setDialogDriver(std::move(driver));
        window->show();
        QApplication::processEvents();
    }

    void open()
    {
        dialogs->answer = QString::fromStdString(dat);
        window->openCommand();
    }
};

Bench &bench()
{
    static Bench *b = new Bench;
    return *b;
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void OpenCommand(benchmark::State &state)
{
    Bench &b = bench();
    for (auto _ : state) {
        b.open();
        state.SetIterationTime(secondsSince(b.dialogs->answeredAt));
        if (!b.window->dataset.fileLoaded || b.dialogs->messages != 0)
            state.SkipWithError("the file did not load");
    }
}

void ConvertCommand(benchmark::State &state)
{
    Bench &b = bench();
    for (auto _ : state) {
        b.open();
        b.dialogs->answer = QString::fromStdString(b.folder + "/largest.xls");
        const auto start = Clock::now();
        b.window->convertCommand();
        state.SetIterationTime(secondsSince(start));
        if (!b.window->dataset.fileConverted || b.dialogs->messages != 0)
            state.SkipWithError("the workbook was not written");
    }
}

void ConvertAfterAnswer(benchmark::State &state)
{
    Bench &b = bench();
    for (auto _ : state) {
        b.open();
        b.dialogs->answer = QString::fromStdString(b.folder + "/largest.xls");
        b.window->convertCommand();
        state.SetIterationTime(secondsSince(b.dialogs->answeredAt));
        if (!b.window->dataset.fileConverted || b.dialogs->messages != 0)
            state.SkipWithError("the workbook was not written");
    }
}

void ReadOnly(benchmark::State &state)
{
    Bench &b = bench();
    kestrane::Dataset data;
    for (auto _ : state) {
        const auto start = Clock::now();
        kestrane::readDatFile(b.dat, data);
        state.SetIterationTime(secondsSince(start));
    }
}

void ProgressMovesOnly(benchmark::State &state)
{
    kestrane::ProgressBar *bar = bench().window->ProgressBar1;
    for (auto _ : state) {
        const auto start = Clock::now();
        bar->setMin(1);
        bar->setMax(kestrane::testdata::LargestLogPoints);
        bar->setValue(1);
        for (int point = 1; point <= kestrane::testdata::LargestLogPoints; ++point)
            bar->setValue(float(point));
        bar->setValue(1);
        state.SetIterationTime(secondsSince(start));
    }
}

#define WINDOW_BENCHMARK(name)                                                                                       \
    BENCHMARK(name)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(9)                   \
        ->ReportAggregatesOnly(true)

WINDOW_BENCHMARK(OpenCommand);
WINDOW_BENCHMARK(ConvertCommand);
WINDOW_BENCHMARK(ConvertAfterAnswer);
WINDOW_BENCHMARK(ReadOnly);
WINDOW_BENCHMARK(ProgressMovesOnly);

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
