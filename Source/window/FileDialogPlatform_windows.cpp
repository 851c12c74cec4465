#include "window/FileDialogPlatform.h"

#include <QFileDialog>

namespace kestrane {

// Windows' own dialog, which adds the extension first and then asks before
// replacing a file, as operators there know. With no folder named it is
// given none: Qt would hand it the current folder (under a Start menu entry
// without a working folder, often C:\Windows\System32), while the system's
// dialog left to itself opens the folder it remembers for this program, else
// the user's Documents.
void setUpForPlatform(QFileDialog &dialog, const QString &folder)
{
    if (folder.isEmpty())
        dialog.setDirectory(QString());
}

} // namespace kestrane
