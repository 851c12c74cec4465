#include "XSession.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Forks and executes argv; the child gets SIGKILL when this process dies.
pid_t spawn(const std::vector<std::string> &args, int keepFd = -1)
{
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 0);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        for (int fd = 3; fd < 256; ++fd) {
            if (fd != keepFd)
                ::close(fd);
        }
        std::vector<char *> argv;
        for (const auto &a : args)
            argv.push_back(const_cast<char *>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

void stop(pid_t &pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            pid = -1;
            return;
        }
        std::this_thread::sleep_for(10ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    pid = -1;
}

} // namespace

XSession::XSession()
{
    try {
        startServer();
        ::setenv("DISPLAY", m_display.c_str(), 1);
        startWindowManager();
        waitForWindowManager();
    } catch (...) {
        stop(m_windowManager);
        stop(m_server);
        throw;
    }
}

XSession::~XSession()
{
    stop(m_windowManager);
    stop(m_server);
}

void XSession::startServer()
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        throw std::runtime_error("pipe failed");
    m_server = spawn({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1024x768x24", "-nolisten",
                      "tcp", "-noreset"},
                     pipeFds[1]);
    ::close(pipeFds[1]);

    // Xvfb writes the display number it chose once it accepts connections.
    std::string number;
    pollfd ready{pipeFds[0], POLLIN, 0};
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::poll(&ready, 1, 100) > 0) {
            char c;
            const ssize_t n = ::read(pipeFds[0], &c, 1);
            if (n <= 0 || c == '\n')
                break;
            number += c;
        }
    }
    ::close(pipeFds[0]);
    if (number.empty())
        throw std::runtime_error("Xvfb did not start");
    m_display = ":" + number;
}

void XSession::startWindowManager()
{
    std::vector<std::string> args{"openbox"};
    // the system's default configuration, whatever the user has in ~/.config
    if (::access("/etc/xdg/openbox/rc.xml", R_OK) == 0) {
        args.push_back("--config-file");
        args.push_back("/etc/xdg/openbox/rc.xml");
    }
    m_windowManager = spawn(args);
}

void XSession::waitForWindowManager()
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (outputOf("xprop -root _NET_SUPPORTING_WM_CHECK").find("window id") != std::string::npos)
            return;
        std::this_thread::sleep_for(20ms);
    }
    throw std::runtime_error("openbox did not start");
}

bool runOnDisplay(const std::string &commandLine)
{
    return std::system((commandLine + " >/dev/null 2>&1").c_str()) == 0;
}

std::string outputOf(const std::string &commandLine)
{
    std::string out;
    if (FILE *pipe = ::popen((commandLine + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            out += buffer;
        ::pclose(pipe);
    }
    return out;
}
