#include <QApplication>
#include <QPixmapCache>

#include "window/SharedIconStyle.h"
#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
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
