// The BIFF8 writer, read back through the strict walker: every workbook here
// must be sound, and its cells must come back as they were set.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "XlsWalker.h"
#include "workbook/spreadsheet/RkNumber.h"
#include "workbook/spreadsheet/Spreadsheet.h"

using namespace kestrane::spreadsheet;
namespace xls = kestrane::xls;

namespace {

std::string problemsOf(const xls::WalkedWorkbook &book)
{
    std::string all;
    for (const auto &problem : book.problems)
        all += problem + "\n";
    return all;
}

xls::WalkedWorkbook walked(const Workbook &book)
{
    auto result = xls::walkXls(book.fileBytes());
    EXPECT_TRUE(result.sound()) << problemsOf(result);
    return result;
}

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

} // namespace

// ---- shared strings ----

namespace {

struct StringCase {
    const char *name;
    std::u16string text;
    bool compressed;
};

} // namespace

class SstEncoding : public testing::TestWithParam<StringCase> {};

TEST_P(SstEncoding, isCompressedExactlyWhenEveryCharacterIsBelow256)
{
    Workbook book;
    book.Worksheets("Sheet1").Range("B5").setValue(GetParam().text);
    const auto result = walked(book);
    ASSERT_EQ(result.strings.size(), 1u);
    EXPECT_EQ(result.strings[0], GetParam().text);
    EXPECT_EQ(result.stringCompressed[0], GetParam().compressed);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SstEncoding,
    testing::Values(StringCase{"Ascii", u"Channel one         ", true},
                    StringCase{"EAcute", u"\u00e9", true},         // U+00E9 fits a byte
                    StringCase{"Micro", u"\u00b5", true},
                    StringCase{"Ydiaeresis", u"\u00ff", true},     // the last one-byte character
                    StringCase{"ZeroByte", std::u16string(u"Chan\0 5", 7), true},
                    StringCase{"Euro", u"\u20ac", false},          // U+20AC does not
                    StringCase{"MixedName", u"Temp \u00e9\u20ac\u00b5     ", false},
                    StringCase{"OeLigature", u"\u0153", false}),
    [](const testing::TestParamInfo<StringCase> &info) { return std::string(info.param.name); });

TEST(SstCounts, countEveryUseAndEveryDistinctString)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    for (const char *cell : {"B5", "C5", "D5"})
        sheet.Range(cell).setValue(u"                    "); // three all-blank names
    sheet.Range("A1").setValue(u"Periodic Data Import");
    book.Worksheets("Sheet3").Range("A1").setValue(u"Periodic Data Import");
    const auto result = walked(book);
    EXPECT_EQ(result.sstTotal, 5u);
    EXPECT_EQ(result.sstUnique, 2u);
    EXPECT_EQ(std::u16string(result.sheet("Sheet3")->at("A1")->text), u"Periodic Data Import");
}

TEST(SstContinue, manyStringsGoOnInContinueRecords)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    std::vector<std::u16string> texts;
    for (int i = 0; i < 3000; ++i) {
        std::u16string text = u"string ";
        for (const char c : std::to_string(i))
            text += char16_t(c);
        if (i % 3 == 0)
            text += u'\u20ac'; // every third one in UTF-16
        texts.push_back(text);
        sheet.Range("A" + std::to_string(i + 1)).setValue(text);
    }
    const auto result = walked(book);
    EXPECT_GE(result.continueRecords, 3);
    EXPECT_EQ(result.strings, texts);
}

TEST(SstContinue, aLongStringSplitsRepeatingItsOptionByte)
{
    std::u16string compressed(32767, u'a');
    std::u16string wide(32767, u'\u20ac');
    for (std::size_t i = 0; i < compressed.size(); ++i) {
        compressed[i] = char16_t(u'a' + i % 26);
        wide[i] = char16_t(0x4E00 + i % 500); // CJK characters, two bytes each
    }
    Workbook book;
    book.Worksheets("Sheet1").Range("A1").setValue(compressed);
    book.Worksheets("Sheet1").Range("A2").setValue(wide);
    const auto result = walked(book);
    ASSERT_EQ(result.strings.size(), 2u);
    EXPECT_EQ(result.strings[0], compressed);
    EXPECT_EQ(result.strings[1], wide);
    EXPECT_GE(result.continueRecords, 11); // 32767 + 65534 bytes in 8224-byte records
}

