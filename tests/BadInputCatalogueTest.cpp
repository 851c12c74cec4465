// Every bad input the operator can hand the real window, one by one: each
// ends in the message the window prescribes for it, titled with the failure's
// description; the window keeps running and the next good file opens and
// converts; no file that existed changes by a single byte, and no temporary
// file is left anywhere.
//
// The failures are made real in ways that hold for root too, since the suite
// runs as root: a folder named like a file, a symbolic-link loop, a path
// through a regular file, a named pipe, a read-only or full file system
// mounted for the test alone.
#include <QAction>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "DatGenerator.h"
#include "WindowFixture.h"
#include "XlsWalker.h"

namespace fs = std::filesystem;
using kestrane::testdata::DatSpec;

namespace {

// ---- mounts of the test's own ----

// The process takes a mount namespace of its own before main(), while it
// still has a single thread: a file system a test mounts is then seen by no
// one else and goes away with the process, whatever happens to the test.
// Needs root (CAP_SYS_ADMIN); without it the tests say what they use instead.
const bool kOwnMounts = [] {
    if (::unshare(CLONE_NEWNS) != 0)
        return false;
    // Nothing mounted here propagates back to the rest of the machine.
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}();

// A tmpfs of `size` at `folder` (created); false if the machine refuses it.
bool mountTmpfs(const std::string &folder, const std::string &size)
{
    fs::create_directories(folder);
    return kOwnMounts && ::mount("kestrane-test", folder.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
}

bool remountReadOnly(const std::string &folder)
{
    return ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

// ---- what a folder holds ----

// Every entry below a folder with its kind, and the bytes of each regular
// file: two snapshots are equal only if nothing was added, removed or
// changed. Links are not followed, pipes not opened.
using Snapshot = std::map<std::string, std::string>;

// Files up to this size are compared byte for byte.
constexpr std::uintmax_t kLargestComparedFile = 16 * 1024 * 1024;

void addEntries(const fs::path &root, const fs::path &folder, Snapshot &entries)
{
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path path = it->path();
        const fs::file_status status = fs::symlink_status(path, error);
        std::string content;
        if (fs::is_regular_file(status) && fs::file_size(path, error) > kLargestComparedFile) {
            // A sparse giant of a test: its size and time stand for its bytes.
            content = "large:" + std::to_string(fs::file_size(path, error)) + "@"
                      + std::to_string(fs::last_write_time(path, error).time_since_epoch().count());
        } else if (fs::is_regular_file(status)) {
            std::ifstream in(path, std::ios::binary);
            content = "file:" + std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        } else if (fs::is_symlink(status)) {
            content = "link:" + fs::read_symlink(path, error).string();
        } else {
            content = "kind:" + std::to_string(int(status.type()));
        }
        entries[fs::relative(path, root, error).string()] = content;
        if (fs::is_directory(status))
            addEntries(root, path, entries);
    }
}

Snapshot snapshotOf(const std::string &folder)
{
    Snapshot entries;
    addEntries(folder, folder, entries);
    return entries;
}

// Only the names in a folder: for folders whose files are not ours to read.
std::vector<std::string> namesIn(const std::string &folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// ---- the window, with a hand in its dialogs ----

// Scripted dialogs that can act at the moment a file dialog returns its
// answer, as another program might between the dialog and the read.
class CatalogueDialogs : public ScriptedDialogs {
public:
    std::function<void()> whenChosen;

    std::optional<QString> showFileDialog(const kestrane::FileDialogRequest &request) override
    {
        auto answer = ScriptedDialogs::showFileDialog(request);
        if (whenChosen)
            std::exchange(whenChosen, nullptr)();
        return answer;
    }
};

const QString kReadProblem = QStringLiteral("Problems Reading File Back Corrupted Data ! ");
const QString kWriteProblem = QStringLiteral("Problems Writing Excel File");

class BadInputCatalogue : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        auto scripted = std::make_unique<CatalogueDialogs>();
        catalogueDialogs = scripted.get();
        dialogs = scripted.get();
        window->setDialogDriver(std::move(scripted));
        folder = kestrane::testdata::freshFolder("catalogue");
        goodDat = kestrane::testdata::writeDat(folder + "/good.dat", DatSpec{.points = 3});
    }

    void TearDown() override
    {
        for (auto it = mounts.rbegin(); it != mounts.rend(); ++it)
            ::umount2(it->c_str(), MNT_DETACH);
        if (fileSizeLimited)
            liftFileSizeLimit();
        WindowFixture::TearDown();
    }

    // The open command through the File menu, the operator choosing `path`.
    void openThroughMenu(const std::string &path)
    {
        dialogs->fileAnswers.push_back(QString::fromStdString(path));
        window->mnuOpen->trigger();
    }

    // The convert command through the File menu, saving to `path`.
    void convertThroughMenu(const std::string &path)
    {
        dialogs->fileAnswers.push_back(QString::fromStdString(path));
        window->mnuConvirt->trigger();
    }

    // Exactly one new message since `before`: this text, this title, OK only.
    void expectOneMessage(std::size_t before, const QString &text, const QString &title)
    {
        ASSERT_EQ(dialogs->messages.size(), before + 1) << "one message, no more";
        const auto &message = dialogs->messages.back();
        EXPECT_EQ(message.text, text);
        EXPECT_EQ(message.title, title);
        EXPECT_EQ(message.icon, kestrane::MsgBoxIcon::Information);
        EXPECT_EQ(message.buttons, kestrane::MsgBoxButtons::OKOnly);
    }

    // The window still answers: the good file opens and converts.
    void expectGoodFileStillOpensAndConverts()
    {
        const std::size_t before = dialogs->messages.size();
        ASSERT_TRUE(window->isVisible());
        openThroughMenu(goodDat);
        EXPECT_EQ(dialogs->messages.size(), before) << "the good file was refused";
        EXPECT_TRUE(window->dataset.fileLoaded);
        EXPECT_EQ(window->StatusBar1->text(), QStringLiteral("File Loaded"));

        const std::string out = kestrane::testdata::freshFolder("catalogue-out") + "/good.xls";
        convertThroughMenu(out);
        EXPECT_EQ(dialogs->messages.size(), before) << "the good file did not convert";
        EXPECT_TRUE(window->dataset.fileConverted);
        EXPECT_TRUE(kestrane::xls::walkXlsFile(out).sound());
    }

public:
    // The operator's hand in the file dialog (for the open cases).
    CatalogueDialogs *catalogueDialogs = nullptr;

protected:
    // A file-size limit that the next write beyond `bytes` runs into, as a
    // full disk: the way to fill a disk where nothing can be mounted.
    void limitFileSize(rlim_t bytes)
    {
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &savedLimit), 0);
        previousXfsz = std::signal(SIGXFSZ, SIG_IGN); // a write then fails with EFBIG
        const rlimit limit{bytes, savedLimit.rlim_max};
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        fileSizeLimited = true;
    }
    void liftFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &savedLimit);
        std::signal(SIGXFSZ, previousXfsz);
        fileSizeLimited = false;
    }

    std::string folder;
    std::string goodDat;
    std::vector<std::string> mounts;
    bool fileSizeLimited = false;
    rlimit savedLimit{};
    void (*previousXfsz)(int) = SIG_DFL;
};

