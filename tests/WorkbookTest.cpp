// The workbook: a handful of generated logs, each read, laid out and saved as
// the convert command does it, each left with the cells real readers must
// find in it (readers/compare_cells.py reads it back with xlrd and with
// LibreOffice); then every way a save ends.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#ifdef _WIN32
#include "HeldOpen.h"
#else
#include <sys/stat.h>
#endif

#include "DatGenerator.h"
#include "FailureOf.h"
#include "datfile/DatReader.h"
#include "workbook/ConvertDataset.h"
#include "workbook/spreadsheet/AtomicSave.h"
#include "workbook/spreadsheet/Biff8Writer.h"
#include "workbook/spreadsheet/CompoundFile.h"

using namespace kestrane;
using testdata::DatSpec;
namespace fs = std::filesystem;

namespace {

// Values that are all different and none of them exact in decimal, or the
// bit patterns a writer may get wrong.
float valueOf(int channel, int point) { return float(channel) * 0.1f + float(point) * 1.7f; }
float specialValue(int channel, int point)
{
    const float values[] = {std::numeric_limits<float>::quiet_NaN(), -0.0f, std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::denorm_min(), 0.1f, -3.4e38f, 1e-30f};
    return values[(channel + point) % 7];
}

// A cell as read_cells.py prints it: a number, a date's serial or an error's
// code (0x24 is #NUM!), and where named the record it must come from.
enum class CellKind { Text, Number, Date, Error };
struct Cell {
    CellKind kind;
    std::u16string text;
    double number = 0.0;
    std::string record = "-";
};
using CellMap = std::map<std::pair<int, int>, Cell>;

const spreadsheet::DateTime convertedAt = spreadsheet::DateTime::fromLocal(2024, 5, 17, 14, 3, 9);

// The layout's cell map for a dataset converted at convertedAt.
CellMap expectedCells(const Dataset &data)
{
    const double interval = data.timeSettings[0];
    CellMap cells{{{0, 0}, {CellKind::Text, u"Periodic Data Import"}},
                  {{1, 0}, {CellKind::Date, {}, 45429.0 + (14 * 3600 + 3 * 60 + 9) / 86400.0}},
                  {{2, 0}, {CellKind::Text, u"Logging Time Inteval (s) ="}}, {{2, 1}, {CellKind::Number, {}, interval}},
                  {{4, 0}, {CellKind::Text, u"Time Increment (s)"}}, {{6, 0}, {CellKind::Number, {}, interval}}};
    for (int i = 1; i < data.pointCount; ++i)
        cells[{6 + i, 0}] = {CellKind::Number, {}, (i + 1) * interval};
    for (int k = 0; k < 7; ++k) {
        cells[{4, 1 + k}] = {CellKind::Text, data.channelNames[std::size_t(k)].text()};
        for (int i = 0; i < data.pointCount; ++i) {
            const double value = *data.channelValues[std::size_t(k)][std::size_t(i)];
            cells[{6 + i, 1 + k}] = std::isfinite(value) ? Cell{CellKind::Number, {}, value}
                                                         : Cell{CellKind::Error, {}, 36.0};
        }
    }
    return cells;
}

// Text as read_cells.py prints it: its UTF-16LE bytes in hex, "-" for none.
std::string hexOf(const std::u16string &text)
{
    std::string hex;
    for (const char16_t unit : text)
        for (const unsigned byte : {unit & 0xFF, unit >> 8})
            hex += "0123456789abcdef"[byte >> 4], hex += "0123456789abcdef"[byte & 15];
    return hex.empty() ? "-" : hex;
}

// Where the workbook goes in the read-back folder, with NAME.cells written
// beside it: what read_cells.py must print for it, all cells and the fitted
// widths of Sheet1, two empty sheets after it. (A Windows program could not
// run the readers itself: Wine hands back neither their output nor their end.)
fs::path readBackPath(spreadsheet::Workbook &book, const std::string &name, const CellMap &cells)
{
    const fs::path folder = KESTRANE_READBACK_FOLDER;
    fs::create_directories(folder);
    const char *kinds[] = {"text", "number", "date", "error"};
    char number[64]; // in hex, as Python's float.fromhex reads it back bit for bit
    std::ofstream out(folder / (name + ".cells"));
    out << "file\nsheet Sheet1\n";
    for (const auto &[place, cell] : cells) {
        const auto end = std::to_chars(number, std::end(number), cell.number, std::chars_format::hex).ptr;
        out << "cell " << place.first << ' ' << place.second << ' ' << kinds[int(cell.kind)] << ' '
            << std::string_view(number, end) << ' ' << hexOf(cell.text) << ' ' << cell.record << '\n';
    }
    for (const auto &[column, width] : book.Worksheets("Sheet1").columnWidths())
        out << "width " << column << ' ' << width << '\n';
    out << "sheet Sheet2\nsheet Sheet3\n";
    return folder / (name + ".xls");
}

} // namespace

