#include <QLabel>
#include <QPushButton>

#include "common/Failure.h"
#include "common/Numbers.h"
#include "workbook/WorkbookLayout.h"
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
        const std::unique_ptr<spreadsheet::Workbook> workbook = excelApplication->Workbooks().Add();
        writeLayoutShowingProgress(workbook->Worksheets("sheet1"));
        saveUnderChosenName(*workbook);
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

// Writes the workbook layout into the sheet: the writing notice goes up once
// the header row is fitted, and the progress bar moves after each channel
// column, to a seventh of the points further on each time.
void frmDataEntry::writeLayoutShowingProgress(kestrane::spreadsheet::Worksheet &sheet)
{
    std::int16_t position = 0;
    kestrane::LayoutHooks hooks;
    hooks.headerWritten = [this] {
        Label9->setVisible(false);
        Label9->setText(QStringLiteral("Writing to (.xls) File"));
        Label9->setVisible(true);
        repaint();
    };
    hooks.columnWritten = [&](int column) {
        position = nextProgressPosition(position, dataset.pointCount, column);
        ProgressBar1->setValue(float(position));
    };
    kestrane::writeLayout(dataset, sheet, conversionTime, hooks);
}

// Asks for the workbook's name, with a question before an existing file is
// replaced, then saves and closes it; a cancel raises the cancel failure.
void frmDataEntry::saveUnderChosenName(kestrane::spreadsheet::Workbook &workbook)
{
    CommonDialog1.CancelError = true;
    CommonDialog1.OverwritePrompt = true;
    CommonDialog1.Filter = QStringLiteral("Data Files (*.XLS)|*.XLS");
    CommonDialog1.ShowSave();
    workbook.SaveAs(kestrane::filePath(CommonDialog1.FileName));
    workbook.Close();
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
