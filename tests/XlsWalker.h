#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Reads an .xls file the way a strict reader does and checks the rules that
// lenient readers forgive and the spreadsheet application does not: the
// compound file's structure, BOUNDSHEET offsets, XF and FONT indexes,
// DIMENSIONS, record sizes, WINDOW2 per sheet, SST counts. It yields the
// cells, so tests can compare values. It never throws and never reads out of
// bounds, whatever the bytes: a file it cannot follow gives problems.
namespace kestrane::xls {

enum class CellKind { Text, Number, Error, Boolean };

struct WalkedCell {
    CellKind kind = CellKind::Number;
    std::u16string text;     // Text
    double number = 0.0;     // Number
    std::uint8_t code = 0;   // Error code or Boolean value
    std::uint16_t xf = 0;
    std::uint16_t record = 0; // the record id it came from (NUMBER, RK, LABELSST...)
};

struct WalkedSheet {
    std::string name;
    std::map<std::pair<int, int>, WalkedCell> cells; // (row, column), from 0
    std::map<int, std::uint16_t> columnWidths;       // COLINFO widths
    std::uint16_t window2Flags = 0;

    // The cell at an A1 address, or nullptr.
    const WalkedCell *at(std::string_view a1) const;
};

struct WalkedXf {
    std::uint16_t font = 0;
    std::uint16_t format = 0;
    bool style = false;
};

struct WalkedWorkbook {
    std::vector<std::string> problems; // every broken rule, in words; empty for a sound file
    std::size_t fileSize = 0;
    std::size_t streamSize = 0;        // the Workbook stream as the directory gives it
    std::size_t biffSize = 0;          // up to the last sheet's EOF
    int fontCount = 0;
    std::vector<WalkedXf> xfs;
    std::map<std::uint16_t, std::u16string> formats; // FORMAT records
    std::vector<std::u16string> strings;             // the SST
    std::vector<bool> stringCompressed;              // how each SST string was stored
    std::uint32_t sstTotal = 0, sstUnique = 0;
    int continueRecords = 0;                         // CONTINUE records after the SST
    bool dateMode1904 = false;
    std::vector<WalkedSheet> sheets;
    std::vector<std::uint16_t> recordIds;            // every record of the stream, in order

    bool sound() const { return problems.empty(); }
    const WalkedSheet *sheet(std::string_view name) const;
    // The number format code of a cell's XF ("General" for format 0).
    std::u16string formatOf(const WalkedCell &cell) const;
};

// The "Workbook" stream of a compound file, as its directory sizes it, with
// the problems of the container itself.
struct CompoundStream {
    std::vector<unsigned char> bytes;
    std::size_t declaredSize = 0;
    std::vector<std::string> problems;
};
CompoundStream readWorkbookStream(std::span<const unsigned char> file);

// Walks an .xls file's bytes.
WalkedWorkbook walkXls(std::span<const unsigned char> file);

// Reads and walks the file at `path`; a file that cannot be read gives a problem.
WalkedWorkbook walkXlsFile(const std::string &path);

// Record ids the tests look for.
namespace record {
constexpr std::uint16_t Number = 0x0203;
constexpr std::uint16_t Rk = 0x027E;
constexpr std::uint16_t LabelSst = 0x00FD;
constexpr std::uint16_t BoolErr = 0x0205;
constexpr std::uint16_t Continue = 0x003C;
constexpr std::uint16_t Sst = 0x00FC;
} // namespace record

} // namespace kestrane::xls
