#include "window/FileDialogPlatform.h"

#include <QFileDialog>

namespace kestrane {

// Qt's own dialog on every desktop, never the desktop's (GTK, KDE, a
// portal): those ask about an existing file on the name as typed, before the
// ".xls" is added, so "out" would replace "out.xls" without a question; Qt's
// dialog asks on the name that is saved. With no folder named it opens in
// the folder it last showed, else the current one.
void setUpForPlatform(QFileDialog &dialog, const QString &)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
}

} // namespace kestrane
