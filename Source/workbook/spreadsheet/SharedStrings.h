#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "workbook/spreadsheet/ByteBuffer.h"

namespace kestrane::spreadsheet {

// The shared string table: every text of the workbook once, in order of first
// use; text cells name their string by index. Counts every use, since the
// table's header must say both how many uses and how many strings there are.
class SharedStrings {
public:
    // Counts one use of `text`, adding it on first use.
    void use(const std::u16string &text);
    // The index of a text that was used.
    std::uint32_t indexOf(const std::u16string &text) const;

    std::uint32_t uniqueCount() const { return std::uint32_t(m_strings.size()); }

    // SST (0x00FC), continued in CONTINUE (0x003C) records at the record size
    // limit, then EXTSST (0x00FF), the index of every eighth or so string.
    // `out` must hold the workbook stream from its start: EXTSST records
    // stream positions.
    void write(ByteBuffer &out) const;

private:
    std::vector<std::u16string> m_strings;
    std::unordered_map<std::u16string, std::uint32_t> m_index;
    std::uint32_t m_totalUses = 0;
};

} // namespace kestrane::spreadsheet
