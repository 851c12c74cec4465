#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <filesystem>
#include <limits>

#include <sys/stat.h>
#include <unistd.h>

#include "DatGenerator.h"
#include "FailureOf.h"
#include "common/Failure.h"
#include "datfile/DatReader.h"

using namespace kestrane;
using testdata::DatSpec;
namespace fs = std::filesystem;

namespace {

std::string folder()
{
    static const std::string path = testdata::freshFolder("reader");
    return path;
}

std::string path(const std::string &name) { return folder() + "/" + name; }

// The number of the failure that reading `file` ends with, 0 when it succeeds.
int readFailure(const std::string &file, Dataset &data)
{
    return kestrane::test::failureOf([&] { readDatFile(file, data); });
}

int openDescriptors() { return int(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator())); }

} // namespace

// Lengths and the point count they give: records and points are both
// rounded ties-to-even, and the trailer's nine records come off first.
TEST(PointCount, FollowsTheFileLength)
{
    const int well = 20 * (7 * 3 + 9); // a well-formed file of 3 points, 30 records
    struct Case { std::int32_t length; std::int32_t points; };
    const Case cases[] = {
        {0, -1}, {109, -1}, {110, 0}, {180, 0}, {190, 0}, {210, 0}, {250, 0}, {320, 1},
        {well, 3},
        {well + 20, 3}, {well + 40, 3}, {well + 60, 3},      // up to three surplus records: ignored
        {well + 80, 4}, {well + 100, 4}, {well + 120, 4},    // four to six: one point more
        {well + 9, 3}, {well + 11, 3},                       // 31 records: still 3
        {well + 10, 3},                                      // 30.5 -> 30, even: ignored
        {well + 60 + 10, 4},                                 // 33.5 -> 34: one more record, one more point
        {well + 40 + 10, 3},                                 // 32.5 -> 32: ignored
        {well - 20, 3}, {well - 60, 3}, {well - 80, 2},      // missing records
        {655240, 4679}, {655380, 4680},
        {std::numeric_limits<std::int32_t>::max(), 15339168},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pointCountFromLength(c.length), c.points) << "length " << c.length;
}

TEST(DatReader, ReadsValuesTimingAndNamesOfAWellFormedFile)
{
    DatSpec spec;
    spec.points = 3;
    spec.timing = {5.0f, -2.0f};
    const auto file = testdata::writeDat(path("three.dat"), spec);

    Dataset data;
    readDatFile(file, data);

    EXPECT_EQ(data.pointCount, 3);
    EXPECT_EQ(data.pointIndex, 3);
    for (int channel = 1; channel <= 7; ++channel) {
        const auto &slots = data.channelValues[std::size_t(channel - 1)];
        ASSERT_EQ(slots.size(), 4u);
        for (int point = 0; point < 3; ++point)
            EXPECT_EQ(slots[std::size_t(point)], spec.value(channel, point)) << channel << "," << point;
        EXPECT_FALSE(slots[3].has_value()) << "slot pointCount stays empty";
    }
    EXPECT_EQ(data.timeSettings[0], 5);
    EXPECT_EQ(data.timeSettings[1], -2);
    EXPECT_EQ(data.channelNames[0].text(), u"Channel one         ");
    EXPECT_EQ(data.channelNames[6].text(), u"Channel seven       ");
    EXPECT_EQ(data.recordText.text(), data.channelNames[6].text());
    EXPECT_FALSE(data.fileLoaded) << "marking loaded is the open command's business";
}

TEST(DatReader, AFileOfNineRecordsHasNoPointsAndAnEmptySlotZero)
{
    DatSpec spec;
    spec.points = 0;
    spec.timing = {7.0f, 1.0f};
    Dataset data;
    readDatFile(testdata::writeDat(path("none.dat"), spec), data);
    EXPECT_EQ(data.pointCount, 0);
    for (const auto &slots : data.channelValues) {
        ASSERT_EQ(slots.size(), 1u);
        EXPECT_FALSE(slots[0].has_value());
    }
    EXPECT_EQ(data.timeSettings[0], 7);
    EXPECT_EQ(data.channelNames[2].text(), u"Channel three       ");
}

