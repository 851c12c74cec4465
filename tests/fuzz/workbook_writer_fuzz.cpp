// libFuzzer target: any bytes that load as a .DAT file are laid out and
// written as an .xls file in memory -- never a crash, a hang or a sanitizer
// report, and a file of whole sectors. The layout and the writer are all of
// a conversion that depends on the log; the reader tests check the content.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/Failure.h"
#include "datfile/DatReader.h"
#include "workbook/WorkbookLayout.h"
#include "workbook/spreadsheet/Workbook.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kestrane;
    Dataset dataset;
    try {
        readDatBytes(std::string_view(reinterpret_cast<const char *>(data), size), std::int32_t(size), dataset);
    } catch (const Failure &) {
        return 0; // not a file that loads
    }
    spreadsheet::Workbook book;
    writeLayout(dataset, book.Worksheets("sheet1"), spreadsheet::DateTime::fromLocal(2024, 5, 17, 14, 3, 9));
    if (book.fileBytes().size() % 512 != 0)
        __builtin_trap();
    return 0;
}