// ---- files that cannot be opened or read ----

struct Context {
    BadInputCatalogue &test;
    const std::string &folder;
};

struct OpenCase {
    const char *name;
    // Makes the bad input in the folder and returns the path to choose.
    std::function<std::string(Context)> make;
    const char *title; // the failure's description
};

std::string datWith(const std::string &path, const DatSpec &spec)
{
    return kestrane::testdata::writeDat(path, spec);
}

DatSpec timing(float first, float second)
{
    DatSpec spec{.points = 2};
    spec.timing = {first, second};
    return spec;
}

std::string sparseFile(const std::string &path, std::uintmax_t size)
{
    kestrane::testdata::writeFile(path, "");
    fs::resize_file(path, size);
    return path;
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

const OpenCase openCases[] = {
    // No room for the nine trailer records: the point count is -1.
    {"EmptyFile", [](Context c) { kestrane::testdata::writeFile(c.folder + "/empty.dat", ""); return c.folder + "/empty.dat"; },
     "Subscript out of range"},
    {"File109Bytes", [](Context c) { kestrane::testdata::writeFile(c.folder + "/short.dat", std::string(109, 'x')); return c.folder + "/short.dat"; },
     "Subscript out of range"},
    {"FolderNamedDotDat", [](Context c) { fs::create_directory(c.folder + "/folder.dat"); return c.folder + "/folder.dat"; },
     "Path/File access error"},
    // Unreadable for root too: a link that names itself in a loop, a path
    // that runs through a regular file, and a named pipe (no length, nothing
    // to read: an empty file).
    {"SymbolicLinkLoop", [](Context c) {
         fs::create_symlink("loop-b.dat", c.folder + "/loop-a.dat");
         fs::create_symlink("loop-a.dat", c.folder + "/loop-b.dat");
         return c.folder + "/loop-a.dat"; },
     "Path/File access error"},
    {"PathThroughARegularFile", [](Context c) {
         kestrane::testdata::writeFile(c.folder + "/plain.txt", "not a folder");
         return c.folder + "/plain.txt/probe.dat"; },
     "Path not found"},
    {"NamedPipe", [](Context c) { ::mkfifo((c.folder + "/pipe.dat").c_str(), 0644); return c.folder + "/pipe.dat"; },
     "Subscript out of range"},
    // A path longer than the file dialog hands back (260 characters).
    {"PathLongerThanTheDialogAccepts", [](Context c) { return c.folder + "/" + std::string(300, 'n') + ".dat"; },
     "The selected path is longer than the file dialog accepts"},
    // Gone between the dialog and the read: removed as the dialog answers.
    {"DeletedAfterTheDialog", [](Context c) {
         const std::string path = datWith(c.folder + "/vanishing.dat", DatSpec{.points = 2});
         c.test.catalogueDialogs->whenChosen = [path] { fs::remove(path); };
         return path; },
     "File not found"},
    // Timing figures that round into no 16-bit integer.
    {"IntervalNaN", [](Context c) { return datWith(c.folder + "/nan.dat", timing(kNaN, 0.0f)); }, "Overflow"},
    {"IntervalPlusInfinity", [](Context c) { return datWith(c.folder + "/inf.dat", timing(kInf, 0.0f)); }, "Overflow"},
    {"IntervalMinusInfinity", [](Context c) { return datWith(c.folder + "/minf.dat", timing(-kInf, 0.0f)); }, "Overflow"},
    {"SecondFigureNaN", [](Context c) { return datWith(c.folder + "/second.dat", timing(5.0f, kNaN)); }, "Overflow"},
    // One point more than the 16-bit record counter reaches, and files far
    // longer (sparse): just under 2 GiB, and past what a 32-bit length holds.
    {"Points4680", [](Context c) { return datWith(c.folder + "/4680.dat", DatSpec{.points = 4680}); }, "Overflow"},
    {"AlmostTwoGiB", [](Context c) { return sparseFile(c.folder + "/long.dat", (std::uintmax_t(1) << 31) - 20); },
     "Overflow"},
    {"BeyondTwoGiB", [](Context c) { return sparseFile(c.folder + "/huge.dat", std::uintmax_t(5) << 30); },
     "Overflow: the file is longer than 2 GiB"},
};

void PrintTo(const OpenCase &c, std::ostream *out) { *out << c.name; }

class OpenFailure : public BadInputCatalogue, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenFailure, IsReportedOnceAndChangesNoFile)
{
    const std::string badFolder = kestrane::testdata::freshFolder("catalogue-bad");
    const std::string path = GetParam().make(Context{*this, badFolder});
    const Snapshot before = snapshotOf(badFolder);
    const Snapshot goodBefore = snapshotOf(folder);
    const std::size_t messages = dialogs->messages.size();

