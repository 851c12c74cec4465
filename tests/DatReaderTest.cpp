// The .DAT reader and the dataset it fills: the point count from the length,
// one table of files (bytes -> failure, point count, values, timing figures,
// names), and the files that cannot be read.
#include <gtest/gtest.h>

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

TEST(PointCount, FollowsTheFileLength)
{
    const int well = 20 * (7 * 3 + 9); // a well-formed file of 3 points, 30 records
    const struct { std::int32_t length, points; } cases[] = {
        {.length = 0, .points = -1}, {.length = 109, .points = -1}, {.length = 110, .points = 0},
        {.length = 180, .points = 0}, {.length = 190, .points = 0}, {.length = 210, .points = 0},
        {.length = 250, .points = 0}, {.length = 251, .points = 1}, {.length = 320, .points = 1},
        {.length = well, .points = 3},
        // up to three surplus records ignored, four to six a point
        {.length = well + 60, .points = 3}, {.length = well + 80, .points = 4}, {.length = well + 120, .points = 4},
        // a tail of 10 bytes: 30.5 records go to 30
        {.length = well + 9, .points = 3}, {.length = well + 11, .points = 3}, {.length = well + 10, .points = 3},
        // 33.5 -> 34, 32.5 -> 32
        {.length = well + 70, .points = 4}, {.length = well + 50, .points = 3},
        // missing records
        {.length = well - 60, .points = 3}, {.length = well - 80, .points = 2},
        {.length = 655240, .points = testdata::LargestLogPoints},
        {.length = std::numeric_limits<std::int32_t>::max(), .points = 15339168}};
    for (const auto &[length, points] : cases)
        EXPECT_EQ(pointCountFromLength(length), points) << "length " << length;
}