TEST(DatReader, KeepsNotANumberAndInfinitiesBitForBit)
{
    const float quietNaN = std::bit_cast<float>(0x7FC01234u);
    const float inf = std::numeric_limits<float>::infinity();
    const float denormal = std::numeric_limits<float>::denorm_min();
    DatSpec spec;
    spec.points = 1;
    const float values[7] = {quietNaN, inf, -inf, -0.0f, denormal, 3.4e38f, 0.1f};
    spec.value = [&](int channel, int) { return values[channel - 1]; };
    Dataset data;
    readDatFile(testdata::writeDat(path("odd-values.dat"), spec), data);
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(std::bit_cast<std::uint32_t>(*data.channelValues[std::size_t(c)][0]),
                  std::bit_cast<std::uint32_t>(values[c])) << "channel " << c + 1;
}

TEST(DatReader, RoundsTimingFiguresTiesToEvenAndRefusesWhatLeavesSixteenBits)
{
    struct Case { float figure; int expected; bool overflows; };
    const Case cases[] = {
        {2.5f, 2, false}, {3.5f, 4, false}, {-0.5f, 0, false}, {32767.0f, 32767, false},
        {-32768.0f, -32768, false}, {32767.5f, 0, true}, {-32769.0f, 0, true},
        {std::numeric_limits<float>::quiet_NaN(), 0, true},
        {std::numeric_limits<float>::infinity(), 0, true},
        {-std::numeric_limits<float>::infinity(), 0, true},
    };
    for (const auto &c : cases) {
        DatSpec spec;
        spec.points = 2;
        spec.timing = {c.figure, 0.0f};
        const auto file = testdata::writeDat(path("timing.dat"), spec);
        Dataset data;
        const int failure = readFailure(file, data);
        if (c.overflows) {
            EXPECT_EQ(failure, Overflow) << c.figure;
        } else {
            EXPECT_EQ(failure, 0) << c.figure;
            EXPECT_EQ(data.timeSettings[0], c.expected) << c.figure;
        }
    }
}

TEST(DatReader, KeepsNamesWholeWithBlanksZeroBytesAndCodePageCharacters)
{
    DatSpec spec;
    spec.names = {"Temp", std::string("A\0B", 3), "\xE9\x80\xB5", std::string(20, ' '),
                  "12345678901234567890", "x", "Pressure kPa        "};
    Dataset data;
    readDatFile(testdata::writeDat(path("names.dat"), spec), data);
    EXPECT_EQ(data.channelNames[0].text(), u"Temp                ");
    EXPECT_EQ(data.channelNames[1].text(), std::u16string(u"A\0B", 3) + std::u16string(17, u' '));
    EXPECT_EQ(data.channelNames[2].text(), u"é€µ                 ");
    EXPECT_EQ(data.channelNames[3].text(), std::u16string(20, u' '));
    EXPECT_EQ(data.channelNames[4].text(), u"12345678901234567890");
}

TEST(DatReader, ASecondReadLeavesNothingOfTheFirst)
{
    DatSpec big;
    big.points = 50;
    DatSpec small;
    small.points = 2;
    small.value = [](int, int) { return -1.0f; };
    small.names = {"a", "b", "c", "d", "e", "f", "g"};
    Dataset data;
    readDatFile(testdata::writeDat(path("big.dat"), big), data);
    readDatFile(testdata::writeDat(path("small.dat"), small), data);
    EXPECT_EQ(data.pointCount, 2);
    for (const auto &slots : data.channelValues) {
        ASSERT_EQ(slots.size(), 3u);
        EXPECT_EQ(slots[0], -1.0f);
        EXPECT_EQ(slots[1], -1.0f);
        EXPECT_FALSE(slots[2].has_value());
    }
    EXPECT_EQ(data.channelNames[6].text(), u"g                   ");
}

