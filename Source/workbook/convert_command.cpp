#include <QLabel>
#include <QPushButton>

#include "common/Failure.h"
#include "common/Numbers.h"
#include "workbook/ConvertDataset.h"
#include "workbook/spreadsheet/Spreadsheet.h"
#include "window/FilePath.h"
#include "window/frmDataEntry.h"

using kestrane::Failure;
namespace spreadsheet = kestrane::spreadsheet;

namespace {

// The progress position after a channel column: a seventh of the points
// further on, rounded ties-to-even into 16 bits; after the last column no
// further than the point count itself.
std::int16_t nextProgressPosition(std::int16_t position, std::int32_t pointCount, int column)
{
    std::int16_t next = kestrane::roundToInt16(double(pointCount) / 7.0 + double(position));
    if (column == kestrane::Dataset::ChannelCount && next > pointCount)
        next = std::int16_t(pointCount);
    return next;
}

} // namespace

// The convert command: writes the loaded dataset into a new workbook, asks
// for its name only once it is complete, saves and closes it, and empties the
// channel values. A dataset is converted at most once. A cancel or a failure
// drops the workbook unsaved, as the command ends.
//
// The save dialog proposes the .DAT file just opened with ".xls" in place of
// its extension ("run.dat" -> "run.xls"), in its folder, never the log itself;
// the dialog asks before replacing any existing file. A name typed without an
// extension is saved with ".xls".
void frmDataEntry::convertCommand()
{
    cmdConvirt->setEnabled(false);
    if (dataset.fileConverted)
        return;
    conversionTime = spreadsheet::DateTime::now();
    try {
        if (!dataset.fileLoaded) {
            MsgBox(QStringLiteral("No (.DAT) File Loaded"));
            cmdConvirt->setEnabled(true);
            dataset.fileConverted = true;
            return;
        }
        ProgressBar1->setMin(1.0f);
        ProgressBar1->setMax(float(dataset.pointCount));
        if (!excelApplication)
            excelApplication = std::make_unique<spreadsheet::Application>();
        kestrane::convertDataset(*excelApplication, dataset, conversionTime,
                                 [this](spreadsheet::Workbook &) { return chosenWorkbookName(); }, progressShown());
        dataset.eraseValues();
        cmdConvirt->setEnabled(true);
        putProgressAway();
        dataset.fileConverted = true;
    } catch (const Failure &failure) {
        if (failure.number() == kestrane::CancelSelected) {
            putProgressAway();
            returnToNoFileLoaded();
        } else {
            reportWriteFailure(QString::fromStdString(failure.description()));
        }
    } catch (const std::exception &failure) {
        reportWriteFailure(QString::fromLocal8Bit(failure.what()));
    }
}

// How the layout shows its progress: the writing notice goes up once the
// header row is fitted, and the progress bar moves after each channel column,
// to a seventh of the points further on each time.
kestrane::LayoutHooks frmDataEntry::progressShown()
{
    kestrane::LayoutHooks hooks;
    hooks.headerWritten = [this] {
        Label9->setVisible(false);
        Label9->setText(QStringLiteral("Writing to (.xls) File"));
        Label9->setVisible(true);
        repaint();
    };
    hooks.columnWritten = [this, position = std::int16_t(0)](int column) mutable {
        position = nextProgressPosition(position, dataset.pointCount, column);
        ProgressBar1->setValue(float(position));
    };
    return hooks;
}

// Asks for the workbook's name, with a question before an existing file is
// replaced; a cancel raises the cancel failure.
std::filesystem::path frmDataEntry::chosenWorkbookName()
{
    CommonDialog1.CancelError = true;
    CommonDialog1.OverwritePrompt = true;
    CommonDialog1.Filter = QStringLiteral("Data Files (*.XLS)|*.XLS");
    CommonDialog1.ShowSave();
    return kestrane::filePath(CommonDialog1.FileName);
}

// The general failure path of the convert command: the notice goes, and the
// message is titled with the failure's description. The dataset, both flags,
// the progress bar and the disabled Open button stay as they are.
void frmDataEntry::reportWriteFailure(const QString &description)
{
    Label9->setVisible(false);
    MsgBox(QStringLiteral("Problems Writing Excel File"), kestrane::MsgBoxButtons::OKOnly,
           kestrane::MsgBoxIcon::Information, description);
}
