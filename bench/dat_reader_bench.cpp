// Reads the largest .DAT file the reader handles, over and over.
// Goal on a 2-core machine: a median well under a millisecond.
#include <benchmark/benchmark.h>

#include "DatGenerator.h"
#include "datfile/DatReader.h"

namespace {

const std::string &largestLog()
{
    static const std::string path = [] {
        const kestrane::testdata::DatSpec spec{.points = kestrane::testdata::LargestLogPoints};
        return kestrane::testdata::writeDat(kestrane::testdata::freshFolder("bench") + "/largest.dat", spec);
    }();
    return path;
}

void ReadLargestLog(benchmark::State &state)
{
    kestrane::Dataset data;
    for (auto _ : state) {
        kestrane::readDatFile(largestLog(), data);
        benchmark::DoNotOptimize(data.channelValues[6].back());
    }
}

} // namespace

BENCHMARK(ReadLargestLog)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
