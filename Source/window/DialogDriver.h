#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kestrane {

// The title of the program's message boxes.
inline const QString ApplicationTitle = QStringLiteral("Kestrane");

enum class MsgBoxButtons { OKOnly, OKCancel };
enum class MsgBoxIcon { None, Information };

struct MessageBoxRequest {
    QString text;
    MsgBoxButtons buttons = MsgBoxButtons::OKOnly;
    MsgBoxIcon icon = MsgBoxIcon::Information;
    QString title = ApplicationTitle;
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString folder;          // where the dialog opens; empty: where the dialog chooses
    QString fileName;        // the starting file name, often a whole path
    QStringList nameFilters; // in Qt's "Description (*.a *.b)" form, first one selected
    bool confirmOverwrite = false;
    QString defaultSuffix;   // added to a chosen name that has no extension; empty: none
};

// Everything the window shows in a modal dialog of its own goes through this
// one seam: message boxes and the file dialog. The program uses QMessageBox
// and the platform's file dialog (FileDialogPlatform.h); tests script the
// answers.
class DialogDriver {
public:
    virtual ~DialogDriver() = default;

    // Shows a modal message box until a button closes it.
    virtual void showMessageBox(const MessageBoxRequest &request) = 0;

    // Shows a modal file dialog; the chosen path, or nothing when cancelled.
    virtual std::optional<QString> showFileDialog(const FileDialogRequest &request) = 0;
};

} // namespace kestrane
