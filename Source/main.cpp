#include <QApplication>

#include <cstdio>

#include "window/NoDesktop.h"
#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    if (const QString message = kestrane::noDesktopMessage(argc, argv[0]); !message.isEmpty()) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return 1;
    }
    QApplication app(argc, argv);
    frmDataEntry window;
    window.show();
    return app.exec();
}
