#pragma once

#include "window/DialogDriver.h"

class QWidget;

namespace kestrane {

// The dialogs the operator sees, modal to the owner window: QMessageBox, and
// the file dialog of the platform (Qt's on Linux, the system's on Windows).
class QtDialogDriver : public DialogDriver {
public:
    explicit QtDialogDriver(QWidget *owner) : m_owner(owner) {}

    void showMessageBox(const MessageBoxRequest &request) override;
    std::optional<QString> showFileDialog(const FileDialogRequest &request) override;

private:
    QWidget *m_owner;
};

} // namespace kestrane
