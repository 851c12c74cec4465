#include <QApplication>
#include <QPixmapCache>

#include "window/SharedIconStyle.h"
#include "window/frmDataEntry.h"
#include "window/NoDesktop.h"

int main(int argc, char *argv[])
{
    kestrane::explainNoDesktop(argv[0]); // one plain line instead of the toolkit's abort
    // The only patterns are the file dialogs' name filters, matched against a
    // folder's names: compiling them to machine code saves nothing there, and
    // the compiler and its output are some 0.15 MiB the program need not load.
    // One who sets the variable still decides.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_REGEXP_JIT"))
        qputenv("QT_ENABLE_REGEXP_JIT", "0");
    QApplication app(argc, argv);
    // The same style, its standard icons loaded once and small (see there).
    QApplication::setStyle(new kestrane::SharedIconStyle(QApplication::style()->name()));
    // Qt keeps up to 10 MiB of drawn controls and scaled icons for reuse; the
    // file dialogs left some 0.4 MiB there after they closed, held at the
    // next one's peak. What this small window repaints is quick to redraw.
    QPixmapCache::setCacheLimit(64); // KiB
    frmDataEntry window;
    window.show();
    return app.exec();
}
