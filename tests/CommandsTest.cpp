// The four commands on the real window, one outcome table: each row starts a
// command through one of its entry points from a given state, with a given
// answer in the file dialog (good input and bad), and says what message comes
// up, what state the dataset and the window are left in, whether a workbook
// is written or every file left as it was, and what converting afterwards does.
#include <QAction>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

#ifdef _WIN32
#include "HeldOpen.h"
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "DatGenerator.h"
#include "WindowFixture.h"
#include "workbook/spreadsheet/Application.h"

namespace {

namespace fs = std::filesystem;
using kestrane::testdata::DatSpec;

// The file a row chooses: names with blanks and a code-page degree sign.
DatSpec newFile(int points, float interval = 5.0f)
{
    DatSpec spec{.points = points, .value = [](int c, int p) { return float(c) + float(p) / 1000.0f; }};
    spec.timing = {interval, 0.0f};
    spec.names = {"Pressure", "Temp \xB0" "C", "Flow", "", "                    ", "Channel six long nam", "7"};
    return spec;
}

// Makes the bad or good input in the row's folder; the path to choose, or nullopt to cancel.
using Choice = std::function<std::optional<std::string>(const std::string &dir)>;

Choice path(const std::string &name, const std::function<void(const std::string &)> &make = {})
{
    return [=](const std::string &dir) { return make ? make(dir) : void(), dir + "/" + name; };
}
Choice bytes(const std::string &name, const std::string &content)
{
    return path(name, [=](auto dir) { kestrane::testdata::writeFile(dir + "/" + name, content); });
}
Choice dat(const std::string &name, int points, float interval = 5.0f)
{
    return path(name, [=](auto dir) {
        fs::create_directories(fs::path(dir + "/" + name).parent_path());
        kestrane::testdata::writeDat(dir + "/" + name, newFile(points, interval));
    });
}
const Choice cancel = [](const std::string &) { return std::nullopt; };
const std::string longName = std::string(300, 'n');
const float nan = std::numeric_limits<float>::quiet_NaN();

// The entry points; the last two open and convert through them under harder conditions, POSIX ones.
enum class Route { OpenButton, OpenMenu, CtrlO, ConvertButton, ConvertMenu, CtrlC, UnloadButton, UnloadMenu, CtrlU,
                   ExitButton, ExitMenu, OpenMenuAsNobody, ConvertOnAFullDisk };
// The focus starts on Unload, after a conversion on Convert.
enum class Before { Nothing, NothingConverted, Loaded, Converted };
enum Names { NewNames, NoNames, OldNames };
enum Values { NewValues, NoValues, OldValues };
enum Focus { OnConvert, OnOpen, Unmoved, Anywhere };
enum Again { Skip, DoesNothing, NoFileMessage, Writes };

struct Row {
    const char *name;
    Route route;
    Before before;
    Choice choose = path("out.xls");
    bool held = false;                                // Windows: another program has the chosen file open, shared with no one
    int points = 0;                                   // of the chosen file
    const char *message = nullptr, *title = nullptr;  // nullptr: no message
    bool loaded = false, converted = false;           // the flags afterwards, and what the window shows:
    Names names = OldNames;
    Values values = OldValues;
    const char *status = nullptr;                     // nullptr: as before
    Focus focus = Unmoved;
    bool openEnabled = true, notice = false;
    float progress = -1;                              // -1: as before
    bool written = false;                             // a workbook at the chosen path; otherwise no file changed
    Again again;                                      // what converting afterwards does
};

constexpr const char *Kestrane = "Kestrane", *NoFile = "No File Loaded", *Loaded = "File Loaded";
constexpr const char *MustBeDat = "File must be (.Dat)", *ReadProblem = "Problems Reading File Back Corrupted Data ! ";
constexpr const char *WriteProblem = "Problems Writing Excel File", *TooLong =
    "The selected path is longer than the file dialog accepts";

const Row rows[] = {
    // open: read completely, refused, cancelled
    {.name = "Read", .route = Route::OpenButton, .before = Before::Nothing, .choose = dat("run.dat", 5), .points = 5, .loaded = true, .names = NewNames, .values = NewValues, .status = Loaded, .focus = OnConvert, .progress = 1, .again = Writes},
    {.name = "ReadOverALargerFile", .route = Route::OpenMenu, .before = Before::Loaded, .choose = dat("run.dat", 2), .points = 2, .loaded = true, .names = NewNames, .values = NewValues, .status = Loaded, .focus = OnConvert, .progress = 1, .again = Writes},
    {.name = "ReadAfterAConversion", .route = Route::CtrlO, .before = Before::Converted, .choose = dat("run.dat", 3), .points = 3, .loaded = true, .names = NewNames, .values = NewValues, .status = Loaded, .focus = OnConvert, .progress = 1, .again = Writes},
    {.name = "NoDataPoints", .route = Route::OpenButton, .before = Before::Nothing, .choose = dat("none.dat", 0), .loaded = true, .names = NewNames, .values = NewValues, .status = Loaded, .focus = OnConvert, .progress = 1, .again = Writes},
    {.name = "OneDataPoint", .route = Route::OpenMenu, .before = Before::Loaded, .choose = dat("one.dat", 1), .points = 1, .loaded = true, .names = NewNames, .values = NewValues, .status = Loaded, .focus = OnConvert, .progress = 1, .again = Writes},
    {.name = "MostPoints", .route = Route::CtrlO, .before = Before::Nothing, .choose = dat("big.dat", 4679), .points = 4679, .loaded = true, .names = NewNames, .values = NewValues, .status = Loaded, .focus = OnConvert, .progress = 1, .again = Skip},
    {.name = "DatOnlyInAFolderName", .route = Route::OpenButton, .before = Before::Nothing, .choose = dat("x.data/run", 4), .points = 4, .loaded = true, .names = NewNames, .values = NewValues, .status = Loaded, .focus = OnConvert, .progress = 1, .again = Writes},
    {.name = "PathWithoutDat", .route = Route::OpenMenu, .before = Before::Loaded, .choose = dat("run.bin", 4), .points = 4, .message = MustBeDat, .title = Kestrane, .names = NoNames, .status = NoFile, .focus = OnConvert, .again = NoFileMessage},
    {.name = "UpperCaseDAT", .route = Route::CtrlO, .before = Before::Converted, .choose = dat("RUN.DAT", 4), .points = 4, .message = MustBeDat, .title = Kestrane, .names = NoNames, .status = NoFile, .focus = OnConvert, .again = NoFileMessage},
    {.name = "OpenCancelledWithAFile", .route = Route::OpenButton, .before = Before::Loaded, .choose = cancel, .names = NoNames, .values = NoValues, .status = NoFile, .focus = OnOpen, .again = NoFileMessage},
    {.name = "OpenCancelledWithout", .route = Route::CtrlO, .before = Before::Nothing, .choose = cancel, .names = NoNames, .values = NoValues, .status = NoFile, .focus = OnOpen, .again = NoFileMessage},
    // open: files that cannot be read; the notice stays up once the length was known
    {.name = "Shorter110Bytes", .route = Route::OpenMenu, .before = Before::Converted, .choose = bytes("short.dat", std::string(109, '\0')), .message = ReadProblem, .title = "Subscript out of range", .status = NoFile, .notice = true, .again = NoFileMessage},
    {.name = "EmptyFile", .route = Route::OpenButton, .before = Before::Loaded, .choose = bytes("empty.dat", ""), .message = ReadProblem, .title = "Subscript out of range", .status = NoFile, .notice = true, .again = NoFileMessage},
    {.name = "Points4680", .route = Route::CtrlO, .before = Before::Loaded, .choose = dat("huge.dat", 4680), .points = 4680, .message = ReadProblem, .title = "Overflow", .values = NewValues, .status = NoFile, .notice = true, .progress = 4680, .again = NoFileMessage},
    {.name = "IntervalNaN", .route = Route::OpenMenu, .before = Before::Nothing, .choose = dat("nan.dat", 2, nan), .points = 2, .message = ReadProblem, .title = "Overflow", .values = NewValues, .status = NoFile, .notice = true, .progress = 2, .again = NoFileMessage},
    {.name = "Missing", .route = Route::OpenMenu, .before = Before::Loaded, .choose = path("gone.dat"), .message = ReadProblem, .title = "File not found", .status = NoFile, .again = NoFileMessage},
    {.name = "FolderNamedDotDat", .route = Route::OpenButton, .before = Before::Nothing, .choose = path("f.dat", [](auto d) { fs::create_directory(d + "/f.dat"); }), .message = ReadProblem, .title = "Path/File access error", .status = NoFile, .again = NoFileMessage},
    {.name = "PathThroughAFile", .route = Route::OpenMenu, .before = Before::Loaded, .choose = path("f.txt/run.dat", [](auto d) { kestrane::testdata::writeFile(d + "/f.txt", "x"); }), .message = ReadProblem, .title = "Path not found", .status = NoFile, .again = NoFileMessage},
    {.name = "PathTooLong", .route = Route::CtrlO, .before = Before::Loaded, .choose = path(longName + ".dat"), .message = ReadProblem, .title = TooLong, .status = NoFile, .again = NoFileMessage},
    {.name = "Beyond2GiB", .route = Route::OpenMenu, .before = Before::Loaded, .choose = path("big.dat", [](auto d) { kestrane::testdata::writeFile(d + "/big.dat", ""); fs::resize_file(d + "/big.dat", 5ull << 30); }), .message = ReadProblem, .title = "Overflow: the file is longer than 2 GiB", .status = NoFile, .again = NoFileMessage},
#ifdef _WIN32
    {.name = "LogHeldWithoutSharing", .route = Route::OpenMenu, .before = Before::Loaded, .choose = dat("held.dat", 2), .held = true, .message = ReadProblem, .title = "Permission denied", .status = NoFile, .again = NoFileMessage},
#else
    // Symbolic links take a privilege on Windows; pipes in a folder and permission bits are POSIX.
    {.name = "SymbolicLinkLoop", .route = Route::CtrlO, .before = Before::Loaded, .choose = path("a.dat", [](auto d) { fs::create_symlink("b.dat", d + "/a.dat"); fs::create_symlink("a.dat", d + "/b.dat"); }), .message = ReadProblem, .title = "Path/File access error", .status = NoFile, .again = NoFileMessage},
    {.name = "NamedPipe", .route = Route::OpenButton, .before = Before::Nothing, .choose = path("pipe.dat", [](auto d) { ::mkfifo((d + "/pipe.dat").c_str(), 0644); }), .message = ReadProblem, .title = "Subscript out of range", .status = NoFile, .notice = true, .again = NoFileMessage},
    {.name = "NoReadPermission", .route = Route::OpenMenuAsNobody, .before = Before::Loaded, .choose = [](auto d) { auto p = dat("locked.dat", 2)(d); fs::permissions(*p, fs::perms::none); return p; }, .message = ReadProblem, .title = "Permission denied", .status = NoFile, .again = NoFileMessage},
#endif
    // convert
    {.name = "AlreadyConverted", .route = Route::ConvertButton, .before = Before::Converted, .loaded = true, .converted = true, .openEnabled = false, .again = DoesNothing},
    {.name = "NothingLoaded", .route = Route::ConvertMenu, .before = Before::Nothing, .message = "No (.DAT) File Loaded", .title = Kestrane, .converted = true, .again = DoesNothing},
    {.name = "Saved", .route = Route::CtrlC, .before = Before::Loaded, .loaded = true, .converted = true, .values = NoValues, .progress = 1, .written = true, .again = DoesNothing},
    {.name = "SavedOverAFile", .route = Route::ConvertButton, .before = Before::Loaded, .choose = bytes("out.xls", "older"), .loaded = true, .converted = true, .values = NoValues, .progress = 1, .written = true, .again = DoesNothing},
    {.name = "SaveCancelled", .route = Route::ConvertMenu, .before = Before::Loaded, .choose = cancel, .names = NoNames, .values = NoValues, .status = NoFile, .focus = OnOpen, .progress = 1, .again = NoFileMessage},
    // convert: targets that cannot be written; the data stay for another try
    {.name = "MissingFolder", .route = Route::CtrlC, .before = Before::Loaded, .choose = path("no/out.xls"), .message = WriteProblem, .title = "Path not found", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
    {.name = "TargetIsAFolder", .route = Route::ConvertButton, .before = Before::Loaded, .choose = path("out.xls", [](auto d) { fs::create_directory(d + "/out.xls"); }), .message = WriteProblem, .title = "Path/File access error", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
    {.name = "TargetThroughAFile", .route = Route::ConvertMenu, .before = Before::Loaded, .choose = path("f.txt/out.xls", [](auto d) { kestrane::testdata::writeFile(d + "/f.txt", "x"); }), .message = WriteProblem, .title = "Path not found", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
    {.name = "TargetTooLong", .route = Route::ConvertButton, .before = Before::Loaded, .choose = path(longName + ".xls"), .message = WriteProblem, .title = TooLong, .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
    {.name = "OpenInLibreOffice", .route = Route::CtrlC, .before = Before::Loaded, .choose = path("out.xls", [](auto d) { kestrane::testdata::writeFile(d + "/out.xls", "open"), kestrane::testdata::writeFile(d + "/.~lock.out.xls#", ""); }), .message = WriteProblem, .title = "Permission denied", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
    {.name = "OpenInTheWindowsProgram", .route = Route::ConvertMenu, .before = Before::Loaded, .choose = path("out.xls", [](auto d) { kestrane::testdata::writeFile(d + "/~$out.xls", ""); }), .message = WriteProblem, .title = "Permission denied", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
#ifdef _WIN32
    {.name = "ReadOnlyWorkbook", .route = Route::CtrlC, .before = Before::Loaded, .choose = path("out.xls", [](auto d) { kestrane::testdata::writeFile(d + "/out.xls", "old"), fs::permissions(d + "/out.xls", fs::perms::owner_write, fs::perm_options::remove); }), .message = WriteProblem, .title = "Permission denied", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
    {.name = "WorkbookHeldWithoutSharing", .route = Route::ConvertButton, .before = Before::Loaded, .choose = bytes("out.xls", "open"), .held = true, .message = WriteProblem, .title = "Permission denied", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
#else
    // The kernel's own folders and a limit on the size of files are POSIX.
    {.name = "FolderTakesNoFile", .route = Route::CtrlC, .before = Before::Loaded, .choose = [](auto) { return "/sys/kernel/kestrane-" + std::to_string(::getpid()) + ".xls"; }, .message = WriteProblem, .title = "Permission denied", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
    {.name = "DiskFullKeepsTheFile", .route = Route::ConvertOnAFullDisk, .before = Before::Loaded, .choose = bytes("out.xls", "yesterday"), .message = WriteProblem, .title = "Disk full", .loaded = true, .openEnabled = false, .progress = 6, .again = Writes},
#endif
    // unload and exit
    {.name = "Unload", .route = Route::UnloadButton, .before = Before::Converted, .names = NoNames, .values = NoValues, .status = NoFile, .focus = OnOpen, .again = NoFileMessage},
    {.name = "UnloadFromMenu", .route = Route::UnloadMenu, .before = Before::Loaded, .names = NoNames, .values = NoValues, .status = NoFile, .focus = OnOpen, .again = NoFileMessage},
    {.name = "UnloadByKey", .route = Route::CtrlU, .before = Before::Loaded, .names = NoNames, .values = NoValues, .status = NoFile, .focus = OnOpen, .again = NoFileMessage},
    {.name = "NothingToUnload", .route = Route::UnloadMenu, .before = Before::NothingConverted, .message = "No File to Unload", .title = Kestrane, .converted = true, .again = DoesNothing},
    {.name = "Exit", .route = Route::ExitButton, .before = Before::Loaded, .loaded = true, .values = NoValues, .focus = Anywhere, .again = Skip},
    {.name = "ExitFromMenu", .route = Route::ExitMenu, .before = Before::Nothing, .focus = Anywhere, .again = Skip},
};

// Every entry below a folder, with the bytes of each small regular file;
// links are not followed, pipes not opened.
std::map<std::string, std::string> listing(const std::string &dir)
{
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry &e : fs::recursive_directory_iterator(dir)) {
        const auto status = e.symlink_status();
        std::string &entry = entries[e.path().lexically_relative(dir).string()] = std::to_string(int(status.type()));
        if (fs::is_regular_file(status))
            entry += e.file_size() < (1 << 20) ? (std::ostringstream() << std::ifstream(e.path(), std::ios::binary).rdbuf()).str()
                                               : std::to_string(e.file_size());
    }
    return entries;
}

#ifndef _WIN32
// A limit on the size of the files this process writes: a write past it
// fails as on a full disk, for root too.
struct FullDisk {
    rlimit saved{};
    FullDisk() { ::getrlimit(RLIMIT_FSIZE, &saved), std::signal(SIGXFSZ, SIG_IGN), setLimit({2048, saved.rlim_max}); }
    ~FullDisk() { setLimit(saved); }
    static void setLimit(const rlimit &limit) { ::setrlimit(RLIMIT_FSIZE, &limit); }
};
#endif

void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }

class CommandsTest : public WindowFixture, public ::testing::WithParamInterface<Row> {
protected:
    void run(const Row &r, [[maybe_unused]] const std::optional<std::string> &chosen) // on Windows: held open as the row says
    {
        frmDataEntry &w = *window;
#ifdef _WIN32
        const auto holder = kestrane::test::holdOpen(r.held ? fs::path(*chosen) : fs::path(), GENERIC_READ, 0);
#else
        // root reads any file; the unprivileged "nobody" does not
        const auto asNobody = [](bool on) { ASSERT_EQ(::getuid() == 0 ? ::seteuid(on ? 65534 : 0) : 0, 0); };
#endif
        const std::function<void()> entryPoints[] = { // in the order of Route
            [&] { w.cmdConvirt->click(); }, [&] { w.mnuOpen->trigger(); }, [&] { press(Qt::Key_O, Qt::ControlModifier); },
            [&] { w.cmdSaveFile->click(); }, [&] { w.mnuConvirt->trigger(); }, [&] { press(Qt::Key_C, Qt::ControlModifier); },
            [&] { w.cmdUnload->click(); }, [&] { w.mnuUnloadDatFile->trigger(); }, [&] { press(Qt::Key_U, Qt::ControlModifier); },
            [&] { w.cmdExit->click(); }, [&] { w.mnuExit->trigger(); },
#ifndef _WIN32
            [&] { asNobody(true), w.mnuOpen->trigger(), asNobody(false); }, [&] { FullDisk full; w.mnuConvirt->trigger(); },
#endif
        };
        entryPoints[int(r.route)]();
    }

    void arrange(Before before, const std::string &dir)
    {
        if (before == Before::Loaded || before == Before::Converted) {
            DatSpec old{.points = 6, .value = [](int c, int p) { return float(-c * 100 - p); }};
            old.names = {"Old 1", "Old 2", "Old 3", "Old 4", "Old 5", "Old 6", "Old 7"};
            answer(kestrane::testdata::writeDat(dir + "/previous.dat", old));
            window->cmdConvirt->click();
            ASSERT_TRUE(window->dataset.fileLoaded);
        }
        if (before == Before::Converted)
            answer(dir + "/previous.xls");
        for (int twice = 0; twice < (before == Before::NothingConverted ? 2 : before == Before::Converted); ++twice)
            window->cmdSaveFile->click(); // with nothing loaded: a message, then nothing at all
        ASSERT_EQ(window->dataset.fileConverted, before == Before::Converted || before == Before::NothingConverted);
        window->cmdSaveFile->setFocus(); // then off it: the focus rule leaves it on Unload
        if (before != Before::Converted)
            window->cmdUnload->setFocus();
        dialogs->messages.clear(), dialogs->fileDialogs.clear();
    }
};

TEST_P(CommandsTest, Outcome)
{
    const Row &r = GetParam();
    const std::string dir = kestrane::testdata::freshFolder(r.name);
    ASSERT_NO_FATAL_FAILURE(arrange(r.before, dir));
    const std::optional<std::string> chosen = r.choose(dir);
    answer(chosen);
    const auto filesBefore = listing(dir);
    const auto valuesBefore = window->dataset.channelValues;
    QStringList namesBefore;
    for (QLabel *box : window->Label8)
        namesBefore.append(box->text());
    const QString statusBefore = window->StatusBar1->text();
    const float progressBefore = window->ProgressBar1->value();

    run(r, chosen);

    const kestrane::Dataset &d = window->dataset;
    ASSERT_EQ(dialogs->messages.size(), r.message ? 1u : 0u);
    for (const auto &box : dialogs->messages)
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(QString::fromLatin1(r.message), QString::fromLatin1(r.title), kestrane::MsgBoxIcon::Information,
                             kestrane::MsgBoxButtons::OKOnly));
    EXPECT_EQ(std::pair(d.fileLoaded, d.fileConverted), std::pair(r.loaded, r.converted));
    // Each command prepares the shared file dialog its own way; the save
    // dialog proposes the .DAT file just opened as a workbook and asks before replacing.
    for (const kestrane::FileDialogRequest &asked : dialogs->fileDialogs)
        EXPECT_EQ(std::tuple(asked.nameFilters.value(0), asked.confirmOverwrite, asked.defaultSuffix, asked.fileName.section('/', -1)),
                  asked.kind == kestrane::FileDialogKind::Save
                      ? std::tuple(QString("Data Files (*.xls *.XLS)"), true, QString("xls"), QString("previous.xls"))
                      : std::tuple(QString("Data Files (*.dat *.DAT)"), false, QString(), asked.fileName.section('/', -1)));
    const DatSpec spec = newFile(r.points);
    for (std::size_t k = 0; k < 7; ++k) {
        const QString newName = QString::fromLatin1(spec.names[k]).leftJustified(20); // whole, blanks and all
        EXPECT_EQ(window->Label8[k]->text(), r.names == NewNames ? newName : r.names == NoNames ? "" : namesBefore[k]);
        const auto &values = d.channelValues[k];
        if (r.values == OldValues)
            EXPECT_EQ(values, valuesBefore[k]);
        else if (r.values == NoValues)
            EXPECT_EQ(values.capacity(), 0u); // storage released
        else
            for (int p = 0; p <= r.points; ++p) // the slot past the last point stays empty
                ASSERT_EQ(values.at(std::size_t(p)), p < r.points ? std::optional(spec.value(int(k) + 1, p)) : std::nullopt);
    }
    EXPECT_EQ(window->StatusBar1->text(), r.status ? QString::fromLatin1(r.status) : statusBefore);
    QWidget *unmoved = r.before == Before::Converted ? window->cmdSaveFile : window->cmdUnload;
    QWidget *focus[] = {window->cmdSaveFile, window->cmdConvirt, unmoved, QApplication::focusWidget()};
    EXPECT_EQ(QApplication::focusWidget(), focus[r.focus]);
    EXPECT_EQ(window->cmdConvirt->isEnabled(), r.openEnabled);
    EXPECT_TRUE(window->cmdSaveFile->isEnabled());
    EXPECT_EQ(window->Label9->isVisible() ? window->Label9->text() : "", r.notice ? "Reading (.DAT) File" : "");
    EXPECT_EQ(window->ProgressBar1->value(), r.progress < 0 ? progressBefore : r.progress);
    EXPECT_EQ(window->isVisible(), r.route != Route::ExitButton && r.route != Route::ExitMenu);

    // A workbook where asked for; apart from it, every file as it was.
    auto filesAfter = listing(dir), expectedFiles = filesBefore;
    if (r.written) {
        const std::string target = fs::path(*chosen).lexically_relative(dir).string();
        EXPECT_EQ(filesAfter[target].substr(1, 4), "\xD0\xCF\x11\xE0"); // a compound file
        filesAfter.erase(target), expectedFiles.erase(target);
    } else if (chosen && !chosen->starts_with(dir)) {
        EXPECT_FALSE(fs::exists(*chosen));
    }
    EXPECT_EQ(filesAfter, expectedFiles);

    // Converting afterwards, to a good target.
    if (r.again == Skip)
        return;
    dialogs->messages.clear();
    answer(dir + "/again.xls");
    window->cmdSaveFile->click();
    EXPECT_EQ(fs::exists(dir + "/again.xls"), r.again == Writes);
    if (r.again == Writes && r.route < Route::ConvertButton) { // proposed: the log opened, as a workbook
        EXPECT_EQ(dialogs->fileDialogs.back().fileName.toStdString(), fs::path(*chosen).replace_extension(".xls").string());
    }
    EXPECT_EQ(dialogs->messages.size(), r.again == NoFileMessage ? 1u : 0u);
    EXPECT_EQ(window->cmdConvirt->isEnabled(), r.again != DoesNothing);
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandsTest, ::testing::ValuesIn(rows),
                         [](const auto &info) { return std::string(info.param.name); });

// The bar follows every point read, then each channel column converted: a
// seventh of the points further on, rounded, the last no further than the
// point count; back at 1 after each command. It runs from 1 to the point
// count: drawn empty at the first point read, full at the last.
TEST_F(WindowFixture, ProgressPositions)
{
    const std::pair<int, std::vector<float>> cases[] = {
        {7, {1, 2, 3, 4, 5, 6, 7}},       {6, {1, 2, 3, 4, 5, 6, 6}},
        {100, {14, 28, 42, 56, 70, 84, 98}}, {104, {15, 30, 45, 60, 75, 90, 104}},
        {4679, {668, 1336, 2004, 2672, 3340, 4008, 4676}}, {3, {0, 0, 0, 0, 0, 0, 0}},
        {4, {1, 2, 3, 4, 5, 6, 4}},       {11, {2, 4, 6, 8, 10, 12, 11}},
    };
    std::vector<float> seen;
    std::vector<double> drawn; // the filled part of the bar as each value is set
    QObject::connect(window->ProgressBar1, &kestrane::ProgressBar::valueSet,
                     [&](float v) { seen.push_back(v), drawn.push_back(window->ProgressBar1->filledFraction()); });
    for (const auto &[points, positions] : cases) {
        const std::string dir = kestrane::testdata::freshFolder("progress" + std::to_string(points));
        answer(kestrane::testdata::writeDat(dir + "/run.dat", newFile(points)));
        answer(dir + "/run.xls");
        seen.clear(), drawn.clear();
        window->cmdConvirt->click();
        window->cmdSaveFile->click();
        std::vector<float> expected{1};
        for (int p = 1; p <= points; ++p)
            expected.push_back(float(p));
        expected.push_back(1);
        expected.insert(expected.end(), positions.begin(), positions.end());
        expected.push_back(1);
        EXPECT_EQ(seen, expected) << points << " points";
        EXPECT_EQ(window->ProgressBar1->max(), float(points));
        EXPECT_EQ(std::pair(drawn.at(1), drawn.at(points)), std::pair(0.0, 1.0)) << points << " points";
    }
}

} // namespace
