#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

// Our .xls files as real readers see them: xlrd, which also checks the rules
// it forgives but the spreadsheet application refuses (sheet offsets, record
// sizes, cell formats, DIMENSIONS, SST counts), and LibreOffice. Both run as
// tests/readers/read_cells.py.
namespace kestrane::xls {

enum class CellKind { Text, Number, Date, Error };

struct WalkedCell {
    CellKind kind = CellKind::Number;
    std::u16string text;
    double number = 0.0; // a number, a date's serial, or an error's code (0x24 is #NUM!)
    std::string record;  // the record it was read from: NUMBER, RK-integer ... ("-" from LibreOffice)
};

struct WalkedSheet {
    std::string name;
    std::map<std::pair<int, int>, WalkedCell> cells; // (row, column), from 0
    std::map<int, int> columnWidths;                 // the fitted columns, as xlrd reads them
};

struct WalkedWorkbook {
    std::vector<std::string> problems; // every broken rule, in words; a file no reader takes is one
    std::vector<WalkedSheet> sheets;
};

// The workbook at `path` as xlrd reads it.
WalkedWorkbook walkXlsFile(const std::filesystem::path &path);
// The workbooks at `paths` as LibreOffice reads them, in one run of it.
std::vector<WalkedWorkbook> readWithLibreOffice(const std::vector<std::filesystem::path> &paths);

} // namespace kestrane::xls
