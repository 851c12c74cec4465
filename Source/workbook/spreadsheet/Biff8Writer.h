#pragma once

#include <vector>

#include "workbook/spreadsheet/BiffRecords.h"
#include "workbook/spreadsheet/ByteBuffer.h"
#include "workbook/spreadsheet/SharedStrings.h"

namespace kestrane::spreadsheet {

class Worksheet;

// The BIFF8 workbook stream of these sheets: the workbook globals (formats,
// sheet list, shared strings), then each sheet's cells. Its size is known
// before any of it is written, as the file around it must say it first.
class WorkbookStream {
public:
    explicit WorkbookStream(std::vector<const Worksheet *> sheets);

    std::size_t size() const { return m_size; }
    // Hands the whole stream to `write`, in order, a sheet's cells in runs as
    // they are written, never whole.
    void writeTo(const ByteWriter &write) const;

private:
    // A sheet's records before and after its cells, written, and the bytes
    // its cell records take.
    struct SheetPlan {
        ByteBuffer start;
        std::size_t cellBytes = 0;
        ByteBuffer end;
    };

    std::vector<const Worksheet *> m_sheets;
    SharedStrings m_strings;
    std::vector<SheetPlan> m_plans; // [sheet]
    ByteBuffer m_globals;           // whole, each sheet's place in its sheet list entry
    std::size_t m_size = 0;
};

} // namespace kestrane::spreadsheet
