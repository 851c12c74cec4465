#include "window/CommonDialog.h"

#include <QDir>
#include <QFileInfo>

#include "common/Failure.h"
#include "window/DialogFilter.h"

namespace kestrane {

void CommonDialog::ShowOpen()
{
    show(FileDialogKind::Open);
}

void CommonDialog::ShowSave()
{
    show(FileDialogKind::Save);
}

QString CommonDialog::startFolder() const
{
    // The last path wins over the initial folder, as the system dialog lets
    // a path in the file name decide where it opens.
    if (!FileName.isEmpty()) {
        const QFileInfo last(FileName);
        if (last.absoluteDir().exists())
            return last.absolutePath();
    }
    if (!InitDir.isEmpty() && QFileInfo(InitDir).isDir())
        return InitDir;
    return QString();
}

void CommonDialog::show(FileDialogKind kind)
{
    if (m_driver == nullptr)
        throw Failure(InvalidProcedureCall);

    FileDialogRequest request;
    request.kind = kind;
    request.folder = startFolder();
    request.fileName = FileName;
    request.nameFilters = qtNameFilters(Filter);
    request.confirmOverwrite = kind == FileDialogKind::Save && OverwritePrompt;
    // A name typed without an extension in a save dialog gets the filter's
    // own, in lower case: "run 7" is saved as "run 7.xls", which the operator
    // and the spreadsheet programs recognise, not as a file without a type.
    //
    // A save never proposes a file of another type: after an open the last
    // path is the log itself, and Return then Yes would replace the one file
    // that cannot be made again. The proposal is the last path with the
    // filter's extension ("run.dat" -> "run.xls"), in the same folder;
    // FileName itself changes only when the operator chooses.
    if (kind == FileDialogKind::Save) {
        request.defaultSuffix = firstExtension(Filter);
        request.fileName = withExtension(FileName, request.defaultSuffix);
    }

    const std::optional<QString> chosen = m_driver->showFileDialog(request);
    if (!chosen) {
        if (CancelError)
            throw Failure(CancelSelected);
        return;
    }
    if (chosen->size() > MaxFileSize)
        throw Failure(FileNameTooLong);
    FileName = *chosen;
}

} // namespace kestrane
