// The convert command on the real window, through its button, its menu item
// and Ctrl+C: every outcome by the state at entry, what converting again does
// afterwards, the progress positions, and the save dialog it shows.
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "CommandRoutes.h"
#include "DatGenerator.h"
#include "WindowFixture.h"
#include "XlsWalker.h"
#include "common/Failure.h"
#include "window/DialogFilter.h"
#include "window/QtDialogDriver.h"
#include "workbook/spreadsheet/Application.h"

namespace {

namespace fs = std::filesystem;
using kestrane::testdata::DatSpec;

constexpr int kPoints = 10;
// The last progress position for 10 points: each column adds 10/7 and
// rounds, so the positions run 1, 2, ... 7.
constexpr float kLastPosition = 7.0f;

DatSpec dataFile(int points, float offset = 0.5f)
{
    DatSpec spec;
    spec.points = points;
    spec.value = [offset](int channel, int point) { return float(channel * 100 + point) + offset; };
    spec.timing = {3.0f, 0.0f};
    return spec;
}

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every file and folder below `folder`, with each file's bytes.
std::map<std::string, std::string> listing(const std::string &folder)
{
    std::map<std::string, std::string> entries;
    for (const auto &entry : fs::recursive_directory_iterator(folder))
        entries[fs::relative(entry.path(), folder).string()] = entry.is_directory() ? "<folder>" : readAll(entry.path());
    return entries;
}

// The workbook at `path` holds the data of `spec`, as the layout places it.
void expectWorkbookOf(const std::string &path, const DatSpec &spec)
{
    const kestrane::xls::WalkedWorkbook book = kestrane::xls::walkXlsFile(path);
    ASSERT_TRUE(book.sound()) << book.problems.front();
    const kestrane::xls::WalkedSheet *sheet = book.sheet("Sheet1");
    ASSERT_NE(sheet, nullptr);
    const auto number = [&](const std::string &a1) {
        const kestrane::xls::WalkedCell *cell = sheet->at(a1);
        return cell ? cell->number : -1e300;
    };
    ASSERT_NE(sheet->at("A1"), nullptr);
    EXPECT_EQ(sheet->at("A1")->text, u"Periodic Data Import");
    EXPECT_EQ(number("B3"), 3.0);
    const int lastRow = 6 + spec.points;
    EXPECT_EQ(number("A" + std::to_string(lastRow)), 3.0 * spec.points);
    EXPECT_EQ(number("B7"), double(spec.value(1, 0)));
    EXPECT_EQ(number("H" + std::to_string(lastRow)), double(spec.value(7, spec.points - 1)));
    EXPECT_EQ(sheet->at("A" + std::to_string(lastRow + 1)), nullptr);
}

// A limit on the size of the files this process writes, while it lives.
// Root is bound by it too: a write past it fails with "file too large".
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_saved{};
    void (*m_signal)(int) = nullptr;
};

// Where the save dialog's answer points, and what stands in its way.
struct Target {
    // Sets the scene in `folder`; the path to answer, or nullopt to cancel.
    std::function<std::optional<std::string>(const std::string &folder)> make;
    // Takes the cause of a failure away; the path to answer the next time.
    std::function<std::string(const std::string &folder, const std::string &path)> removeCause;
    bool underFileSizeLimit = false;
};

std::optional<std::string> freshTarget(const std::string &folder) { return folder + "/out.xls"; }
std::string sameTarget(const std::string &, const std::string &path) { return path; }

enum class Entry { NothingLoaded, Loaded, Converted };
enum class Outcome { Nothing, NoFileMessage, Written, Cancelled, Failed };

struct ConvertCase {
    const char *name;
    Entry entry;
    Target target;
    Outcome outcome;
    int failure;       // the failure that titles the message
    Outcome afterwards; // converting again, once the cause of a failure is gone
};