    openThroughMenu(path);

    expectOneMessage(messages, kReadProblem, QString::fromLatin1(GetParam().title));
    EXPECT_FALSE(window->dataset.fileLoaded);
    EXPECT_EQ(window->StatusBar1->text(), QStringLiteral("No File Loaded"));
    EXPECT_TRUE(window->cmdConvirt->isEnabled());
    EXPECT_TRUE(window->cmdSaveFile->isEnabled());
    if (std::string(GetParam().name) != "DeletedAfterTheDialog")
        EXPECT_EQ(snapshotOf(badFolder), before) << "the read changed a file";
    else
        EXPECT_TRUE(snapshotOf(badFolder).empty());
    EXPECT_EQ(snapshotOf(folder), goodBefore);

    expectGoodFileStillOpensAndConverts();
}

INSTANTIATE_TEST_SUITE_P(Catalogue, OpenFailure, ::testing::ValuesIn(openCases),
                         [](const auto &info) { return std::string(info.param.name); });

// Root reads a file of mode 000; for the open it acts as the unprivileged
// "nobody", whom the mode bits refuse as they refuse any operator.
class ActingAsNobody {
public:
    ActingAsNobody() : m_switched(::geteuid() == 0 && ::seteuid(65534) == 0) {}
    ~ActingAsNobody()
    {
        if (m_switched)
            (void)::seteuid(0);
    }
    ActingAsNobody(const ActingAsNobody &) = delete;
    ActingAsNobody &operator=(const ActingAsNobody &) = delete;

private:
    bool m_switched;
};

