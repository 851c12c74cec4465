#pragma once

#include <cstdint>
#include <string_view>

namespace kestrane::spreadsheet {

// The cell formats every workbook we write carries. XF records 0..14 are the
// style formats a new workbook has; the cell formats follow them.
constexpr std::uint16_t kStyleXfCount = 15;
constexpr std::uint16_t kGeneralCellXf = 15;  // every cell but dates: General format
constexpr std::uint16_t kDateTimeCellXf = 16; // date-time cells

// The date-time number format, a format of our own (user formats start at
// index 164). Year first and seconds shown: no reader can mistake the day for
// the month, and the conversion time shows to the second.
constexpr std::uint16_t kDateTimeFormatIndex = 164;
constexpr std::u16string_view kDateTimeFormatCode = u"yyyy-mm-dd hh:mm:ss";

// How any date-time shows in that format, for measuring: all digits of the
// default font are equally wide, so this template is as wide as every date.
constexpr std::u16string_view kDateTimeShownAs = u"0000-00-00 00:00:00";

} // namespace kestrane::spreadsheet
