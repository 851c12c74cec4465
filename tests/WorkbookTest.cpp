// The workbook: a handful of generated logs, each read, laid out and saved as
// the convert command does it, each left with the cells real readers must
// find in it (readers/compare_cells.py reads it back with xlrd and with
// LibreOffice); then every way a save ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <limits>
#include <thread>

#include "DatGenerator.h"
#include "ThisSystem.h"
#include "datfile/DatReader.h"
#include "workbook/ConvertDataset.h"
#include "workbook/spreadsheet/AtomicSave.h"
#include "workbook/spreadsheet/Biff8Writer.h"
#include "workbook/spreadsheet/CompoundFile.h"
#include "workbook/spreadsheet/SaveSystem.h"

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

// A cell as the readers report it: its kind (text, number, date, error), a
// date's serial or an error's code (0x24 is #NUM!), and where named the
// record it must come from.
struct Cell {
    std::string kind;
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
    CellMap cells{{{0, 0}, {"text", u"Periodic Data Import"}},
                  {{1, 0}, {"date", {}, 45429.0 + (14 * 3600 + 3 * 60 + 9) / 86400.0}},
                  {{2, 0}, {"text", u"Logging Time Inteval (s) ="}}, {{2, 1}, {"number", {}, interval}},
                  {{4, 0}, {"text", u"Time Increment (s)"}}, {{6, 0}, {"number", {}, interval}}};
    for (int i = 1; i < data.pointCount; ++i)
        cells[{6 + i, 0}] = {"number", {}, (i + 1) * interval};
    for (int k = 0; k < 7; ++k) {
        cells[{4, 1 + k}] = {"text", data.channelNames[std::size_t(k)].text()};
        for (int i = 0; i < data.pointCount; ++i) {
            const double value = *data.channelValues[std::size_t(k)][std::size_t(i)];
            cells[{6 + i, 1 + k}] = std::isfinite(value) ? Cell{"number", {}, value} : Cell{"error", {}, 36.0};
        }
    }
    return cells;
}

