#include "window/NoDesktop.h"

#include <QtGlobal>

namespace kestrane {

// One who names a platform or a display to the toolkit (QT_QPA_PLATFORM, or
// its own -platform and -display: the program takes no arguments of its own)
// is left to the toolkit.
QString noDesktopMessage(int argc, const char *program)
{
    if (argc == 1 && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return QStringLiteral("Kestrane needs a graphical desktop: run it under a virtual one with 'xvfb-run -a %1'.")
            .arg(QString::fromLocal8Bit(program));
    return QString();
}

} // namespace kestrane