const ConvertCase convertCases[] = {
    {"AlreadyConverted", Entry::Converted, {freshTarget, sameTarget}, Outcome::Nothing, 0, Outcome::Nothing},
    {"NothingLoaded", Entry::NothingLoaded, {freshTarget, sameTarget}, Outcome::NoFileMessage, 0, Outcome::Nothing},
    {"Saved", Entry::Loaded, {freshTarget, sameTarget}, Outcome::Written, 0, Outcome::Nothing},
    {"SavedOverAnExistingFile",
     Entry::Loaded,
     {[](const std::string &folder) -> std::optional<std::string> {
          kestrane::testdata::writeFile(folder + "/out.xls", "an older workbook");
          return folder + "/out.xls";
      },
      sameTarget},
     Outcome::Written, 0, Outcome::Nothing},
    {"DialogCancelled",
     Entry::Loaded,
     {[](const std::string &) -> std::optional<std::string> { return std::nullopt; }, sameTarget},
     Outcome::Cancelled, 0, Outcome::NoFileMessage},
    {"MissingFolder",
     Entry::Loaded,
     {[](const std::string &folder) -> std::optional<std::string> { return folder + "/missing/out.xls"; },
      [](const std::string &folder, const std::string &path) {
          fs::create_directory(folder + "/missing");
          return path;
      }},
     Outcome::Failed, kestrane::PathNotFound, Outcome::Written},
    {"TargetIsAFolder",
     Entry::Loaded,
     {[](const std::string &folder) -> std::optional<std::string> {
          fs::create_directory(folder + "/out.xls");
          return folder + "/out.xls";
      },
      [](const std::string &, const std::string &path) {
          fs::remove(path);
          return path;
      }},
     Outcome::Failed, kestrane::PathFileAccessError, Outcome::Written},
    {"PathThroughARegularFile",
     Entry::Loaded,
     {[](const std::string &folder) -> std::optional<std::string> {
          kestrane::testdata::writeFile(folder + "/file.bin", "not a folder");
          return folder + "/file.bin/out.xls";
      },
      [](const std::string &folder, const std::string &path) {
          fs::remove(folder + "/file.bin");
          fs::create_directory(folder + "/file.bin");
          return path;
      }},
     Outcome::Failed, kestrane::PathNotFound, Outcome::Written},
    // sysfs takes no new file, even from root; the operator saves elsewhere.
    {"FolderThatTakesNoNewFile",
     Entry::Loaded,
     {[](const std::string &) -> std::optional<std::string> {
          return "/sys/kernel/kestrane-" + std::to_string(::getpid()) + ".xls";
      },
      [](const std::string &folder, const std::string &) { return folder + "/out.xls"; }},
     Outcome::Failed, kestrane::PermissionDenied, Outcome::Written},
    // The disk fills up while the workbook is written: the existing file
    // stays byte for byte as it was.
    {"DiskFullKeepsTheExistingFile",
     Entry::Loaded,
     {[](const std::string &folder) -> std::optional<std::string> {
          kestrane::testdata::writeFile(folder + "/out.xls", "the workbook of yesterday");
          return folder + "/out.xls";
      },
      sameTarget, true},
     Outcome::Failed, kestrane::DiskFull, Outcome::Written},
};

// What the command may change, as it stood before it ran.
struct Snapshot {
    bool openEnabled = false;
    bool fileLoaded = false;
    bool fileConverted = false;
    decltype(kestrane::Dataset::channelValues) values;
    decltype(kestrane::Dataset::channelNames) names;
    float progress = 0.0f;
    bool notice = false;
    QString status;
    std::array<QString, 7> nameBoxes;
    std::map<std::string, std::string> files;
};