namespace {

const float kNaN = std::bit_cast<float>(0x7FC12345u), kInfinity = -std::numeric_limits<float>::infinity();
std::string withTiming(float first, float later) { return testdata::datBytes({.points = 1, .timing = {first, later}}); }

struct ReadCase {
    const char *name;
    std::string bytes;
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
    DatSpec named{.points = 1};
    named.names[0] = std::string("\x80\xe9 a\0b", 6);
    DatSpec codePage{.points = 1}; // bytes 80 to 9F, where Windows-1252 is not ISO 8859-1
    codePage.names[0] = codePage.names[1] = "";
    for (int byte = 0x80; byte <= 0x9F; ++byte)
        codePage.names[std::size_t(byte - 0x80) / 20] += char(byte);
    constexpr int Most = testdata::LargestLogPoints;
    const std::u16string zeros(20, u'\0');
    const ReadCase cases[] = {
        {.name = "MostPoints", .bytes = testdata::datBytes({.points = Most}), .points = Most,
         .values = {{7, Most - 1, 7000.25f + float(Most - 1)}}},
        {.name = "ThreePoints", .bytes = three, .points = 3,
         .values = {{1, 0, 1000.25f}, {4, 1, 4001.25f}, {7, 2, 7002.25f}}, .nameIndex = 6,
         .channelName = u"Channel seven       "},
        {.name = "NoPoints", .bytes = testdata::datBytes(DatSpec{})},
        {.name = "SpecialBitsKept", .bytes = testdata::datBytes(special), .points = 1,
         .values = {{1, 0, kNaN}, {2, 0, kInfinity}, {7, 0, -0.0f}}},
        {.name = "TimingTiesToEven", .bytes = withTiming(2.5f, 3.5f), .points = 1, .timing = {2, 4}},
        {.name = "TimingNearTheLimits", .bytes = withTiming(-0.5f, 32767.4f), .points = 1, .timing = {0, 32767}},
        {.name = "TimingOverflows", .bytes = withTiming(32767.5f, 0), .failure = Overflow, .points = 1},
        {.name = "TimingNaNOverflows", .bytes = withTiming(kNaN, 0), .failure = Overflow, .points = 1},
        {.name = "NameKeptWhole", .bytes = testdata::datBytes(named), .points = 1,
         .channelName = std::u16string(u"\u20ac\u00e9 a\0b", 6) + u"              "},
        // 81, 8D, 8F and 90 are undefined: kept as they are
        {.name = "CodePageTo93", .bytes = testdata::datBytes(codePage), .points = 1,
         .channelName = u"\u20ac\u0081\u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030"
                        u"\u0160\u2039\u0152\u008d\u017d\u008f\u0090\u2018\u2019\u201c"},
        {.name = "CodePageFrom94", .bytes = testdata::datBytes(codePage), .points = 1, .nameIndex = 1, // 9D undefined
         .channelName = u"\u201d\u2022\u2013\u2014\u02dc\u2122\u0161\u203a\u0153\u009d\u017e\u0178        "},
        {.name = "EmptyFile", .bytes = "", .failure = SubscriptOutOfRange, .points = -1},
        {.name = "Only109Bytes", .bytes = std::string(109, 'x'), .failure = SubscriptOutOfRange, .points = -1},
        {.name = "ShortFileReadsZeros", .bytes = std::string(250, '\0'), .timing = {0, 0}, .channelName = zeros},
        {.name = "LastRecordMissing", .bytes = three.substr(0, three.size() - 20), .points = 3, .nameIndex = 6,
         .channelName = zeros},
        {.name = "LastRecordCutShort", .bytes = three.substr(0, three.size() - 12), .points = 3, .nameIndex = 6,
         .channelName = u"Channel " + std::u16string(12, u'\0')},
        {.name = "FourSurplusRecordsMakeAPoint", .bytes = blankTail + std::string(80, '\0'), .points = 4,
         .timing = {0, 0}, .values = {{1, 3, 5.0f}, {2, 3, 0.0f}}, .channelName = zeros},
        {.name = "OneMoreFailsBeforeTheSixthName", .bytes = testdata::datBytes({.points = Most + 1}),
         .failure = Overflow, .points = Most + 1, .nameIndex = 5},
        {.name = "FarMoreFailsInTheData", .bytes = std::string(20 * 36000, '\0'), .failure = Overflow, .points = 5142},
    };
    Dataset data; // one for all, as in the window: each read replaces what the one before left
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.name);
        data.channelNames[std::size_t(c.nameIndex)] = u"from an older file";
        EXPECT_EQ(test::failureOf([&] { readDatBytes(c.bytes, std::int32_t(c.bytes.size()), data); }), c.failure);
        EXPECT_EQ(data.pointCount, c.points);
        if (c.failure == 0) {
            EXPECT_EQ(data.timeSettings, c.timing);
            EXPECT_EQ(data.pointIndex, c.points);
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

// Every file that cannot be read ends in its failure, and closes what it opened.
TEST(DatReader, EndsEveryFileItCannotReadInAFailure)
{
    const std::filesystem::path folder = testdata::freshFolder("reader");
    const struct { std::filesystem::path path; int failure; } cases[] = {
        {.path = KESTRANE_SOURCE_DIR "/examples/probe-sample.dat", .failure = 0},
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

// A log that the logger's own software still has open for writing is read
// all the same; one held with no sharing at all is refused, where the system
// lets a program keep others from a file.
TEST(DatReader, ReadsALogAnotherProgramIsWriting)
{
    const auto log = testdata::writeDat(testdata::freshFolder("held") + "/run.dat", DatSpec{.points = 3});
    const struct { const char *name; test::Platforms on; test::Sharing sharing; int failure; } cases[] = {
        {.name = "BeingWritten", .on = test::Everywhere, .sharing = test::Sharing::ReadAndWrite, .failure = 0},
        {.name = "ReadSharingOnly", .on = test::Everywhere, .sharing = test::Sharing::ReadOnly, .failure = 0},
        {.name = "SharedWithNoOne", .on = test::Windows, .sharing = test::Sharing::None, .failure = PermissionDenied}};
    for (const auto &c : cases) {
        if ((c.on & test::ThisPlatform) == 0)
            continue;
        SCOPED_TRACE(c.name);
        const auto writer = test::holdOpen(log, c.sharing, true);
        ASSERT_TRUE(writer);
        Dataset data;
        EXPECT_EQ(test::failureOf([&] { readDatFile(log, data); }), c.failure);
        EXPECT_EQ(data.pointCount, c.failure == 0 ? 3 : 0);
    }
}
