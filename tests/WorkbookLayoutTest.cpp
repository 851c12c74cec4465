#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "DatGenerator.h"
#include "XlsWalker.h"
#include "common/Failure.h"
#include "datfile/DatReader.h"
#include "workbook/WorkbookLayout.h"
#include "workbook/spreadsheet/AutoFit.h"
#include "workbook/spreadsheet/Spreadsheet.h"

using namespace kestrane;
using spreadsheet::CellValue;
using spreadsheet::DateTime;

namespace {

const DateTime kConversionTime = DateTime::fromLocal(2024, 5, 17, 14, 3, 9);

// A value per channel and point, all different, none of them exact in decimal.
float valueOf(int channel, int point) { return float(channel) * 0.1f + float(point) * 1.7f; }

// A dataset as a complete read leaves it: pointCount + 1 slots per channel,
// the last one empty, and pointIndex at pointCount.
Dataset datasetOf(int points, std::int16_t interval)
{
    Dataset dataset;
    dataset.pointCount = points;
    dataset.timeSettings = {interval, 0};
    dataset.sizeValueArrays();
    for (dataset.pointIndex = 0; dataset.pointIndex < points; ++dataset.pointIndex)
        for (int channel = 1; channel <= 7; ++channel)
            dataset.storeValue(channel, valueOf(channel, dataset.pointIndex));
    const char16_t *names[] = {u"Channel one", u"Temp \u00e9\u20ac\u00b5", u"", u"xxxxxxxxxxxxxxxxxxxx",
                               u"Chan\0 5", u"Six", u"Seven"};
    for (int k = 0; k < 7; ++k)
        dataset.channelNames[std::size_t(k)] = std::u16string_view(names[k], k == 4 ? 7 : std::char_traits<char16_t>::length(names[k]));
    dataset.markLoaded();
    return dataset;
}

using CellMap = std::map<std::string, CellValue>;

CellMap cellsOf(const spreadsheet::Worksheet &sheet)
{
    CellMap cells;
    sheet.forEachCell([&](int row, const spreadsheet::Worksheet::StoredCell &cell) {
        cells[spreadsheet::a1Text({row, cell.column})] = cell.value;
    });
    return cells;
}

// The cells the layout must hold, written out from its cell map.
CellMap expectedCells(const Dataset &dataset)
{
    const int n = dataset.pointCount;
    const std::int16_t interval = dataset.timeSettings[0];
    CellMap cells;
    cells["A1"] = std::u16string(u"Periodic Data Import");
    cells["A2"] = kConversionTime;
    cells["A3"] = std::u16string(u"Logging Time Inteval (s) =");
    cells["B3"] = interval;
    cells["A5"] = std::u16string(u"Time Increment (s)");
    const std::string columns = "BCDEFGH";
    for (int k = 0; k < 7; ++k) {
        cells[columns.substr(std::size_t(k), 1) + "5"] = dataset.channelNames[std::size_t(k)].text();
        for (int i = 0; i < n; ++i)
            cells[columns.substr(std::size_t(k), 1) + std::to_string(7 + i)] = double(valueOf(k + 1, i));
    }
    cells["A7"] = interval; // A7 even without points
    for (int i = 1; i < n; ++i)
        cells["A" + std::to_string(7 + i)] = double(i + 1) * interval;
    return cells;
}

std::string describe(const CellValue &value)
{
    switch (value.index()) {
    case 0: return "empty";
    case 1: return "text(" + std::to_string(std::get<1>(value).size()) + " chars)";
    case 2: return "int16 " + std::to_string(std::get<2>(value));
    case 3: return "double " + std::to_string(std::get<3>(value));
    default: return "date " + std::to_string(std::get<4>(value).serial);
    }
}

bool sameCell(const CellValue &a, const CellValue &b)
{
    if (a.index() != b.index())
        return false;
    if (a.index() == 3) // bit for bit: 0.1f must not arrive as 0.1
        return std::bit_cast<std::uint64_t>(std::get<3>(a)) == std::bit_cast<std::uint64_t>(std::get<3>(b));
    return a == b;
}

struct LayoutCase {
    int points;
    std::int16_t interval;
    std::int32_t pointIndexAfter;
};

} // namespace

class WorkbookLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(WorkbookLayout, writesExactlyTheCellMap)
{
    Dataset dataset = datasetOf(GetParam().points, GetParam().interval);
    spreadsheet::Workbook book;
    writeLayout(dataset, book.Worksheets("sheet1"), kConversionTime, {});

    const CellMap written = cellsOf(book.Worksheets("Sheet1"));
    const CellMap expected = expectedCells(dataset);
    for (const auto &[address, value] : expected) {
        const auto found = written.find(address);
        ASSERT_NE(found, written.end()) << address << " missing";
        EXPECT_TRUE(sameCell(found->second, value))
            << address << ": " << describe(found->second) << ", expected " << describe(value);
    }
    for (const auto &[address, value] : written)
        EXPECT_TRUE(expected.count(address)) << address << " should stay empty";
    EXPECT_EQ(dataset.pointIndex, GetParam().pointIndexAfter);
    EXPECT_TRUE(cellsOf(book.Worksheets("Sheet2")).empty());
    EXPECT_TRUE(cellsOf(book.Worksheets("Sheet3")).empty());
}

INSTANTIATE_TEST_SUITE_P(Shapes, WorkbookLayout,
                         testing::Values(LayoutCase{0, 5, 0}, LayoutCase{1, 5, 0}, LayoutCase{3, 5, 2},
                                         LayoutCase{3, 0, 2}, LayoutCase{3, -3, 2}, LayoutCase{0, -3, 0},
                                         LayoutCase{1, 32767, 0}, LayoutCase{50, -32768, 49}));

TEST(WorkbookLayoutTimes, fallWithANegativeIntervalAndStayZeroWithNone)
{
    for (const auto &[interval, third] : {std::pair<std::int16_t, double>{5, 15.0}, {0, 0.0}, {-3, -9.0}}) {
        Dataset dataset = datasetOf(3, interval);
        spreadsheet::Workbook book;
        spreadsheet::Worksheet &sheet = book.Worksheets("sheet1");
        writeLayout(dataset, sheet, kConversionTime, {});
        EXPECT_EQ(std::get<std::int16_t>(sheet.Range("A7").Value()), interval);
        EXPECT_EQ(std::get<double>(sheet.Range("A9").Value()), third);
    }
}

TEST(WorkbookLayoutProgress, reportsTheHeaderThenEachColumnAfterItIsWritten)
{
    Dataset dataset = datasetOf(4, 5);
    spreadsheet::Workbook book;
    spreadsheet::Worksheet &sheet = book.Worksheets("sheet1");
    std::vector<std::string> calls;
    LayoutHooks hooks;
    hooks.headerWritten = [&] {
        calls.push_back("header");
        EXPECT_EQ(sheet.columnWidths().size(), 8u) << "both fits come before the notice";
        EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.Range("B7").Value()));
    };
    hooks.columnWritten = [&](int k) {
        calls.push_back("column " + std::to_string(k));
        const std::string done(1, char('A' + k)), next(1, char('A' + k + 1));
        EXPECT_FALSE(std::holds_alternative<std::monostate>(sheet.Range(done + "10").Value())) << k;
        if (k < 7) {
            EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.Range(next + "7").Value())) << k;
        }
        EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.Range("A7").Value())) << "time column comes last";
    };
    writeLayout(dataset, sheet, kConversionTime, hooks);
    EXPECT_EQ(calls, (std::vector<std::string>{"header", "column 1", "column 2", "column 3", "column 4", "column 5",
                                               "column 6", "column 7"}));
}

