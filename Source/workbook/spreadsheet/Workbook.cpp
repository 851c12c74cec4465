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

void Workbook::SaveAs(const std::filesystem::path &path)
{
    if (!m_open)
        throw Failure(ApplicationDefined, "The workbook has been closed");
    saveAtomically(path, [&](const ByteWriter &write) { writeFile(write); });
}

void Workbook::Close()
{
    if (!m_open)
        return;
    m_open = false;
    for (const auto &sheet : m_sheets)
        sheet->discardContents();
}

void Workbook::writeFile(const ByteWriter &write) const
{
    std::vector<const Worksheet *> sheets;
    for (const auto &sheet : m_sheets)
        sheets.push_back(sheet.get());
    const WorkbookStream stream(std::move(sheets));
    writeCompoundFile(stream.size(), [&](const ByteWriter &writeStream) { stream.writeTo(writeStream); }, write);
}

std::vector<unsigned char> Workbook::fileBytes() const
{
    std::vector<unsigned char> file;
    writeFile([&](std::span<const unsigned char> bytes) { file.insert(file.end(), bytes.begin(), bytes.end()); });
    return file;
}

} // namespace kestrane::spreadsheet