class ConvertCommandTest : public WindowFixture,
                           public ::testing::WithParamInterface<std::tuple<ConvertCase, CommandRoute>> {
protected:
    const ConvertCase &convertCase() const { return std::get<0>(GetParam()); }
    void convert() { std::get<1>(GetParam()).run(*window); }

    void arrange()
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder = kestrane::testdata::freshFolder(name);
        if (convertCase().entry != Entry::NothingLoaded) {
            datPath = kestrane::testdata::writeDat(folder + "/run.dat", dataFile(kPoints));
            dialogs->fileAnswers.push_back(QString::fromStdString(datPath));
            window->cmdConvirt->click();
            ASSERT_TRUE(window->dataset.fileLoaded);
        }
        if (convertCase().entry == Entry::Converted) {
            dialogs->fileAnswers.push_back(QString::fromStdString(folder + "/first.xls"));
            window->cmdSaveFile->click();
            ASSERT_TRUE(window->dataset.fileConverted);
            ASSERT_TRUE(fs::exists(folder + "/first.xls"));
        }
        answer = convertCase().target.make(folder);
    }

    Snapshot snapshot() const
    {
        Snapshot s;
        s.openEnabled = window->cmdConvirt->isEnabled();
        s.fileLoaded = window->dataset.fileLoaded;
        s.fileConverted = window->dataset.fileConverted;
        s.values = window->dataset.channelValues;
        s.names = window->dataset.channelNames;
        s.progress = window->ProgressBar1->value();
        s.notice = window->Label9->isVisible();
        s.status = window->StatusBar1->text();
        for (std::size_t k = 0; k < 7; ++k)
            s.nameBoxes[k] = window->Label8[k]->text();
        s.files = listing(folder);
        return s;
    }

    // Runs the command once, answering the save dialog with `path` (or a
    // cancel), and checks the outcome against the state before.
    void convertAndExpect(Outcome outcome, const std::optional<std::string> &path, int failure,
                          bool underFileSizeLimit)
    {
        dialogs->messages.clear();
        dialogs->fileDialogs.clear();
        dialogs->fileAnswers.clear();
        dialogs->fileAnswers.push_back(path ? std::optional<QString>(QString::fromStdString(*path)) : std::nullopt);
        window->cmdExit->setFocus();
        const Snapshot before = snapshot();
        {
            std::optional<FileSizeLimit> limit;
            if (underFileSizeLimit)
                limit.emplace(1024);
            convert();
        }
        expectOutcome(outcome, before, path, failure);
    }

    void expectOutcome(Outcome outcome, const Snapshot &before, const std::optional<std::string> &path, int failure)
    {
        const kestrane::Dataset &d = window->dataset;
        const bool dialogShown = outcome == Outcome::Written || outcome == Outcome::Cancelled
                                 || outcome == Outcome::Failed;
        EXPECT_EQ(dialogs->fileDialogs.size(), dialogShown ? 1u : 0u);

        // Messages.
        if (outcome == Outcome::NoFileMessage || outcome == Outcome::Failed) {
            ASSERT_EQ(dialogs->messages.size(), 1u);
            const auto &box = dialogs->messages[0];
            EXPECT_EQ(box.icon, kestrane::MsgBoxIcon::Information);
            EXPECT_EQ(box.buttons, kestrane::MsgBoxButtons::OKOnly);
            if (outcome == Outcome::NoFileMessage) {
                EXPECT_EQ(box.text, QStringLiteral("No (.DAT) File Loaded"));
                EXPECT_EQ(box.title, QStringLiteral("Kestrane"));
            } else {
                EXPECT_EQ(box.text, QStringLiteral("Problems Writing Excel File"));
                EXPECT_EQ(box.title, QString::fromStdString(kestrane::Failure::standardDescription(failure)));
            }
        } else {
            EXPECT_TRUE(dialogs->messages.empty());
        }

        // The Open button: enabled again on every way out but two.
        const bool openEnabled = outcome != Outcome::Nothing && outcome != Outcome::Failed;
        EXPECT_EQ(window->cmdConvirt->isEnabled(), openEnabled);
        if (outcome == Outcome::Cancelled) {
            EXPECT_EQ(QApplication::focusWidget(), window->cmdConvirt);
        }

        // The flags.
        const bool convertedAfter = outcome == Outcome::Cancelled || outcome == Outcome::Failed ? before.fileConverted
                                                                                                 : true;
        EXPECT_EQ(d.fileConverted, convertedAfter);
        const bool loadedAfter = outcome == Outcome::Cancelled ? false : before.fileLoaded;
        EXPECT_EQ(d.fileLoaded, loadedAfter);

        // The dataset: emptied by a save or a cancel, otherwise kept; the
        // names are never changed.
        if (outcome == Outcome::Written || outcome == Outcome::Cancelled) {
            for (const auto &stored : d.channelValues) {
                EXPECT_TRUE(stored.empty());
                EXPECT_EQ(stored.capacity(), 0u);
            }
        } else {
            EXPECT_EQ(d.channelValues, before.values);
        }
        EXPECT_EQ(d.channelNames, before.names);

        // Progress bar and notice.
        const float progress = outcome == Outcome::Written || outcome == Outcome::Cancelled ? 1.0f
                               : outcome == Outcome::Failed                                 ? kLastPosition
                                                                                            : before.progress;
        EXPECT_EQ(window->ProgressBar1->value(), progress);
        const bool ranToTheNotice = dialogShown;
        EXPECT_EQ(window->Label9->isVisible(), ranToTheNotice ? false : before.notice);

        // Status bar and name boxes: only a cancel changes them.
        EXPECT_EQ(window->StatusBar1->text(),
                  outcome == Outcome::Cancelled ? QStringLiteral("No File Loaded") : before.status);
        for (std::size_t k = 0; k < 7; ++k)
            EXPECT_EQ(window->Label8[k]->text(), outcome == Outcome::Cancelled ? QString() : before.nameBoxes[k]);

        // The files: the target written whole, or nothing changed at all --
        // an existing target byte for byte, and no temporary file left.
        auto filesAfter = listing(folder);
        auto filesBefore = before.files;
        if (outcome == Outcome::Written) {
            ASSERT_TRUE(path.has_value());
            expectWorkbookOf(*path, dataFile(kPoints));
            EXPECT_EQ(d.pointIndex, kPoints - 1);
            const std::string written = fs::relative(*path, folder).string();
            filesAfter.erase(written);
            filesBefore.erase(written);
        }
        EXPECT_EQ(filesAfter, filesBefore);
        if (path && !path->starts_with(folder) && outcome != Outcome::Written) {
            EXPECT_FALSE(fs::exists(*path));
        }
        if (window->excelApplication) {
            EXPECT_EQ(window->excelApplication->Workbooks().Count(), 0); // every workbook closed
        }
    }

    std::string folder;
    std::string datPath;
    std::optional<std::string> answer;
};

