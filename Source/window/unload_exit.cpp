#include "window/frmDataEntry.h"

#include <QLabel>
#include <QPushButton>

// Drops the loaded dataset and returns the window to its "no file" state.
// With nothing loaded it only says so and makes sure Open can be pressed.
void frmDataEntry::unloadCommand()
{
    if (dataset.fileLoaded) {
        returnToNoFileLoaded();
        dataset.fileConverted = false;
    } else {
        MsgBox(QStringLiteral("No File to Unload"));
        dataset.fileLoaded = false;
        cmdConvirt->setEnabled(true);
    }
}

// Drops the values without a question and closes the window, which ends the
// program. The close comes from the program itself, so the window accepts it.
void frmDataEntry::exitCommand()
{
    dataset.eraseValues();
    close();
}

// ---- the window's states, shared by the commands ----

// The window's "no file" state, as the unload command leaves it and a
// cancelled open or save dialog too: no names shown, the values dropped,
// nothing loaded, and Open enabled with the focus on it.
void frmDataEntry::returnToNoFileLoaded()
{
    clearChannelNameBoxes();
    dataset.eraseValues();
    showNoFileLoaded();
    cmdConvirt->setEnabled(true);
    cmdConvirt->setFocus();
}

// No file counts as loaded, and the status bar says so.
void frmDataEntry::showNoFileLoaded()
{
    dataset.fileLoaded = false;
    StatusBar1->setText(QStringLiteral("No File Loaded"));
}

// The seven channel-name boxes go blank; the names themselves stay held.
void frmDataEntry::clearChannelNameBoxes()
{
    for (QLabel *box : Label8)
        box->setText(QString());
}

// The working notice goes and the progress bar is back at 1.
void frmDataEntry::putProgressAway()
{
    Label9->setVisible(false);
    ProgressBar1->setValue(1.0f);
}
