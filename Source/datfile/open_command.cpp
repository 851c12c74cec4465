#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "common/Failure.h"
#include "datfile/DatReader.h"
#include "window/FilePath.h"
#include "window/frmDataEntry.h"

using kestrane::Failure;

// The open command: the operator chooses a .DAT file, which is read into the
// dataset while the progress bar follows it; the seven channel names then show
// beside their channels. A cancelled dialog unloads the data; every other
// failure is reported once, titled with its description.
//
// A file with no or one data point loads like any other: the progress bar
// takes the range 1 to 0 or 1 to 1 and draws it empty. A read that fails has
// already closed its file (the reader closes it on every path), so nothing is
// left open for a later open to release.
void frmDataEntry::openCommand()
{
    // Disabling Convert may move the focus on; a failed open puts it back.
    const QPointer<QWidget> focusBefore = focusWidget();
    cmdSaveFile->setEnabled(false);
    dataset.fileConverted = false;
    dataset.pointIndex = 0;
    try {
        CommonDialog1.CancelError = true;
        CommonDialog1.Filter = QStringLiteral("Data Files (*.DAT)|*.DAT");
        CommonDialog1.ShowOpen();
        // Only a path that holds ".dat" in lower case, anywhere, is read.
        if (CommonDialog1.FileName.contains(QStringLiteral(".dat"), Qt::CaseSensitive)) {
            readDatFileShowingProgress(CommonDialog1.FileName);
            showFileLoaded();
        } else {
            MsgBox(QStringLiteral("File must be (.Dat)"));
            clearChannelNameBoxes();
            showNoFileLoaded();
        }
        cmdSaveFile->setEnabled(true);
        cmdConvirt->setEnabled(true);
        cmdSaveFile->setFocus();
    } catch (const Failure &failure) {
        if (failure.number() == kestrane::CancelSelected) {
            cmdSaveFile->setEnabled(true);
            returnToNoFileLoaded();
        } else {
            reportReadFailure(QString::fromStdString(failure.description()), focusBefore);
        }
    } catch (const std::exception &failure) {
        // Out of memory and the like: reported as any other failure of the read.
        reportReadFailure(QString::fromLocal8Bit(failure.what()), focusBefore);
    }
}

// Reads the file into the dataset: the reading notice goes up once the length
// is known, and the progress bar follows the points read.
void frmDataEntry::readDatFileShowingProgress(const QString &path)
{
    kestrane::ReadHooks hooks;
    hooks.lengthMeasured = [this] {
        // Set every time: the convert command shows its own notice here.
        Label9->setText(QStringLiteral("Reading (.DAT) File"));
        Label9->setVisible(true);
        repaint(); // the notice is on screen before the read holds the thread
    };
    hooks.arraysSized = [this] {
        ProgressBar1->setMin(1.0f);
        ProgressBar1->setMax(float(dataset.pointCount));
        ProgressBar1->setValue(ProgressBar1->min());
    };
    hooks.pointRead = [this](std::int32_t pointIndex) { ProgressBar1->setValue(float(pointIndex)); };
    kestrane::readDatFile(kestrane::filePath(path), dataset, hooks);
}

// After a complete read: the seven names beside their channels, the file
// loaded and the status bar saying so, the notice and the progress put away.
void frmDataEntry::showFileLoaded()
{
    for (std::size_t k = 0; k < Label8.size(); ++k)
        Label8[k]->setText(QString::fromStdU16String(dataset.channelNames[k].text()));
    dataset.fileLoaded = true;
    StatusBar1->setText(QStringLiteral("File Loaded"));
    putProgressAway();
}

// The failure path of the open command: the message titled with the failure's
// description, then no file loaded. The notice, the progress bar and the name
// boxes stay as the read left them, and the focus goes back to the control
// that had it before the command.
void frmDataEntry::reportReadFailure(const QString &description, QWidget *focusBefore)
{
    MsgBox(QStringLiteral("Problems Reading File Back Corrupted Data ! "), kestrane::MsgBoxButtons::OKOnly,
           kestrane::MsgBoxIcon::Information, description);
    showNoFileLoaded();
    cmdSaveFile->setEnabled(true);
    cmdConvirt->setEnabled(true);
    if (focusBefore != nullptr && focusBefore != focusWidget())
        focusBefore->setFocus(Qt::OtherFocusReason);
}
