// Reads a 4679-point .DAT file, the largest the reader handles, over and over.
// Goal on a 2-core machine: a median well under a millisecond.
#include <benchmark/benchmark.h>

#include "DatGenerator.h"
#include "datfile/DatReader.h"

namespace {

const std::string &largestLog()
{
    static const std::string path = [] {
        kestrane::testdata::DatSpec spec;
        spec.points = 4679;
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
