#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace kestrane {

// Turns SIGTERM -- how a task manager or the system asks the program to end
// -- into a call on the user-interface thread. The signal handler only
// writes a byte to a socket pair; a QSocketNotifier reads it inside the event
// loop, where `onTerminate` may close windows safely.
// One watch is active at a time; destroying it restores the previous action.
class TerminationWatch : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatch(std::function<void()> onTerminate, QObject *parent = nullptr);
    ~TerminationWatch() override;

private:
    void signalArrived();

    std::function<void()> m_onTerminate;
    QSocketNotifier *m_notifier = nullptr;
    bool m_installed = false;
};

} // namespace kestrane
