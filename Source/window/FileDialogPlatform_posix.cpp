#include "window/FileDialogPlatform.h"

#include <QFileDialog>

namespace kestrane {

// Qt's own dialog on every desktop, never the desktop's (GTK, KDE, a
// portal): those ask about an existing file on the name as typed, before the
// ".xls" is added, so "out" would replace "out.xls" without a question; Qt's
// dialog asks on the name that is saved. With no folder named it opens in
// the folder it last showed, else the current one.
std::optional<QString> showPlatformFileDialog(const FileDialogRequest &request, QWidget *owner)
{
    const bool save = request.kind == FileDialogKind::Save;
    QFileDialog dialog(owner, save ? QStringLiteral("Save As") : QStringLiteral("Open"), request.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The chosen file need not exist, in either dialog.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.nameFilters.isEmpty())
        dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace kestrane
