// The four commands on the real window, one outcome table: each row starts a
// command through one of its entry points from a given state, with a given
// answer in the file dialog (good input and bad), and says what message comes
// up, what state the dataset and the window are left in, whether a workbook
// is written or every file left as it was, and what converting afterwards does.
#include <QAction>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <numeric>
#include <ranges>
#include <sstream>

#include "ThisSystem.h"
#include "DatGenerator.h"
#include "WindowFixture.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrane::test;
using kestrane::MsgBoxButtons, kestrane::MsgBoxIcon;
using kestrane::testdata::DatSpec, kestrane::testdata::writeDat, kestrane::testdata::writeFile;
constexpr int Most = kestrane::testdata::LargestLogPoints;

// The new file a row reads: names with blanks and a code-page degree sign.
DatSpec newFile(int points, float interval = 5.0f)
{
    return {.points = points, .value = [](int c, int p) { return float(c) + float(p) / 1000.0f; },
            .timing = {interval, 0},
            .names = {"Pressure", "Temp \xB0" "C", "Flow", "", std::string(20, ' '), "Channel six long nam", "7"}};
}
// What the commands find loaded: six points under names of their own.
const DatSpec oldFile{.points = 6, .value = [](int c, int p) { return float(-c * 100 - p); },
                      .names = {"Old 1", "Old 2", "Old 3", "Old 4", "Old 5", "Old 6", "Old 7"}};

// The answer in the file dialog: a path below the row's folder, with the good
// or bad input made there first; nullopt to cancel.
using Choice = std::function<std::optional<std::string>(const std::string &dir)>;
template <class... Makes> Choice path(std::string name, Makes... make)
{
    return [=](std::string dir) { return (make(dir), ..., std::optional(dir + "/" + name)); };
}
auto file(std::string name, std::string bytes = "") { return [=](auto d) { writeFile(d + "/" + name, bytes); }; }
auto folder(std::string name) { return [=](auto d) { fs::create_directory(d + "/" + name); }; }
auto link(std::string name, std::string to) { return [=](auto d) { fs::create_symlink(to, d + "/" + name); }; }
auto perms(std::string name, auto... how) { return [=](auto d) { fs::permissions(d + "/" + name, how...); }; }
auto hidden(std::string name) { return [=](auto d) { writeFile(d + "/" + name, ""), hide(d + "/" + name); }; }
auto pipe(std::string name) { return [=](auto d) { ASSERT_TRUE(makePipe(d + "/" + name)); }; }
Choice bytes(std::string name, std::string content = "") { return path(name, file(name, content)); }
Choice dat(std::string name, int points, float interval = 5.0f) // its folders made first
{
    return path(name, [=](auto d) { fs::create_directories(fs::path(d + "/" + name).parent_path()); },
                [=](auto d) { writeDat(d + "/" + name, newFile(points, interval)); });
}
Choice elsewhere(std::string path) { return [=](auto) { return std::optional(path); }; }
const Choice cancel = [](auto) { return std::optional<std::string>(); };
const std::string longDat = std::string(300, 'n') + ".dat", longXls = std::string(300, 'n') + ".xls";

// The entry points, in the order of the test's own table.
enum Route { OpenButton, OpenMenu, CtrlO, ConvertButton, ConvertMenu, CtrlC, UnloadButton, UnloadMenu, CtrlU,
             ExitButton, ExitMenu };
// The focus starts on Unload, after a conversion on Convert.
enum Before { Nothing, NothingConverted, Loaded, Converted };
enum Names { NewNames, NoNames, OldNames };
constexpr int OldValues = -1, NoValues = -2; // or the points read from the new file
enum Focus { OnConvert, OnOpen, Unmoved, Anywhere };
enum Again { Skip, DoesNothing, SaysNoFile, Writes };

struct Outcome {
    const char *message = nullptr, *title = nullptr; // nullptr: no message
    bool loaded = false, converted = false;          // the flags afterwards, and what the window shows:
    Names names = OldNames;
    int values = OldValues;
    const char *status = nullptr; // nullptr: as before
    Focus focus = Unmoved;
    // written: a workbook at the chosen path; otherwise no file changed
    bool openEnabled = true, notice = false, written = false;
    float progress = -1; // -1: as before
    Again again = Skip;  // what converting afterwards does; Skip: the window is gone
};

