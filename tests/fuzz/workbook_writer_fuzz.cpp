// libFuzzer target: any dataset a loaded file can hold (decoded from the
// input by FuzzedDataset) is laid out, written as an .xls file in memory, and
// read back by the strict record walker. The file must break no rule, and
// every cell must hold what the dataset says -- the value widened bit for
// bit, #NUM! where the value is not finite -- with no other cell anywhere.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "XlsWalker.h"
#include "common/Failure.h"
#include "fuzz/FuzzedDataset.h"
#include "workbook/WorkbookLayout.h"
#include "workbook/spreadsheet/Workbook.h"

using namespace kestrane;
using xls::CellKind;
using xls::WalkedCell;
using xls::WalkedSheet;

namespace {

constexpr std::uint8_t kErrorNum = 0x24; // #NUM!

[[noreturn]] void fail(const std::string &what)
{
    std::fprintf(stderr, "workbook_writer_fuzz: %s\n", what.c_str());
    std::abort();
}

std::string address(int row, int column) { return std::string(1, char('A' + column)) + std::to_string(row + 1); }

// What the layout puts in a cell, by its place; nothing for a cell it leaves empty.
struct ExpectedCell {
    CellKind kind;
    double number = 0.0;
    std::u16string text;
};

std::optional<ExpectedCell> expectedAt(int row, int column, const Dataset &dataset,
                                       const fuzz::FuzzedDataset &source, const spreadsheet::DateTime &when)
{
    const int points = dataset.pointCount;
    const double interval = dataset.timeSettings[0];
    const auto text = [](std::u16string t) { return ExpectedCell{CellKind::Text, 0.0, std::move(t)}; };
    const auto number = [](double n) { return ExpectedCell{CellKind::Number, n, {}}; };
    // Rows from 0: the title block in rows 0 to 4, the data from row 6.
    if (column == 0 && row == 0) return text(u"Periodic Data Import");
    if (column == 0 && row == 1) return number(when.serial);
    if (column == 0 && row == 2) return text(u"Logging Time Inteval (s) =");
    if (column == 1 && row == 2) return number(interval);
    if (column == 0 && row == 4) return text(u"Time Increment (s)");
    if (column >= 1 && column <= 7 && row == 4)
        return text(dataset.channelNames[std::size_t(column - 1)].text());
    // One time cell per point, and A7 even without points.
    if (column == 0 && row >= 6 && row - 6 < std::max(points, 1))
        return number(double(row - 5) * interval);
    if (column >= 1 && column <= 7 && row >= 6 && row - 6 < points) {
        const float value = source.value(column, row - 6);
        if (!std::isfinite(value))
            return ExpectedCell{CellKind::Error, 0.0, {}};
        return number(double(value));
    }
    return std::nullopt;
}

void checkCell(int row, int column, const WalkedCell &cell, const ExpectedCell &expected)
{
    const std::string where = address(row, column);
    if (cell.kind != expected.kind)
        fail(where + " holds another kind of value");
    switch (cell.kind) {
    case CellKind::Text:
        if (cell.text != expected.text)
            fail(where + " does not hold its text");
        break;
    case CellKind::Number:
        // Bit for bit, so -0.0 and the last bit of a widened single count.
        if (std::bit_cast<std::uint64_t>(cell.number) != std::bit_cast<std::uint64_t>(expected.number))
            fail(where + " holds " + std::to_string(cell.number) + ", not " + std::to_string(expected.number));
        break;
    case CellKind::Error:
        if (cell.code != kErrorNum)
            fail(where + " holds an error other than #NUM!");
        break;
    case CellKind::Boolean:
        fail(where + " holds a boolean");
    }
}

void checkWorkbook(const xls::WalkedWorkbook &book, const Dataset &dataset, const fuzz::FuzzedDataset &source,
                   const spreadsheet::DateTime &when)
{
    for (const std::string &problem : book.problems)
        std::fprintf(stderr, "walker: %s\n", problem.c_str());
    if (!book.sound())
        fail("the workbook breaks the format's rules");
    if (book.sheets.size() != 3)
        fail("not the three default sheets");
    for (std::size_t s = 1; s < book.sheets.size(); ++s)
        if (!book.sheets[s].cells.empty())
            fail("a cell on " + book.sheets[s].name);
    const WalkedSheet *sheet = book.sheet("Sheet1");
    if (!sheet)
        fail("no Sheet1");

    // Every cell written is one the layout fills, with its value ...
    for (const auto &[place, cell] : sheet->cells) {
        const auto expected = expectedAt(place.first, place.second, dataset, source, when);
        if (!expected)
            fail(address(place.first, place.second) + " should be empty");
        checkCell(place.first, place.second, cell, *expected);
    }
    // ... and none is missing.
    const std::size_t points = std::size_t(dataset.pointCount);
    const std::size_t expectedCells = 5 + 7 + 7 * points + std::max<std::size_t>(points, 1);
    if (sheet->cells.size() != expectedCells)
        fail("Sheet1 has " + std::to_string(sheet->cells.size()) + " cells, not " + std::to_string(expectedCells));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const fuzz::FuzzedDataset source(std::span<const std::uint8_t>(data, size));
    Dataset dataset = source.make();
    const auto when = spreadsheet::DateTime::fromLocal(2024, 5, 17, 14, 3, 9);
    try {
        spreadsheet::Workbook book;
        writeLayout(dataset, book.Worksheets("sheet1"), when);
        const std::vector<unsigned char> file = book.fileBytes();
        checkWorkbook(xls::walkXls(file), dataset, source, when);
    } catch (const Failure &failure) {
        // Every dataset a file can load converts: no failure is acceptable.
        fail("writing failed: " + failure.description());
    }
    return 0;
}
