// The .DAT reader and the dataset it fills: one table of files (bytes and
// length -> failure, point count, values, timing figures, names), and one of
// files on disk (path -> failure).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <limits>
#include <tuple>
#include <vector>

#include "DatGenerator.h"
#include "ThisSystem.h"
#include "datfile/DatReader.h"

using namespace kestrane;
using testdata::DatSpec;

namespace {

const float kNaN = std::bit_cast<float>(0x7FC12345u), kInfinity = -std::numeric_limits<float>::infinity();
std::string withTiming(float first, float later) { return testdata::datBytes({.points = 1, .timing = {first, later}}); }

struct ReadCase {
    const char *name;
    std::string bytes;
    std::int32_t length = 0;                   // where longer than the bytes: past them the file reads zeros
    int failure = 0;                           // none: the read completes
    std::int32_t points = 0;                   // pointCount afterwards
    std::array<std::int16_t, 2> timing{5, 0};  // where the read completes
    std::vector<std::tuple<int, int, float>> values = {}; // (channel, point, value), bit for bit
    int nameIndex = 0;
    std::u16string channelName = {}; // none: "Channel one", or after a failure the older file's
};

} // namespace

TEST(DatReader, ReadsEachFileAsItsLengthAndRecordsSay)
{
    const DatSpec special{.points = 1, .value = [](int channel, int) {
        return channel == 1 ? kNaN : channel == 2 ? kInfinity : -0.0f; }};
    const std::string three = testdata::datBytes(DatSpec{.points = 3});
    DatSpec blank{.points = 3};
    blank.names[5] = blank.names[6] = ""; // read as the timing figures: blanks are a tiny float
    const std::string blankTail = testdata::datBytes(blank);
    DatSpec codePage{.points = 1}; // bytes 80 to 9F, where Windows-1252 is not ISO 8859-1
    codePage.names[0] = codePage.names[1] = "";
    for (int byte = 0x80; byte <= 0x9F; ++byte)
        codePage.names[std::size_t(byte - 0x80) / 20] += char(byte);
    constexpr int Most = testdata::LargestLogPoints;
    const std::u16string zeros(20, u'\0');
    const ReadCase cases[] = {
        {.name = "ThreePoints", .bytes = three, .points = 3,
         .values = {{1, 0, 1000.25f}, {4, 1, 4001.25f}, {7, 2, 7002.25f}}, .nameIndex = 6,
         .channelName = u"Channel seven       "},
        {.name = "SpecialBitsKept", .bytes = testdata::datBytes(special), .points = 1,
         .values = {{1, 0, kNaN}, {2, 0, kInfinity}, {7, 0, -0.0f}}},
        {.name = "TimingTiesToEven", .bytes = withTiming(2.5f, 3.5f), .points = 1, .timing = {2, 4}},
        {.name = "TimingNearTheLimits", .bytes = withTiming(-0.5f, 32767.4f), .points = 1, .timing = {0, 32767}},
        {.name = "TimingOverflows", .bytes = withTiming(32767.5f, 0), .failure = Overflow, .points = 1},
        // 81, 8D, 8F and 90 are undefined: kept as they are
        {.name = "CodePageTo93", .bytes = testdata::datBytes(codePage), .points = 1,
         .channelName = u"\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030"
                        u"\u0160\u2039\u0152\u008d\u017d\u008f\u0090\u2018\u2019\u201c"},
        {.name = "CodePageFrom94", .bytes = testdata::datBytes(codePage), .points = 1, .nameIndex = 1, // 9D undefined
         .channelName = u"\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178        "},
        {.name = "Only109Bytes", .bytes = std::string(109, 'x'), .failure = SubscriptOutOfRange, .points = -1},
        // 5.5 records round to 6, 12.5 to 12: no point either way
        {.name = "HalfARecordCountsWhole", .bytes = std::string(110, '\0'), .timing = {0, 0}, .channelName = zeros},
        {.name = "ShortFileReadsZeros", .bytes = std::string(250, '\0'), .timing = {0, 0}, .channelName = zeros},
        {.name = "LastRecordCutShort", .bytes = three.substr(0, three.size() - 12), .points = 3, .nameIndex = 6,
         .channelName = u"Channel " + std::u16string(12, u'\0')},
        {.name = "FourSurplusRecordsMakeAPoint", .bytes = blankTail + std::string(80, '\0'), .points = 4,
         .timing = {0, 0}, .values = {{1, 3, 5.0f}, {2, 3, 0.0f}}, .channelName = zeros},
        {.name = "OneMoreFailsBeforeTheSixthName", .bytes = testdata::datBytes({.points = Most + 1}),
         .failure = Overflow, .points = Most + 1, .nameIndex = 5},
        {.name = "LongestFailsInTheData", .bytes = "", .length = std::numeric_limits<std::int32_t>::max(),
         .failure = Overflow, .points = 15339168},
    };
    Dataset data; // one for all, as in the window: each read replaces what the one before left
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.name);
        data.channelNames[std::size_t(c.nameIndex)] = u"from an older file";
        const std::int32_t length = std::max(c.length, std::int32_t(c.bytes.size()));
        EXPECT_EQ(test::failureOf([&] { readDatBytes(c.bytes, length, data); }), c.failure);
        EXPECT_EQ(data.pointCount, c.points);
        if (c.failure == 0) {
            EXPECT_EQ(data.timeSettings, c.timing);
            for (const auto &channel : data.channelValues)
                ASSERT_TRUE(channel.size() == std::size_t(c.points) + 1 && !channel.back())
                    << "slots 0..pointCount, the last empty";
        }
        const std::u16string name = !c.channelName.empty() ? c.channelName
                                    : c.failure != 0       ? u"from an older file  "
                                                           : u"Channel one         ";
        EXPECT_EQ(data.channelNames[std::size_t(c.nameIndex)].text(), name);
        for (const auto &[channel, point, value] : c.values) {
            const float read = data.channelValues[std::size_t(channel - 1)][std::size_t(point)].value_or(1.5f);
            EXPECT_EQ(std::bit_cast<std::uint32_t>(read), std::bit_cast<std::uint32_t>(value))
                << "channel " << channel << " point " << point;
        }
    }
}

// Every file ends in its failure, or none, and closes what it opened. A log
// that the logger's own software still has open for writing, letting others
// only read it, is read all the same.
TEST(DatReader, EndsEachFileInItsFailureAndClosesIt)
{
    const std::filesystem::path folder = testdata::freshFolder("reader");
    const auto written = testdata::writeDat(folder / "being-written.dat", DatSpec{.points = 3});
    const auto writer = test::holdOpen(written, test::Sharing::ReadOnly, true);
    ASSERT_TRUE(writer);
    const struct { std::filesystem::path path; int failure; } cases[] = {
        {.path = KESTRANE_SOURCE_DIR "/examples/probe-sample.dat", .failure = 0},
        {.path = written, .failure = 0},
        {.path = folder / "none.dat", .failure = FileNotFound},
        {.path = folder / "no folder" / "a.dat", .failure = PathNotFound},
        {.path = folder, .failure = PathFileAccessError},
        {.path = folder / std::string(300, 'n'), .failure = BadFileNameOrNumber},
        {.path = testdata::writeDat(folder / "too-long.dat", {.points = testdata::LargestLogPoints + 1}),
         .failure = Overflow}};
    const auto before = test::openFiles();
    for (const auto &[path, failure] : cases) {
        Dataset data;
        EXPECT_EQ(test::failureOf([&] { readDatFile(path, data); }), failure) << path;
    }
    EXPECT_EQ(test::openFiles(), before);
}
