#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/Failure.h"
#include "FailureOf.h"
#include "workbook/spreadsheet/Spreadsheet.h"

using namespace kestrane::spreadsheet;
using kestrane::Failure;
using kestrane::test::failureOf;

namespace {


class WorksheetTest : public testing::Test {
protected:
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
};

} // namespace

TEST_F(WorksheetTest, aCellKeepsTheKindOfValueItWasGiven)
{
    sheet.Range("A1").setValue(u"Periodic Data Import");
    sheet.Range("A2").setValue(DateTime{45429.5});
    sheet.Range("B3").setValue(std::int16_t(-3));
    sheet.Range("B7").setValue(0.100000001490116119384765625);

    EXPECT_EQ(std::get<std::u16string>(sheet.Range("A1").Value()), u"Periodic Data Import");
    EXPECT_EQ(std::get<DateTime>(sheet.Range("A2").Value()).serial, 45429.5);
    EXPECT_EQ(std::get<std::int16_t>(sheet.Range("B3").Value()), -3);
    EXPECT_EQ(std::get<double>(sheet.Range("B7").Value()), double(0.1f));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.Range("C3").Value()));
}

TEST_F(WorksheetTest, aDoubleIsKeptBitForBitEvenWhereComparisonCannotTell)
{
    const std::vector<double> values = {-0.0, std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::quiet_NaN()};
    for (const double value : values) {
        sheet.Range("D4").setValue(value);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(std::get<double>(sheet.Range("D4").Value())),
                  std::bit_cast<std::uint64_t>(value));
    }
}

TEST_F(WorksheetTest, writingAgainReplacesAndClearingEmpties)
{
    Range cell = sheet.Range("C3");
    cell.setValue(u"text");
    cell.setValue(2.5);
    EXPECT_EQ(std::get<double>(cell.Value()), 2.5);
    cell.ClearContents();
    EXPECT_TRUE(std::holds_alternative<std::monostate>(cell.Value()));
    cell.ClearContents(); // clearing an empty cell is harmless
    cell.setValue(u"x");
    cell.setValue(u""); // an empty text empties the cell, as in the spreadsheet application
    EXPECT_TRUE(std::holds_alternative<std::monostate>(cell.Value()));
}

TEST_F(WorksheetTest, theLongestCellTextFitsAndOneMoreCharacterFails)
{
    const std::u16string longest(32767, u'x');
    sheet.Range("A1").setValue(longest);
    EXPECT_EQ(std::get<std::u16string>(sheet.Range("A1").Value()).size(), 32767u);
    EXPECT_EQ(failureOf([&] { sheet.Range("A2").setValue(longest + u"x"); }), 1004);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.Range("A2").Value()));
}

TEST_F(WorksheetTest, aBadAddressIsTheRangeMethodFailure)
{
    try {
        sheet.Range("A0");
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 1004);
        EXPECT_EQ(failure.description(), "Method 'Range' of object '_Worksheet' failed");
    }
}

namespace {

struct OffsetCase {
    const char *from;
    std::int16_t rows, columns;
    const char *to; // nullptr: leaves the sheet, a failure
};

} // namespace

class RangeOffset : public testing::TestWithParam<OffsetCase> {};

TEST_P(RangeOffset, movesWithinTheSheetOrFails)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    const OffsetCase &c = GetParam();
    if (c.to) {
        const Range moved = sheet.Range(c.from).Offset(c.rows, c.columns);
        EXPECT_EQ(a1Text(moved.address()), c.to);
    } else {
        EXPECT_EQ(failureOf([&] { sheet.Range(c.from).Offset(c.rows, c.columns); }), 1004);
    }
}

INSTANTIATE_TEST_SUITE_P(Moves, RangeOffset,
                         testing::Values(OffsetCase{"A7", 1, 0, "A8"}, OffsetCase{"B7", 0, 0, "B7"},
                                         OffsetCase{"B7", -1, -1, "A6"}, OffsetCase{"A1", 32767, 255, "IV32768"},
                                         OffsetCase{"A65535", 1, 0, "A65536"}, OffsetCase{"A65536", 1, 0, nullptr},
                                         OffsetCase{"A1", -1, 0, nullptr}, OffsetCase{"A1", 0, -1, nullptr},
                                         OffsetCase{"IV1", 0, 1, nullptr}, OffsetCase{"A40000", 32767, 0, nullptr}));

TEST_F(WorksheetTest, offsetReachesTheCellBelowAndItsValue)
{
    sheet.Range("A8").setValue(10.0);
    EXPECT_EQ(std::get<double>(sheet.Range("A7").Offset(1, 0).Value()), 10.0);
    EXPECT_EQ(sheet.Range("A7").Offset(1, 0).Row(), 8);
    EXPECT_EQ(sheet.Range("C7").Column(), 3);
}

namespace {

struct ColumnsCase {
    const char *spec;
    int first, last; // -1: refused
};

} // namespace

class ColumnsSpec : public testing::TestWithParam<ColumnsCase> {};

TEST_P(ColumnsSpec, namesOneColumnOrASpan)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    const ColumnsCase &c = GetParam();
    if (c.first < 0) {
        EXPECT_EQ(failureOf([&] { sheet.Columns(c.spec); }), 1004) << c.spec;
        return;
    }
    const Columns columns = sheet.Columns(c.spec);
    EXPECT_EQ(columns.first(), c.first);
    EXPECT_EQ(columns.last(), c.last);
}

INSTANTIATE_TEST_SUITE_P(Specs, ColumnsSpec,
                         testing::Values(ColumnsCase{"A", 0, 0}, ColumnsCase{"B:H", 1, 7}, ColumnsCase{"b:h", 1, 7},
                                         ColumnsCase{"H:B", 1, 7}, ColumnsCase{"IV", 255, 255},
                                         ColumnsCase{"", -1, -1}, ColumnsCase{"B:", -1, -1},
                                         ColumnsCase{":H", -1, -1}, ColumnsCase{"B:H:I", -1, -1},
                                         ColumnsCase{"1", -1, -1}, ColumnsCase{"A1", -1, -1},
                                         ColumnsCase{"IW", -1, -1}));

TEST_F(WorksheetTest, cellsAreVisitedRowByRowWhateverTheOrderOfWriting)
{
    sheet.Range("B2").setValue(1.0);
    sheet.Range("A2").setValue(2.0);
    sheet.Range("C1").setValue(3.0);
    sheet.Range("A1").setValue(4.0);
    std::vector<std::string> order;
    sheet.forEachCell([&](int row, const Worksheet::StoredCell &cell) { order.push_back(a1Text({row, cell.column})); });
    EXPECT_EQ(order, (std::vector<std::string>{"A1", "C1", "A2", "B2"}));
}

TEST(CellValueNumber, isWhatTheCellCountsAsInArithmetic)
{
    EXPECT_EQ(numberOf(CellValue{}), 0.0);
    EXPECT_EQ(numberOf(CellValue{std::int16_t(-32768)}), -32768.0);
    EXPECT_EQ(numberOf(CellValue{2.5}), 2.5);
    EXPECT_EQ(numberOf(CellValue{DateTime{45429.25}}), 45429.25);
    EXPECT_EQ(failureOf([] { numberOf(CellValue{std::u16string(u"5")}); }), 13);
}
