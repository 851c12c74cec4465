#include <QApplication>

#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmDataEntry window;
    window.show();
    return app.exec();
}
