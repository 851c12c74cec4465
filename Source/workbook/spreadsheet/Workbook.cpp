#include "workbook/spreadsheet/Workbook.h"

#include <algorithm>

#include "common/Failure.h"
#include "workbook/spreadsheet/AtomicSave.h"
#include "workbook/spreadsheet/Biff8Writer.h"
#include "workbook/spreadsheet/CompoundFile.h"

namespace kestrane::spreadsheet {

namespace {

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool sameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

} // namespace

Workbook::Workbook()
{
    for (const char *name : {"Sheet1", "Sheet2", "Sheet3"})
        m_sheets.push_back(std::make_unique<Worksheet>(m_open, name));
}

Worksheet &Workbook::Worksheets(std::string_view name)
{
    if (!m_open)
        throw Failure(ApplicationDefined, "The workbook has been closed");
    for (const auto &sheet : m_sheets)
        if (sameNameIgnoringCase(sheet->Name(), name))
            return *sheet;
    throw Failure(SubscriptOutOfRange);
}

void Workbook::SaveAs(const std::string &path)
{
    if (!m_open)
        throw Failure(ApplicationDefined, "The workbook has been closed");
    saveAtomically(path, [&](const FileWriter &write) { writeFile(write); });
}

void Workbook::Close()
{
    if (!m_open)
        return;
    m_open = false;
    for (const auto &sheet : m_sheets)
        sheet->discardContents();
}

std::vector<const Worksheet *> Workbook::sheets() const
{
    std::vector<const Worksheet *> list;
    for (const auto &sheet : m_sheets)
        list.push_back(sheet.get());
    return list;
}

void Workbook::writeFile(const FileWriter &write) const
{
    const std::size_t streamSize = writeWorkbookStream(sheets(), [&](std::size_t offset, std::span<const unsigned char> bytes) {
        // Refused as soon as it is too large, not once a disk holds all of it.
        requireStreamFits(offset + bytes.size());
        write(kWorkbookStreamStart + offset, bytes);
    });
    writeCompoundFile(streamSize, write);
}

std::vector<unsigned char> Workbook::fileBytes() const
{
    std::vector<unsigned char> file;
    writeFile([&](std::size_t offset, std::span<const unsigned char> bytes) {
        file.resize(std::max(file.size(), offset + bytes.size()));
        std::copy(bytes.begin(), bytes.end(), file.begin() + std::ptrdiff_t(offset));
    });
    return file;
}

} // namespace kestrane::spreadsheet