TEST(WorkbookLayoutWidths, fitTheTitleBlockAndHeaderNotTheData)
{
    Dataset dataset = datasetOf(3, 5);
    dataset.channelValues[0][1] = -1.17549435e-38f; // wide in the General format
    spreadsheet::Workbook book;
    spreadsheet::Worksheet &sheet = book.Worksheets("sheet1");
    writeLayout(dataset, sheet, kConversionTime, {});
    const auto &widths = sheet.columnWidths();
    // Column A: the widest of A1, A2, A3 and A5 is the interval label.
    EXPECT_EQ(widths.at(0), spreadsheet::columnWidthForText(u"Logging Time Inteval (s) ="));
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(widths.at(k + 1), spreadsheet::columnWidthForText(dataset.channelNames[std::size_t(k)].text()));
    EXPECT_EQ(widths.size(), 8u);
}

TEST(WorkbookLayoutValues, anEmptySlotLeavesItsCellEmptyAndNaNIsKept)
{
    Dataset dataset = datasetOf(3, 5);
    dataset.channelValues[2][1].reset();
    dataset.channelValues[3][2] = std::numeric_limits<float>::quiet_NaN();
    dataset.channelValues[4][0] = -0.0f;
    spreadsheet::Workbook book;
    spreadsheet::Worksheet &sheet = book.Worksheets("sheet1");
    writeLayout(dataset, sheet, kConversionTime, {});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(sheet.Range("D8").Value()));
    EXPECT_TRUE(std::isnan(std::get<double>(sheet.Range("E9").Value())));
    EXPECT_TRUE(std::signbit(std::get<double>(sheet.Range("F7").Value())));
}

TEST(WorkbookLayoutValues, arraysShorterThanThePointCountAreSubscriptOutOfRange)
{
    Dataset dataset = datasetOf(3, 5);
    dataset.eraseValues(); // as after a conversion: the count stays, the values are gone
    spreadsheet::Workbook book;
    try {
        writeLayout(dataset, book.Worksheets("sheet1"), kConversionTime, {});
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 9);
    }
}

TEST(WorkbookLayoutValues, aDatasetBeyondTheSheetFailsCleanly)
{
    Dataset dataset = datasetOf(65531, 1); // row 7 + 65530 is past the last row
    spreadsheet::Workbook book;
    try {
        writeLayout(dataset, book.Worksheets("sheet1"), kConversionTime, {});
        FAIL() << "no failure";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 1004);
    }
    EXPECT_EQ(dataset.pointIndex, 65530);
}

// The largest dataset a .DAT file can hold, through the reader, the layout and
// the writer: 4679 data rows end at row 4685, and the file is sound.
TEST(WorkbookLayoutFile, theLargestDatasetFillsRows7To4685)
{
    const std::string folder = testdata::freshFolder("layout-largest");
    testdata::DatSpec spec;
    spec.points = 4679;
    spec.value = [](int channel, int point) { return valueOf(channel, point); };
    Dataset dataset;
    readDatFile(testdata::writeDat(folder + "/largest.DAT", spec), dataset);

    spreadsheet::Application application;
    const auto book = application.Workbooks().Add();
    writeLayout(dataset, book->Worksheets("sheet1"), kConversionTime, {});
    book->SaveAs(folder + "/largest.xls");
    book->Close();
    EXPECT_EQ(dataset.pointIndex, 4678);

    const auto walked = xls::walkXlsFile(folder + "/largest.xls");
    ASSERT_TRUE(walked.sound()) << walked.problems.front();
    const xls::WalkedSheet &sheet = walked.sheets[0];
    EXPECT_EQ(sheet.cells.rbegin()->first, std::make_pair(4684, 7)); // H4685
    EXPECT_EQ(sheet.at("A4685")->number, 4679.0 * 5);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(sheet.at("H4685")->number),
              std::bit_cast<std::uint64_t>(double(valueOf(7, 4678))));
    EXPECT_EQ(sheet.cells.size(), 5u + 7u + 8u * 4679u);
}