TEST(DatReader, HandlesAtMost4679PointsAndFails4680InTheTrailerBeforeTheSixthName)
{
    DatSpec most;
    most.points = 4679;
    Dataset data;
    readDatFile(testdata::writeDat(path("most.dat"), most), data);
    EXPECT_EQ(data.pointCount, 4679);
    EXPECT_EQ(data.channelValues[6][4678], most.value(7, 4678));
    EXPECT_EQ(data.channelNames[6].text(), u"Channel seven       ");

    DatSpec tooMany;
    tooMany.points = 4680;
    tooMany.timing = {9.0f, 0.0f};
    tooMany.names = {"n1", "n2", "n3", "n4", "n5", "n6", "n7"};
    EXPECT_EQ(readFailure(testdata::writeDat(path("too-many.dat"), tooMany), data), Overflow);
    // As far as the read got: all data, both timing figures, five names.
    EXPECT_EQ(data.pointCount, 4680);
    EXPECT_EQ(data.channelValues[6][4679], tooMany.value(7, 4679));
    EXPECT_EQ(data.timeSettings[0], 9);
    EXPECT_EQ(data.channelNames[4].text(), u"n5                  ");
    EXPECT_EQ(data.channelNames[5].text(), u"Channel six         ");
}

TEST(DatReader, FailsInTheDataOnceRecord32767HasBeenRead)
{
    DatSpec spec;
    spec.points = 5000;
    Dataset data;
    EXPECT_EQ(readFailure(testdata::writeDat(path("five-thousand.dat"), spec), data), Overflow);
    // Record 32767 is channel 7 of point 4680 (counting from 0): it was stored.
    EXPECT_EQ(data.channelValues[6][4680], spec.value(7, 4680));
    EXPECT_FALSE(data.channelValues[0][4681].has_value());
    EXPECT_EQ(data.pointIndex, 4680);
}

TEST(DatReader, AFileLongerThanAnyReadableTakesNoMoreMemoryThanTheLargestReadable)
{
    // Sparse: just under 2 GiB, some 15 million points by its length.
    testdata::writeFile(path("long.dat"), "");
    fs::resize_file(path("long.dat"), (std::uintmax_t(1) << 31) - 20);
    Dataset data;
    EXPECT_EQ(readFailure(path("long.dat"), data), Overflow);
    EXPECT_EQ(data.pointCount, 15339167);
    EXPECT_EQ(data.pointIndex, 4680); // failed after record 32767, as any long file does
    for (const auto &slots : data.channelValues) {
        EXPECT_EQ(slots.size(), 4682u) << "slots the counter can never reach were allocated";
        EXPECT_FALSE(slots.back().has_value());
    }
    fs::remove(path("long.dat"));
}

TEST(DatReader, ReadsRecordsBeyondTheEndAsZeroBytes)
{
    DatSpec spec;
    spec.points = 2;
    auto bytes = testdata::datBytes(spec);
    bytes.resize(bytes.size() - 30); // the last record and a half are missing
    testdata::writeFile(path("short.dat"), bytes);
    Dataset data;
    readDatFile(path("short.dat"), data);
    EXPECT_EQ(data.pointCount, 2);
    EXPECT_EQ(data.channelNames[4].text(), u"Channel five        ");
    EXPECT_EQ(data.channelNames[5].text().substr(0, 10), u"Channel si");
    EXPECT_EQ(data.channelNames[5].text().substr(10), std::u16string(10, u'\0'));
    EXPECT_EQ(data.channelNames[6].text(), std::u16string(20, u'\0'));
}

TEST(DatReader, TakesFourSurplusRecordsAsAnExtraPointAndReadsTheTrailerLater)
{
    DatSpec spec;
    spec.points = 1;
    spec.timing = {5.0f, 0.0f};
    // Names whose first four bytes read as the number 0, so that the shifted
    // trailer still rounds into 16 bits.
    for (auto &name : spec.names)
        name = std::string(4, '\0') + "name";
    auto bytes = testdata::datBytes(spec) + std::string(80, '\0');
    testdata::writeFile(path("surplus.dat"), bytes);
    Dataset data;
    readDatFile(path("surplus.dat"), data);
    EXPECT_EQ(data.pointCount, 2);
    EXPECT_EQ(data.channelValues[0][1], 5.0f) << "the real interval lands in point 2";
    EXPECT_EQ(data.timeSettings[0], 0) << "read from the fourth name record onwards";
}

