#include "workbook/spreadsheet/BiffRecords.h"

#include <string>

#include "workbook/spreadsheet/CellFormats.h"

namespace kestrane::spreadsheet::biff {

namespace {

// Colour index "automatic" of the default font.
constexpr std::uint16_t kAutomaticColour = 0x7FFF;
// Font weights.
constexpr std::uint16_t kNormalWeight = 400;

// The short string of FONT and BOUNDSHEET: 8-bit length, option byte, characters.
void shortString(ByteBuffer &out, std::u16string_view text)
{
    const bool compressed = fitsInOneByte(text);
    out.u8(std::uint8_t(text.size()));
    out.u8(compressed ? 0x00 : 0x01);
    out.characters(text, compressed);
}

// The first six bytes of a cell record's body: row, column and XF index.
void cellStart(ByteBuffer &out, int row, int column, std::uint16_t xf)
{
    out.u16(std::uint16_t(row));
    out.u16(std::uint16_t(column));
    out.u16(xf);
}

// The 20-byte XF body: font 0, a number format, protection and parent, bottom
// alignment, the attribute flags, no borders, the default pattern colours.
void xfBody(ByteBuffer &out, std::uint16_t numberFormat, std::uint16_t typeAndParent,
                   std::uint8_t attributeFlags)
{
    const Record record(out, 0x00E0);
    out.u16(0);                    // font 0
    out.u16(numberFormat);
    out.u16(typeAndParent);
    out.u8(0x20);                  // horizontal General, vertical bottom, no wrap
    out.u8(0);                     // no rotation
    out.u8(0);                     // no indent, shrink or merge
    out.u8(attributeFlags);
    out.u32(0);                    // no border lines
    out.u32(0);                    // no border colours, no fill pattern
    out.u16(0x20C0);               // pattern colours: system foreground 64, background 65
}

} // namespace

Record::Record(ByteBuffer &out, std::uint16_t id) : m_out(out), m_start(out.size())
{
    out.u16(id);
    out.u16(0); // the body size, patched in at the end
}

Record::~Record()
{
    m_out.patchU16(m_start + 2, std::uint16_t(bodySize()));
}

void bof(ByteBuffer &out, Substream type)
{
    const Record record(out, 0x0809);
    out.u16(0x0600);               // BIFF8
    out.u16(std::uint16_t(type));
    out.u16(0x0DBB);               // build identifier of the format's first release
    out.u16(0x07CC);               // its year, 1996
    out.u32(0);                    // file history flags: none
    out.u32(0x0006);               // lowest BIFF version that can read the file
}

void codepage(ByteBuffer &out)
{
    const Record record(out, 0x0042);
    out.u16(1200);
}

void window1(ByteBuffer &out)
{
    const Record record(out, 0x003D);
    out.u16(0x01E0);               // left, in twips
    out.u16(0x005A);               // top
    out.u16(0x3FCF);               // width
    out.u16(0x2A4E);               // height
    out.u16(0x0038);               // horizontal and vertical scroll bars, sheet tabs shown
    out.u16(0);                    // active tab: the first sheet
    out.u16(0);                    // first tab shown
    out.u16(1);                    // selected tabs: one
    out.u16(0x0258);               // tab bar width, 600 per mille
}

void dateMode(ByteBuffer &out)
{
    const Record record(out, 0x0022);
    out.u16(0);
}

void font(ByteBuffer &out)
{
    constexpr std::u16string_view name = u"Arial";
    const Record record(out, 0x0031);
    out.u16(200);                  // height in twips: 10 points
    out.u16(0);                    // not italic, struck out, outlined or shadowed
    out.u16(kAutomaticColour);
    out.u16(kNormalWeight);
    out.u16(0);                    // no superscript or subscript
    out.u8(0);                     // no underline
    out.u8(0);                     // font family: unspecified
    out.u8(0);                     // character set: ANSI
    out.u8(0);                     // reserved
    shortString(out, name);
}

void format(ByteBuffer &out, std::uint16_t index, std::u16string_view code)
{
    const bool compressed = fitsInOneByte(code);
    const Record record(out, 0x041E);
    out.u16(index);
    out.u16(std::uint16_t(code.size()));
    out.u8(compressed ? 0x00 : 0x01);
    out.characters(code, compressed);
}

void styleXf(ByteBuffer &out, bool normalStyle)
{
    // Locked, a style format (bit 2), parent 0xFFF as every style has.
    // The Normal style defines every attribute; the other styles leave all
    // but the font to it (flags set mean "not part of this style").
    xfBody(out, 0, 0xFFF5, normalStyle ? 0x00 : 0xF4);
}

void cellXf(ByteBuffer &out, std::uint16_t numberFormat)
{
    // Locked, a cell format on parent style 0; a number format other than
    // General is marked as this cell format's own.
    xfBody(out, numberFormat, 0x0001, numberFormat != 0 ? 0x04 : 0x00);
}

void normalStyle(ByteBuffer &out)
{
    const Record record(out, 0x0293);
    out.u16(0x8000);               // built-in style on XF 0
    out.u8(0);                     // built-in style 0: Normal
    out.u8(0xFF);                  // no outline level
}

std::size_t boundSheet(ByteBuffer &out, std::string_view name)
{
    std::u16string wide(name.begin(), name.end());
    const Record record(out, 0x0085);
    const std::size_t offsetField = out.size();
    out.u32(0);                    // the sheet's BOF offset, patched later
    out.u8(0);                     // visible
    out.u8(0);                     // a worksheet
    shortString(out, wide);
    return offsetField;
}

void eof(ByteBuffer &out)
{
    const Record record(out, 0x000A);
}

void defColWidth(ByteBuffer &out)
{
    const Record record(out, 0x0055);
    out.u16(8);
}

void colInfo(ByteBuffer &out, int column, std::uint16_t width)
{
    const Record record(out, 0x007D);
    out.u16(std::uint16_t(column)); // first column
    out.u16(std::uint16_t(column)); // last column
    out.u16(width);
    out.u16(kGeneralCellXf);
    out.u16(0x0006);               // width set, and set to fit the contents
    out.u16(0);                    // unused
}

void dimensions(ByteBuffer &out, const UsedRange &range)
{
    const Record record(out, 0x0200);
    out.u32(range.firstRow);
    out.u32(range.lastRowPlus1);
    out.u16(range.firstColumn);
    out.u16(range.lastColumnPlus1);
    out.u16(0);                    // reserved
}

void labelSst(ByteBuffer &out, int row, int column, std::uint32_t stringIndex)
{
    const Record record(out, 0x00FD);
    cellStart(out, row, column, kGeneralCellXf);
    out.u32(stringIndex);
}

void number(ByteBuffer &out, int row, int column, std::uint16_t xf, double value)
{
    const Record record(out, 0x0203);
    cellStart(out, row, column, xf);
    out.f64(value);
}

void rk(ByteBuffer &out, int row, int column, std::uint16_t xf, std::uint32_t rkValue)
{
    const Record record(out, 0x027E);
    cellStart(out, row, column, xf);
    out.u32(rkValue);
}

void errorCell(ByteBuffer &out, int row, int column, std::uint16_t xf, std::uint8_t errorCode)
{
    const Record record(out, 0x0205);
    cellStart(out, row, column, xf);
    out.u8(errorCode);
    out.u8(1);                     // an error value, not a boolean
}

void window2(ByteBuffer &out, bool firstSheet)
{
    // Grid lines, headings, zero values, automatic grid colour, outline
    // symbols; the first sheet also selected (bit 9) and shown (bit 10).
    const Record record(out, 0x023E);
    out.u16(firstSheet ? 0x06B6 : 0x00B6);
    out.u16(0);                    // top row shown
    out.u16(0);                    // left column shown
    out.u16(0x40);                 // grid colour: automatic
    out.u16(0);                    // reserved
    out.u16(0);                    // page break preview zoom: default
    out.u16(0);                    // normal zoom: default
    out.u32(0);                    // reserved
}

} // namespace kestrane::spreadsheet::biff