TEST(Workbook, RealReadersFindTheLayoutOfEachLog)
{
    DatSpec odd{.points = 1, .value = specialValue, .timing = {-3.0f, 7.0f}};
    odd.names = {"T\xe9mp \x80", "", "xxxxxxxxxxxxxxxxxxxxyyy", " lead", "Ch5", "\xb5m", "Ch5"};
    // Texts the object model takes besides the layout's, written beside it in
    // column J: long enough for the string table to go on in CONTINUE
    // records, each split there, in one byte and in two bytes a character.
    std::u16string mixed(12482, u'a'); // leaves one byte in its record for the next string
    for (std::size_t i = 0; i < mixed.size(); i += 7)
        mixed[i] = char16_t(0x3b1 + i % 20);
    const std::vector<std::u16string> longTexts = {std::u16string(32767, u'\xe9'), std::u16string(32767, u'\u4e00'),
                                                   mixed};
    // compare_cells.py has LibreOffice read all but the largest, which takes it long and shows it nothing new.
    const struct { std::string name; DatSpec spec; std::vector<std::u16string> texts = {}; } logs[] = {
        {.name = "three", .spec = {.points = 3, .value = valueOf}},
        {.name = "special", .spec = odd, .texts = longTexts},
        {.name = "empty", .spec = {.timing = {0.0f, 0.0f}}},
        {.name = "negative", .spec = {.points = 3, .timing = {-3.0f, 0.0f}}},
        // times past 2^24: not all singles
        {.name = "largest",
         .spec = {.points = testdata::LargestLogPoints, .value = valueOf, .timing = {30001.0f, 0.0f}}}};
    const fs::path folder = testdata::freshFolder("layout");
    std::vector<std::map<int, std::uint16_t>> widths;
    spreadsheet::Application application;
    for (const auto &[name, spec, texts] : logs) {
        Dataset data;
        readDatFile(testdata::writeDat(folder / (name + ".dat"), spec), data);
        CellMap expected = expectedCells(data);
        convertDataset(application, data, convertedAt, [&](spreadsheet::Workbook &book) {
            for (int row = 0; row < int(texts.size()); ++row) {
                book.Worksheets("sheet1").Cells(row + 1, 10).setValue(texts[std::size_t(row)]);
                expected[{row, 9}] = {CellKind::Text, texts[std::size_t(row)]};
            }
            widths.push_back(book.Worksheets("sheet1").columnWidths());
            return readBackPath(book, name, expected);
        });
        EXPECT_EQ(data.pointIndex, std::max(0, data.pointCount - 1)) << name;
    }
    EXPECT_EQ(widths[0].size(), 8u) << "columns A to H are fitted";
    EXPECT_TRUE(widths[0] == widths[2] && widths[0] == widths[3] && widths[0] == widths[4])
        << "widths follow rows 1 to 5 only";
}

