#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "workbook/spreadsheet/ArialMetrics.h"
#include "workbook/spreadsheet/AutoFit.h"
#include "workbook/spreadsheet/Spreadsheet.h"

using namespace kestrane::spreadsheet;

TEST(ArialMetrics, givesTheFontsAdvanceWidths)
{
    EXPECT_EQ(arialAdvance(u'0'), 556);
    EXPECT_EQ(arialAdvance(u'W'), 944);
    EXPECT_EQ(arialAdvance(u'i'), 222);
    EXPECT_EQ(arialAdvance(u' '), 278);
    EXPECT_EQ(arialAdvance(u'\u00e9'), 556);  // e acute
    EXPECT_EQ(arialAdvance(u'\u00b5'), 556);  // micro
    EXPECT_EQ(arialAdvance(u'\u20ac'), 556);  // euro
    EXPECT_EQ(arialAdvance(u'\0'), 278);      // a zero byte of a name: a blank's room
    EXPECT_EQ(arialAdvance(u'\u4e2d'), 1000); // a CJK character: a full em
}

TEST(AutoFit, widthHoldsTheTextPlusTheCellMarginInDigitUnits)
{
    // Eight digits: 8 x 556/1000 em x 40/3 px = 59.307 px, + 5 px margin =
    // 64.307 px, / 7 px per digit = 9.187 digits, x 256 = 2351.8 -> 2352.
    EXPECT_EQ(columnWidthForText(u"00000000"), 2352);
    // No text: the margin alone, 5 / 7 x 256 = 182.9 -> 183.
    EXPECT_EQ(columnWidthForText(u""), 183);
    // Never wider than the format's 255 characters.
    EXPECT_EQ(columnWidthForText(std::u16string(10000, u'W')), 255 * 256);
}

TEST(AutoFit, trailingBlanksTakeRoom)
{
    EXPECT_GT(columnWidthForText(u"Channel one         "), columnWidthForText(u"Channel one"));
}

TEST(AutoFit, measuresWhatTheCellShows)
{
    EXPECT_EQ(shownText(CellValue{std::u16string(u"Periodic Data Import")}), u"Periodic Data Import");
    EXPECT_EQ(shownText(CellValue{std::int16_t(-32768)}), u"-32768");
    EXPECT_EQ(shownText(CellValue{5.0}), u"5");
    EXPECT_EQ(shownText(CellValue{double(0.1f)}), u"0.1000000015");
    EXPECT_EQ(shownText(CellValue{1e20}), u"1E+20");
    EXPECT_EQ(shownText(CellValue{std::numeric_limits<double>::infinity()}), u"#NUM!");
    EXPECT_EQ(shownText(CellValue{DateTime{45429.5}}), u"0000-00-00 00:00:00");
    EXPECT_EQ(shownText(CellValue{}), u"");
}

TEST(AutoFit, aColumnFitsItsWidestCellWrittenSoFar)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    sheet.Range("A1").setValue(u"Periodic Data Import");
    sheet.Range("A3").setValue(u"Logging Time Inteval (s) =");
    sheet.Range("B3").setValue(std::int16_t(5));
    sheet.Columns("A").AutoFit();
    EXPECT_EQ(sheet.columnWidths().at(0), columnWidthForText(u"Logging Time Inteval (s) ="));
    EXPECT_FALSE(sheet.columnWidths().count(1)) << "only column A was fitted";

    // A wider text written after the fit changes nothing until the next fit.
    sheet.Range("A7").setValue(u"a much wider text than any written before the fit");
    EXPECT_EQ(sheet.columnWidths().at(0), columnWidthForText(u"Logging Time Inteval (s) ="));
}

TEST(AutoFit, aSpanFitsEachColumnAndLeavesEmptyOnesAlone)
{
    Workbook book;
    Worksheet &sheet = book.Worksheets("Sheet1");
    sheet.Range("B5").setValue(u"Channel one         ");
    sheet.Range("B3").setValue(std::int16_t(5));
    sheet.Range("D5").setValue(u"W");
    sheet.Columns("B:H").AutoFit();
    EXPECT_EQ(sheet.columnWidths().at(1), columnWidthForText(u"Channel one         "));
    EXPECT_EQ(sheet.columnWidths().at(3), columnWidthForText(u"W"));
    EXPECT_FALSE(sheet.columnWidths().count(2));
    EXPECT_FALSE(sheet.columnWidths().count(7));
}
