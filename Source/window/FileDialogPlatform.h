#pragma once

#include <QString>

#include <optional>

#include "window/DialogDriver.h"

class QWidget;

namespace kestrane {

// The file dialog the operator sees on this platform, modal to `owner`
// (FileDialogPlatform_posix.cpp, FileDialogPlatform_windows.cpp): the chosen
// path, or nothing when cancelled.
std::optional<QString> showPlatformFileDialog(const FileDialogRequest &request, QWidget *owner);

} // namespace kestrane
