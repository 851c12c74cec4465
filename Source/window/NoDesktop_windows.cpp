#include "window/NoDesktop.h"

namespace kestrane {

QString noDesktopMessage(int, const char *)
{
    return QString();
}

} // namespace kestrane