constexpr const char *Kestrane = "Kestrane", *NoFile = "No File Loaded", *FileLoaded = "File Loaded";
constexpr const char *NotDat = "File must be (.Dat)", *CantRead = "Problems Reading File Back Corrupted Data ! ";
constexpr const char *CantWrite = "Problems Writing Excel File", *Denied = "Permission denied", *DiskFull = "Disk full";
constexpr const char *NoPath = "Path not found", *AccessError = "Path/File access error", *Missing = "File not found";
constexpr const char *OutOfRange = "Subscript out of range", *Overflow = "Overflow";
constexpr const char *Over2GiB = "Overflow: the file is longer than 2 GiB";
constexpr const char *TooLong = "The selected path is longer than the file dialog accepts";

// The outcomes rows share.
Outcome loads(int points) { return {.loaded = true, .names = NewNames, .values = points, .status = FileLoaded,
                                    .focus = OnConvert, .progress = 1, .again = Writes}; }
const Outcome RefusedNotDat{.message = NotDat, .title = Kestrane, .names = NoNames, .status = NoFile,
                            .focus = OnConvert, .again = SaysNoFile};
const Outcome Written{.loaded = true, .converted = true, .values = NoValues, .written = true, .progress = 1,
                      .again = DoesNothing};
Outcome backToNoFile(float progress = -1) { return {.names = NoNames, .values = NoValues, .status = NoFile,
                                                    .focus = OnOpen, .progress = progress, .again = SaysNoFile}; }
Outcome refused(const char *m) { return {.message = m, .title = Kestrane, .converted = true, .again = DoesNothing}; }
Outcome openFails(const char *t) { return {.message = CantRead, .title = t, .status = NoFile, .again = SaysNoFile}; }
// Once the length was known the notice stays up; the points read before the refusal stay too.
Outcome readFails(const char *t, int read = OldValues)
{
    return {.message = CantRead, .title = t, .values = read, .status = NoFile, .notice = true,
            .progress = read < 0 ? -1.0f : read, .again = SaysNoFile};
}
// The data stay for another try.
Outcome unwritable(const char *t) { return {.message = CantWrite, .title = t, .loaded = true, .openEnabled = false,
                                            .progress = 6, .again = Writes}; }

struct Row {
    const char *name;
    Route by;
    Before from;
    Choice pick = path("out.xls");
    Outcome then;
    Condition under = Plainly;
    Platforms on = Everywhere;
};

