// The file dialog object and the message-box seam: settings kept between
// uses, filter translation, cancel, the path limit, and the production
// dialogs driven on the offscreen platform.
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include "ScriptedDialogs.h"
#include "WindowFixture.h"
#include "common/Failure.h"
#include "window/CommonDialog.h"
#include "window/DialogFilter.h"
#include "window/QtDialogDriver.h"

namespace {

using kestrane::CommonDialog;
using kestrane::FileDialogKind;

// ---- filter translation -----------------------------------------------------

struct FilterCase {
    const char *name;
    const char *filter;
    QStringList expected;
};

class FilterTranslation : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTranslation, BecomesQtNameFilters)
{
    EXPECT_EQ(kestrane::qtNameFilters(QString::fromUtf8(GetParam().filter)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, FilterTranslation,
    ::testing::Values(
        FilterCase{"OpenCommand", "Data Files (*.DAT)|*.DAT", {"Data Files (*.DAT *.dat)"}},
        FilterCase{"ConvertCommand", "Data Files (*.XLS)|*.XLS", {"Data Files (*.XLS *.xls)"}},
        FilterCase{"Initial", "(*.DAT)|*.DAT", {"(*.DAT *.dat)"}},
        FilterCase{"SeveralPairsAndPatterns", "Logs|*.Log;*.txt|All Files (*.*)|*.*",
                   {"Logs (*.Log *.log *.LOG *.txt *.TXT)", "All Files (*.*)"}},
        FilterCase{"DescriptionWithoutPattern", "Data Files", {"Data Files (*)"}},
        FilterCase{"Empty", "", {}},
        FilterCase{"EmptyPairSkipped", "A|*.a||", {"A (*.a *.A)"}}),
    [](const auto &info) { return std::string(info.param.name); });

// What Qt reads from an entry: the patterns inside the last parentheses.
QStringList patternsQtReads(const QString &nameFilter)
{
    static const QRegularExpression form(QStringLiteral("^(.*)\\(([a-zA-Z0-9_.,*? +;#\\-\\[\\]@\\{\\}/!<>\\$%&=^~:\\|]*)\\)$"));
    const auto match = form.match(nameFilter);
    return match.hasMatch() ? match.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts) : QStringList{nameFilter};
}

TEST(FilterTranslationOnDisk, DataFilterListsDatFilesInEitherCaseAndNothingElse)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char *name : {"RUN1.DAT", "run2.dat", "notes.txt", "run3.DAT.bak"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    const QStringList filters = kestrane::qtNameFilters(QStringLiteral("Data Files (*.DAT)|*.DAT"));
    ASSERT_EQ(filters.size(), 1);
    const QStringList listed =
        QDir(dir.path()).entryList(patternsQtReads(filters.front()), QDir::Files | QDir::CaseSensitive, QDir::Name);
    EXPECT_EQ(listed, (QStringList{"RUN1.DAT", "run2.dat"}));
}

// ---- the dialog object -------------------------------------------------------

class CommonDialogTest : public ::testing::Test {
protected:
    ScriptedDialogs scripted;
    CommonDialog dialog{&scripted};
};

TEST_F(CommonDialogTest, InitialSettings)
{
    EXPECT_EQ(dialog.Filter, QStringLiteral("(*.DAT)|*.DAT"));
    EXPECT_EQ(dialog.InitDir, QStringLiteral("C:\\WENTHARP"));
    EXPECT_EQ(dialog.MaxFileSize, 260);
    EXPECT_FALSE(dialog.CancelError);
    EXPECT_EQ(dialog.Flags, 0);
    EXPECT_TRUE(dialog.FileName.isEmpty());
}

// A save proposes the last path with the filter's extension, never the log
// that path may be; only a choice changes the kept path.
TEST_F(CommonDialogTest, ChosenPathIsKeptAndStartsTheNextUseOpenOrSave)
{
    QTemporaryDir dir;
    const QString chosen = dir.filePath(QStringLiteral("run1.dat"));
    scripted.fileAnswers = {chosen, std::nullopt};
    dialog.Filter = QStringLiteral("Data Files (*.DAT)|*.DAT");
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, chosen);

    dialog.Filter = QStringLiteral("Data Files (*.XLS)|*.XLS");
    dialog.ShowSave(); // cancelled, CancelError off: nothing raised, nothing changed
    EXPECT_EQ(dialog.FileName, chosen);

