#include "XlsWalker.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace kestrane::xls {

namespace {

// Runs read_cells.py over the files and gathers what it prints.
std::vector<WalkedWorkbook> readCells(const std::string &reader, const std::vector<std::filesystem::path> &paths)
{
    std::string command = KESTRANE_PYTHON3 " " READ_CELLS_SCRIPT " " + reader;
    for (const auto &path : paths)
        command += " '" + path.string() + "'"; // test paths hold no quote
    std::vector<WalkedWorkbook> books;
    FILE *pipe = ::popen(command.c_str(), "r");
    char *line = nullptr; // a whole line, however long its text
    for (std::size_t capacity = 0; pipe && ::getline(&line, &capacity, pipe) > 0;) {
        std::istringstream in(line);
        std::string tag, rest, kind, number, hex, record;
        int row = 0, column = 0;
        std::getline(in >> tag >> std::ws, rest);
        std::istringstream fields(rest); // read_cells.py names a file before its sheets, a sheet before its cells
        if (tag == "file")
            books.emplace_back();
        else if (tag == "problem")
            books.back().problems.push_back(rest);
        else if (tag == "sheet")
            books.back().sheets.push_back({rest, {}, {}});
        else if (tag == "width" && fields >> column >> row)
            books.back().sheets.back().columnWidths[column] = row;
        else if (tag == "cell" && fields >> row >> column >> kind >> number >> hex >> record) {
            WalkedCell &cell = books.back().sheets.back().cells[{row, column}];
            cell.kind = kind == "text" ? CellKind::Text : kind == "date" ? CellKind::Date
                      : kind == "error" ? CellKind::Error : CellKind::Number;
            cell.number = std::strtod(number.c_str(), nullptr);
            cell.record = record;
            for (std::size_t i = 0; hex != "-" && i + 4 <= hex.size(); i += 4)
                cell.text += char16_t(std::stoi(hex.substr(i + 2, 2) + hex.substr(i, 2), nullptr, 16));
        }
    }
    std::free(line);
    if (!pipe || ::pclose(pipe) != 0 || books.size() != paths.size())
        books.assign(paths.size(), WalkedWorkbook{{"the reader failed: " + command}, {}});
    return books;
}

} // namespace

WalkedWorkbook walkXlsFile(const std::filesystem::path &path) { return readCells("xlrd", {path}).front(); }

std::vector<WalkedWorkbook> readWithLibreOffice(const std::vector<std::filesystem::path> &paths)
{
    return readCells("libreoffice", paths);
}

} // namespace kestrane::xls