// Where the workbook goes in the read-back folder, with NAME.cells written
// beside it: what readers/compare_cells.py must find in it, all cells and the
// fitted widths of Sheet1, two empty sheets after it; numbers in hex, which
// Python's float.fromhex reads back bit for bit, texts by their UTF-16 units.
// (A Windows program could not run the readers itself: Wine hands back neither
// their output nor their end.)
fs::path readBackPath(spreadsheet::Workbook &book, const std::string &name, const CellMap &cells)
{
    const fs::path folder = KESTRANE_READBACK_FOLDER;
    fs::create_directories(folder);
    std::ofstream out(folder / (name + ".cells"));
    out << "sheet Sheet1\n" << std::hexfloat << std::setfill('0');
    for (const auto &[place, cell] : cells) {
        out << "cell " << place.first << ' ' << place.second << ' ' << cell.kind << ' ' << cell.number << ' ';
        for (const char16_t unit : cell.text)
            out << std::hex << std::setw(4) << int(unit) << std::dec;
        out << (cell.text.empty() ? "-" : "") << ' ' << cell.record << '\n';
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
    // Read from a folder whose name, in three scripts, reaches the system as it is: UTF-16 on Windows, UTF-8 here.
    const fs::path folder = fs::path(testdata::freshFolder("layout")) / u8"Messdaten Größe Тест 測定";
    fs::create_directory(folder);
    std::vector<std::map<int, std::uint16_t>> widths;
    spreadsheet::Application application;
    for (const auto &[name, spec, texts] : logs) {
        Dataset data;
        readDatFile(testdata::writeDat(folder / (name + ".dat"), spec), data);
        CellMap expected = expectedCells(data);
        convertDataset(application, data, convertedAt, [&](spreadsheet::Workbook &book) {
            for (int row = 0; row < int(texts.size()); ++row) {
                book.Worksheets("sheet1").Cells(row + 1, 10).setValue(texts[std::size_t(row)]);
                expected[{row, 9}] = {"text", texts[std::size_t(row)]};
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
// error #NUM! where it is not finite. Values at and across each edge; -0.0,
// NaN and infinity are in the special log's workbook.
TEST(Workbook, EachNumberReadsBackFromTheRecordChosenForIt)
{
    constexpr const char *Integer = "RK-integer", *High32 = "RK-float", *Number = "NUMBER", *NumError = "BOOLERR";
    const struct { const char *name; double value; std::string record; } numbers[] = {
        {.name = "Zero", .value = 0.0, .record = Integer},
        {.name = "LowestInteger", .value = -536870912.0, .record = Integer},
        {.name = "BelowIt", .value = -536870913.0, .record = Number},
        {.name = "HighestInteger", .value = 536870911.0, .record = Integer},
        {.name = "AboveIt", .value = 536870913.0, .record = Number},
        {.name = "TwoTo29", .value = 536870912.0, .record = High32},
        {.name = "Fraction", .value = -2.5, .record = High32},
        // Singles near 21.7 and -0.0123 with one of bits 29 to 34 set, where RK's edge lies: the double's 5th and
        // 6th hex digits after the point.
        {.name = "LowBitsClear", .value = 0x1.5b334p+4, .record = High32},
        {.name = "Bit33TheIntegerFlag", .value = 0x1.5b332p+4, .record = Number},
        {.name = "Bit32TheTimes100Flag", .value = 0x1.5b331p+4, .record = Number},
        {.name = "LowestBit", .value = -0x1.930b82p-7, .record = Number},
        {.name = "SmallestSingle", .value = std::numeric_limits<float>::denorm_min(), .record = High32},
        {.name = "MinusInfinity", .value = -std::numeric_limits<double>::infinity(), .record = NumError}};
    spreadsheet::Workbook book;
    CellMap cells;
    for (int row = 0; row < int(std::size(numbers)); ++row) {
        const auto &n = numbers[row];
        book.Worksheets("Sheet1").Cells(row + 1, 1).setValue(n.value);
        const bool error = n.record == NumError;
        cells[{row, 0}] = {error ? "error" : "number", {}, error ? 36.0 : n.value, n.record};
    }
    book.SaveAs(readBackPath(book, "numbers", cells));
}

// The conversion time, cell A2, is the local clock's: here that of a zone
// half an hour off the hour (the test runs with TZ=ACST-9:30), so that a
// clock read in universal time, or in another zone, is caught.
TEST(Workbook, TheConversionTimeIsTheLocalClock)
{
    using namespace std::chrono;
    sys_seconds before, after;
    spreadsheet::DateTime now;
    do { // again if the second turns meanwhile
        before = floor<seconds>(system_clock::now()), now = spreadsheet::DateTime::now();
        after = floor<seconds>(system_clock::now());
    } while (before != after);
    const duration<double, days::period> serial = before + 9h + 30min - sys_days(1899y / 12 / 30);
    EXPECT_NEAR(now.serial, serial.count(), 0.5 / 86400);
}

namespace {

using spreadsheet::SaveSystem;
using test::Event;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Each file of a folder with its content; one the save has kept, by what it
// is (Temporary or Backup), where the failure's description says where it is.
const std::string Temporary = "(temporary)", Backup = "(backup)", Gone = "(gone)";
std::map<fs::path, std::string> filesIn(const fs::path &folder, const std::string &description = "")
{
    std::map<fs::path, std::string> files;
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        fs::path name = entry.path().lexically_relative(folder);
        const std::string file = name.filename().string();
        if (file.starts_with(".kestrane-") && description.find(file) != std::string::npos)
            name = name.extension() == ".tmp" ? Temporary : Backup;
        files[name] = entry.is_symlink()     ? "a link to " + fs::read_symlink(entry).string()
                      : entry.is_directory() ? "a folder"
                                             : std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// Calls of the save to the system that answer with an event's commonest
// error instead: for good, the first time only, or while another program
// holds the file, for a moment from the first call.
auto fails(Event event)
{
    return [event](auto &&...) { return test::errorsFor(event).front(); };
}
template <typename Call> Call failsOnce(Event event, Call real)
{
    return [event, real, first = std::make_shared<bool>(true)](auto &&...a) {
        return std::exchange(*first, false) ? test::errorsFor(event).front() : real(a...);
    };
}
template <typename Call> Call heldAMoment(Call real)
{
    return [real, until = std::make_shared<Clock::time_point>()](auto &&...a) {
        *until = *until == Clock::time_point{} ? Clock::now() + 300ms : *until;
        return Clock::now() < *until ? test::errorsFor(Event::Held).front() : real(a...);
    };
}
// A close that fails has closed the file all the same, as every system's does.
template <typename Call> Call closesAndFails(Event event, Call real)
{
    return [event, real](auto &&...a) { return real(a...), test::errorsFor(event).front(); };
}
// A replace that stops half-way, as Windows' ReplaceFileW may: the old
// workbook moved to the backup name, or gone.
enum class HalfWay { OldAside, OldGone };
auto stopsHalfWay(HalfWay first, Event event)
{
    return [=](const fs::path &target, const fs::path &, const fs::path &backup) {
        first == HalfWay::OldAside ? fs::rename(target, backup) : void(fs::remove(target));
        return test::errorsFor(event).front();
    };
}

const std::string Old = "the previous workbook", New = "the new workbook";
void writeNew(const spreadsheet::ByteWriter &write)
{
    write({reinterpret_cast<const unsigned char *>(New.data()), New.size()});
}
// A workbook stream that comes out at another size than was counted for it:
// a cell changes after the count, to a number written as a longer or a
// shorter record.
template <double Counted, double Written> void changedAfterTheCount(const spreadsheet::ByteWriter &write)
{
    spreadsheet::Workbook book;
    spreadsheet::Worksheet &sheet = book.Worksheets("Sheet1");
    sheet.Cells(1, 1).setValue(Counted);
    const spreadsheet::WorkbookStream stream({&sheet});
    sheet.Cells(1, 1).setValue(Written);
    spreadsheet::writeCompoundFile(stream.size(), [&](const auto &to) { stream.writeTo(to); }, write);
}

// LibreOffice's lock file beside the workbook it has open.
void lockedByLibreOffice(const fs::path &workbook)
{
    testdata::writeFile(workbook.parent_path() / (".~lock." + workbook.filename().string() + "#"), ",user,host,;");
}

struct SaveRow {
    const char *name;
    test::Platforms on = test::Everywhere;
    fs::path target = "old.xls"; // in the folder, beside old.xls
    void (*prepare)(fs::path &target) = [](fs::path &) {}; // makes the folder's state, may move the target
    void (*fake)(SaveSystem &) = [](SaveSystem &) {}; // puts fakes in the place of the save's calls
    void (*produce)(const spreadsheet::ByteWriter &) = writeNew;
    int failure = 0;
    // The files afterwards that are not as before (Gone: no longer there);
    // by default, on success, the new workbook where the path says.
    std::map<fs::path, std::string> files = {};
    unsigned mode = 0; // of the saved workbook, where it matters
    std::chrono::milliseconds heldFor{}; // by a scanner, from the start of the save
};

} // namespace

// A save writes the whole file, or with a failure leaves the old workbook as
// it was and no temporary file, or says where what it could not clear away
// lies; whichever of its calls fails, wherever a replace stops half-way.
TEST(Workbook, SavesTheWholeFileOrNothing)
{
    constexpr auto Posix = test::Posix, Windows = test::Windows;
    const SaveRow rows[] = {
        // A name in three scripts reaches the system as it is: UTF-16 on Windows, UTF-8 bytes here.
        {.name = "NameInAnyScript", .target = u8"Messdaten Größe Тест 測定.xls"},
        {.name = "TargetIsAFolder", .target = "d", .prepare = [](fs::path &t) { fs::create_directory(t); },
         .failure = PathFileAccessError},
        {.name = "NameTooLong", .target = std::string(300, 'n') + ".xls", .failure = BadFileNameOrNumber},
        // A spreadsheet program's lock file beside the workbook: LibreOffice's, the Windows program's owner file.
        {.name = "LockedByLibreOffice", .prepare = [](fs::path &t) { lockedByLibreOffice(t); },
         .failure = PermissionDenied},
        {.name = "OwnerFileBeside", .prepare = [](fs::path &t) {
             testdata::writeFile(t.parent_path() / "~$old.xls", "user"), test::hide(t.parent_path() / "~$old.xls"); },
         .failure = PermissionDenied},
        // Each call failing: no temporary file left, the old workbook as it was.
        {.name = "CreateFails", .fake = [](auto &s) { s.createNew = fails(Event::NotAllowed); },
         .failure = PermissionDenied},
        {.name = "FlushFails", .fake = [](auto &s) { s.flush = fails(Event::DiskFailing); }, .failure = DeviceIOError},
        {.name = "FlushNotSupported", .fake = [](auto &s) { s.flush = fails(Event::NotSupported); }},
        {.name = "CloseFails", .fake = [](auto &s) { s.close = closesAndFails(Event::QuotaExceeded, s.close); },
         .failure = DiskFull},
        {.name = "ReplaceAndItsFallbackFail",
         .fake = [](auto &s) { s.replace = fails(Event::NotMoved), s.move = fails(Event::ShareGone); },
         .failure = DeviceIOError},
        {.name = "NewFileNotMoved", .target = "new.xls", .fake = [](auto &s) { s.move = fails(Event::DeviceNotReady); },
         .failure = DeviceIOError},
        {.name = "RemovalWaitedOut",
         .fake = [](auto &s) { s.write = fails(Event::DiskFull), s.remove = heldAMoment(s.remove); },
         .failure = DiskFull},
        {.name = "RemovalRefused",
         .fake = [](auto &s) { s.write = fails(Event::DiskFull), s.remove = fails(Event::Held); },
         .failure = DiskFull, .files = {{"old.xls", Old}, {Temporary, ""}}},
        {.name = "FolderFlushFails", .on = Posix, .fake = [](auto &s) { s.flushFolder = fails(Event::DiskFailing); },
         .failure = DeviceIOError, .files = {{"old.xls", New}}},
        // Half-way: a replace that has moved nothing (1175, 1176) or the old workbook to the backup name (1177).
        {.name = "NothingMovedMovesInstead", .fake = [](auto &s) { s.replace = fails(Event::NotMoved); }},
        {.name = "OldMovedAsideMovesInstead",
         .fake = [](auto &s) { s.replace = stopsHalfWay(HalfWay::OldAside, Event::NotMoved); }},
        {.name = "OldMovedAsidePutBack", .fake = [](auto &s) {
             s.replace = stopsHalfWay(HalfWay::OldAside, Event::NotMoved);
             s.move = failsOnce(Event::DeviceGone, s.move); }, .failure = DeviceIOError},
        {.name = "OldMovedAsideKept", .fake = [](auto &s) {
             s.replace = stopsHalfWay(HalfWay::OldAside, Event::NotMoved), s.move = fails(Event::DeviceGone); },
         .failure = DeviceIOError, .files = {{"old.xls", Gone}, {Temporary, New}, {Backup, Old}}},
        {.name = "OldVanishedNewKept", .fake = [](auto &s) {
             s.replace = stopsHalfWay(HalfWay::OldGone, Event::NotFound), s.move = fails(Event::ShareGone); },
         .failure = DeviceIOError, .files = {{"old.xls", Gone}, {Temporary, New}}},
        // Held by a scanner, an indexer or a sync client: a moment is waited out; for good, it is reported.
        {.name = "ReplaceHeldAMoment", .fake = [](auto &s) { s.replace = heldAMoment(s.replace); }},
        {.name = "ReplaceHeldForGood", .fake = [](auto &s) { s.replace = fails(Event::Held); },
         .failure = PermissionDenied},
        {.name = "ScannerLetsGo", .on = Windows, .heldFor = 300ms},
        {.name = "BackupLeft", .on = Windows, .fake = [](auto &s) { s.remove = fails(Event::Held); },
         .failure = PermissionDenied, .files = {{"old.xls", New}, {Backup, Old}}},
        {.name = "ReadOnly", .on = Windows, .prepare = [](fs::path &t) {
             fs::permissions(t, fs::perms::owner_write, fs::perm_options::remove); }, .failure = PermissionDenied},
        // Permission bits carry over where the file system holds them.
        {.name = "KeepsItsMode", .on = Posix, .prepare = [](fs::path &t) { fs::permissions(t, fs::perms(0640)); },
         .mode = 0640},
        {.name = "ModesNotHeld", .on = Posix, .fake = [](auto &s) { s.copyMode = fails(Event::NotSupported); }},
        {.name = "ModeRefusedByAFailingDisk", .on = Posix,
         .fake = [](auto &s) { s.copyMode = fails(Event::DiskFailing); }, .failure = DeviceIOError},
        // A symbolic link is kept, and the file it names written.
        {.name = "LinkToAFileNotYetThere", .on = Posix, .target = "link.xls",
         .prepare = [](fs::path &t) { fs::create_symlink("real.xls", t); }, .files = {{"real.xls", New}}},
        {.name = "LinkInAChainToAnotherFolder", .on = Posix, .target = "link.xls", .prepare = [](fs::path &t) {
             fs::create_directory(t.parent_path() / "sub"), fs::create_symlink("sub/next.xls", t);
             fs::create_symlink("../old.xls", t.parent_path() / "sub/next.xls"); }, .files = {{"old.xls", New}}},
        {.name = "LinkInALoop", .on = Posix, .target = "link.xls",
         .prepare = [](fs::path &t) { fs::create_symlink("link.xls", t); }, .failure = PathFileAccessError},
        {.name = "LockedBesideTheLinkedFile", .on = Posix, .target = "link.xls", .prepare = [](fs::path &t) {
             fs::create_symlink("old.xls", t), lockedByLibreOffice(t.parent_path() / "old.xls"); },
         .failure = PermissionDenied},
        // The stream comes out at another size than was counted for it: no damaged file takes the old one's place.
        {.name = "StreamLongerThanCounted", .produce = changedAfterTheCount<2.0, 0.1>, .failure = ApplicationDefined},
        {.name = "StreamShorterThanCounted", .produce = changedAfterTheCount<0.1, 2.0>, .failure = ApplicationDefined},
    };
    for (const SaveRow &row : rows) {
        if ((row.on & test::ThisPlatform) == 0)
            continue;
        SCOPED_TRACE(row.name);
        const fs::path folder = testdata::freshFolder(std::string("save-") + row.name);
        testdata::writeFile(folder / "old.xls", Old);
        fs::path path = folder / row.target;
        row.prepare(path);
        auto files = filesIn(folder);
        auto holder = row.heldFor == 0ms ? nullptr : test::holdOpen(path, test::Sharing::ReadAndWrite);
        ASSERT_EQ(bool(holder), row.heldFor != 0ms);
        // It lets go while the save goes on, as a scanner does.
        const std::jthread letGo([&] { std::this_thread::sleep_for(row.heldFor), holder.reset(); });
        std::string description;
        const auto start = Clock::now();
        const std::shared_ptr<void> realCalls(nullptr, [real = spreadsheet::saveSystem()](void *) {
            spreadsheet::saveSystem() = real; // back when the row ends
        });
        row.fake(spreadsheet::saveSystem());
        const int failure = test::failureOf([&] { spreadsheet::saveAtomically(path, row.produce); }, &description);
        EXPECT_LT(Clock::now() - start, 3s) << "a hold is waited out briefly";
        EXPECT_EQ(failure, row.failure) << description;
        if (row.failure == 0 && row.files.empty())
            files[path.lexically_relative(folder)] = New;
        for (const auto &[name, content] : row.files)
            content == Gone ? void(files.erase(name)) : void(files[name] = content);
        EXPECT_EQ(filesIn(folder, description), files) << "a kept file not named in the description";
        EXPECT_TRUE(row.mode == 0 || fs::status(path).permissions() == fs::perms(row.mode));
    }
}

// The same event gives the operator the same failure on every system,
// whichever of its own errors the system reports it with.
TEST(Workbook, EachEventFailsWithTheSameNumberOnEverySystem)
{
    const struct { std::vector<Event> events; int failure; } rows[] = {
        {.events = {Event::NotFound}, .failure = PathNotFound},
        {.events = {Event::NotAllowed, Event::ShareRefuses, Event::Held}, .failure = PermissionDenied},
        {.events = {Event::DiskFull, Event::QuotaExceeded}, .failure = DiskFull},
        {.events = {Event::DiskFailing, Event::DeviceGone, Event::DeviceNotReady, Event::ShareGone},
         .failure = DeviceIOError},
        {.events = {Event::NameTooLong}, .failure = BadFileNameOrNumber},
        {.events = {Event::NotMoved}, .failure = PathFileAccessError}};
    for (const auto &row : rows)
        for (const Event event : row.events)
            for (const SystemError error : test::errorsFor(event))
                EXPECT_EQ(failureNumberOf(error), row.failure) << "event " << int(event) << ", error " << error;
}