// A first string that leaves 0..6 bytes of the SST record free: the second
// string's header and first character must move to a CONTINUE together, and a
// UTF-16 character must never be cut in half.
TEST(SstContinue, theRecordBoundaryFallsAnywhereNearAStringHeader)
{
    for (int spare = 0; spare <= 6; ++spare) {
        for (const bool wideSecond : {false, true}) {
            // SST body: 8 bytes of counts, then 3 + n bytes for the first string.
            const std::u16string first(std::size_t(8224 - 8 - 3 - spare), u'x');
            const std::u16string second = wideSecond ? u"\u20ac\u20ac\u20ac" : u"abc";
            Workbook book;
            book.Worksheets("Sheet1").Range("A1").setValue(first);
            book.Worksheets("Sheet1").Range("A2").setValue(second);
            const auto result = walked(book);
            ASSERT_EQ(result.strings.size(), 2u) << "spare " << spare;
            EXPECT_EQ(result.strings[0], first) << "spare " << spare;
            EXPECT_EQ(result.strings[1], second) << "spare " << spare << (wideSecond ? " wide" : "");
        }
    }
}

// ---- numbers ----

namespace {

struct NumberCase {
    const char *name;
    double value;
    std::uint16_t record; // NUMBER or RK
};

} // namespace

class NumberCell : public testing::TestWithParam<NumberCase> {};

TEST_P(NumberCell, comesBackBitForBit)
{
    Workbook book;
    book.Worksheets("Sheet1").Range("C9").setValue(GetParam().value);
    const auto result = walked(book);
    const xls::WalkedCell *cell = result.sheets[0].at("C9");
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->kind, xls::CellKind::Number);
    EXPECT_EQ(bitsOf(cell->number), bitsOf(GetParam().value));
    EXPECT_EQ(cell->record, GetParam().record);
    EXPECT_EQ(result.formatOf(*cell), u"General");
}

INSTANTIATE_TEST_SUITE_P(
    Values, NumberCell,
    testing::Values(NumberCase{"SingleTenthWidened", double(0.1f), xls::record::Number},
                    NumberCase{"DoubleTenth", 0.1, xls::record::Number},
                    NumberCase{"NegativeZero", -0.0, xls::record::Number}, // RK would lose nothing, but readers may
                    NumberCase{"Zero", 0.0, xls::record::Rk},
                    NumberCase{"Interval", 5.0, xls::record::Rk},
                    NumberCase{"MostNegativeRkInteger", -536870912.0, xls::record::Rk},
                    NumberCase{"MostPositiveRkInteger", 536870911.0, xls::record::Rk},
                    NumberCase{"PowerBeyondRkIntegers", 536870912.0, xls::record::Rk}, // the float form holds it
                    NumberCase{"FewMantissaBits", -7.125, xls::record::Rk},
                    NumberCase{"Half", 0.5, xls::record::Rk},
                    NumberCase{"Largest", std::numeric_limits<double>::max(), xls::record::Number},
                    NumberCase{"SmallestSubnormal", std::numeric_limits<double>::denorm_min(), xls::record::Number},
                    NumberCase{"SingleMaxWidened", double(std::numeric_limits<float>::max()), xls::record::Number},
                    NumberCase{"Pi", 3.141592653589793, xls::record::Number}),
    [](const testing::TestParamInfo<NumberCase> &info) { return std::string(info.param.name); });

