#include <QAccessible>
#include <QApplication>

#include <cstdio>

#include "window/ChannelNameBox.h"
#include "window/NoDesktop.h"
#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    if (const QString message = kestrane::noDesktopMessage(argc, argv[0]); !message.isEmpty()) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        return 1;
    }
    QApplication app(argc, argv);
    // Process-wide settings of the toolkit, made once, here: screen readers
    // hear each channel-name box's caption and name.
    QAccessible::installFactory(kestrane::accessibleChannelNameBox);
    frmDataEntry window;
    window.show();
    return app.exec();
}