    ASSERT_EQ(scripted.fileDialogs.size(), 2u);
    const auto &open = scripted.fileDialogs[0];
    const auto &save = scripted.fileDialogs[1];
    EXPECT_EQ(open.kind, FileDialogKind::Open);
    EXPECT_EQ(open.nameFilters, QStringList{"Data Files (*.DAT *.dat)"});
    EXPECT_EQ(save.kind, FileDialogKind::Save);
    EXPECT_EQ(save.fileName, dir.filePath(QStringLiteral("run1.xls")));
    EXPECT_EQ(save.folder, dir.path());
    EXPECT_EQ(save.nameFilters, QStringList{"Data Files (*.XLS *.xls)"});

    dialog.FileName = QStringLiteral("/logs/probe 7");
    dialog.ShowSave();
    EXPECT_EQ(scripted.fileDialogs.back().fileName, QStringLiteral("/logs/probe 7.xls"));
    EXPECT_EQ(dialog.FileName, QStringLiteral("/logs/probe 7"));
}

TEST_F(CommonDialogTest, CancelRaisesTheCancelFailureOnlyWhenAskedAndChangesNothing)
{
    dialog.FileName = QStringLiteral("/somewhere/run.dat");
    dialog.CancelError = true;
    try {
        dialog.ShowOpen();
        FAIL() << "cancel raised nothing";
    } catch (const kestrane::Failure &f) {
        EXPECT_EQ(f.number(), 32755);
        EXPECT_EQ(f.description(), "Cancel was selected.");
    }
    EXPECT_EQ(dialog.FileName, QStringLiteral("/somewhere/run.dat"));
    EXPECT_TRUE(dialog.CancelError); // settings survive the failure

    dialog.CancelError = false;
    EXPECT_NO_THROW(dialog.ShowSave());
    EXPECT_EQ(dialog.FileName, QStringLiteral("/somewhere/run.dat"));
}

TEST_F(CommonDialogTest, OverwriteIsConfirmedOnlyInASaveWithTheFlag)
{
    dialog.Flags = 0x840A;
    dialog.ShowSave();
    dialog.ShowOpen();
    dialog.Flags = 0x8408;
    dialog.ShowSave();
    ASSERT_EQ(scripted.fileDialogs.size(), 3u);
    EXPECT_TRUE(scripted.fileDialogs[0].confirmOverwrite);
    EXPECT_FALSE(scripted.fileDialogs[1].confirmOverwrite);
    EXPECT_FALSE(scripted.fileDialogs[2].confirmOverwrite);
}

TEST_F(CommonDialogTest, StartFolderLastPathThenInitialFolderWhenItExistsThenCurrent)
{
    QTemporaryDir initial, last;
    dialog.InitDir = initial.filePath(QStringLiteral("missing"));
    EXPECT_EQ(dialog.startFolder(), QString());
    dialog.InitDir = initial.path();
    EXPECT_EQ(dialog.startFolder(), initial.path());
    dialog.FileName = last.filePath(QStringLiteral("x.dat"));
    EXPECT_EQ(dialog.startFolder(), last.path());
    dialog.FileName = last.filePath(QStringLiteral("gone/x.dat"));
    EXPECT_EQ(dialog.startFolder(), initial.path());
}

TEST_F(CommonDialogTest, PathsUpTo260CharactersAreAcceptedLongerOnesFail)
{
    const QString longest = QLatin1Char('/') + QString(255, QLatin1Char('a')) + QStringLiteral(".dat");
    ASSERT_EQ(longest.size(), 260);
    scripted.fileAnswers = {longest, longest + QLatin1Char('x')};
    dialog.ShowOpen();
    EXPECT_EQ(dialog.FileName, longest);
    try {
        dialog.ShowOpen();
        FAIL() << "a 261-character path was accepted";
    } catch (const kestrane::Failure &f) {
        EXPECT_EQ(f.number(), kestrane::FileNameTooLong);
    }
    EXPECT_EQ(dialog.FileName, longest);
}

// ---- the seam on the window ----------------------------------------------------

class WindowSeamTest : public WindowFixture {};

TEST_F(WindowSeamTest, MsgBoxDefaultsToInformationOkAndTheApplicationTitle)
{
    dialogs->messageAnswers = {kestrane::MsgBoxResult::Cancel};
    EXPECT_EQ(window->MsgBox(QStringLiteral("Hello"), kestrane::MsgBoxButtons::OKCancel), kestrane::MsgBoxResult::Cancel);
    EXPECT_EQ(window->MsgBox(QStringLiteral("Again")), kestrane::MsgBoxResult::OK);
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text, QStringLiteral("Again"));
    EXPECT_EQ(dialogs->messages[1].title, QStringLiteral("Kestrane"));
    EXPECT_EQ(dialogs->messages[1].icon, kestrane::MsgBoxIcon::Information);
    EXPECT_EQ(dialogs->messages[1].buttons, kestrane::MsgBoxButtons::OKOnly);
}

