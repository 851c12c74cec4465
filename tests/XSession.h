#pragma once

#include <string>
#include <vector>
#include <sys/types.h>

// A private X display for tests that need a real window manager: Xvfb on a
// display number it picks itself (-displayfd, so parallel runs never clash)
// and openbox on it. Both die with the test process, even when it crashes,
// and are ended when the session is destroyed.
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // ":N"
    const std::string &display() const { return m_display; }

private:
    void startServer();
    void startWindowManager();
    void waitForWindowManager();

    std::string m_display;
    pid_t m_server = -1;
    pid_t m_windowManager = -1;
};

// Runs a command line with DISPLAY set to the session's display and waits
// for it; true when it exited with status 0.
bool runOnDisplay(const std::string &commandLine);
// The same, returning what it wrote to standard output.
std::string outputOf(const std::string &commandLine);
