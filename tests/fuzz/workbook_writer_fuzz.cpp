// libFuzzer target: any bytes that load as a .DAT file are laid out and
// written as an .xls file in memory -- never a crash, a hang or a sanitizer
// report, and a file of whole sectors. The reader tests check the content.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "common/Failure.h"
#include "datfile/DatReader.h"
#include "workbook/ConvertDataset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace kestrane;
    Dataset dataset;
    try {
        readDatBytes(std::string_view(reinterpret_cast<const char *>(data), size), std::int32_t(size), dataset);
    } catch (const Failure &) {
        return 0; // not a file that loads
    }
    // The workbook is built as every conversion builds it, and checked in
    // memory where its name is asked for; the cancel then drops it unsaved.
    spreadsheet::Application application;
    try {
        convertDataset(application, dataset, spreadsheet::DateTime::fromLocal(2024, 5, 17, 14, 3, 9),
                       [](spreadsheet::Workbook &book) -> std::filesystem::path {
                           if (book.fileBytes().size() % 512 != 0)
                               __builtin_trap();
                           throw Failure(CancelSelected);
                       });
    } catch (const Failure &failure) {
        if (failure.number() != CancelSelected)
            throw;
    }
    return 0;
}