const Row rows[] = {
    // open: read completely, refused, cancelled
    {.name = "Read", .by = OpenButton, .from = Nothing, .pick = dat("run.dat", 5), .then = loads(5)},
    {.name = "ReadOverALargerFile", .by = OpenMenu, .from = Loaded, .pick = dat("run.dat", 2), .then = loads(2)},
    {.name = "ReadAfterAConversion", .by = CtrlO, .from = Converted, .pick = dat("run.dat", 3), .then = loads(3)},
    {.name = "NoDataPoints", .by = OpenButton, .from = Nothing, .pick = dat("none.dat", 0), .then = loads(0)},
    {.name = "OneDataPoint", .by = OpenMenu, .from = Loaded, .pick = dat("one.dat", 1), .then = loads(1)},
    {.name = "MostPoints", .by = CtrlO, .from = Nothing, .pick = dat("big.dat", Most), .then = loads(Most)},
    {.name = "DatOnlyInAFolderName", .by = OpenButton, .from = Nothing, .pick = dat("x.data/run", 4), .then = loads(4)},
    {.name = "PathWithoutDat", .by = OpenMenu, .from = Loaded, .pick = dat("run.bin", 4), .then = RefusedNotDat},
    {.name = "UpperCaseDAT", .by = CtrlO, .from = Converted, .pick = dat("RUN.DAT", 4), .then = RefusedNotDat},
    {.name = "OpenCancelledWithAFile", .by = OpenButton, .from = Loaded, .pick = cancel, .then = backToNoFile()},
    {.name = "OpenCancelledWithout", .by = CtrlO, .from = Nothing, .pick = cancel, .then = backToNoFile()},
    // open: files that cannot be read
    {.name = "Shorter110Bytes", .by = OpenMenu, .from = Converted, .pick = bytes("short.dat", std::string(109, '\0')),
     .then = readFails(OutOfRange)},
    {.name = "EmptyFile", .by = OpenButton, .from = Loaded, .pick = bytes("empty.dat"), .then = readFails(OutOfRange)},
    {.name = "Points4680", .by = CtrlO, .from = Loaded, .pick = dat("big.dat", Most + 1),
     .then = readFails(Overflow, Most + 1)},
    {.name = "IntervalNaN", .by = OpenMenu, .from = Nothing, .pick = dat("nan.dat", 2, NAN),
     .then = readFails(Overflow, 2)},
    {.name = "Missing", .by = OpenMenu, .from = Loaded, .pick = path("gone.dat"), .then = openFails(Missing)},
    {.name = "FolderNamedDotDat", .by = OpenButton, .from = Nothing, .pick = path("f.dat", folder("f.dat")),
     .then = openFails(AccessError)},
    {.name = "PathThroughAFile", .by = OpenMenu, .from = Loaded, .pick = path("f.txt/run.dat", file("f.txt", "x")),
     .then = openFails(NoPath)},
    {.name = "PathTooLong", .by = CtrlO, .from = Loaded, .pick = path(longDat), .then = openFails(TooLong)},
    {.name = "Beyond2GiB", .by = OpenMenu, .from = Loaded,
     .pick = path("big.dat", file("big.dat"), [](auto d) { fs::resize_file(d + "/big.dat", 5ull << 30); }),
     .then = openFails(Over2GiB)},
    {.name = "LogHeldWithoutSharing", .by = OpenMenu, .from = Loaded, .pick = dat("held.dat", 2),
     .then = openFails(Denied), .under = HeldOpen, .on = Windows},
    // Symbolic links take a privilege on Windows; pipes in a folder and permission bits are POSIX.
    {.name = "SymbolicLinkLoop", .by = CtrlO, .from = Loaded,
     .pick = path("a.dat", link("a.dat", "b"), link("b", "a.dat")), .then = openFails(AccessError), .on = Posix},
    {.name = "NamedPipe", .by = OpenButton, .from = Nothing, .pick = path("pipe.dat", pipe("pipe.dat")),
     .then = readFails(OutOfRange), .on = Posix},
    {.name = "NoReadPermission", .by = OpenMenu, .from = Loaded,
     .pick = path("locked.dat", dat("locked.dat", 2), perms("locked.dat", fs::perms::none)), .then = openFails(Denied),
     .under = AsNobody, .on = Posix},
    // convert
    {.name = "AlreadyConverted", .by = ConvertButton, .from = Converted,
     .then = {.loaded = true, .converted = true, .openEnabled = false, .again = DoesNothing}},
    {.name = "NothingLoaded", .by = ConvertMenu, .from = Nothing, .then = refused("No (.DAT) File Loaded")},
    {.name = "Saved", .by = CtrlC, .from = Loaded, .then = Written},
    {.name = "SavedOverAFile", .by = ConvertButton, .from = Loaded, .pick = bytes("out.xls", "older"), .then = Written},
    {.name = "SaveCancelled", .by = ConvertMenu, .from = Loaded, .pick = cancel, .then = backToNoFile(1)},
    // convert: targets that cannot be written
    {.name = "MissingFolder", .by = CtrlC, .from = Loaded, .pick = path("no/out.xls"), .then = unwritable(NoPath)},
    {.name = "TargetIsAFolder", .by = ConvertButton, .from = Loaded, .pick = path("out.xls", folder("out.xls")),
     .then = unwritable(AccessError)},
    {.name = "TargetThroughAFile", .by = ConvertMenu, .from = Loaded, .pick = path("f.txt/out.xls", file("f.txt", "x")),
     .then = unwritable(NoPath)},
    {.name = "TargetTooLong", .by = ConvertButton, .from = Loaded, .pick = path(longXls), .then = unwritable(TooLong)},
    {.name = "OpenInLibreOffice", .by = CtrlC, .from = Loaded,
     .pick = path("out.xls", file("out.xls", "open"), file(".~lock.out.xls#")), .then = unwritable(Denied)},
    {.name = "OpenInTheWindowsProgram", .by = ConvertMenu, .from = Loaded, .pick = path("out.xls", hidden("~$out.xls")),
     .then = unwritable(Denied)},
    // Root writes a read-only file on POSIX.
    {.name = "ReadOnlyWorkbook", .by = CtrlC, .from = Loaded, .pick = path("out.xls", file("out.xls", "old"),
     perms("out.xls", fs::perms::owner_write, fs::perm_options::remove)), .then = unwritable(Denied), .on = Windows},
    {.name = "WorkbookHeldWithoutSharing", .by = ConvertButton, .from = Loaded, .pick = bytes("out.xls", "open"),
     .then = unwritable(Denied), .under = HeldOpen, .on = Windows},
    // The kernel's own folders and a limit on the size of files are POSIX.
    {.name = "FolderTakesNoFile", .by = CtrlC, .from = Loaded, .pick = elsewhere("/sys/kernel/kestrane.xls"),
     .then = unwritable(Denied), .on = Posix},
    {.name = "DiskFullKeepsTheFile", .by = ConvertMenu, .from = Loaded, .pick = bytes("out.xls", "yesterday"),
     .then = unwritable(DiskFull), .under = OnAFullDisk, .on = Posix},
    // unload and exit
    {.name = "Unload", .by = UnloadButton, .from = Converted, .then = backToNoFile()},
    {.name = "UnloadFromMenu", .by = UnloadMenu, .from = Loaded, .then = backToNoFile()},
    {.name = "UnloadByKey", .by = CtrlU, .from = Loaded, .then = backToNoFile()},
    {.name = "NothingToUnload", .by = UnloadMenu, .from = NothingConverted, .then = refused("No File to Unload")},
    {.name = "Exit", .by = ExitButton, .from = Loaded, .then = {.loaded = true, .values = NoValues, .focus = Anywhere}},
    {.name = "ExitFromMenu", .by = ExitMenu, .from = Nothing, .then = {.focus = Anywhere}},
};
// This platform's rows: the others' are no tests here at all.
auto rowsHere = rows | std::views::filter([](const Row &row) { return (row.on & ThisPlatform) != 0; });