TEST(NumberCell, aValueThatIsNotFiniteIsTheNumErrorValue)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    sheet.Range("B7").setValue(std::numeric_limits<double>::quiet_NaN());
    sheet.Range("C7").setValue(std::numeric_limits<double>::infinity());
    sheet.Range("D7").setValue(-std::numeric_limits<double>::infinity());
    sheet.Range("E7").setValue(double(std::bit_cast<float>(0xFFC00001u))); // a NaN with a payload, from a .DAT file
    const auto result = walked(book);
    for (const char *address : {"B7", "C7", "D7", "E7"}) {
        const xls::WalkedCell *cell = result.sheets[0].at(address);
        ASSERT_NE(cell, nullptr) << address;
        EXPECT_EQ(cell->kind, xls::CellKind::Error) << address;
        EXPECT_EQ(cell->code, 0x24) << address; // #NUM!
    }
}

TEST(NumberCell, aSixteenBitIntegerIsANumber)
{
    Workbook book;
    book.Worksheets("Sheet1").Range("B3").setValue(std::int16_t(-32768));
    book.Worksheets("Sheet1").Range("C3").setValue(std::int16_t(32767));
    const auto result = walked(book);
    EXPECT_EQ(result.sheets[0].at("B3")->number, -32768.0);
    EXPECT_EQ(result.sheets[0].at("C3")->number, 32767.0);
}

TEST(RkNumber, isUsedOnlyWhereItDecodesToTheSameBits)
{
    const double samples[] = {0.0, 1.0, -1.0, 5.0, 0.25, 100.0, 1e9, -1e-9, 123456.789, double(0.1f), 4679.0 * 5,
                              std::ldexp(1.0, 40), std::ldexp(1.0, -40), -0.0};
    for (const double value : samples) {
        if (const auto rk = exactRk(value)) {
            EXPECT_EQ(bitsOf(decodeRk(*rk)), bitsOf(value)) << value;
        }
    }
    EXPECT_FALSE(exactRk(-0.0).has_value());
    EXPECT_FALSE(exactRk(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_EQ(exactRk(5.0), 5u << 2 | 2u);
}

// ---- dates, formats, structure ----

TEST(DateTimeCell, isANumberWithTheDateTimeFormat)
{
    const DateTime when = DateTime::fromLocal(2024, 5, 17, 14, 3, 9);
    Workbook book;
    book.Worksheets("Sheet1").Range("A2").setValue(when);
    const auto result = walked(book);
    const xls::WalkedCell *cell = result.sheets[0].at("A2");
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->kind, xls::CellKind::Number);
    EXPECT_EQ(bitsOf(cell->number), bitsOf(when.serial));
    EXPECT_EQ(result.formatOf(*cell), u"yyyy-mm-dd hh:mm:ss");
    EXPECT_FALSE(result.dateMode1904);
}

TEST(WorkbookStream, carriesTheDefaultFormatsSheetsAndWidths)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    sheet.Range("A1").setValue(u"Periodic Data Import");
    sheet.Range("B5").setValue(u"Channel one         ");
    sheet.Columns("A:B").AutoFit();
    const auto result = walked(book);
    EXPECT_EQ(result.fontCount, 4);
    EXPECT_EQ(result.xfs.size(), 17u);
    ASSERT_EQ(result.sheets.size(), 3u);
    EXPECT_EQ(result.sheets[0].name, "Sheet1");
    EXPECT_EQ(result.sheets[1].name, "Sheet2");
    EXPECT_EQ(result.sheets[2].name, "Sheet3");
    EXPECT_EQ(result.sheets[0].columnWidths, sheet.columnWidths());
    EXPECT_TRUE(result.sheets[1].cells.empty());
    EXPECT_GE(result.streamSize, 4096u);
}

TEST(WorkbookStream, anEmptyWorkbookIsSoundToo)
{
    Workbook book;
    const auto result = walked(book);
    EXPECT_EQ(result.sstUnique, 0u);
    EXPECT_EQ(result.sheets.size(), 3u);
}

TEST(WorkbookStream, cellsGoInRowOrderAndDimensionsFollowThem)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    sheet.Range("H4685").setValue(1.5);
    sheet.Range("C3").setValue(2.5);
    sheet.Range("B3").setValue(u"x");
    walked(book); // the walker checks order and DIMENSIONS (rows 2..4685, columns 1..8)
}