TEST_F(BadInputCatalogue, FileWithoutReadPermission)
{
    const std::string path = datWith(folder + "/locked.dat", DatSpec{.points = 2});
    fs::permissions(path, fs::perms::none);
    const Snapshot before = snapshotOf(folder);
    const std::size_t messages = dialogs->messages.size();
    {
        const ActingAsNobody nobody;
        openThroughMenu(path);
    }
    expectOneMessage(messages, kReadProblem, QStringLiteral("Permission denied"));
    EXPECT_FALSE(window->dataset.fileLoaded);
    EXPECT_EQ(snapshotOf(folder), before);
    expectGoodFileStillOpensAndConverts();
}

// The name test comes before any read: a path without ".dat" in lower case
// is refused, even an upper-case extension the dialog's filter lists.
TEST_F(BadInputCatalogue, PathWithoutLowerCaseDotDatIsRefused)
{
    const std::string upper = folder + "/PROBE.DAT";
    kestrane::testdata::writeFile(upper, std::string(320, '\0'));
    const Snapshot before = snapshotOf(folder);
    const std::size_t messages = dialogs->messages.size();

    openThroughMenu(upper);

    expectOneMessage(messages, QStringLiteral("File must be (.Dat)"), kestrane::ApplicationTitle);
    EXPECT_FALSE(window->dataset.fileLoaded);
    EXPECT_EQ(window->StatusBar1->text(), QStringLiteral("No File Loaded"));
    EXPECT_EQ(snapshotOf(folder), before);
    expectGoodFileStillOpensAndConverts();
}

// ---- values that load but are no numbers ----