TEST_F(WindowSeamTest, TheWindowsFileDialogUsesTheWindowsDriver)
{
    dialogs->fileAnswers = {QStringLiteral("/data/run.dat")};
    window->CommonDialog1.ShowOpen();
    EXPECT_EQ(window->CommonDialog1.FileName, QStringLiteral("/data/run.dat"));
    ASSERT_EQ(dialogs->fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs->fileDialogs[0].nameFilters, QStringList{"(*.DAT *.dat)"});
}

TEST_F(WindowSeamTest, AFailureEscapingACommandIsReportedNotThrownThroughTheEventLoop)
{
    // The scripted operator's OK for "No File to Unload" is where the failure starts.
    struct Throwing : ScriptedDialogs {
        int calls = 0;
        kestrane::MsgBoxResult showMessageBox(const kestrane::MessageBoxRequest &r) override
        {
            if (calls++ == 0)
                throw kestrane::Failure(kestrane::DeviceIOError);
            return ScriptedDialogs::showMessageBox(r);
        }
    };
    auto throwing = std::make_unique<Throwing>();
    Throwing *raw = throwing.get();
    window->setDialogDriver(std::move(throwing));
    window->cmdUnload->click();
    ASSERT_EQ(raw->messages.size(), 1u);
    EXPECT_EQ(raw->messages[0].title, QStringLiteral("Device I/O error"));
    EXPECT_TRUE(window->isVisible());
}

// ---- the production dialogs ---------------------------------------------------------

// Runs `answer` on the modal dialog once it is up.
template <typename Dialog>
void whenShown(std::function<void(Dialog *)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

TEST(QtDialogDriverTest, MessageBoxShowsTextTitleIconButtonsAndReturnsThePress)
{
    QWidget owner;
    kestrane::QtDialogDriver driver(&owner);
    whenShown<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->text(), QStringLiteral("Form cannot be centred"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Kestrane"));
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(driver.showMessageBox({QStringLiteral("Form cannot be centred"), kestrane::MsgBoxButtons::OKCancel,
                                     kestrane::MsgBoxIcon::None, QStringLiteral("Kestrane")}),
              kestrane::MsgBoxResult::Cancel);

    whenShown<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->icon(), QMessageBox::Information);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Permission denied"));
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(driver.showMessageBox({QStringLiteral("Problems"), kestrane::MsgBoxButtons::OKOnly,
                                     kestrane::MsgBoxIcon::Information, QStringLiteral("Permission denied")}),
              kestrane::MsgBoxResult::OK);
}

TEST(QtDialogDriverTest, FileDialogStartsWhereAskedAndReturnsTheChoiceOrNothing)
{
    QTemporaryDir dir;
    QWidget owner;
    kestrane::QtDialogDriver driver(&owner);
    kestrane::FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.folder = dir.path();
    request.fileName = dir.filePath(QStringLiteral("run1.dat"));
    request.nameFilters = {QStringLiteral("Data Files (*.XLS *.xls)")};
    request.confirmOverwrite = true;

    whenShown<QFileDialog>([&](QFileDialog *d) {
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(d->testOption(QFileDialog::DontConfirmOverwrite));
        EXPECT_TRUE(d->testOption(QFileDialog::DontUseNativeDialog)); // the same dialog on every desktop
        EXPECT_EQ(d->nameFilters(), request.nameFilters);
        EXPECT_EQ(d->selectedFiles(), QStringList{request.fileName});
        d->selectFile(dir.filePath(QStringLiteral("out.xls")));
        QMetaObject::invokeMethod(d, "accept");
    });
    EXPECT_EQ(driver.showFileDialog(request), dir.filePath(QStringLiteral("out.xls")));

    request.kind = FileDialogKind::Open;
    request.confirmOverwrite = false;
    whenShown<QFileDialog>([](QFileDialog *d) {
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_TRUE(d->testOption(QFileDialog::DontConfirmOverwrite));
        QMetaObject::invokeMethod(d, "reject");
    });
    EXPECT_EQ(driver.showFileDialog(request), std::nullopt);
}

} // namespace
