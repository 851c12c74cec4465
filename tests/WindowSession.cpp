// One whole working session in the real window: open the largest log a
// dataset can hold, convert it, unload; the same for a log with values that
// are no numbers; exit. The dialogs are scripted, everything else is the
// program. Exit status 0 when every step had its outcome and the exit command
// ended the event loop. CTest runs it as it is; `make valgrind` under memcheck.
#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <limits>

#include "DatGenerator.h"
#include "ScriptedDialogs.h"
#include "WindowSystem.h"
#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    windowsystem::chooseQtPlatform(); // as the widget tests have
    QApplication app(argc, argv);
    const std::string folder = kestrane::testdata::freshFolder("session");
    int failures = 0;
    const auto check = [&](bool ok, const char *what) { failures += ok ? 0 : (std::fprintf(stderr, "session: %s\n", what), 1); };
    {
        frmDataEntry window;
        auto owned = std::make_unique<ScriptedDialogs>();
        ScriptedDialogs &dialogs = *owned;
        window.setDialogDriver(std::move(owned));
        window.show();
        QTimer::singleShot(0, &window, [&] {
            using kestrane::testdata::DatSpec;
            DatSpec specials{.points = 100, .value = [](int c, int p) {
                return p % 10 == c ? std::numeric_limits<float>::quiet_NaN() : float(p) / 3; }};
            for (const auto &[name, spec] : {std::pair{"/largest", DatSpec{.points = 4679}}, std::pair{"/specials", specials}}) {
                dialogs.answer(kestrane::testdata::writeDat(folder + name + ".dat", spec));
                window.cmdConvirt->click();
                check(window.dataset.fileLoaded && window.dataset.pointCount == spec.points, "a log did not load");
                dialogs.answer(folder + name + ".xls");
                window.cmdSaveFile->click();
                check(window.dataset.fileConverted && std::filesystem::file_size(folder + name + ".xls") > 4096, "no workbook");
                window.cmdUnload->click();
                check(!window.dataset.fileLoaded && window.dataset.channelValues[0].empty(), "unload left data behind");
            }
            check(dialogs.messages.empty(), "a message box came up");
            window.cmdExit->click();
        });
        // A session that never ends its loop is a failure, not a hang; memcheck runs it many times slower.
        QTimer::singleShot(600000, [] { QCoreApplication::exit(3); });
        check(app.exec() == 0, "the event loop did not end through the exit command");
        check(!window.isVisible(), "the window is still open");
    }
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
