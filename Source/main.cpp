#include <QApplication>

#include "window/SharedIconStyle.h"
#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // The same style, its standard icons loaded once and small (see there).
    QApplication::setStyle(new kestrane::SharedIconStyle(QApplication::style()->name()));
    frmDataEntry window;
    window.show();
    return app.exec();
}