// Every entry below a folder, with the bytes of each small regular file;
// links are not followed, pipes not opened.
std::map<std::string, std::string> listing(const std::string &dir)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(dir)) {
        const auto status = e.symlink_status();
        std::string &entry = entries[e.path().lexically_relative(dir).string()] = std::to_string(int(status.type()));
        if (!fs::is_regular_file(status))
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        entry += e.file_size() < (1 << 20) ? (std::ostringstream() << in.rdbuf()).str() : std::to_string(e.file_size());
    }
    return entries;
}

void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }

class CommandsTest : public WindowFixture, public ::testing::WithParamInterface<Row> {};

TEST_P(CommandsTest, Outcome)
{
    const auto &[name, by, from, pick, o, under, on] = GetParam();
    frmDataEntry &w = *window;
    const kestrane::Dataset &d = w.dataset;
    const std::string dir = kestrane::testdata::freshFolder(name);
    const bool loaded = from == Loaded || from == Converted, converted = from == Converted || from == NothingConverted;
    if (loaded)
        answer(writeDat(dir + "/previous.dat", oldFile)), w.cmdConvirt->click();
    answer(dir + "/previous.xls"); // for a conversion, where there is one
    for (int twice = 0; twice < (from == NothingConverted ? 2 : from == Converted); ++twice)
        w.cmdSaveFile->click(); // with nothing loaded: a message, then nothing at all
    ASSERT_EQ(std::pair(d.fileLoaded, d.fileConverted), std::pair(loaded, converted));
    w.cmdSaveFile->setFocus(); // then off it: the focus rule leaves it on Unload
    if (from != Converted)
        w.cmdUnload->setFocus();
    dialogs->messages.clear(), dialogs->fileDialogs.clear(), dialogs->fileAnswers.clear();

    const std::optional<std::string> chosen = pick(dir);
    answer(chosen);
    const auto [filesBefore, valuesBefore] = std::pair(listing(dir), d.channelValues);
    const auto [statusBefore, progressBefore] = std::pair(w.StatusBar1->text(), w.ProgressBar1->value());
    std::array<QString, 7> namesBefore;
    std::ranges::transform(w.Label8, namesBefore.begin(), &QLabel::text);
    const auto ctrl = [&](Qt::Key key) { return [=, this] { press(key, Qt::ControlModifier); }; };
    const std::function<void()> entryPoints[] = { // in the order of Route
        [&] { w.cmdConvirt->click(); }, [&] { w.mnuOpen->trigger(); }, ctrl(Qt::Key_O),
        [&] { w.cmdSaveFile->click(); }, [&] { w.mnuConvirt->trigger(); }, ctrl(Qt::Key_C),
        [&] { w.cmdUnload->click(); }, [&] { w.mnuUnloadDatFile->trigger(); }, ctrl(Qt::Key_U),
        [&] { w.cmdExit->click(); }, [&] { w.mnuExit->trigger(); }};
    ASSERT_TRUE(runUnder(under, chosen.value_or(""), entryPoints[by])) << "no such condition here";

    ASSERT_EQ(dialogs->messages.size(), o.message ? 1u : 0u);
    for (const auto &box : dialogs->messages)
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(QString(o.message), QString(o.title), MsgBoxIcon::Information, MsgBoxButtons::OKOnly));
    // Each command prepares the shared file dialog its own way; the save
    // dialog proposes the .DAT file just opened as a workbook and asks before replacing.
    for (const kestrane::FileDialogRequest &asked : dialogs->fileDialogs) {
        const bool save = asked.kind == kestrane::FileDialogKind::Save;
        const QString proposed = asked.fileName.section('/', -1);
        EXPECT_EQ(std::tuple(asked.nameFilters.value(0), asked.confirmOverwrite, asked.defaultSuffix, proposed),
                  save ? std::tuple(QString("Data Files (*.xls *.XLS)"), true, QString("xls"), QString("previous.xls"))
                       : std::tuple(QString("Data Files (*.dat *.DAT)"), false, QString(), proposed));
    }
    const DatSpec newLog = newFile(0); // its names and values
    for (std::size_t k = 0; k < 7; ++k) {
        const QString newName = QString::fromLatin1(newLog.names[k]).leftJustified(20); // whole, blanks and all
        EXPECT_EQ(w.Label8[k]->text(), o.names == NewNames ? newName : o.names == NoNames ? "" : namesBefore[k]);
        const auto &values = d.channelValues[k];
        EXPECT_EQ(o.values == OldValues ? values : valuesBefore[k], valuesBefore[k]);
        EXPECT_EQ(o.values == NoValues ? values.capacity() : 0u, 0u); // storage released
        for (int p = 0; p <= o.values; ++p) // the new values; the slot past the last point stays empty
            ASSERT_EQ(values.at(p), p < o.values ? std::optional(newLog.value(int(k) + 1, p)) : std::nullopt);
    }
    EXPECT_EQ(w.StatusBar1->text(), o.status ? QString(o.status) : statusBefore);
    QWidget *focus[] = {w.cmdSaveFile, w.cmdConvirt, from == Converted ? w.cmdSaveFile : w.cmdUnload,
                        QApplication::focusWidget()};
    EXPECT_EQ(QApplication::focusWidget(), focus[o.focus]);
    EXPECT_EQ(std::pair(d.fileLoaded, d.fileConverted), std::pair(o.loaded, o.converted));
    EXPECT_EQ(std::tuple(w.cmdConvirt->isEnabled(), w.cmdSaveFile->isEnabled(), w.isVisible()),
              std::tuple(o.openEnabled, true, by != ExitButton && by != ExitMenu));
    EXPECT_EQ(w.Label9->isVisible() ? w.Label9->text() : "", o.notice ? "Reading (.DAT) File" : "");
    EXPECT_EQ(w.ProgressBar1->value(), o.progress < 0 ? progressBefore : o.progress);

    // A workbook where asked for; apart from it, every file as it was, and none made elsewhere.
    auto filesAfter = listing(dir), expectedFiles = filesBefore;
    if (o.written) {
        const std::string target = fs::path(*chosen).lexically_relative(dir).string();
        EXPECT_EQ(filesAfter[target].substr(1, 4), "\xD0\xCF\x11\xE0"); // a compound file
        filesAfter.erase(target), expectedFiles.erase(target);
    }
    EXPECT_EQ(filesAfter, expectedFiles);
    EXPECT_TRUE(o.written || !chosen || chosen->starts_with(dir) || !fs::exists(*chosen)) << *chosen;

    // Converting afterwards, to a good target.
    if (o.again == Skip)
        return;
    dialogs->messages.clear(), answer(dir + "/again.xls"), w.cmdSaveFile->click();
    EXPECT_EQ(std::tuple(fs::exists(dir + "/again.xls"), dialogs->messages.size(), w.cmdConvirt->isEnabled()),
              std::tuple(o.again == Writes, o.again == SaysNoFile ? 1u : 0u, o.again != DoesNothing));
    if (o.again == Writes && by < ConvertButton) { // proposed: the log opened, as a workbook
        EXPECT_EQ(dialogs->fileDialogs.back().fileName.toStdString(),
                  fs::path(*chosen).replace_extension(".xls").string());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandsTest, ::testing::ValuesIn(rowsHere.begin(), rowsHere.end()),
                         [](const auto &info) { return std::string(info.param.name); });

