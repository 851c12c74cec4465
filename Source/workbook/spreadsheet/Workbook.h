#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/spreadsheet/ByteBuffer.h"
#include "workbook/spreadsheet/Worksheet.h"

namespace kestrane::spreadsheet {

// A workbook being built in memory: the three default worksheets "Sheet1",
// "Sheet2" and "Sheet3" of a new workbook. Nothing reaches a file until
// SaveAs; Close discards whatever was not saved.
class Workbook {
public:
    Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // The worksheet of that name, matched without regard to letter case
    // ("sheet1" finds Sheet1); "Subscript out of range" if there is none.
    Worksheet &Worksheets(std::string_view name);

    // Writes the workbook as an .xls file at `path`, replacing a file there.
    // The file appears whole or not at all; on failure an existing file keeps
    // its content and the workbook stays open, so the save can be tried again.
    void SaveAs(const std::filesystem::path &path);

    // Closes the workbook, discarding unsaved work; writes nothing. Closing a
    // closed workbook does nothing.
    void Close();

    // The whole .xls file, as SaveAs writes it.
    std::vector<unsigned char> fileBytes() const;

private:
    // Writes the .xls file through `write`: the workbook stream inside its
    // compound file.
    void writeFile(const ByteWriter &write) const;

    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    bool m_open = true;
};

} // namespace kestrane::spreadsheet
