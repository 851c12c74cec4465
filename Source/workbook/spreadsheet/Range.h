#pragma once

#include <cstdint>
#include <string_view>

#include "workbook/spreadsheet/CellAddress.h"
#include "workbook/spreadsheet/CellValue.h"
#include "workbook/spreadsheet/DateTime.h"

namespace kestrane::spreadsheet {

class Worksheet;

// One cell of a worksheet, as the automation object model's Range of a single
// address. A Range is a light handle: copy it freely; it is valid while its
// workbook object lives, and every use after the workbook was closed fails.
class Range {
public:
    Range(Worksheet &sheet, CellAddress address) : m_sheet(&sheet), m_address(address) {}

    // The cell `rows` below and `columns` right of this one (negative: above,
    // left). Leaving the sheet is a failure.
    Range Offset(std::int16_t rows, std::int16_t columns) const;

    // What the cell holds; an empty cell gives std::monostate.
    CellValue Value() const;

    // The cell receives a text (at most 32767 characters, the format's
    // limit); an empty text leaves the cell empty.
    void setValue(std::u16string_view text);
    // The cell receives a 16-bit integer number.
    void setValue(std::int16_t number);
    // The cell receives a double-precision number, bit for bit.
    void setValue(double number);
    // The cell receives a date-time, shown with the workbook's date-time format.
    void setValue(DateTime when);
    // The cell becomes empty.
    void ClearContents();

    // The column counted from 1, as the object model numbers it.
    int Column() const { return m_address.column + 1; }

private:
    Worksheet *m_sheet;
    CellAddress m_address;
};

} // namespace kestrane::spreadsheet
