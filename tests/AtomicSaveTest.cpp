// Each failure here is made real for every user, root included: permission
// bits refuse root nothing, so the failures come from the file system itself
// (missing folders, files in the way, sysfs, a file size limit).

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "DatGenerator.h"
#include "common/Failure.h"
#include "workbook/spreadsheet/AtomicSave.h"

namespace fs = std::filesystem;
using kestrane::spreadsheet::saveAtomically;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes workbookBytes(std::size_t size = 6000)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i % 251);
    return bytes;
}

Bytes contentOf(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<std::string> namesIn(const std::string &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int failureOf(const std::string &path, const Bytes &bytes)
{
    try {
        saveAtomically(path, bytes);
    } catch (const kestrane::Failure &failure) {
        EXPECT_FALSE(failure.description().empty());
        return failure.number();
    }
    return 0;
}

} // namespace

TEST(AtomicSave, writesANewFileWholeAndNothingElse)
{
    const std::string folder = kestrane::testdata::freshFolder("save-new");
    const Bytes bytes = workbookBytes();
    saveAtomically(folder + "/out.xls", bytes);
    EXPECT_EQ(contentOf(folder + "/out.xls"), bytes);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"out.xls"});
}

// A file handed over run by run is their concatenation; a failure between
// two runs leaves the target as it was and no temporary file behind.
TEST(AtomicSave, aFileWrittenInRunsAppearsWholeOrNotAtAll)
{
    const std::string folder = kestrane::testdata::freshFolder("save-runs");
    const Bytes bytes = workbookBytes();
    const auto half = std::span(bytes).first(bytes.size() / 2);
    const auto rest = std::span(bytes).subspan(bytes.size() / 2);
    saveAtomically(folder + "/out.xls", [&](const kestrane::spreadsheet::SaveWriter &write) {
        write(half);
        write(rest);
    });
    EXPECT_EQ(contentOf(folder + "/out.xls"), bytes);

    EXPECT_THROW(saveAtomically(folder + "/out.xls",
                                [&](const kestrane::spreadsheet::SaveWriter &write) {
                                    write(rest);
                                    throw kestrane::Failure(kestrane::DeviceIOError);
                                }),
                 kestrane::Failure);
    EXPECT_EQ(contentOf(folder + "/out.xls"), bytes);
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"out.xls"});
}

TEST(AtomicSave, aNewFileGetsTheUsualModeAndAReplacedFileKeepsItsOwn)
{
    const std::string folder = kestrane::testdata::freshFolder("save-mode");
    const mode_t mask = ::umask(022);
    saveAtomically(folder + "/new.xls", workbookBytes());
    EXPECT_EQ(fs::status(folder + "/new.xls").permissions(), fs::perms(0644));

    kestrane::testdata::writeFile(folder + "/old.xls", "old content");
    fs::permissions(folder + "/old.xls", fs::perms(0640));
    saveAtomically(folder + "/old.xls", workbookBytes());
    ::umask(mask);
    EXPECT_EQ(fs::status(folder + "/old.xls").permissions(), fs::perms(0640));
    EXPECT_EQ(contentOf(folder + "/old.xls"), workbookBytes());
}

TEST(AtomicSave, aSavedPathInTheCurrentFolderWorks)
{
    const std::string folder = kestrane::testdata::freshFolder("save-relative");
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    saveAtomically("plain.xls", workbookBytes());
    fs::current_path(before);
    EXPECT_EQ(contentOf(folder + "/plain.xls"), workbookBytes());
}

TEST(AtomicSave, throughASymbolicLinkReplacesTheFileItNamesAndKeepsTheLink)
{
    const std::string folder = kestrane::testdata::freshFolder("save-link");
    fs::create_directory(folder + "/real");
    kestrane::testdata::writeFile(folder + "/real/target.xls", "old");
    fs::create_symlink("real/target.xls", folder + "/link.xls");
    saveAtomically(folder + "/link.xls", workbookBytes());
    EXPECT_TRUE(fs::is_symlink(folder + "/link.xls"));
    EXPECT_EQ(contentOf(folder + "/real/target.xls"), workbookBytes());
    EXPECT_EQ(namesIn(folder + "/real"), std::vector<std::string>{"target.xls"});
}

