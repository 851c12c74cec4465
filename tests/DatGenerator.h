#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace kestrane::testdata {

// The most points a loaded dataset holds: the largest log there is, 655240 bytes.
constexpr int LargestLogPoints = 4679;

// The shape of a .DAT file to write: points per channel, the value of each
// channel (1..7) at each point, the two timing figures and the seven names as
// raw bytes (blank-padded or cut to 20).
struct DatSpec {
    int points = 0;
    std::function<float(int channel, int point)> value = [](int channel, int point) {
        return float(channel * 1000 + point) + 0.25f;
    };
    std::array<float, 2> timing{5.0f, 0.0f};
    std::array<std::string, 7> names{"Channel one", "Channel two", "Channel three", "Channel four",
                                     "Channel five", "Channel six", "Channel seven"};
};

// The whole file, 20 * (7 * points + 9) bytes: each number a record of its
// float, little-endian, and 16 zero bytes; each name blank-padded or cut to 20.
std::string datBytes(const DatSpec &spec);

// Writes bytes to path, replacing the file; throws std::runtime_error on failure.
void writeFile(const std::filesystem::path &path, const std::string &bytes);
// Writes the .DAT file of spec to path and returns path.
std::filesystem::path writeDat(const std::filesystem::path &path, const DatSpec &spec);

// A fresh empty folder below the test temp folder, unique to this process.
std::string freshFolder(const std::string &name);

} // namespace kestrane::testdata
