#include "window/TerminationWatch.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestrane {

namespace {

// [0] is written by the signal handler, [1] read by the notifier. Created
// once per process and kept open: a handler may run at any moment.
int signalSocket[2] = {-1, -1};
struct sigaction previousAction;
bool watchActive = false;

void onSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    // Only async-signal-safe calls here; a full socket just drops the byte,
    // which is harmless since one pending byte already means "terminate".
    [[maybe_unused]] const ssize_t written = ::write(signalSocket[0], &byte, 1);
    errno = savedErrno;
}

bool openSignalSocket()
{
    if (signalSocket[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket) != 0)
        return false;
    ::fcntl(signalSocket[0], F_SETFL, ::fcntl(signalSocket[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(signalSocket[1], F_SETFL, ::fcntl(signalSocket[1], F_GETFL) | O_NONBLOCK);
    return true;
}

void drainSignalSocket()
{
    char bytes[16];
    while (::read(signalSocket[1], bytes, sizeof bytes) > 0) {
    }
}

} // namespace

struct TerminationWatch::Platform {
    QSocketNotifier *notifier = nullptr;
};

TerminationWatch::TerminationWatch(std::function<void()> onTerminate)
    : m_onTerminate(std::move(onTerminate))
{
    // Without the socket pair the default action stays: the program ends at
    // once, as any program does.
    if (watchActive || !openSignalSocket())
        return;
    // A byte left from a signal that an earlier watch never read is stale.
    drainSignalSocket();
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, &previousAction) != 0)
        return;
    watchActive = true;
    m_platform = new Platform{new QSocketNotifier(signalSocket[1], QSocketNotifier::Read, this)};
    connect(m_platform->notifier, &QSocketNotifier::activated, this, [this] {
        drainSignalSocket();
        if (m_onTerminate)
            m_onTerminate();
    });
}

TerminationWatch::~TerminationWatch()
{
    if (m_platform == nullptr)
        return;
    ::sigaction(SIGTERM, &previousAction, nullptr);
    watchActive = false;
    delete m_platform;
}

// Here the system asks by a signal, never by a window message.
bool TerminationWatch::windowMessage(void *, qintptr *)
{
    return false;
}

} // namespace kestrane
