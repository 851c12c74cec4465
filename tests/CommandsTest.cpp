// The four commands on the real window, one outcome table: each row runs a
// command by its button from a given state, with a given answer in the file
// dialog (good input and bad), and says what message comes up, what state the
// dataset and the window are left in, and whether a workbook is written. The
// other entry points are the shortcut test's. The reader's and the save's own
// failures are their tests'; here each way the window shows one has its row.
#include <QDir>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <ranges>

#include "ThisSystem.h"
#include "DatGenerator.h"
#include "WindowFixture.h"

namespace {

namespace fs = std::filesystem;
using namespace kestrane::test;
using enum kestrane::WindowCommand;
using kestrane::MsgBoxButtons, kestrane::MsgBoxIcon;
using kestrane::testdata::DatSpec, kestrane::testdata::writeDat, kestrane::testdata::writeFile;

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
Choice dat(std::string name, int points, float interval = 5.0f) // its folders made first
{
    return path(name, [=](auto d) { fs::create_directories(fs::path(d + "/" + name).parent_path()); },
                [=](auto d) { writeDat(d + "/" + name, newFile(points, interval)); });
}
const Choice cancel = [](auto) { return std::optional<std::string>(); };

// The focus starts on Unload, after a conversion on Convert.
enum Before { Nothing, NothingConverted, Loaded, Converted };
enum Names { NewNames, NoNames, OldNames };
constexpr int OldValues = -1, NoValues = -2; // or the points read from the new file
enum Focus { OnConvert, OnOpen, Unmoved, Anywhere };

struct Outcome {
    const char *message = nullptr, *title = "Kestrane"; // nullptr: no message
    bool loaded = false, converted = false;             // the flags afterwards, and what the window shows:
    Names names = OldNames;
    int values = OldValues;
    const char *status = nullptr; // nullptr: as before
    Focus focus = Unmoved;
    // written: a workbook at the chosen path
    bool openEnabled = true, notice = false, written = false;
    float progress = -1; // -1: as before
};

constexpr const char *NoFile = "No File Loaded", *CantRead = "Problems Reading File Back Corrupted Data ! ";
constexpr const char *TooLong = "The selected path is longer than the file dialog accepts";

// The outcomes rows share.
Outcome loads(int points) { return {.loaded = true, .names = NewNames, .values = points, .status = "File Loaded",
                                    .focus = OnConvert, .progress = 1}; }
Outcome backToNoFile(float progress = -1) { return {.names = NoNames, .values = NoValues, .status = NoFile,
                                                    .focus = OnOpen, .progress = progress}; }
Outcome refused(const char *m) { return {.message = m, .converted = true}; }
Outcome openFails(const char *t) { return {.message = CantRead, .title = t, .status = NoFile}; }
// Once the length was known the notice stays up; the points read before the refusal stay too, the bar at the last
// of them (none: as before).
Outcome readFails(const char *t, int read = OldValues) { return {.message = CantRead, .title = t, .values = read,
    .status = NoFile, .notice = true, .progress = float(read)}; }

struct Row {
    const char *name;
    kestrane::WindowCommand run;
    Before from;
    Choice pick = path("out.xls");
    Outcome then;
    Platforms on = Everywhere;
};

const Row rows[] = {
    // open: read completely (".dat" anywhere in the path will do; the dot in a folder's name is no extension to the
    // workbook proposed next), refused, cancelled
    {.name = "ReadAfterAConversion", .run = Open, .from = Converted, .pick = dat("x.data/run", 3), .then = loads(3)},
    {.name = "NoDataPoints", .run = Open, .from = Loaded, .pick = dat("none.dat", 0), .then = loads(0)},
    {.name = "UpperCaseDAT", .run = Open, .from = Converted, .pick = dat("RUN.DAT", 4),
     .then = {.message = "File must be (.Dat)", .names = NoNames, .status = NoFile, .focus = OnConvert}},
    {.name = "OpenCancelled", .run = Open, .from = Loaded, .pick = cancel, .then = backToNoFile()},
    // open: files that cannot be read, failing before the length is known or after
    {.name = "PathThroughAFile", .run = Open, .from = Loaded, .pick = path("f.txt/run.dat", file("f.txt", "x")),
     .then = openFails("Path not found")},
    {.name = "Beyond2GiB", .run = Open, .from = Loaded,
     .pick = path("big.dat", file("big.dat"), [](auto d) { fs::resize_file(d + "/big.dat", 5ull << 30); }),
     .then = openFails("Overflow: the file is longer than 2 GiB")},
    {.name = "IntervalNaN", .run = Open, .from = Loaded, .pick = dat("nan.dat", 2, NAN),
     .then = readFails("Overflow", 2)},
    // Pipes in a folder are POSIX.
    {.name = "NamedPipe", .run = Open, .from = Nothing,
     .pick = path("pipe.dat", [](auto d) { ASSERT_TRUE(makePipe(d + "/pipe.dat")); }),
     .then = readFails("Subscript out of range"), .on = Posix},
    // convert; a target that cannot be written leaves the data loaded for another try
    {.name = "AlreadyConverted", .run = Convert, .from = Converted,
     .then = {.loaded = true, .converted = true, .openEnabled = false}},
    {.name = "NothingLoaded", .run = Convert, .from = Nothing, .then = refused("No (.DAT) File Loaded")},
    {.name = "Saved", .run = Convert, .from = Loaded,
     .then = {.loaded = true, .converted = true, .values = NoValues, .written = true, .progress = 1}},
    {.name = "SaveCancelled", .run = Convert, .from = Loaded, .pick = cancel, .then = backToNoFile(1)},
    {.name = "TargetTooLong", .run = Convert, .from = Loaded, .pick = path(std::string(300, 'n') + ".xls"),
     .then = {.message = "Problems Writing Excel File", .title = TooLong, .loaded = true, .openEnabled = false,
              .progress = 6}},
    // unload and exit
    {.name = "Unload", .run = Unload, .from = Converted, .then = backToNoFile()},
    {.name = "NothingToUnload", .run = Unload, .from = NothingConverted, .then = refused("No File to Unload")},
    {.name = "Exit", .run = Exit, .from = Loaded, .then = {.loaded = true, .values = NoValues, .focus = Anywhere}},
};
// This platform's rows: the others' are no tests here at all.
auto rowsHere = rows | std::views::filter([](const Row &row) { return (row.on & ThisPlatform) != 0; });

void PrintTo(const Row &row, std::ostream *out) { *out << row.name; }

class CommandsTest : public WindowFixture, public ::testing::WithParamInterface<Row> {};

TEST_P(CommandsTest, Outcome)
{
    const auto &[name, run, from, pick, o, on] = GetParam();
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
    w.cmdSaveFile->setFocus(); // then off it, where the focus rule leaves it alone
    (from == Converted ? w.cmdSaveFile : w.cmdUnload)->setFocus();
    dialogs->messages.clear(), dialogs->fileDialogs.clear(), dialogs->fileAnswers.clear();

    const std::optional<std::string> chosen = pick(dir);
    answer(chosen);
    const auto valuesBefore = d.channelValues;
    const auto [statusBefore, progressBefore] = std::pair(w.StatusBar1->text(), w.ProgressBar1->value());
    std::array<QString, 7> namesBefore;
    std::ranges::transform(w.Label8, namesBefore.begin(), &QLabel::text);
    QPushButton *const buttons[] = {w.cmdConvirt, w.cmdSaveFile, w.cmdUnload, w.cmdExit}; // as the commands
    buttons[int(run)]->click();

    ASSERT_EQ(dialogs->messages.size(), o.message ? 1u : 0u);
    for (const auto &box : dialogs->messages)
        EXPECT_EQ(std::tuple(box.text, box.title, box.icon, box.buttons),
                  std::tuple(QString(o.message), QString(o.title), MsgBoxIcon::Information, MsgBoxButtons::OKOnly));
    // Each command prepares the shared file dialog its own way, in the folder of the last path chosen: an open
    // proposes that path, a save the .DAT file last opened as a workbook, and asks before replacing.
    for (const kestrane::FileDialogRequest &asked : dialogs->fileDialogs) {
        const bool save = asked.kind == kestrane::FileDialogKind::Save;
        EXPECT_EQ(std::tuple(asked.nameFilters.value(0), asked.confirmOverwrite, asked.defaultSuffix,
                             QDir::cleanPath(asked.folder), asked.fileName.section('/', -1)),
                  std::tuple(QString(save ? "Data Files (*.xls *.XLS)" : "Data Files (*.dat *.DAT)"), save,
                             QString(save ? "xls" : ""), loaded ? QDir::cleanPath(QString::fromStdString(dir)) : "",
                             QString(!loaded ? "" : save || converted ? "previous.xls" : "previous.dat")));
    }
    for (std::size_t k = 0; k < 7; ++k) { // the new file's names and values
        const QString newName = QString::fromLatin1(newFile(0).names[k]).leftJustified(20); // whole, blanks and all
        EXPECT_EQ(w.Label8[k]->text(), o.names == NewNames ? newName : o.names == NoNames ? "" : namesBefore[k]);
        const auto &values = d.channelValues[k];
        EXPECT_EQ(o.values == OldValues ? values : valuesBefore[k], valuesBefore[k]);
        EXPECT_EQ(o.values == NoValues ? values.capacity() : 0u, 0u); // storage released
        for (int p = 0; p <= o.values; ++p) // the new values; the slot past the last point stays empty
            ASSERT_EQ(values.at(p), p < o.values ? std::optional(newFile(0).value(int(k) + 1, p)) : std::nullopt);
    }
    EXPECT_EQ(w.StatusBar1->text(), o.status ? QString(o.status) : statusBefore);
    QWidget *focus[] = {w.cmdSaveFile, w.cmdConvirt, from == Converted ? w.cmdSaveFile : w.cmdUnload,
                        QApplication::focusWidget()};
    EXPECT_EQ(QApplication::focusWidget(), focus[o.focus]);
    EXPECT_EQ(std::tuple(d.fileLoaded, d.fileConverted, w.cmdConvirt->isEnabled(), w.cmdSaveFile->isEnabled(),
                         w.isVisible()),
              std::tuple(o.loaded, o.converted, o.openEnabled, true, run != Exit));
    EXPECT_EQ(w.Label9->isVisible() ? w.Label9->text() : "", o.notice ? "Reading (.DAT) File" : "");
    EXPECT_EQ(w.ProgressBar1->value(), o.progress < 0 ? progressBefore : o.progress);

    // A workbook, a compound file, where asked for. What a save does to the files in its folder is the save test's.
    char start[4] = {};
    std::ifstream(dir + "/out.xls", std::ios::binary).read(start, 4);
    EXPECT_EQ(std::string(start, 4) == "\xD0\xCF\x11\xE0", o.written);

    // Converting a log just opened proposes it as a workbook, in its own folder.
    if (run == Open && o.loaded) {
        answer(dir + "/again.xls"), w.cmdSaveFile->click();
        EXPECT_EQ(dialogs->fileDialogs.back().fileName.toStdString(), fs::path(*chosen).replace_extension(".xls"));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CommandsTest, ::testing::ValuesIn(rowsHere.begin(), rowsHere.end()),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