TEST_F(BadInputCatalogue, NaNAndInfiniteValuesConvertToNumError)
{
    DatSpec spec{.points = 3};
    spec.value = [](int channel, int point) {
        const float specials[] = {kNaN, kInf, -kInf, -kNaN};
        return (channel + point) % 2 == 0 ? specials[(channel + point) / 2 % 4] : float(channel) + 0.5f;
    };
    const std::string path = datWith(folder + "/specials.dat", spec);
    const std::string out = folder + "/specials.xls";
    const std::size_t messages = dialogs->messages.size();

    openThroughMenu(path);
    convertThroughMenu(out);

    EXPECT_EQ(dialogs->messages.size(), messages) << "values that are no numbers are data, not failures";
    const auto book = kestrane::xls::walkXlsFile(out);
    for (const auto &problem : book.problems)
        ADD_FAILURE() << problem;
    const auto *sheet = book.sheet("Sheet1");
    ASSERT_NE(sheet, nullptr);
    for (int channel = 1; channel <= 7; ++channel)
        for (int point = 0; point < 3; ++point) {
            const std::string a1 = std::string(1, char('A' + channel)) + std::to_string(7 + point);
            const auto *cell = sheet->at(a1);
            ASSERT_NE(cell, nullptr) << a1;
            if ((channel + point) % 2 == 0) {
                EXPECT_EQ(cell->kind, kestrane::xls::CellKind::Error) << a1;
                EXPECT_EQ(cell->code, 0x24) << a1 << " is not #NUM!";
            } else {
                EXPECT_EQ(cell->kind, kestrane::xls::CellKind::Number) << a1;
                EXPECT_EQ(cell->number, double(channel) + 0.5) << a1;
            }
        }
    expectGoodFileStillOpensAndConverts();
}

// ---- targets that cannot be written ----

struct WriteCase {
    const char *name;
    // Makes the bad target in the folder and returns its path; the folder
    // is watched for any change.
    std::function<std::string(const std::string &folder)> make;
    const char *title;
};

const WriteCase writeCases[] = {
    {"FolderDoesNotExist", [](const std::string &f) { return f + "/no-such-folder/out.xls"; }, "Path not found"},
    {"PathThroughARegularFile", [](const std::string &f) {
         kestrane::testdata::writeFile(f + "/plain.txt", "not a folder");
         return f + "/plain.txt/out.xls"; },
     "Path not found"},
    {"PathLongerThanTheDialogAccepts", [](const std::string &f) { return f + "/" + std::string(300, 'n') + ".xls"; },
     "The selected path is longer than the file dialog accepts"},
    {"TargetIsAFolder", [](const std::string &f) {
         fs::create_directory(f + "/out.xls");
         kestrane::testdata::writeFile(f + "/out.xls/inside", "kept");
         return f + "/out.xls"; },
     "Path/File access error"},
};

class WriteFailure : public BadInputCatalogue {
protected:
    // Opens the good file, then converts it to `target` and expects the
    // write failure titled `title`, the data still loaded, and nothing in
    // `watched` changed; then the same data converts to a good target.
    void expectWriteFailure(const std::string &target, const std::string &watched, const char *title,
                            bool readContent = true)
    {
        openThroughMenu(goodDat);
        ASSERT_TRUE(window->dataset.fileLoaded);
        const Snapshot before = readContent ? snapshotOf(watched) : Snapshot{};
        const std::vector<std::string> namesBefore = namesIn(watched);
        const std::size_t messages = dialogs->messages.size();

        convertThroughMenu(target);
        if (fileSizeLimited)
            liftFileSizeLimit();

        expectOneMessage(messages, kWriteProblem, QString::fromLatin1(title));
        if (readContent) {
            EXPECT_EQ(snapshotOf(watched), before) << "a file changed, or a temporary file was left";
        }
        EXPECT_EQ(namesIn(watched), namesBefore) << "a temporary file was left";
        // The failure leaves the data loaded and the command ready to run again.
        EXPECT_TRUE(window->dataset.fileLoaded);
        EXPECT_FALSE(window->dataset.fileConverted);
        EXPECT_EQ(window->dataset.channelValues[0].size(), 4u);
        EXPECT_FALSE(window->Label9->isVisible());
        EXPECT_FALSE(window->cmdConvirt->isEnabled());

        const std::string retry = kestrane::testdata::freshFolder("catalogue-retry") + "/retry.xls";
        convertThroughMenu(retry);
        EXPECT_EQ(dialogs->messages.size(), messages + 1) << "converting again to a good target failed";
        EXPECT_TRUE(kestrane::xls::walkXlsFile(retry).sound());
        expectGoodFileStillOpensAndConverts();
    }
};

