#include "window/frmDataEntry.h"

#include <QLabel>
#include <QPushButton>

// Drops the loaded dataset and returns the window to its "no file" state.
// With nothing loaded it only says so and makes sure Open can be pressed.
void frmDataEntry::unloadCommand()
{
    if (dataset.fileLoaded) {
        for (QLabel *nameBox : Label8)
            nameBox->setText(QString());
        dataset.eraseValues();
        StatusBar1->setText(QStringLiteral("No File Loaded"));
        dataset.markNotLoaded();
        cmdConvirt->setEnabled(true);
        cmdConvirt->setFocus();
        dataset.clearConverted();
    } else {
        MsgBox(QStringLiteral("No File to Unload"));
        dataset.markNotLoaded();
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
