// The open command on the real window, through its button, its menu item and
// Ctrl+O: every outcome, with the state of the dataset and of the window each
// one leaves.
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "CommandRoutes.h"
#include "DatGenerator.h"
#include "WindowFixture.h"
#include "common/Failure.h"

namespace {

namespace fs = std::filesystem;
using kestrane::testdata::DatSpec;

// The file loaded before the command, where a case starts from one.
DatSpec previousFile()
{
    DatSpec spec;
    spec.points = 6;
    spec.value = [](int channel, int point) { return float(-channel * 100 - point); };
    spec.names = {"Old 1", "Old 2", "Old 3", "Old 4", "Old 5", "Old 6", "Old 7"};
    return spec;
}

// The file a case chooses: names with trailing blanks and a degree sign in
// the logger's code page, values that differ by channel and point.
DatSpec newFile(int points)
{
    DatSpec spec;
    spec.points = points;
    spec.value = [](int channel, int point) { return float(channel) + float(point) / 1000.0f; };
    spec.names = {"Pressure", "Temp \xB0" "C", "Flow", "", "                    ", "Channel six long nam", "Seven"};
    return spec;
}

// What the seven name boxes show for a file: each name whole, 20 characters.
std::array<QString, 7> shownNames(const DatSpec &spec)
{
    std::array<QString, 7> names;
    for (std::size_t k = 0; k < 7; ++k) {
        const std::string record = kestrane::testdata::nameRecord(spec.names[k]);
        names[k] = QString::fromLatin1(record.data(), qsizetype(record.size())); // 0xB0 is U+00B0 in both
    }
    return names;
}

enum class Before { NothingLoaded, FileLoaded, FileConverted };
enum class Names { OfNewFile, Empty, AsBefore };
enum class Values { OfNewFile, AsBefore, Erased };
enum class Focus { ConvertButton, OpenButton, AsBefore };

// What the operator chooses in the dialog: a path below the case's folder
// (with the bytes written there first, if any), or a cancel.
struct Choice {
    std::optional<std::string> path; // relative to the case's folder; nullopt: cancel
    std::optional<std::string> bytes; // written at the path first
};

struct OpenCase {
    const char *name;
    Before before;
    Choice choice;
    int newPoints; // the point count of the file whose bytes are chosen
    // outcome
    bool loaded;
    Names names;
    Values values;
    const char *status;
    Focus focus;
    const char *message; // nullptr: no message box
    int failure;         // the failure whose description titles the message, 0: the program's title
    bool notice;         // "Reading (.DAT) File" still shows
    int pointCount;      // afterwards; -2: as before
    std::optional<float> progress; // the bar's value afterwards; nullopt: as before
    bool focusOnConvertBefore = false; // else the focus starts on Unload
};

std::string datOf(int points) { return kestrane::testdata::datBytes(newFile(points)); }

constexpr const char *kMustBeDat = "File must be (.Dat)";
constexpr const char *kCorrupted = "Problems Reading File Back Corrupted Data ! ";
constexpr int kAsBefore = -2;

const OpenCase openCases[] = {
    {"CompleteRead", Before::NothingLoaded, {"run1.dat", datOf(5)}, 5,
     true, Names::OfNewFile, Values::OfNewFile, "File Loaded", Focus::ConvertButton, nullptr, 0, false, 5, 1.0f},
    {"CompleteReadReplacesALargerFile", Before::FileLoaded, {"run2.dat", datOf(2)}, 2,
     true, Names::OfNewFile, Values::OfNewFile, "File Loaded", Focus::ConvertButton, nullptr, 0, false, 2, 1.0f},
    {"CompleteReadAfterAConversion", Before::FileConverted, {"run3.dat", datOf(3)}, 3,
     true, Names::OfNewFile, Values::OfNewFile, "File Loaded", Focus::ConvertButton, nullptr, 0, false, 3, 1.0f},
    // The progress range is 1 to 0 and 1 to 1 here; the bar takes both.
    {"NoDataPoints", Before::NothingLoaded, {"empty.dat", datOf(0)}, 0,
     true, Names::OfNewFile, Values::OfNewFile, "File Loaded", Focus::ConvertButton, nullptr, 0, false, 0, 1.0f},
    {"OneDataPoint", Before::FileLoaded, {"one.dat", datOf(1)}, 1,
     true, Names::OfNewFile, Values::OfNewFile, "File Loaded", Focus::ConvertButton, nullptr, 0, false, 1, 1.0f},
    {"MostPointsTheReaderHandles", Before::NothingLoaded, {"big.dat", datOf(4679)}, 4679,
     true, Names::OfNewFile, Values::OfNewFile, "File Loaded", Focus::ConvertButton, nullptr, 0, false, 4679, 1.0f},
    {"DatOnlyInAFolderName", Before::NothingLoaded, {"x.data/file.bin", datOf(4)}, 4,
     true, Names::OfNewFile, Values::OfNewFile, "File Loaded", Focus::ConvertButton, nullptr, 0, false, 4, 1.0f},
    {"PathWithoutDat", Before::FileLoaded, {"run1.bin", datOf(4)}, 4,
     false, Names::Empty, Values::AsBefore, "No File Loaded", Focus::ConvertButton, kMustBeDat, 0, false, kAsBefore,
     std::nullopt},
    {"UpperCaseDAT", Before::FileLoaded, {"RUN1.DAT", datOf(4)}, 4,
     false, Names::Empty, Values::AsBefore, "No File Loaded", Focus::ConvertButton, kMustBeDat, 0, false, kAsBefore,
     std::nullopt},
    {"CancelWithAFileLoaded", Before::FileLoaded, {std::nullopt, std::nullopt}, 0,
     false, Names::Empty, Values::Erased, "No File Loaded", Focus::OpenButton, nullptr, 0, false, kAsBefore,
     std::nullopt},
    {"CancelWithNothingLoaded", Before::NothingLoaded, {std::nullopt, std::nullopt}, 0,
     false, Names::Empty, Values::Erased, "No File Loaded", Focus::OpenButton, nullptr, 0, false, kAsBefore,
     std::nullopt},
    // 109 bytes give a point count of -1: the notice is up when the arrays
    // cannot be sized, and it stays up.
    {"ShorterThan110Bytes", Before::FileConverted, {"short.dat", std::string(109, '\0')}, 0,
     false, Names::AsBefore, Values::AsBefore, "No File Loaded", Focus::AsBefore, kCorrupted,
     kestrane::SubscriptOutOfRange, true, -1, std::nullopt},
    // The data loop reads all 4680 points; the record counter overflows in
    // the trailer.
    {"OnePointTooMany", Before::FileLoaded, {"huge.dat", datOf(4680)}, 4680,
     false, Names::AsBefore, Values::OfNewFile, "No File Loaded", Focus::AsBefore, kCorrupted,
     kestrane::Overflow, true, 4680, 4680.0f},
    // The read stops before the length is known: no notice, nothing changed.
    {"MissingFile", Before::FileLoaded, {"gone.dat", std::nullopt}, 0,
     false, Names::AsBefore, Values::AsBefore, "No File Loaded", Focus::AsBefore, kCorrupted,
     kestrane::FileNotFound, false, kAsBefore, std::nullopt},
    // Disabling the Convert button at the start must not leave the focus
    // moved on to Unload.
    {"FailureKeepsTheFocusOnConvert", Before::FileLoaded, {"gone.dat", std::nullopt}, 0,
     false, Names::AsBefore, Values::AsBefore, "No File Loaded", Focus::AsBefore, kCorrupted,
     kestrane::FileNotFound, false, kAsBefore, std::nullopt, true},
};

class OpenCommandTest : public WindowFixture,
                        public ::testing::WithParamInterface<std::tuple<OpenCase, CommandRoute>> {
protected:
    const OpenCase &openCase() const { return std::get<0>(GetParam()); }

    // Opens `path` through the command, as the operator would.
    void openThroughTheButton(const std::string &path)
    {
        dialogs->fileAnswers.push_back(QString::fromStdString(path));
        window->cmdConvirt->click();
        ASSERT_TRUE(window->dataset.fileLoaded);
    }

    void arrange()
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder = kestrane::testdata::freshFolder(name);
        if (openCase().before != Before::NothingLoaded)
            openThroughTheButton(kestrane::testdata::writeDat(folder + "/previous.dat", previousFile()));
        if (openCase().before == Before::FileConverted) {
            dialogs->fileAnswers.push_back(QString::fromStdString(folder + "/previous.xls"));
            window->cmdSaveFile->click();
            ASSERT_TRUE(window->dataset.fileConverted);
            ASSERT_EQ(window->Label9->text(), QStringLiteral("Writing to (.xls) File"));
        }
        const Choice &choice = openCase().choice;
        if (choice.path) {
            const fs::path chosen = fs::path(folder) / *choice.path;
            fs::create_directories(chosen.parent_path());
            if (choice.bytes)
                kestrane::testdata::writeFile(chosen.string(), *choice.bytes);
            dialogs->fileAnswers.push_back(QString::fromStdString(chosen.string()));
        } else {
            dialogs->fileAnswers.push_back(std::nullopt);
        }
        dialogs->messages.clear();
        dialogs->fileDialogs.clear();
        // Flags the command must reset or keep, and a focus it may not move.
        window->dataset.fileConverted = true;
        focusBefore = openCase().focusOnConvertBefore ? static_cast<QWidget *>(window->cmdSaveFile)
                                                      : static_cast<QWidget *>(window->cmdUnload);
        focusBefore->setFocus();
        for (std::size_t k = 0; k < 7; ++k)
            namesBefore[k] = window->Label8[k]->text();
        valuesBefore = window->dataset.channelValues;
        pointCountBefore = window->dataset.pointCount;
        progressBefore = window->ProgressBar1->value();
    }

