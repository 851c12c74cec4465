#pragma once

#include <QObject>

#include <functional>

namespace kestrane {

// Turns the system's request that the program end -- how a task manager asks
// -- into a call of `onTerminate` on the user-interface thread, where it may
// close windows safely. The operator's own close controls are not such a
// request: the window refuses those itself.
//   Linux:   SIGTERM. The signal handler only writes a byte to a socket pair;
//            a QSocketNotifier reads it inside the event loop.
//   Windows: a plain WM_CLOSE to the window (taskkill without /F). The close
//            box, the system menu's Close and Alt+F4 arrive first as
//            WM_SYSCOMMAND/SC_CLOSE and are refused there, before they turn
//            into a WM_CLOSE of their own.
// One watch is active at a time; destroying it restores the previous state.
class TerminationWatch : public QObject {
public:
    explicit TerminationWatch(std::function<void()> onTerminate);
    ~TerminationWatch() override;

    // Sees each of the window's own system messages before Qt does (the
    // window's nativeEvent); true when the watch has answered it.
    bool windowMessage(void *message, qintptr *result);

private:
    struct Platform;
    std::function<void()> m_onTerminate;
    Platform *m_platform = nullptr;
};

} // namespace kestrane