// Every number cell reads back bit for bit, from the record the writer chose
// for it: RK for a whole number of 30 bits (its integer form) and for a double
// whose low 34 bits are clear (its high 32 bits, where RK's flags take bits
// 32 and 33), NUMBER for the rest and for -0.0, never an RK times 100; the
// error #NUM! where it is not finite. Values at and across each edge, mostly
// singles as the logger writes them.
TEST(Workbook, EachNumberReadsBackFromTheRecordChosenForIt)
{
    // A single with its last six mantissa bits as given: in a double they are
    // bits 29 to 34, where RK's edge lies.
    const auto single = [](float value, std::uint32_t lowBits) {
        return double(std::bit_cast<float>((std::bit_cast<std::uint32_t>(value) & ~0x3Fu) | lowBits));
    };
    constexpr const char *Integer = "RK-integer", *High32 = "RK-float", *Number = "NUMBER", *NumError = "BOOLERR";
    const float nan = std::numeric_limits<float>::quiet_NaN(), infinity = std::numeric_limits<float>::infinity();
    const struct { const char *name; double value; std::string record; } numbers[] = {
        {.name = "Zero", .value = 0.0, .record = Integer}, {.name = "MinusZero", .value = -0.0, .record = Number},
        {.name = "One", .value = 1.0, .record = Integer},
        {.name = "JustAboveOne", .value = single(1.0f, 1), .record = Number},
        {.name = "LowestInteger", .value = -536870912.0, .record = Integer},
        {.name = "BelowIt", .value = -536870913.0, .record = Number},
        {.name = "SingleBelowIt", .value = -536870976.0f, .record = Number},
        {.name = "HighestInteger", .value = 536870911.0, .record = Integer},
        {.name = "LargestSingleUnderIt", .value = 536870848.0f, .record = Integer},
        {.name = "AboveIt", .value = 536870913.0, .record = Number},
        {.name = "TwoTo29", .value = 536870912.0, .record = High32},
        {.name = "SingleAboveThat", .value = 536870976.0f, .record = Number},
        {.name = "Fraction", .value = -2.5, .record = High32},
        {.name = "LowBitsClear", .value = single(21.7f, 0x20), .record = High32},
        {.name = "Bit33TheIntegerFlag", .value = single(21.7f, 0x10), .record = Number},
        {.name = "Bit32TheTimes100Flag", .value = single(21.7f, 0x08), .record = Number},
        {.name = "WholeMantissa", .value = single(21.7f, 0x3F), .record = Number},
        {.name = "LowestBit", .value = single(-0.0123f, 0x01), .record = Number},
        {.name = "NearAHundredth", .value = 21.7f, .record = Number},
        {.name = "AHundredth", .value = 0.07, .record = Number},
        {.name = "SmallestSingle", .value = std::numeric_limits<float>::denorm_min(), .record = High32},
        {.name = "LargestSingle", .value = FLT_MAX, .record = Number},
        {.name = "NaN", .value = nan, .record = NumError},
        {.name = "Infinity", .value = infinity, .record = NumError},
        {.name = "MinusInfinity", .value = -infinity, .record = NumError}};
    spreadsheet::Workbook book;
    CellMap cells;
    for (int row = 0; row < int(std::size(numbers)); ++row) {
        const auto &n = numbers[row];
        book.Worksheets("Sheet1").Cells(row + 1, 1).setValue(n.value);
        const bool error = n.record == NumError;
        cells[{row, 0}] = {error ? CellKind::Error : CellKind::Number, {}, error ? 36.0 : n.value, n.record};
    }
    book.SaveAs(readBackPath(book, "numbers", cells));
}

