#pragma once

#include <cstdint>

class QWidget;

// What the window tests do differently on each platform
// (WindowSystem_posix.cpp, WindowSystem_windows.cpp).
namespace windowsystem {

// Chooses the Qt platform before the application is made: Qt's offscreen
// one on Linux; on Windows its own, whose fonts and close messages are
// what the tests are there for.
void chooseQtPlatform();

// A message to the window as the system sends it (Windows only).
enum Message : unsigned { Close = 0x0010, QueryEndSession = 0x0011, EndSession = 0x0016, SysCommand = 0x0112 };
constexpr std::uintptr_t ScClose = 0xF060;           // WM_SYSCOMMAND: the close controls
constexpr std::intptr_t EndSessionLogoff = INT32_MIN; // ENDSESSION_LOGOFF, 0x80000000
std::intptr_t send(QWidget &window, Message message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace windowsystem
