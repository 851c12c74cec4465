#include <QAccessible>
#include <QApplication>

#include <cstdio>

#include "window/ChannelNameBox.h"
#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    // Started from a console or over ssh, with no desktop to show the window
    // on, the toolkit would abort with talk of platform plugins and advice to
    // reinstall, which does not help. One who names a platform or a display
    // to the toolkit (QT_QPA_PLATFORM, or its own -platform and -display: the
    // program takes no arguments of its own) is left to the toolkit.
    if (argc == 1 && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "Kestrane needs a graphical desktop: run it under a virtual one with 'xvfb-run -a %s'.\n",
                     argv[0]);
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
