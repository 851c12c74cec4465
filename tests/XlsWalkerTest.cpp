// The walker is the suite's stand-in for the strictest reader, so it must be
// shown to catch each rule broken: every test here breaks one rule in an
// otherwise sound file and expects the walker to name it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "XlsWalker.h"
#include "workbook/spreadsheet/CompoundFile.h"
#include "workbook/spreadsheet/Spreadsheet.h"

namespace ss = kestrane::spreadsheet;
using kestrane::xls::walkXls;

namespace {

using Bytes = std::vector<unsigned char>;

// A small sound workbook: texts, numbers, a date and an error cell.
Bytes soundFile()
{
    ss::Workbook book;
    ss::Worksheet &sheet = book.Worksheets("Sheet1");
    sheet.Range("A1").setValue(u"Periodic Data Import");
    sheet.Range("A2").setValue(ss::DateTime::fromLocal(2024, 5, 17, 14, 3, 9));
    sheet.Range("B3").setValue(std::int16_t(5));
    sheet.Range("C4").setValue(0.1);
    sheet.Range("D5").setValue(u"Temp \u00e9\u20ac\u00b5");
    sheet.Range("E6").setValue(std::nan(""));
    sheet.Columns("A").AutoFit();
    book.Worksheets("Sheet2").Range("B2").setValue(u"Periodic Data Import");
    return book.fileBytes();
}

std::uint16_t u16At(const Bytes &file, std::size_t at) { return std::uint16_t(file[at] | file[at + 1] << 8); }

void putU16(Bytes &file, std::size_t at, std::uint16_t value)
{
    file[at] = std::uint8_t(value);
    file[at + 1] = std::uint8_t(value >> 8);
}

// File offset of the body of the n-th record with this id; our files keep the
// Workbook stream in sectors 0 onwards, right after the 512-byte header.
std::size_t bodyOf(const Bytes &file, std::uint16_t id, int nth = 0)
{
    for (std::size_t at = 512; at + 4 <= file.size();) {
        const std::uint16_t recordId = u16At(file, at), size = u16At(file, at + 2);
        if (recordId == 0 && size == 0)
            break;
        if (recordId == id && nth-- == 0)
            return at + 4;
        at += 4 + size;
    }
    ADD_FAILURE() << "no record " << id;
    return 0;
}

bool mentions(const kestrane::xls::WalkedWorkbook &book, const std::string &words)
{
    for (const auto &problem : book.problems)
        if (problem.find(words) != std::string::npos)
            return true;
    return false;
}

std::string problemsOf(const kestrane::xls::WalkedWorkbook &book)
{
    std::string all;
    for (const auto &problem : book.problems)
        all += problem + "\n";
    return all;
}

} // namespace

TEST(XlsWalker, findsNoProblemInASoundFile)
{
    const auto book = walkXls(soundFile());
    EXPECT_TRUE(book.sound()) << problemsOf(book);
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.sheets[0].cells.size(), 6u);
    EXPECT_EQ(book.sheets[1].cells.size(), 1u);
}

struct Breakage {
    const char *name;
    void (*breakIt)(Bytes &file);
    const char *expectedProblem;
};

class XlsWalkerCatches : public testing::TestWithParam<Breakage> {};

TEST_P(XlsWalkerCatches, theBrokenRule)
{
    Bytes file = soundFile();
    GetParam().breakIt(file);
    const auto book = walkXls(file);
    EXPECT_TRUE(mentions(book, GetParam().expectedProblem)) << "problems found:\n" << problemsOf(book);
}

