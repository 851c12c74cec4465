#include "WindowSystem.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace windowsystem {

void chooseQtPlatform() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

std::intptr_t send(QWidget &, Message, std::uintptr_t, std::intptr_t)
{
    ADD_FAILURE() << "a Windows message sent on another platform";
    return 0;
}

} // namespace windowsystem
