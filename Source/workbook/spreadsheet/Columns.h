#pragma once

namespace kestrane::spreadsheet {

class Worksheet;

// Whole columns of a worksheet, as the object model's Columns("A") or
// Columns("B:H"): first..last counted from 0.
class Columns {
public:
    Columns(Worksheet &sheet, int first, int last) : m_sheet(&sheet), m_first(first), m_last(last) {}

    // Each column becomes as wide as its widest cell written so far shows in
    // the workbook's default font; a column without cells keeps its width.
    void AutoFit();

private:
    Worksheet *m_sheet;
    int m_first;
    int m_last;
};

} // namespace kestrane::spreadsheet