    std::string folder;
    QWidget *focusBefore = nullptr;
    std::array<QString, 7> namesBefore;
    decltype(kestrane::Dataset::channelValues) valuesBefore;
    std::int32_t pointCountBefore = 0;
    float progressBefore = 0.0f;
};

TEST_P(OpenCommandTest, LeavesTheDatasetAndTheWindowAsItsOutcomeSays)
{
    const OpenCase &c = openCase();
    ASSERT_NO_FATAL_FAILURE(arrange());

    std::get<1>(GetParam()).run(*window);

    const kestrane::Dataset &d = window->dataset;
    ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs->fileDialogs[0].kind, kestrane::FileDialogKind::Open);
    EXPECT_EQ(d.fileLoaded, c.loaded);
    EXPECT_FALSE(d.fileConverted);
    EXPECT_EQ(window->StatusBar1->text(), QString::fromLatin1(c.status));
    // On every outcome both buttons end enabled.
    EXPECT_TRUE(window->cmdSaveFile->isEnabled());
    EXPECT_TRUE(window->cmdConvirt->isEnabled());

    QWidget *const expectedFocus = c.focus == Focus::ConvertButton ? static_cast<QWidget *>(window->cmdSaveFile)
                                   : c.focus == Focus::OpenButton ? static_cast<QWidget *>(window->cmdConvirt)
                                                                  : focusBefore;
    EXPECT_EQ(QApplication::focusWidget(), expectedFocus);

    if (c.message) {
        ASSERT_EQ(dialogs->messages.size(), 1u);
        const auto &box = dialogs->messages[0];
        EXPECT_EQ(box.text, QString::fromLatin1(c.message));
        EXPECT_EQ(box.title, c.failure ? QString::fromStdString(kestrane::Failure::standardDescription(c.failure))
                                       : QStringLiteral("Kestrane"));
        EXPECT_EQ(box.icon, kestrane::MsgBoxIcon::Information);
        EXPECT_EQ(box.buttons, kestrane::MsgBoxButtons::OKOnly);
    } else {
        EXPECT_TRUE(dialogs->messages.empty());
    }

    EXPECT_EQ(window->Label9->isVisible(), c.notice);
    if (c.notice) {
        EXPECT_EQ(window->Label9->text(), QStringLiteral("Reading (.DAT) File"));
    }

    const DatSpec chosenSpec = newFile(c.newPoints);
    const std::array<QString, 7> expectedNames = c.names == Names::OfNewFile ? shownNames(chosenSpec)
                                                 : c.names == Names::Empty ? std::array<QString, 7>{}
                                                                           : namesBefore;
    for (std::size_t k = 0; k < 7; ++k)
        EXPECT_EQ(window->Label8[k]->text(), expectedNames[k]) << "name box " << k;

    switch (c.values) {
    case Values::OfNewFile:
        for (int channel = 1; channel <= 7; ++channel) {
            const auto &stored = d.channelValues[std::size_t(channel - 1)];
            ASSERT_EQ(stored.size(), std::size_t(c.newPoints) + 1) << "channel " << channel;
            for (int point = 0; point < c.newPoints; ++point)
                ASSERT_EQ(stored[std::size_t(point)], chosenSpec.value(channel, point));
            EXPECT_FALSE(stored.back().has_value()); // the slot past the last point stays empty
        }
        break;
    case Values::AsBefore:
        EXPECT_EQ(d.channelValues, valuesBefore);
        break;
    case Values::Erased:
        for (const auto &stored : d.channelValues) {
            EXPECT_TRUE(stored.empty());
            EXPECT_EQ(stored.capacity(), 0u);
        }
        break;
    }

    EXPECT_EQ(d.pointCount, c.pointCount == kAsBefore ? pointCountBefore : c.pointCount);
    EXPECT_EQ(window->ProgressBar1->value(), c.progress.value_or(progressBefore));
    if (c.loaded) {
        EXPECT_EQ(d.pointIndex, c.newPoints);
        EXPECT_EQ(window->ProgressBar1->min(), 1.0f);
        EXPECT_EQ(window->ProgressBar1->max(), float(c.newPoints));
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, OpenCommandTest,
                         ::testing::Combine(::testing::ValuesIn(openCases), ::testing::ValuesIn(openRoutes())),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

class OpenCommandDetailTest : public WindowFixture {};

// The bar starts at its minimum, follows every point read, and is set back
// to 1 once the file is loaded.
TEST_F(OpenCommandDetailTest, ProgressBarFollowsEveryPoint)
{
    const std::string folder = kestrane::testdata::freshFolder("progress");
    const std::string path = kestrane::testdata::writeDat(folder + "/five.dat", newFile(5));
    std::vector<float> values;
    QObject::connect(window->ProgressBar1, &kestrane::ProgressBar::valueSet, [&](float v) { values.push_back(v); });
    dialogs->fileAnswers.push_back(QString::fromStdString(path));

    window->cmdConvirt->click();

    EXPECT_EQ(values, (std::vector<float>{1, 1, 2, 3, 4, 5, 1}));
}

// The dialog is prepared as an open dialog on the data filter; it starts
// from the path chosen last, and the next open starts from this one.
TEST_F(OpenCommandDetailTest, PreparesTheSharedDialogAndKeepsTheChosenPath)
{
    const std::string folder = kestrane::testdata::freshFolder("dialog");
    const std::string first = kestrane::testdata::writeDat(folder + "/first.dat", newFile(1));
    window->CommonDialog1.FileName = QStringLiteral("/somewhere/else.dat");
    dialogs->fileAnswers.push_back(QString::fromStdString(first));

    window->mnuOpen->trigger();

    ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
    const auto &request = dialogs->fileDialogs[0];
    EXPECT_EQ(request.kind, kestrane::FileDialogKind::Open);
    EXPECT_EQ(request.fileName, QStringLiteral("/somewhere/else.dat"));
    EXPECT_EQ(request.nameFilters, QStringList{QStringLiteral("Data Files (*.DAT *.dat)")});
    EXPECT_FALSE(request.confirmOverwrite);
    EXPECT_TRUE(request.defaultSuffix.isEmpty()); // an open never adds to the name
    EXPECT_TRUE(window->CommonDialog1.CancelError);
    EXPECT_EQ(window->CommonDialog1.Flags, 0x840A);
    EXPECT_EQ(window->CommonDialog1.FileName, QString::fromStdString(first));

    window->mnuOpen->trigger(); // cancelled: nothing queued
    ASSERT_EQ(dialogs->fileDialogs.size(), 2u);
    EXPECT_EQ(dialogs->fileDialogs[1].fileName, QString::fromStdString(first));
}

// A refused path leaves the earlier values in memory, but the convert
// command finds no file loaded.
TEST_F(OpenCommandDetailTest, AfterARefusedPathConvertFindsNoFile)
{
    const std::string folder = kestrane::testdata::freshFolder("refused");
    dialogs->fileAnswers.push_back(
        QString::fromStdString(kestrane::testdata::writeDat(folder + "/good.dat", newFile(2))));
    window->cmdConvirt->click();
    dialogs->fileAnswers.push_back(QString::fromStdString(folder + "/good.DAT"));
    window->cmdConvirt->click();
    ASSERT_FALSE(window->dataset.fileLoaded);
    ASSERT_EQ(window->dataset.channelValues[0].size(), 3u);

    window->cmdSaveFile->click();

    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text, QStringLiteral("No (.DAT) File Loaded"));
    EXPECT_EQ(dialogs->fileDialogs.size(), 2u); // no save dialog
}

} // namespace
