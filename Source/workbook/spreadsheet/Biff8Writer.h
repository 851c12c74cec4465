#pragma once

#include <cstddef>
#include <vector>

#include "workbook/spreadsheet/BiffRecords.h"
#include "workbook/spreadsheet/ByteBuffer.h"
#include "workbook/spreadsheet/SharedStrings.h"

namespace kestrane::spreadsheet {

class Worksheet;

// What writing one sheet needs known first: where its cells are, and its
// size in bytes.
struct SheetPlan {
    biff::UsedRange range;
    std::size_t bytes = 0;
};

// The BIFF8 workbook stream of these sheets, in this order: the workbook
// globals (formats, sheet list, shared strings), then each sheet's cells.
// Its size is known before it is written, so a file can be laid out around
// it, and it is written out in runs, never held whole.
class WorkbookStream {
public:
    explicit WorkbookStream(std::vector<const Worksheet *> sheets);

    std::size_t size() const { return m_size; }
    // Hands the whole stream to `write`, in order, in runs of at most 64 KiB.
    void writeTo(const ByteWriter &write) const;

private:
    std::vector<const Worksheet *> m_sheets;
    std::vector<SheetPlan> m_plans; // [sheet]
    SharedStrings m_strings;
    ByteBuffer m_globals; // whole, each sheet's place in its sheet list entry
    std::size_t m_size = 0;
};

// The same stream whole in one buffer.
ByteBuffer workbookStream(const std::vector<const Worksheet *> &sheets);

} // namespace kestrane::spreadsheet