namespace {

struct FailureCase {
    const char *name;
    // Prepares the folder and returns the path to save to.
    std::string (*prepare)(const std::string &folder);
    int number;
};

} // namespace

class AtomicSaveFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(AtomicSaveFailure, leavesEverythingAsItWas)
{
    const std::string folder = kestrane::testdata::freshFolder(std::string("save-fails-") + GetParam().name);
    kestrane::testdata::writeFile(folder + "/existing.xls", "the previous workbook");
    const std::string path = GetParam().prepare(folder);
    const auto namesBefore = namesIn(folder);

    EXPECT_EQ(failureOf(path, workbookBytes()), GetParam().number);

    EXPECT_EQ(namesIn(folder), namesBefore) << "a file was left behind or removed";
    const std::string previous = "the previous workbook";
    EXPECT_EQ(contentOf(folder + "/existing.xls"), Bytes(previous.begin(), previous.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Causes, AtomicSaveFailure,
    testing::Values(
        FailureCase{"MissingFolder", [](const std::string &f) { return f + "/no such folder/out.xls"; }, 76},
        FailureCase{"PathThroughAFile", [](const std::string &f) { return f + "/existing.xls/out.xls"; }, 76},
        FailureCase{"TargetIsAFolder",
                    [](const std::string &f) {
                        fs::create_directory(f + "/folder.xls");
                        kestrane::testdata::writeFile(f + "/folder.xls/inside", "x");
                        return f + "/folder.xls";
                    },
                    75},
        FailureCase{"TargetIsAPipe",
                    [](const std::string &f) {
                        ::mkfifo((f + "/pipe.xls").c_str(), 0644);
                        return f + "/pipe.xls";
                    },
                    75},
        // A spreadsheet program has the workbook open: LibreOffice, or the
        // Windows one on a shared folder.
        FailureCase{"LockedByLibreOffice",
                    [](const std::string &f) {
                        kestrane::testdata::writeFile(f + "/.~lock.existing.xls#", "Operator,host,home,date,;");
                        return f + "/existing.xls";
                    },
                    70},
        FailureCase{"LockedOnASharedFolder",
                    [](const std::string &f) {
                        kestrane::testdata::writeFile(f + "/~$existing.xls", "Operator");
                        return f + "/existing.xls";
                    },
                    70},
        FailureCase{"NameTooLong", [](const std::string &f) { return f + "/" + std::string(300, 'n') + ".xls"; }, 52},
        FailureCase{"EmptyPath", [](const std::string &) { return std::string(); }, 52}),
    [](const testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

TEST(AtomicSave, aFolderThatTakesNoNewFilesIsPermissionDenied)
{
    // sysfs refuses to create files for everyone, root included.
    EXPECT_EQ(failureOf("/sys/kernel/kestrane-out.xls", workbookBytes()), 70)
        << "expects sysfs mounted at /sys, as on every Linux system";
    EXPECT_FALSE(fs::exists("/sys/kernel/kestrane-out.xls"));
}

// A file size limit makes the write itself fail part-way, as a full disk
// does; the limit is set in a child process so nothing else of the test run
// is limited.
TEST(AtomicSave, aDiskThatFillsUpMidwayLeavesTheTargetAsItWas)
{
    const std::string folder = kestrane::testdata::freshFolder("save-full");
    kestrane::testdata::writeFile(folder + "/existing.xls", "the previous workbook");

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int number = 0;
        try {
            saveAtomically(folder + "/existing.xls", workbookBytes(100000));
        } catch (const kestrane::Failure &failure) {
            number = failure.number();
        }
        ::_exit(number);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 61); // "Disk full"
    EXPECT_EQ(namesIn(folder), std::vector<std::string>{"existing.xls"});
    const std::string previous = "the previous workbook";
    EXPECT_EQ(contentOf(folder + "/existing.xls"), Bytes(previous.begin(), previous.end()));
}
