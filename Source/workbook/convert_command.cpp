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

// Dialog options of the save dialog: ask before replacing a file, keep the
// current folder, extension-different, and no read-only return.
constexpr std::int32_t kSaveFlags = 33802; // 0x840A

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
// channel values. A dataset is converted at most once.
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

    std::shared_ptr<spreadsheet::Workbook> workbook;
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
        workbook = excelApplication->Workbooks().Add();
        writeLayoutShowingProgress(workbook->Worksheets("sheet1"));

        CommonDialog1.CancelError = true;
        CommonDialog1.Flags = kSaveFlags;
        CommonDialog1.Filter = QStringLiteral("Data Files (*.XLS)|*.XLS");
        CommonDialog1.ShowSave();

        workbook->SaveAs(kestrane::filePath(CommonDialog1.FileName));
        workbook->Close();
        workbook.reset();
        dataset.eraseValues();
        cmdConvirt->setEnabled(true);
        ProgressBar1->setValue(1.0f);
        Label9->setVisible(false);
        dataset.fileConverted = true;
    } catch (const Failure &failure) {
        closeUnsaved(workbook);
        if (failure.number() == kestrane::CancelSelected) {
            clearChannelNameBoxes();
            dataset.eraseValues();
            ProgressBar1->setValue(1.0f);
            Label9->setVisible(false);
            showNoFileLoaded();
            cmdConvirt->setEnabled(true);
            cmdConvirt->setFocus();
            return;
        }
        reportWriteFailure(QString::fromStdString(failure.description()));
    } catch (const std::exception &failure) {
        closeUnsaved(workbook);
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

// Closes a workbook that a failure or a cancel left open, without saving it.
// A failure of the closing itself changes nothing of the command's outcome.
void frmDataEntry::closeUnsaved(std::shared_ptr<kestrane::spreadsheet::Workbook> &workbook)
{
    if (!workbook)
        return;
    try {
        workbook->Close();
    } catch (const std::exception &) {
    }
    workbook.reset();
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
