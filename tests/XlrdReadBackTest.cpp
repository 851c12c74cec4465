// A real reader, xlrd, reads back what the writer finds hardest: strings split
// across CONTINUE records, UTF-16 names with zero bytes, numbers whose bits
// matter, the error value and the date cell.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <set>
#include <string>

#include "DatGenerator.h"
#include "workbook/WorkbookLayout.h"
#include "workbook/spreadsheet/Spreadsheet.h"

using namespace kestrane;

namespace {

std::string hexOfUtf16(const std::u16string &text)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const char16_t c : text)
        for (const unsigned byte : {unsigned(c) & 0xFF, unsigned(c) >> 8}) {
            hex += digits[byte >> 4];
            hex += digits[byte & 0xF];
        }
    return hex;
}

std::string bitsOf(double value)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(value)));
    return text;
}

// The lines XlrdDump.py prints, read through a pipe.
std::set<std::string> xlrdLines(const std::string &path)
{
    const std::string command = std::string(KESTRANE_PYTHON3) + " " + XLRD_DUMP_SCRIPT + " '" + path + "' 2>&1";
    std::set<std::string> lines;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return lines;
    std::string output;
    char buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    for (std::size_t start = 0, end; start < output.size(); start = end + 1) {
        end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        lines.insert(output.substr(start, end - start));
    }
    EXPECT_EQ(::pclose(pipe), 0) << "xlrd failed: " << (lines.empty() ? "" : *lines.begin());
    return lines;
}

} // namespace

TEST(XlrdReadBack, readsEveryCellAsItWasWritten)
{
    Dataset dataset;
    dataset.pointCount = 3;
    dataset.timeSettings = {-3, 0};
    dataset.sizeValueArrays();
    const float values[3][7] = {
        {0.1f, -0.0f, std::numeric_limits<float>::quiet_NaN(), 1e-45f, 3.4028235e38f, -7.125f, 16777216.0f},
        {1.0f / 3.0f, std::numeric_limits<float>::infinity(), 2.5f, -1.5e-38f, 0.0f, 123.456f, -99.0f},
        {4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f}};
    for (dataset.pointIndex = 0; dataset.pointIndex < 3; ++dataset.pointIndex)
        for (int channel = 1; channel <= 7; ++channel)
            dataset.storeValue(channel, values[dataset.pointIndex][channel - 1]);
    const char16_t *names[] = {u"Channel one", u"Temp \u00e9\u20ac\u00b5", u"", u"xxxxxxxxxxxxxxxxxxxx",
                               u"Chan\0 5", u"Six", u"Seven"};
    for (int k = 0; k < 7; ++k)
        dataset.channelNames[std::size_t(k)] =
            std::u16string_view(names[k], k == 4 ? 7 : std::char_traits<char16_t>::length(names[k]));

    spreadsheet::Application application;
    const auto book = application.Workbooks().Add();
    writeLayout(dataset, book->Worksheets("sheet1"), spreadsheet::DateTime::fromLocal(2024, 5, 17, 14, 3, 9));
    // Sheet2 holds strings long and many enough to need CONTINUE records.
    spreadsheet::Worksheet &other = book->Worksheets("Sheet2");
    std::u16string longWide(20000, u'\u20ac'), longNarrow(20000, u'n');
    other.Range("A1").setValue(longWide);
    other.Range("A2").setValue(longNarrow);
    for (int row = 3; row < 1200; ++row)
        other.Range("B" + std::to_string(row)).setValue(u"name \u00b5 " + std::u16string(1, char16_t(u'A' + row % 26)) + u"\u0153");

    const std::string folder = testdata::freshFolder("xlrd-readback");
    book->SaveAs(folder + "/readback.xls");

    std::set<std::string> expected{"sheets Sheet1|Sheet2|Sheet3"};
    for (const char *sheetName : {"Sheet1", "Sheet2"}) {
        book->Worksheets(sheetName).forEachCell([&](int row, const spreadsheet::Worksheet::StoredCell &cell) {
            const std::string where = std::string(sheetName) + " " + spreadsheet::a1Text({row, cell.column}) + " ";
            if (const auto *text = std::get_if<std::u16string>(&cell.value))
                expected.insert(where + "text " + hexOfUtf16(*text));
            else if (const auto *number = std::get_if<double>(&cell.value))
                expected.insert(where + (std::isfinite(*number) ? "number " + bitsOf(*number) : "error #NUM!"));
            else if (const auto *integer = std::get_if<std::int16_t>(&cell.value))
                expected.insert(where + "number " + bitsOf(*integer));
            else
                expected.insert(where + "date 2024 5 17 14 3 9");
        });
    }
    book->Close();

    const std::set<std::string> read = xlrdLines(folder + "/readback.xls");
    for (const std::string &line : expected)
        EXPECT_TRUE(read.count(line)) << "xlrd did not read: " << line.substr(0, 120);
    EXPECT_EQ(read.size(), expected.size());
}
