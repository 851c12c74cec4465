#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "datfile/Dataset.h"

namespace kestrane {

// Where the open command drives the window during a read. Each hook may be
// empty; a failure thrown from a hook ends the read like any other failure.
struct ReadHooks {
    std::function<void()> lengthMeasured;              // pointCount is known; show the reading notice
    std::function<void()> arraysSized;                 // the arrays are sized; set up the progress bar
    std::function<void(std::int32_t pointIndex)> pointRead; // after each data point, pointIndex = points done
};

// Record length of a .DAT file: the width of the reader's record buffer.
constexpr int DatRecordLength = int(FixedText::Width);

// The point count of a file of `length` bytes: records rounded ties-to-even,
// less the nine trailer records, over seven channels rounded the same way.
std::int32_t pointCountFromLength(std::int32_t length);

// Reads the .DAT file at `path` into `dataset`: pointCount, the seven channel
// arrays, the two timing figures and the seven names. Throws Failure on every
// failure, leaving the dataset as far as the read got; the file is closed on
// every path; LogFile.h lists the failures of the open. Does not touch
// fileLoaded or fileConverted.
void readDatFile(const std::filesystem::path &path, Dataset &dataset, const ReadHooks &hooks = {});

// The walk itself, over the first bytes of a file of `length` bytes (bytes
// past the end of `bytes` read as zero). readDatFile opens and measures the
// file and makes the same walk, reading the file a chunk at a time as it goes.
void readDatBytes(std::string_view bytes, std::int32_t length, Dataset &dataset, const ReadHooks &hooks = {});

} // namespace kestrane
