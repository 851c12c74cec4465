#include "workbook/spreadsheet/ArialMetrics.h"

#include <array>

namespace kestrane::spreadsheet {

namespace {

// U+0020 to U+007E.
constexpr std::array<short, 95> kAscii = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // ' ' .. '/'
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556,                               // '0' .. '9'
    278, 278, 584, 584, 584, 556, 1015,                                             // ':' .. '@'
    667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833,                // 'A' .. 'M'
    722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611,                // 'N' .. 'Z'
    278, 278, 278, 469, 556, 333,                                                   // '[' .. '`'
    556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833,                // 'a' .. 'm'
    556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500,                // 'n' .. 'z'
    334, 260, 334, 584,                                                             // '{' .. '~'
};

// U+00A0 to U+00FF.
constexpr std::array<short, 96> kLatin1 = {
    278, 333, 556, 556, 556, 556, 260, 556, 333, 737, 370, 556, 584, 333, 737, 333, // nbsp .. macron
    400, 584, 333, 333, 333, 556, 537, 278, 333, 333, 365, 556, 834, 834, 834, 611, // degree .. inverted ?
    667, 667, 667, 667, 667, 667, 1000, 722, 667, 667, 667, 667, 278, 278, 278, 278, // A grave .. I diaeresis
    722, 722, 778, 778, 778, 778, 778, 584, 778, 722, 722, 722, 722, 667, 667, 611, // Eth .. sharp s
    556, 556, 556, 556, 556, 556, 889, 500, 556, 556, 556, 556, 278, 278, 278, 278, // a grave .. i diaeresis
    556, 556, 556, 556, 556, 556, 556, 584, 611, 556, 556, 556, 556, 500, 556, 500, // eth .. y diaeresis
};

// The characters Windows-1252 adds in 0x80..0x9F, the code page of the
// logger's channel names.
int windows1252Extra(char16_t c)
{
    switch (c) {
    case u'\u20AC': return 556;  // euro
    case u'\u201A': return 222;  // single low quote
    case u'\u0192': return 556;  // florin
    case u'\u201E': return 333;  // double low quote
    case u'\u2026': return 1000; // ellipsis
    case u'\u2020': return 556;  // dagger
    case u'\u2021': return 556;  // double dagger
    case u'\u02C6': return 333;  // circumflex
    case u'\u2030': return 1000; // per mille
    case u'\u0160': return 667;  // S caron
    case u'\u2039': return 333;  // single left guillemet
    case u'\u0152': return 1000; // OE
    case u'\u017D': return 611;  // Z caron
    case u'\u2018': return 222;  // left single quote
    case u'\u2019': return 222;  // right single quote
    case u'\u201C': return 333;  // left double quote
    case u'\u201D': return 333;  // right double quote
    case u'\u2022': return 350;  // bullet
    case u'\u2013': return 556;  // en dash
    case u'\u2014': return 1000; // em dash
    case u'\u02DC': return 333;  // small tilde
    case u'\u2122': return 1000; // trade mark
    case u'\u0161': return 500;  // s caron
    case u'\u203A': return 333;  // single right guillemet
    case u'\u0153': return 944;  // oe
    case u'\u017E': return 500;  // z caron
    case u'\u0178': return 667;  // Y diaeresis
    default: return 0;
    }
}

} // namespace

int arialAdvance(char16_t c)
{
    if (c >= 0x20 && c <= 0x7E)
        return kAscii[c - 0x20];
    if (c >= 0xA0 && c <= 0xFF)
        return kLatin1[c - 0xA0];
    if (c < 0x20 || (c >= 0x7F && c < 0xA0))
        return 278; // a control character (a zero byte of a name) takes a blank's room
    if (const int width = windows1252Extra(c))
        return width;
    if (c >= 0xDC00 && c <= 0xDFFF)
        return 0; // the second half of a pair: its first half counted the character
    if (c >= 0x2E80)
        return 1000; // East Asian scripts and characters beyond the basic plane: a full em
    return 667; // any other letter: as wide as a capital, so a fitted column rather errs wide
}

double arial10Pixels(std::u16string_view text)
{
    // 10 points at 96 dpi is 40/3 pixels to the em.
    long units = 0;
    for (const char16_t c : text)
        units += arialAdvance(c);
    return double(units) * (40.0 / 3.0) / 1000.0;
}

} // namespace kestrane::spreadsheet
