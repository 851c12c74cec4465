#include "window/QtDialogDriver.h"

#include <QMessageBox>

#include "window/FileDialogPlatform.h"

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
    return showPlatformFileDialog(request, m_owner);
}

} // namespace kestrane