TEST_P(ConvertCommandTest, OutcomeByStateAtEntryThenConvertingAgain)
{
    const ConvertCase &c = convertCase();
    ASSERT_NO_FATAL_FAILURE(arrange());

    {
        SCOPED_TRACE("first conversion");
        convertAndExpect(c.outcome, answer, c.failure, c.target.underFileSizeLimit);
        // The spreadsheet application is started only by a conversion that
        // gets as far as the workbook.
        if (c.entry == Entry::NothingLoaded) {
            EXPECT_EQ(window->excelApplication, nullptr);
        }
    }
    {
        SCOPED_TRACE("converting again");
        const std::string again = c.outcome == Outcome::Failed ? c.target.removeCause(folder, *answer)
                                                               : folder + "/again.xls";
        convertAndExpect(c.afterwards, again, 0, false);
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ConvertCommandTest,
                         ::testing::Combine(::testing::ValuesIn(convertCases), ::testing::ValuesIn(convertRoutes())),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

// ---- progress positions ------------------------------------------------------------------

struct ProgressCase {
    int pointCount;
    std::vector<float> positions; // after columns 1 to 7
};

// Each column moves the bar a seventh of the points on, rounded; the last
// no further than the point count. Below 4 points every seventh rounds to 0;
// 4, 5 and 11 points pass the top of the range before the last column.
const ProgressCase progressCases[] = {
    {7, {1, 2, 3, 4, 5, 6, 7}},
    {6, {1, 2, 3, 4, 5, 6, 6}},
    {100, {14, 28, 42, 56, 70, 84, 98}},
    {104, {15, 30, 45, 60, 75, 90, 104}},
    {180, {26, 52, 78, 104, 130, 156, 180}},
    {4679, {668, 1336, 2004, 2672, 3340, 4008, 4676}},
    {0, {0, 0, 0, 0, 0, 0, 0}},
    {1, {0, 0, 0, 0, 0, 0, 0}},
    {3, {0, 0, 0, 0, 0, 0, 0}},
    {4, {1, 2, 3, 4, 5, 6, 4}},
    {5, {1, 2, 3, 4, 5, 6, 5}},
    {11, {2, 4, 6, 8, 10, 12, 11}},
};

class ConvertProgressTest : public WindowFixture, public ::testing::WithParamInterface<ProgressCase> {};

TEST_P(ConvertProgressTest, MovesOncePerColumnThenBackToOne)
{
    const int points = GetParam().pointCount;
    const std::string folder = kestrane::testdata::freshFolder("progress" + std::to_string(points));
    dialogs->fileAnswers.push_back(
        QString::fromStdString(kestrane::testdata::writeDat(folder + "/run.dat", dataFile(points))));
    window->cmdConvirt->click();
    ASSERT_TRUE(window->dataset.fileLoaded);
    std::vector<float> values;
    QObject::connect(window->ProgressBar1, &kestrane::ProgressBar::valueSet, [&](float v) { values.push_back(v); });
    dialogs->fileAnswers.push_back(QString::fromStdString(folder + "/run.xls"));

    window->cmdSaveFile->click();

    std::vector<float> expected = GetParam().positions;
    expected.push_back(1.0f); // set back once the workbook is saved
    EXPECT_EQ(values, expected);
    EXPECT_EQ(window->ProgressBar1->min(), 1.0f);
    EXPECT_EQ(window->ProgressBar1->max(), float(points));
    EXPECT_TRUE(fs::exists(folder + "/run.xls"));
    EXPECT_TRUE(dialogs->messages.empty());
}

INSTANTIATE_TEST_SUITE_P(PointCounts, ConvertProgressTest, ::testing::ValuesIn(progressCases),
                         [](const auto &info) { return "points" + std::to_string(info.param.pointCount); });

// ---- the spreadsheet application, the save dialog --------------------------------------------

class ConvertCommandDetailTest : public WindowFixture {
protected:
    void open(const std::string &path)
    {
        dialogs->fileAnswers.push_back(QString::fromStdString(path));
        window->mnuOpen->trigger();
        ASSERT_TRUE(window->dataset.fileLoaded);
    }
};

TEST_F(ConvertCommandDetailTest, OneSpreadsheetApplicationServesEveryConversionOfTheRun)
{
    const std::string folder = kestrane::testdata::freshFolder("application");
    ASSERT_NO_FATAL_FAILURE(open(kestrane::testdata::writeDat(folder + "/a.dat", dataFile(kPoints))));
    dialogs->fileAnswers.push_back(QString::fromStdString(folder + "/a.xls"));
    window->cmdSaveFile->click();
    kestrane::spreadsheet::Application *first = window->excelApplication.get();
    ASSERT_NE(first, nullptr);

    const DatSpec second = dataFile(kPoints, 0.75f);
    ASSERT_NO_FATAL_FAILURE(open(kestrane::testdata::writeDat(folder + "/b.dat", second)));
    EXPECT_FALSE(window->dataset.fileConverted);
    dialogs->fileAnswers.push_back(QString::fromStdString(folder + "/b.xls"));
    window->cmdSaveFile->click();

    EXPECT_EQ(window->excelApplication.get(), first);
    EXPECT_EQ(first->Workbooks().Count(), 0) << "each conversion closes its workbook";
    EXPECT_TRUE(dialogs->messages.empty());
    expectWorkbookOf(folder + "/a.xls", dataFile(kPoints));
    expectWorkbookOf(folder + "/b.xls", second);
}

// The save dialog proposes the .DAT file just opened with ".xls" for its
// extension, and asks before replacing a file. A name typed without an
// extension gets ".xls".
TEST_F(ConvertCommandDetailTest, SaveDialogProposesTheDatPathAsXlsAndAsksBeforeReplacing)
{
    const std::string folder = kestrane::testdata::freshFolder("save-dialog");
    const std::string dat = kestrane::testdata::writeDat(folder + "/run.dat", dataFile(kPoints));
    ASSERT_NO_FATAL_FAILURE(open(dat));

    window->cmdSaveFile->click(); // cancelled: nothing queued

    ASSERT_EQ(dialogs->fileDialogs.size(), 2u);
    const kestrane::FileDialogRequest request = dialogs->fileDialogs[1];
    EXPECT_EQ(request.kind, kestrane::FileDialogKind::Save);
    EXPECT_EQ(request.fileName, QString::fromStdString(folder + "/run.xls"));
    EXPECT_EQ(request.folder, QString::fromStdString(folder));
    EXPECT_TRUE(request.confirmOverwrite);
    EXPECT_EQ(request.nameFilters, QStringList{QStringLiteral("Data Files (*.XLS *.xls)")});
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("xls"));
    EXPECT_TRUE(window->CommonDialog1.CancelError);
    EXPECT_EQ(window->CommonDialog1.Flags, 0x840A);
    EXPECT_EQ(window->CommonDialog1.Filter, QStringLiteral("Data Files (*.XLS)|*.XLS"));
}

// Runs `answer` on the modal widget of type Dialog once it is up.
template <typename Dialog>
void whenShown(std::function<void(Dialog *)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

// The request the convert command makes, shown by the program's own dialog.
kestrane::FileDialogRequest saveRequestFor(const std::string &dat)
{
    kestrane::CommonDialog dialog;
    ScriptedDialogs scripted;
    dialog.setDriver(&scripted);
    dialog.FileName = QString::fromStdString(dat);
    dialog.Flags = 0x840A;
    dialog.Filter = QStringLiteral("Data Files (*.XLS)|*.XLS");
    dialog.ShowSave();
    return scripted.fileDialogs.at(0);
}

// Accepting the proposal at once saves beside the log, never over it; a name
// typed without an extension that lands on an existing workbook is asked
// about first.
TEST(ConvertSaveDialog, TheProposalIsBesideTheLogAndAnExistingWorkbookIsAskedAbout)
{
    const std::string folder = kestrane::testdata::freshFolder("overwrite");
    const std::string dat = kestrane::testdata::writeDat(folder + "/run.dat", dataFile(2));
    kestrane::testdata::writeFile(folder + "/out.xls", "an earlier workbook");
    QWidget owner;
    kestrane::QtDialogDriver driver(&owner);

    const QString proposal = QString::fromStdString(folder + "/run.xls");
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        // Anything else proposed is not accepted: on the log it would ask.
        EXPECT_EQ(dialog->selectedFiles(), QStringList{proposal});
        QMetaObject::invokeMethod(dialog, dialog->selectedFiles() == QStringList{proposal} ? "accept" : "reject");
    });
    EXPECT_EQ(driver.showFileDialog(saveRequestFor(dat)), proposal);

    QString question;
    whenShown<QFileDialog>([&](QFileDialog *dialog) {
        whenShown<QMessageBox>([&](QMessageBox *box) {
            question = box->text();
            box->button(QMessageBox::No)->click();
        });
        dialog->selectFile(QStringLiteral("out"));
        QMetaObject::invokeMethod(dialog, "accept");
        // "No" keeps the dialog open; the operator then cancels.
        EXPECT_TRUE(dialog->isVisible());
        QMetaObject::invokeMethod(dialog, "reject");
    });
    EXPECT_EQ(driver.showFileDialog(saveRequestFor(dat)), std::nullopt);
    EXPECT_TRUE(question.contains(QStringLiteral("out.xls already exists"))) << question.toStdString();
}