namespace {

// Each file of a folder with its content.
std::map<fs::path, std::string> filesIn(const fs::path &folder)
{
    std::map<fs::path, std::string> files;
    for (const auto &entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename()] = entry.is_symlink()     ? "a link to " + fs::read_symlink(entry).string()
                                         : entry.is_directory() ? "a folder"
                                                                : std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

struct SaveCase {
    const char *name;
    fs::path (*prepare)(const fs::path &folder); // makes the folder's state, gives the path to save to
    int failure;
    unsigned mode = 0;                // of the saved file, where it matters
    int modeRefusal = 0;              // what changing permission bits says, as on FAT or a share
    const char *linkedFile = nullptr; // the file written where the path is a symbolic link
    bool heldOpen = false;            // another program holds the target open, sharing it with no one
};

#ifndef _WIN32
// The test links with --wrap=fchmod: the save's fchmod fails with this error
// number, as on a file system that holds no permission bits; 0 for the real call.
int fchmodRefusal = 0;
extern "C" int __real_fchmod(int fd, mode_t mode);
extern "C" int __wrap_fchmod(int fd, mode_t mode)
{
    if (fchmodRefusal == 0)
        return __real_fchmod(fd, mode);
    errno = fchmodRefusal;
    return -1;
}
#endif

} // namespace

// A save writes the whole file or, with a failure, nothing: no file left
// behind, an existing file untouched.
TEST(Workbook, SavesTheWholeFileOrNothing)
{
    std::vector<SaveCase> cases = {
        {"MissingFolder", [](const fs::path &f) { return f / "no such folder" / "out.xls"; }, 76},
        {"TargetIsAFolder", [](const fs::path &f) { fs::create_directory(f / "folder.xls"); return f / "folder.xls"; }, 75},
        {"NameTooLong", [](const fs::path &f) { return f / (std::string(300, 'n') + ".xls"); }, 52},
        // A spreadsheet program's lock file beside the workbook: LibreOffice's, then the Windows program's.
        {"LockedByLibreOffice", [](const fs::path &f) { testdata::writeFile(f / ".~lock.old.xls#", ",user,host,;"); return f / "old.xls"; }, 70},
        {"LockedOnASharedFolder", [](const fs::path &f) { testdata::writeFile(f / "~$old.xls", "user"); return f / "old.xls"; }, 70},
        {"TooLargeForTheFormat", [](const fs::path &f) { return f / "old.xls"; }, 1004},
    };
#ifdef _WIN32
    // Attributes and permissions are kept by ReplaceFileW itself.
    const std::vector<SaveCase> platformCases = {
        {"NewFile", [](const fs::path &f) { return f / "new.xls"; }, 0},
        {"Replaced", [](const fs::path &f) { return f / "old.xls"; }, 0},
        {"ReadOnly", [](const fs::path &f) { fs::permissions(f / "old.xls", fs::perms::all, fs::perm_options::remove); return f / "old.xls"; }, 70},
        // As the Windows spreadsheet program holds a workbook it has open.
        {"HeldWithoutSharing", [](const fs::path &f) { return f / "old.xls"; }, 70, 0, 0, nullptr, true},
    };
#else
    // Symbolic links and permission bits are POSIX matters; a full disk and a
    // folder that takes no files are CommandsTest's DiskFullKeepsTheFile and
    // FolderTakesNoFile.
    const std::vector<SaveCase> platformCases = {
        {"NewFile", [](const fs::path &f) { return f / "new.xls"; }, 0, 0644},
        {"ReplacedKeepsItsMode", [](const fs::path &f) { fs::permissions(f / "old.xls", fs::perms(0640)); return f / "old.xls"; }, 0, 0640},
        // A file system without permission bits refuses to set them; any other refusal fails the save.
        {"ReplacedWhereModesAreNotHeld", [](const fs::path &f) { fs::permissions(f / "old.xls", fs::perms(0640)); return f / "old.xls"; }, 0, 0644, EOPNOTSUPP},
        {"ReplacedWhereModesCannotBeSet", [](const fs::path &f) { return f / "old.xls"; }, 0, 0644, ENOSYS},
        {"ModeRefusedByAFailingDisk", [](const fs::path &f) { return f / "old.xls"; }, 57, 0, EIO},
        {"LinkToAFileNotYetThere", [](const fs::path &f) { fs::create_symlink("real.xls", f / "link.xls"); return f / "link.xls"; }, 0, 0644, 0, "real.xls"},
        {"LinkInAChainToAnotherFolder", [](const fs::path &f) {
             fs::create_directory(f / "sub"), fs::create_symlink("sub/next.xls", f / "link.xls"), fs::create_symlink("../old.xls", f / "sub/next.xls");
             return f / "link.xls"; }, 0, 0644, 0, "old.xls"},
        {"LinkInALoop", [](const fs::path &f) { fs::create_symlink("link.xls", f / "link.xls"); return f / "link.xls"; }, 75},
        {"LockedBesideTheLinkedFile", [](const fs::path &f) {
             testdata::writeFile(f / ".~lock.old.xls#", ",user,host,;"), fs::create_symlink("old.xls", f / "link.xls");
             return f / "link.xls"; }, 70},
    };
    const mode_t mask = ::umask(022);
#endif
    cases.insert(cases.end(), platformCases.begin(), platformCases.end());
    for (const SaveCase &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path folder = testdata::freshFolder(std::string("save-") + c.name);
        testdata::writeFile(folder / "old.xls", "the previous workbook");
        const fs::path path = c.prepare(folder);
        auto files = filesIn(folder);
        spreadsheet::Workbook book;
        for (int row = 0; row < (c.failure == 1004 ? 110 : 1); ++row) // 110 strings of 64 KiB: over 7 MiB
            book.Worksheets("Sheet1").Cells(row + 1, 2).setValue(std::u16string(32767, char16_t(0x4e00 + row)));
#ifdef _WIN32
        auto holder = test::holdOpen(path, GENERIC_READ, 0);
        if (!c.heldOpen)
            holder.reset();
        ASSERT_EQ(bool(holder), c.heldOpen);
        EXPECT_EQ(test::failureOf([&] { book.SaveAs(path); }), c.failure);
        holder.reset();
#else
        fchmodRefusal = c.modeRefusal;
        EXPECT_EQ(test::failureOf([&] { book.SaveAs(path); }), c.failure);
        fchmodRefusal = 0;
#endif
        if (c.failure == 0) { // the file a link names is written, and the link is kept
            const auto bytes = book.fileBytes();
            files[c.linkedFile ? fs::path(c.linkedFile) : path.filename()] = std::string(bytes.begin(), bytes.end());
            EXPECT_TRUE(c.mode == 0 || fs::status(path).permissions() == fs::perms(c.mode));
        }
        EXPECT_EQ(filesIn(folder), files) << "a failed save changes nothing; a save writes the whole file";
    }
#ifndef _WIN32
    ::umask(mask);
#endif
}

// A log and its workbook in a folder of the same name, in any script: the
// names reach the system as they are, UTF-16 on Windows, UTF-8 bytes here.
TEST(Workbook, ReadsAndSavesUnderAnyName)
{
    const fs::path root = testdata::freshFolder("names");
    for (const std::u8string name : {u8"Messdaten Größe", u8"Тест", u8"測定"}) {
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        const fs::path folder = root / name;
        fs::create_directory(folder);
        Dataset data;
        const fs::path log = testdata::writeDat(folder / (name + u8".dat"), {.points = 3});
        ASSERT_EQ(test::failureOf([&] { readDatFile(log, data); }), 0);
        EXPECT_EQ(data.pointCount, 3);
        std::vector<unsigned char> bytes;
        spreadsheet::Application application;
        EXPECT_EQ(test::failureOf([&] {
            convertDataset(application, data, convertedAt, [&](spreadsheet::Workbook &book) {
                bytes = book.fileBytes();
                return folder / (name + u8".xls");
            });
        }), 0);
        const std::map<fs::path, std::string> expected = {{name + u8".dat", testdata::datBytes({.points = 3})},
                                                          {name + u8".xls", std::string(bytes.begin(), bytes.end())}};
        EXPECT_EQ(filesIn(folder), expected);
    }
}

// A workbook stream that comes out at another size than was counted for it
// fails the save, and no damaged file takes the old one's place: here a cell
// changes after the count, to a number written as a longer or shorter record.
TEST(Workbook, AStreamOfAnotherSizeThanCountedFailsTheSave)
{
    const struct { const char *name; double counted, written; int failure; } cases[] = {
        {.name = "SameRecord", .counted = 0.5, .written = 0.25, .failure = 0},
        {.name = "LongerRecord", .counted = 2.0, .written = 0.1, .failure = ApplicationDefined},
        {.name = "ShorterRecord", .counted = 0.1, .written = 2.0, .failure = ApplicationDefined}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = testdata::freshFolder(std::string("count-") + c.name);
        testdata::writeFile(folder + "/old.xls", "the previous workbook");
        const auto files = filesIn(folder);
        spreadsheet::Workbook book;
        spreadsheet::Worksheet &sheet = book.Worksheets("Sheet1");
        sheet.Cells(1, 1).setValue(c.counted);
        EXPECT_EQ(test::failureOf([&] {
            spreadsheet::saveAtomically(folder + "/old.xls", [&](const spreadsheet::ByteWriter &write) {
                const spreadsheet::WorkbookStream stream({&sheet});
                sheet.Cells(1, 1).setValue(c.written);
                spreadsheet::writeCompoundFile(stream.size(), [&](const auto &to) { stream.writeTo(to); }, write);
            });
        }), c.failure);
        EXPECT_EQ(filesIn(folder) == files, c.failure != 0) << "a failed save leaves the old file as it was";
    }
}
