#include "window/TerminationWatch.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QWidget>

#include <windows.h>

#include "window/CloseGuard.h"

namespace kestrane {

// Sees every message Qt's window procedure receives, before Qt does.
// Logging off and shutting down (WM_QUERYENDSESSION, WM_ENDSESSION) pass
// untouched: Qt answers them, and nothing here ever holds the session up.
struct TerminationWatch::Platform : QAbstractNativeEventFilter {
    QWidget *window = nullptr;
    TerminationWatch *watch = nullptr;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG &msg = *static_cast<const MSG *>(message);
        if (msg.hwnd == nullptr || msg.hwnd != reinterpret_cast<HWND>(window->internalWinId()))
            return false;
        // The low four bits of the command belong to the system.
        if (msg.message == WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == SC_CLOSE
            && !closeAccepted(CloseOrigin::CloseControls)) {
            *result = 0;
            return true;
        }
        // What reaches the window as a bare WM_CLOSE comes from another
        // program: closed as the program closes it.
        if (msg.message == WM_CLOSE) {
            if (watch->m_onTerminate)
                watch->m_onTerminate();
            *result = 0;
            return true;
        }
        return false;
    }
};

TerminationWatch::TerminationWatch(QWidget *window, std::function<void()> onTerminate)
    : m_onTerminate(std::move(onTerminate)), m_platform(new Platform)
{
    m_platform->window = window;
    m_platform->watch = this;
    QCoreApplication::instance()->installNativeEventFilter(m_platform);
}

TerminationWatch::~TerminationWatch()
{
    QCoreApplication::instance()->removeNativeEventFilter(m_platform);
    delete m_platform;
}

} // namespace kestrane