INSTANTIATE_TEST_SUITE_P(
    OneRuleBroken, XlsWalkerCatches,
    testing::Values(
        Breakage{"BoundSheetOffsetOffByOne",
                 [](Bytes &f) { putU16(f, bodyOf(f, 0x0085, 1), u16At(f, bodyOf(f, 0x0085, 1)) + 1); },
                 "BOUNDSHEET of \"Sheet2\" points at"},
        Breakage{"DimensionsOneRowTooMany",
                 [](Bytes &f) { putU16(f, bodyOf(f, 0x0200) + 4, u16At(f, bodyOf(f, 0x0200) + 4) + 1); },
                 "DIMENSIONS of sheet \"Sheet1\""},
        Breakage{"SstTotalCountWrong", [](Bytes &f) { putU16(f, bodyOf(f, 0x00FC), 7); }, "SST total count 7"},
        Breakage{"SstUniqueCountTooHigh", [](Bytes &f) { putU16(f, bodyOf(f, 0x00FC) + 4, 9); },
                 "fewer strings than its unique count"},
        Breakage{"XfNamesFontFour", [](Bytes &f) { putU16(f, bodyOf(f, 0x00E0, 15), 4); }, "names font 4"},
        Breakage{"FewerThanSixteenXfs",
                 [](Bytes &f) {
                     // Turn the last XF into a harmless unknown record: 16 remain.
                     putU16(f, bodyOf(f, 0x00E0, 16) - 4, 0x0999);
                     putU16(f, bodyOf(f, 0x00E0, 15) - 4, 0x0999);
                 },
                 "at least 16 needed"},
        Breakage{"CellNamesStyleXf", [](Bytes &f) { putU16(f, bodyOf(f, 0x00FD) + 4, 3); }, "which is not a cell XF"},
        Breakage{"FirstSheetNotActive", [](Bytes &f) { putU16(f, bodyOf(f, 0x023E), 0x00B6); },
                 "first sheet is not selected and active"},
        Breakage{"SecondSheetWithoutWindow2", [](Bytes &f) { putU16(f, bodyOf(f, 0x023E, 1) - 4, 0x0999); },
                 "\"Sheet2\" has 0 WINDOW2"},
        Breakage{"UndeclaredFormat", [](Bytes &f) { putU16(f, bodyOf(f, 0x041E), 200); }, "which is not declared"},
        Breakage{"ExtSstPointsElsewhere", [](Bytes &f) { putU16(f, bodyOf(f, 0x00FF) + 2, 3); },
                 "EXTSST bucket 0"},
        Breakage{"StreamChainBroken",
                 [](Bytes &f) {
                     // The FAT is the last sector; its first entry links stream sector 0 to 1.
                     const std::size_t fat = f.size() - 512;
                     putU16(f, fat, 0xFFFF);
                     putU16(f, fat + 2, 0xFFFF);
                 },
                 "chain broken"},
        Breakage{"NoSignature", [](Bytes &f) { f[0] = 0; }, "no compound file signature"},
        Breakage{"Truncated", [](Bytes &f) { f.resize(f.size() / 2); }, "ends too early"},
        Breakage{"GarbageAfterLastEof", [](Bytes &f) { f[512 + 3000] = 0x55; },
                 "neither a BOF nor zero padding"}),
    [](const testing::TestParamInfo<Breakage> &info) { return std::string(info.param.name); });

TEST(XlsWalker, catchesARecordBodyOverTheLimit)
{
    // A hand-made stream: globals with one 9000-byte record.
    Bytes stream = {0x09, 0x08, 16, 0, 0x00, 0x06, 0x05, 0x00};
    stream.resize(4 + 16, 0);
    stream.insert(stream.end(), {0x99, 0x09, 0x28, 0x23}); // id 0x0999, 9000 bytes
    stream.resize(stream.size() + 9000, 0);
    stream.insert(stream.end(), {0x0A, 0x00, 0x00, 0x00});
    const auto book = walkXls(ss::compoundFile(stream));
    EXPECT_TRUE(mentions(book, "more than 8224")) << problemsOf(book);
}

TEST(XlsWalker, survivesBytesThatAreNoWorkbookAtAll)
{
    for (const Bytes &file : {Bytes{}, Bytes(4096, 0), Bytes(4096, 0xFF), Bytes(513, 0xD0)}) {
        const auto book = walkXls(file);
        EXPECT_FALSE(book.sound());
    }
}