void PrintTo(const WriteCase &c, std::ostream *out) { *out << c.name; }

class WriteFailureCase : public WriteFailure, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(WriteFailureCase, IsReportedOnceAndLeavesTheFolderAsItWas)
{
    const std::string target = kestrane::testdata::freshFolder("catalogue-target");
    expectWriteFailure(GetParam().make(target), target, GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Catalogue, WriteFailureCase, ::testing::ValuesIn(writeCases),
                         [](const auto &info) { return std::string(info.param.name); });

// sysfs takes no new files from anyone, root included.
TEST_F(WriteFailure, FolderThatTakesNoNewFiles)
{
    expectWriteFailure("/sys/kernel/kestrane-out.xls", "/sys/kernel", "Permission denied", false);
    EXPECT_FALSE(fs::exists("/sys/kernel/kestrane-out.xls"));
}

// A file system mounted read-only: an existing workbook there is not
// replaced, and no new one is made beside it.
TEST_F(WriteFailure, ReadOnlyFileSystem)
{
    const std::string target = folder + "/read-only";
    if (!mountTmpfs(target, "1m")) {
        // Without mounts, the mode bits refuse anyone but root.
        if (::geteuid() == 0)
            GTEST_SKIP() << "this machine lets no test mount a file system, and root writes through mode bits; "
                            "FolderThatTakesNoNewFiles covers a refused folder";
        fs::create_directories(target);
        kestrane::testdata::writeFile(target + "/existing.xls", "the previous workbook");
        fs::permissions(target + "/existing.xls", fs::perms::owner_read);
        fs::permissions(target, fs::perms::owner_read | fs::perms::owner_exec);
        expectWriteFailure(target + "/existing.xls", target, "Permission denied");
        expectWriteFailure(target + "/new.xls", target, "Permission denied");
        fs::permissions(target, fs::perms::owner_all);
        return;
    }
    mounts.push_back(target);
    kestrane::testdata::writeFile(target + "/existing.xls", "the previous workbook");
    ASSERT_TRUE(remountReadOnly(target)) << std::strerror(errno);

    expectWriteFailure(target + "/existing.xls", target, "Permission denied");
    expectWriteFailure(target + "/new.xls", target, "Permission denied");
}

// A disk that fills up while the workbook is written: the existing workbook
// keeps its bytes and the part written is removed again.
TEST_F(WriteFailure, FullDisk)
{
    const std::string target = folder + "/full";
    if (mountTmpfs(target, "64k")) {
        mounts.push_back(target);
        kestrane::testdata::writeFile(target + "/existing.xls", "the previous workbook");
        // Fill what is left but a few kilobytes, less than any workbook needs.
        std::ofstream filler(target + "/filler", std::ios::binary);
        const std::string block(1024, 'f');
        for (int k = 0; k < 64 && filler.write(block.data(), std::streamsize(block.size())); ++k) {
            filler.flush();
            if (!filler)
                break;
        }
        filler.close();
    } else {
        // No mounts here: a file-size limit makes the write fail part-way,
        // just as a full disk does.
        fs::create_directories(target);
        kestrane::testdata::writeFile(target + "/existing.xls", "the previous workbook");
        limitFileSize(2048);
    }
    expectWriteFailure(target + "/existing.xls", target, "Disk full");
}

} // namespace
