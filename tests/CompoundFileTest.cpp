#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "XlsWalker.h"
#include "common/Failure.h"
#include "workbook/spreadsheet/CompoundFile.h"

using kestrane::spreadsheet::compoundFile;
using kestrane::spreadsheet::largestWorkbookStream;

namespace {

using Bytes = std::vector<unsigned char>;

std::uint32_t u32At(const Bytes &file, std::size_t at)
{
    return std::uint32_t(file[at]) | std::uint32_t(file[at + 1]) << 8 | std::uint32_t(file[at + 2]) << 16
           | std::uint32_t(file[at + 3]) << 24;
}

// A stream of recognisable bytes.
Bytes streamOf(std::size_t size)
{
    Bytes stream(size);
    for (std::size_t i = 0; i < size; ++i)
        stream[i] = static_cast<unsigned char>(i * 7 + 3);
    return stream;
}

std::string problemsOf(const std::vector<std::string> &problems)
{
    std::string all;
    for (const auto &p : problems)
        all += p + "\n";
    return all;
}

struct SizeCase {
    std::size_t streamBytes;
    std::size_t streamSize;  // as the directory gives it
    std::size_t fatSectors;
    std::size_t fileSectors; // header included
};

} // namespace

class CompoundFileSize : public testing::TestWithParam<SizeCase> {};

TEST_P(CompoundFileSize, holdsTheStreamWholeInOrdinarySectors)
{
    const SizeCase &c = GetParam();
    const Bytes stream = streamOf(c.streamBytes);
    const Bytes file = compoundFile(stream);
    EXPECT_EQ(file.size(), c.fileSectors * 512);
    EXPECT_EQ(u32At(file, 0x2C), c.fatSectors);

    const auto read = kestrane::xls::readWorkbookStream(file);
    EXPECT_TRUE(read.problems.empty()) << problemsOf(read.problems);
    EXPECT_EQ(read.declaredSize, c.streamSize);
    ASSERT_EQ(read.bytes.size(), c.streamSize);
    EXPECT_TRUE(std::equal(stream.begin(), stream.end(), read.bytes.begin()));
    // Padding up to 4096 bytes is zero, so readers see no records there.
    EXPECT_TRUE(std::all_of(read.bytes.begin() + std::ptrdiff_t(stream.size()), read.bytes.end(),
                            [](unsigned char b) { return b == 0; }));
}

// Sectors: header + stream + 1 directory + FAT. One FAT sector maps 128
// sectors, itself and the directory included, so 126 stream sectors fit one.
INSTANTIATE_TEST_SUITE_P(
    Sizes, CompoundFileSize,
    testing::Values(SizeCase{0, 4096, 1, 1 + 8 + 1 + 1},         // padded: no mini stream needed
                    SizeCase{100, 4096, 1, 1 + 8 + 1 + 1},
                    SizeCase{4096, 4096, 1, 1 + 8 + 1 + 1},
                    SizeCase{4097, 4097, 1, 1 + 9 + 1 + 1},
                    SizeCase{126 * 512, 126 * 512, 1, 1 + 126 + 1 + 1},
                    SizeCase{126 * 512 + 1, 126 * 512 + 1, 2, 1 + 127 + 1 + 2},
                    SizeCase{660000, 660000, 11, 1 + 1290 + 1 + 11})); // about a full 4679-point workbook

TEST(CompoundFile, namesItsEntriesAsReadersLookForThem)
{
    const Bytes file = compoundFile(streamOf(5000));
    const std::size_t directory = (std::size_t(u32At(file, 0x30)) + 1) * 512;
    const std::u16string rootName = u"Root Entry";
    const std::u16string streamName = u"Workbook";
    for (std::size_t i = 0; i < rootName.size(); ++i)
        EXPECT_EQ(file[directory + 2 * i], rootName[i]);
    EXPECT_EQ(file[directory + 64], 22);        // name length in bytes with the terminating zero
    EXPECT_EQ(file[directory + 66], 5);         // the root storage
    for (std::size_t i = 0; i < streamName.size(); ++i)
        EXPECT_EQ(file[directory + 128 + 2 * i], streamName[i]);
    EXPECT_EQ(file[directory + 128 + 64], 18);
    EXPECT_EQ(file[directory + 128 + 66], 2);   // a stream
    EXPECT_EQ(u32At(file, directory + 128 + 120), 5000u);
}

TEST(CompoundFile, takesTheLargestStreamOneHeaderCanAddressAndRefusesMore)
{
    const Bytes largest(largestWorkbookStream(), 0x11);
    const Bytes file = compoundFile(largest);
    EXPECT_EQ(u32At(file, 0x2C), 109u); // every FAT slot of the header in use
    const auto read = kestrane::xls::readWorkbookStream(file);
    EXPECT_TRUE(read.problems.empty()) << problemsOf(read.problems);
    EXPECT_EQ(read.bytes.size(), largest.size());

    try {
        compoundFile(Bytes(largestWorkbookStream() + 1, 0x11));
        FAIL() << "a stream beyond what the header can address was written";
    } catch (const kestrane::Failure &failure) {
        EXPECT_EQ(failure.number(), 1004);
    }
}