// The bar follows every point read, then each channel column converted: a
// seventh of the points further on, rounded, the last no further than the
// point count; back at 1 after each command. It runs from 1 to the point
// count: drawn empty at the first point read, full at the last.
TEST_F(WindowFixture, ProgressPositions)
{
    const struct { int points; std::vector<float> positions; } cases[] = { // the bar after each column
        {.points = 7, .positions = {1, 2, 3, 4, 5, 6, 7}}, {.points = 6, .positions = {1, 2, 3, 4, 5, 6, 6}},
        {.points = 100, .positions = {14, 28, 42, 56, 70, 84, 98}}, {.points = 3, .positions = {0, 0, 0, 0, 0, 0, 0}},
        {.points = 104, .positions = {15, 30, 45, 60, 75, 90, 104}}, {.points = 4, .positions = {1, 2, 3, 4, 5, 6, 4}},
        {.points = Most, .positions = {668, 1336, 2004, 2672, 3340, 4008, 4676}},
        {.points = 11, .positions = {2, 4, 6, 8, 10, 12, 11}},
    };
    std::vector<float> seen;
    std::vector<double> drawn; // the filled part of the bar as each value is set
    QObject::connect(window->ProgressBar1, &kestrane::ProgressBar::valueSet,
                     [&](float v) { seen.push_back(v), drawn.push_back(window->ProgressBar1->filledFraction()); });
    for (const auto &[points, positions] : cases) {
        const std::string dir = kestrane::testdata::freshFolder("progress" + std::to_string(points));
        answer(writeDat(dir + "/run.dat", newFile(points))), answer(dir + "/run.xls");
        seen.clear(), drawn.clear();
        window->cmdConvirt->click(), window->cmdSaveFile->click();
        std::vector<float> expected(points + 2, 1); // 1, each point read, back at 1
        std::iota(expected.begin() + 1, expected.end() - 1, 1.0f);
        expected.insert(expected.end(), positions.begin(), positions.end()), expected.push_back(1);
        EXPECT_EQ(seen, expected) << points << " points";
        EXPECT_EQ(window->ProgressBar1->max(), float(points));
        EXPECT_EQ(std::pair(drawn.at(1), drawn.at(points)), std::pair(0.0, 1.0)) << points << " points";
    }
}

} // namespace
