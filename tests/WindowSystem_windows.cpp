#include "WindowSystem.h"

#include <QByteArray>
#include <QWidget>

#include <windows.h>

namespace windowsystem {

// Wine hands a Windows program none of the QT_ variables it was given, so
// the scale factor comes under a name of its own.
void chooseQtPlatform()
{
    if (const QByteArray scale = qgetenv("KESTRANE_SCALE_FACTOR"); !scale.isEmpty())
        qputenv("QT_SCALE_FACTOR", scale);
}

std::intptr_t send(QWidget &window, Message message, std::uintptr_t wParam, std::intptr_t lParam)
{
    return SendMessageW(reinterpret_cast<HWND>(window.winId()), message, wParam, lParam);
}

} // namespace windowsystem