// The extension a save adds comes from the filter's first pattern, and only
// where that pattern names one plain extension.
TEST(ConvertSaveDialog, TheAddedExtensionIsTheFiltersFirstInLowerCase)
{
    const std::pair<const char *, const char *> cases[] = {
        {"Data Files (*.XLS)|*.XLS", "xls"},
        {"Data Files (*.DAT)|*.DAT", "dat"},
        {"Pictures|*.PNG;*.JPG|Other|*.GIF", "png"},
        {"Everything|*", ""},
        {"Everything|*.*", ""},
        {"Either|*.x?s", ""},
        {"No pattern", ""},
        {"", ""},
    };
    for (const auto &[filter, extension] : cases)
        EXPECT_EQ(kestrane::firstExtension(QString::fromLatin1(filter)), QString::fromLatin1(extension)) << filter;
}

TEST(ConvertSaveDialog, ANameTypedWithoutExtensionGetsXls)
{
    const std::string folder = kestrane::testdata::freshFolder("suffix");
    const std::string dat = kestrane::testdata::writeDat(folder + "/run.dat", dataFile(2));
    QWidget owner;
    kestrane::QtDialogDriver driver(&owner);

    const auto typed = [&](const QString &name) {
        whenShown<QFileDialog>([name](QFileDialog *dialog) {
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        return driver.showFileDialog(saveRequestFor(dat));
    };

    const QString in = QString::fromStdString(folder) + QLatin1Char('/');
    EXPECT_EQ(typed(QStringLiteral("results")), in + QStringLiteral("results.xls"));
    EXPECT_EQ(typed(QStringLiteral("results.XLS")), in + QStringLiteral("results.XLS"));
    EXPECT_EQ(typed(QStringLiteral("results.backup")), in + QStringLiteral("results.backup"));
}

} // namespace
