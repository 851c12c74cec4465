#include "window/NoDesktop.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace kestrane {

namespace {

// What the toolkit said while the application was being made, kept back
// until it is known whether the start succeeds.
struct HeldMessage {
    QtMsgType type;
    QByteArray file, function, category;
    int line;
    QString text;
};

const char *startedAs = "kestrane";
QtMessageHandler previousHandler = nullptr;
// The toolkit may speak from another thread while it starts.
std::mutex heldLock;
std::vector<HeldMessage> held;
bool givenBack = false;
bool displayUnreachable = false;

// A null text stays null (no file or function is recorded in a release
// build), so the handler formats the message as it would have.
const char *textOf(const QByteArray &bytes)
{
    return bytes.isNull() ? nullptr : bytes.constData();
}

// Gives back the handler there was, and what was kept back, said as it would
// have been and in its order. Called with heldLock held.
void giveBackHeld()
{
    qInstallMessageHandler(previousHandler);
    givenBack = true;
    for (const HeldMessage &message : held) {
        const QMessageLogContext context(textOf(message.file), message.line, textOf(message.function),
                                         textOf(message.category));
        previousHandler(message.type, context, message.text);
    }
    held.clear();
}

void giveBack()
{
    const std::lock_guard lock(heldLock);
    giveBackHeld();
}

void holdWhileStarting(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const std::lock_guard lock(heldLock);
    if (givenBack) { // a message that came in while the rest was given back
        previousHandler(type, context, text);
        return;
    }
    const QByteArray category(context.category);
    // The X11 plugin speaks up while it starts only when it cannot connect to
    // its server; the Wayland plugin then says it failed to create its
    // wl_display. A plugin that is missing or will not load is reported by
    // the plugin loader instead, and keeps the toolkit's own words.
    const bool complaint = type == QtWarningMsg || type == QtCriticalMsg;
    if (complaint && (category.startsWith("qt.qpa.xcb") || category.startsWith("qt.qpa.wayland")
                      || text.startsWith(QLatin1String("Failed to create wl_display"))))
        displayUnreachable = true;
    if (type == QtFatalMsg && displayUnreachable) {
        std::fprintf(stderr,
                     "Kestrane needs a graphical desktop and could not reach one: "
                     "run it under a virtual one with 'xvfb-run -a %s'.\n",
                     startedAs);
        // The application is half made: leave without running its
        // destructors, as the toolkit's own abort would.
        std::_Exit(1);
    }
    held.push_back({type, context.file, context.function, category, context.line, text});
    if (type == QtFatalMsg)
        giveBackHeld(); // some other failure to start: the toolkit's words, then its abort
}

} // namespace

void explainNoDesktop(const char *program)
{
    if (program != nullptr && *program != '\0')
        startedAs = program;
    previousHandler = qInstallMessageHandler(holdWhileStarting);
    // Qt runs its start-up routines as soon as the platform is up: the start
    // has succeeded, and the toolkit speaks for itself again.
    qAddPreRoutine(giveBack);
}

} // namespace kestrane