TEST(DatReader, CallsItsHooksInOrderAndStopsWhenAHookFails)
{
    DatSpec spec;
    spec.points = 4;
    const auto file = testdata::writeDat(path("hooks.dat"), spec);
    std::string trace;
    ReadHooks hooks;
    hooks.lengthMeasured = [&] { trace += "L"; };
    hooks.arraysSized = [&] { trace += "S"; };
    hooks.pointRead = [&](std::int32_t index) { trace += std::to_string(index); };
    Dataset data;
    readDatFile(file, data, hooks);
    EXPECT_EQ(trace, "LS1234");

    hooks.pointRead = [&](std::int32_t index) { if (index == 2) throw Failure(DeviceIOError); };
    EXPECT_THROW(readDatFile(file, data, hooks), Failure);
    EXPECT_EQ(data.pointIndex, 2);
}

// Each bad input ends in its own failure; none crashes, none leaks a handle.
TEST(DatReader, EndsEveryBadInputInAFailureAndClosesTheFile)
{
    testdata::writeFile(path("empty.dat"), "");
    testdata::writeFile(path("short109.dat"), std::string(109, 'x'));
    fs::create_directories(path("folder.dat"));
    testdata::writeFile(path("plain-file"), "x");
    fs::remove(path("loop.dat"));
    fs::create_symlink("loop.dat", path("loop.dat"));
    // A sparse file past what a signed 32-bit length can hold.
    testdata::writeFile(path("huge.dat"), "");
    fs::resize_file(path("huge.dat"), (std::uintmax_t(1) << 31) + 20);

    struct Case { std::string file; int failure; bool nameTheCountFirst; std::int32_t count; };
    const Case cases[] = {
        {path("empty.dat"), SubscriptOutOfRange, true, -1},
        {path("short109.dat"), SubscriptOutOfRange, true, -1},
        {path("folder.dat"), PathFileAccessError, false, 0},
        {path("vanished.dat"), FileNotFound, false, 0},
        {path("no-such-folder/a.dat"), PathNotFound, false, 0},
        {path("plain-file/a.dat"), PathNotFound, false, 0},
        {path("loop.dat"), PathFileAccessError, false, 0},
        {path("huge.dat"), Overflow, false, 0},
    };
    const int before = openDescriptors();
    for (const auto &c : cases) {
        Dataset data;
        data.pointCount = 12345;
        EXPECT_EQ(readFailure(c.file, data), c.failure) << c.file;
        if (c.nameTheCountFirst) {
            EXPECT_EQ(data.pointCount, c.count) << c.file;
        }
    }
    EXPECT_EQ(openDescriptors(), before);
    fs::remove(path("huge.dat"));
}

TEST(DatReader, RefusesAFileItMayNotRead)
{
    // Root reads through permission bits; an ordinary user does not.
    const auto file = testdata::writeDat(path("locked.dat"), DatSpec{});
    ::chmod(file.c_str(), 0);
    Dataset data;
    const int failure = readFailure(file, data);
    EXPECT_EQ(failure, ::geteuid() == 0 ? 0 : int(PermissionDenied));
}

TEST(DatReader, ReadsTheExampleLog)
{
    Dataset data;
    readDatFile(KESTRANE_SOURCE_DIR "/examples/probe-sample.dat", data);
    EXPECT_EQ(data.pointCount, 360);
    EXPECT_EQ(data.timeSettings[0], 10);
    EXPECT_EQ(data.channelNames[0].text(), u"Inlet Temp °C       ");
    EXPECT_EQ(data.channelNames[6].text(), u"Heater Current A    ");
    const float inlet = *data.channelValues[0][0];
    EXPECT_GT(inlet, 15.0f);
    EXPECT_LT(inlet, 25.0f);
}
