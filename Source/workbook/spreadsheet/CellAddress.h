#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrane::spreadsheet {

// The size of a sheet in the .xls format: rows 1..65536, columns A..IV.
constexpr int kRowCount = 65536;
constexpr int kColumnCount = 256;

// A cell's place on its sheet, both counted from 0 (A1 is {0, 0}).
struct CellAddress {
    int row = 0;
    int column = 0;

    friend bool operator==(const CellAddress &, const CellAddress &) = default;
};

// The column of letters "A".."IV" (any letter case), counted from 0; nullopt
// for anything else.
std::optional<int> parseColumnLetters(std::string_view letters);

// One A1-style address: column letters, then the row number 1..65536 without
// leading zeros or signs ("B7", "iv65536"). nullopt for anything else.
std::optional<CellAddress> parseA1(std::string_view address);

} // namespace kestrane::spreadsheet
