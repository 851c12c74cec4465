// kestrane-bench IN.DAT OUT.xls [--repeat N]
//
// Converts one .DAT file to an .xls workbook exactly as the convert command
// does, without the window: read the file, then the conversion's own road
// (layout into a new workbook, save, close) with the current time. Prints the time of each
// stage; with --repeat N the conversion runs N times and the medians are
// printed, then the minor page faults of the whole process (each first touch
// of fresh memory costs one). Exits non-zero, with the failure's description
// on stderr, if any stage fails.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "common/Failure.h"
#include "datfile/DatReader.h"
#include "workbook/ConvertDataset.h"

namespace {

using Clock = std::chrono::steady_clock;

struct StageTimes {
    double read = 0, layout = 0, save = 0;
    double total() const { return read + layout + save; }
};

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One conversion, stage by stage, through the production code.
StageTimes convertOnce(kestrane::spreadsheet::Application &application, const std::string &in, const std::string &out)
{
    namespace ss = kestrane::spreadsheet;
    StageTimes times;

    auto start = Clock::now();
    kestrane::Dataset dataset;
    kestrane::readDatFile(in, dataset);
    dataset.fileLoaded = true;
    times.read = millisecondsSince(start);

    // The layout ends where the workbook's name is asked for.
    start = Clock::now();
    kestrane::convertDataset(application, dataset, ss::DateTime::now(), [&](ss::Workbook &) {
        times.layout = millisecondsSince(start);
        start = Clock::now();
        return std::filesystem::path(out);
    });
    times.save = millisecondsSince(start);
    return times;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

int usage()
{
    std::fprintf(stderr, "usage: kestrane-bench IN.DAT OUT.xls [--repeat N]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3 && argc != 5)
        return usage();
    const std::string in = argv[1];
    const std::string out = argv[2];
    int repeat = 1;
    if (argc == 5) {
        if (std::string(argv[3]) != "--repeat")
            return usage();
        char *end = nullptr;
        const long n = std::strtol(argv[4], &end, 10);
        if (*end != '\0' || n < 1 || n > 100000)
            return usage();
        repeat = int(n);
    }

    try {
        kestrane::spreadsheet::Application application;
        std::vector<StageTimes> runs;
        for (int i = 0; i < repeat; ++i)
            runs.push_back(convertOnce(application, in, out));

        auto stage = [&](double StageTimes::*field) {
            std::vector<double> values;
            for (const StageTimes &run : runs)
                values.push_back(run.*field);
            return median(values);
        };
        std::vector<double> totals;
        for (const StageTimes &run : runs)
            totals.push_back(run.total());

        std::printf("%s%d run%s\n", repeat > 1 ? "median of " : "", repeat, repeat > 1 ? "s" : "");
        std::printf("read    %8.3f ms\n", stage(&StageTimes::read));
        std::printf("layout  %8.3f ms\n", stage(&StageTimes::layout));
        std::printf("save    %8.3f ms\n", stage(&StageTimes::save));
        std::printf("total   %8.3f ms\n", median(totals));
        struct rusage usage {};
        ::getrusage(RUSAGE_SELF, &usage);
        std::printf("minor page faults %ld\n", usage.ru_minflt);
        return 0;
    } catch (const kestrane::Failure &failure) {
        std::fprintf(stderr, "kestrane-bench: %s (failure %d)\n", failure.description().c_str(), failure.number());
        return 1;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "kestrane-bench: %s\n", error.what());
        return 1;
    }
}
