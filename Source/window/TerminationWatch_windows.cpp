#include "window/TerminationWatch.h"

#include <windows.h>

#include "window/CloseGuard.h"

namespace kestrane {

// The window hands its messages over one by one, so there is nothing to
// hold. Logging off and shutting down (WM_QUERYENDSESSION, WM_ENDSESSION)
// pass untouched: Qt answers them, and nothing here ever holds them up.
TerminationWatch::TerminationWatch(std::function<void()> onTerminate)
    : m_onTerminate(std::move(onTerminate))
{
}

TerminationWatch::~TerminationWatch() = default;

bool TerminationWatch::windowMessage(void *message, qintptr *result)
{
    const MSG &msg = *static_cast<const MSG *>(message);
    // The low four bits of the command belong to the system.
    if (msg.message == WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == SC_CLOSE
        && !closeAccepted(CloseOrigin::CloseControls)) {
        *result = 0;
        return true;
    }
    // What reaches the window as a bare WM_CLOSE comes from another program:
    // the window closes as the program closes it.
    if (msg.message == WM_CLOSE) {
        if (m_onTerminate)
            m_onTerminate();
        *result = 0;
        return true;
    }
    return false;
}

} // namespace kestrane
