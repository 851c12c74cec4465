#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "workbook/spreadsheet/ByteBuffer.h"

// The BIFF8 records we write, one function each, in the order a workbook
// stream holds them. Each writes the 4-byte record header (id, body size)
// and the body, little-endian; the body size is that of the body written.
namespace kestrane::spreadsheet::biff {

// No record body may be longer; longer data goes on in CONTINUE records.
constexpr std::size_t kMostBodyBytes = 8224;

enum class Substream : std::uint16_t { Globals = 0x0005, Worksheet = 0x0010 };

// The cells a sheet really holds, for DIMENSIONS; all zero for an empty sheet.
struct UsedRange {
    std::uint32_t firstRow = 0, lastRowPlus1 = 0;
    std::uint16_t firstColumn = 0, lastColumnPlus1 = 0;
};

// Error codes of a BOOLERR error cell.
constexpr std::uint8_t kErrorNum = 0x24; // #NUM!

// Bytes of each cell record, header included, as its writer below writes it:
// a sheet's size is counted from these before its cells are written, and the
// compound file refuses a stream that turns out otherwise.
constexpr std::size_t kLabelSstBytes = 14;
constexpr std::size_t kNumberBytes = 18;
constexpr std::size_t kRkBytes = 14;
constexpr std::size_t kErrorCellBytes = 12;

// One record while its body is written: the header goes out at once, and its
// body size is patched in from the bytes written when the record ends.
class Record {
public:
    Record(ByteBuffer &out, std::uint16_t id);
    ~Record();
    Record(const Record &) = delete;
    Record &operator=(const Record &) = delete;

    // Where the record's header starts.
    std::size_t start() const { return m_start; }
    // The bytes of its body so far.
    std::size_t bodySize() const { return m_out.size() - m_start - 4; }

private:
    ByteBuffer &m_out;
    std::size_t m_start;
};

// ---- workbook globals ----

// BOF (0x0809): opens a substream of a BIFF8 file.
void bof(ByteBuffer &out, Substream type);
// CODEPAGE (0x0042): strings of the workbook are UTF-16 (code page 1200).
void codepage(ByteBuffer &out);
// WINDOW1 (0x003D): the workbook window; the first sheet is the active tab.
void window1(ByteBuffer &out);
// DATEMODE (0x0022): date serials count from 1899-12-30 (the 1900 date system).
void dateMode(ByteBuffer &out);
// FONT (0x0031): Arial 10 regular, the workbook's default font.
void font(ByteBuffer &out);
// FORMAT (0x041E): a number format code under its index.
void format(ByteBuffer &out, std::uint16_t index, std::u16string_view code);
// XF (0x00E0): a style format; XF 0 is the Normal style itself.
void styleXf(ByteBuffer &out, bool normalStyle);
// XF (0x00E0): a cell format on the Normal style, with a number format.
void cellXf(ByteBuffer &out, std::uint16_t numberFormat);
// STYLE (0x0293): the built-in Normal style, on XF 0.
void normalStyle(ByteBuffer &out);
// BOUNDSHEET (0x0085): a visible worksheet's name. Returns where the stream
// offset of its BOF goes, to be patched once the sheet is written.
std::size_t boundSheet(ByteBuffer &out, std::string_view name);
// EOF (0x000A): closes a substream.
void eof(ByteBuffer &out);

// ---- worksheet ----

// DEFCOLWIDTH (0x0055): the default column width, 8 characters.
void defColWidth(ByteBuffer &out);
// COLINFO (0x007D): one column's width, in 1/256 of a digit's width.
void colInfo(ByteBuffer &out, int column, std::uint16_t width);
// DIMENSIONS (0x0200): the range of the cells the sheet holds.
void dimensions(ByteBuffer &out, const UsedRange &range);
// LABELSST (0x00FD): a text cell, by its index in the shared string table.
void labelSst(ByteBuffer &out, int row, int column, std::uint32_t stringIndex);
// NUMBER (0x0203): a number cell, the IEEE double as it is.
void number(ByteBuffer &out, int row, int column, std::uint16_t xf, double value);
// RK (0x027E): a number cell in the 4-byte RK encoding.
void rk(ByteBuffer &out, int row, int column, std::uint16_t xf, std::uint32_t rkValue);
// BOOLERR (0x0205): an error-value cell.
void errorCell(ByteBuffer &out, int row, int column, std::uint16_t xf, std::uint8_t errorCode);
// WINDOW2 (0x023E): the sheet's window; the first sheet is selected and shown.
void window2(ByteBuffer &out, bool firstSheet);

} // namespace kestrane::spreadsheet::biff
