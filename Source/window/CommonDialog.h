#pragma once

#include <QString>

#include "window/DialogDriver.h"

namespace kestrane {

// The window's file dialog, one object shared by the open command (ShowOpen)
// and the convert command (ShowSave). Its settings live on between uses: the
// path chosen in one use is the starting file name of the next, whichever
// command shows it -- in a save dialog with the filter's extension in place
// of its own, so that the save never proposes the log it was opened from.
class CommonDialog {
public:
    QString FileName;                           // the last chosen path
    QString Filter = QStringLiteral("(*.DAT)|*.DAT");
    bool OverwritePrompt = false;               // a save asks before replacing a file
    bool CancelError = false;                   // cancel raises Failure(CancelSelected)
    QString InitDir = QStringLiteral("C:\\WENTHARP");
    int MaxFileSize = 260;                      // longest path accepted, in characters

    explicit CommonDialog(DialogDriver *driver = nullptr) : m_driver(driver) {}
    void setDriver(DialogDriver *driver) { m_driver = driver; }

    // Show the modal open or save dialog. On a choice FileName holds the path.
    // On cancel nothing changes, and with CancelError set Failure(CancelSelected)
    // is raised. A path longer than MaxFileSize raises Failure(FileNameTooLong)
    // and leaves FileName as it was.
    void ShowOpen();
    void ShowSave();

    // The folder the dialog opens in: that of the last chosen path while it
    // exists, else InitDir when it exists, else none (empty), and the dialog
    // chooses for itself (see FileDialogPlatform.h).
    QString startFolder() const;

private:
    void show(FileDialogKind kind);

    DialogDriver *m_driver;
};

} // namespace kestrane
