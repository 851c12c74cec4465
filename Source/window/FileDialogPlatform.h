#pragma once

class QFileDialog;
class QString;

namespace kestrane {

// Which file dialog the operator sees on this platform, and where it opens
// when the program names no folder (FileDialogPlatform_posix.cpp,
// FileDialogPlatform_windows.cpp). `dialog` was made with `folder`.
void setUpForPlatform(QFileDialog &dialog, const QString &folder);

} // namespace kestrane
