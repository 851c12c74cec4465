// Ends a running program in one of the ways the window accepts, and reports
// how the program ended: exit status 0 when the window closed and main's
// event loop returned 0. Run once per way by CTest:
//   sigterm            a task manager's SIGTERM
//   sigterm-in-dialog  SIGTERM while a message box holds the thread
//   quit               the Quit a session manager sends at the end of a session
//   exit-command       the Exit button
// A SIGTERM the program did not catch kills it (a failed test); a close that
// is refused leaves the loop running until the watchdog ends it with 3.
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString way = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    frmDataEntry window;
    window.show();

    if (way == QLatin1String("sigterm")) {
        QTimer::singleShot(50, [] { std::raise(SIGTERM); });
    } else if (way == QLatin1String("sigterm-in-dialog")) {
        QTimer::singleShot(50, [&window] { window.MsgBox(QStringLiteral("No File to Unload")); });
        QTimer::singleShot(150, [] { std::raise(SIGTERM); });
    } else if (way == QLatin1String("quit")) {
        QTimer::singleShot(50, [] { QCoreApplication::quit(); });
    } else if (way == QLatin1String("exit-command")) {
        QTimer::singleShot(50, [&window] { window.cmdExit->click(); });
    } else {
        std::fprintf(stderr, "unknown way: %s\n", qPrintable(way));
        return 2;
    }
    QTimer::singleShot(5000, [] { QCoreApplication::exit(3); });

    const int status = app.exec();
    if (window.isVisible()) {
        std::fprintf(stderr, "the window is still open\n");
        return 4;
    }
    return status;
}
