#include "window/QtDialogDriver.h"

#include <QFileDialog>
#include <QMessageBox>

namespace kestrane {

void QtDialogDriver::showMessageBox(const MessageBoxRequest &request)
{
    const auto icon = request.icon == MsgBoxIcon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon;
    const auto buttons = request.buttons == MsgBoxButtons::OKCancel
                             ? QMessageBox::Ok | QMessageBox::Cancel
                             : QMessageBox::Ok;
    QMessageBox box(icon, request.title, request.text, buttons, m_owner);
    // Texts come from files too (failure descriptions); never read them as markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

std::optional<QString> QtDialogDriver::showFileDialog(const FileDialogRequest &request)
{
    const bool save = request.kind == FileDialogKind::Save;
    QFileDialog dialog(m_owner, save ? QStringLiteral("Save As") : QStringLiteral("Open"),
                       request.folder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // On Linux Qt's own dialog on every desktop, never the desktop's (GTK,
    // KDE, a portal): those ask about an existing file on the name as typed,
    // before the ".xls" is added, so "out" would replace "out.xls" without a
    // question; Qt's dialog asks on the name that is saved. Windows' own
    // dialog adds the extension first and then asks, as operators there know.
#ifndef Q_OS_WIN
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#endif
    // The chosen file need not exist, in either dialog.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.nameFilters.isEmpty())
        dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen.front();
}

} // namespace kestrane
