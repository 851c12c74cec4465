#include "window/QtDialogDriver.h"

#include <QFileDialog>
#include <QMessageBox>

#include "window/FileDialogPlatform.h"

namespace kestrane {

namespace {

// While a modal dialog runs, Qt blocks the window that owns it. When the
// dialog closes, the window system hands the activation back to that owner
// -- but to Qt the owner can still be blocked at that moment (the system's
// file dialog ends before Qt has put away its stand-in for it), and Qt then
// passes the activation on to the modal window, which is going. The keyboard
// would reach no window until the operator clicks on ours. So the owner asks
// for the activation once more when the dialog has gone, and with it the
// control that has the focus in it gets the keyboard back.
class OwnerActiveAfterwards {
public:
    explicit OwnerActiveAfterwards(QWidget *owner) : m_owner(owner) {}
    ~OwnerActiveAfterwards()
    {
        if (m_owner != nullptr && m_owner->isVisible())
            m_owner->activateWindow();
    }
    OwnerActiveAfterwards(const OwnerActiveAfterwards &) = delete;
    OwnerActiveAfterwards &operator=(const OwnerActiveAfterwards &) = delete;

private:
    QWidget *m_owner;
};

} // namespace

void QtDialogDriver::showMessageBox(const MessageBoxRequest &request)
{
    const OwnerActiveAfterwards activeAfterwards(m_owner);
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
    const OwnerActiveAfterwards activeAfterwards(m_owner);
    const bool save = request.kind == FileDialogKind::Save;
    QFileDialog dialog(m_owner, save ? QStringLiteral("Save As") : QStringLiteral("Open"),
                       request.folder);
    setUpForPlatform(dialog, request.folder);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
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
