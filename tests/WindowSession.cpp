// One whole working session in the real window, as an operator has it: open
// the largest log a dataset can hold, convert it, unload, open another log,
// convert it, exit. The dialogs are scripted; everything else is the program.
// Exit status 0 when every step had its outcome and the window closed and
// ended the event loop, 1 otherwise. CTest runs it as it is; `make valgrind`
// runs it under memcheck. At the end it prints the session's peak resident
// memory.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>

#include "DatGenerator.h"
#include "ScriptedDialogs.h"
#include "XlsWalker.h"
#include "window/frmDataEntry.h"

namespace {

constexpr int kMostPoints = 4679;

int failures = 0;

void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "session: %s\n", what);
        ++failures;
    }
}

// The peak resident memory of this process so far, from the kernel's count.
std::string peakResidentMemory()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return line.substr(6);
    return " unknown";
}

// The workbook at `path` is sound and holds `points` data rows.
void checkWorkbook(const std::string &path, int points)
{
    const auto book = kestrane::xls::walkXlsFile(path);
    check(book.sound(), "a workbook breaks the format's rules");
    const auto *sheet = book.sheet("Sheet1");
    check(sheet && sheet->at("H" + std::to_string(6 + points)) && !sheet->at("H" + std::to_string(7 + points)),
          "a workbook does not end at its last data row");
}

void runSession(frmDataEntry &window, ScriptedDialogs &dialogs, const std::string &folder)
{
    using kestrane::testdata::DatSpec;
    DatSpec largest{.points = kMostPoints};
    const std::string first = kestrane::testdata::writeDat(folder + "/largest.dat", largest);
    DatSpec specials{.points = 100};
    specials.value = [](int channel, int point) { return point % 10 == channel ? std::numeric_limits<float>::quiet_NaN() : float(point) / 3.0f; };
    const std::string second = kestrane::testdata::writeDat(folder + "/specials.dat", specials);

    dialogs.fileAnswers.push_back(QString::fromStdString(first));
    window.cmdConvirt->click();
    check(window.dataset.fileLoaded && window.dataset.pointCount == kMostPoints, "the largest log did not load");

    dialogs.fileAnswers.push_back(QString::fromStdString(folder + "/largest.xls"));
    window.cmdSaveFile->click();
    check(window.dataset.fileConverted, "the largest log did not convert");
    checkWorkbook(folder + "/largest.xls", kMostPoints);

    window.cmdUnload->click();
    check(!window.dataset.fileLoaded && window.dataset.channelValues[0].empty(), "unload left data behind");

    dialogs.fileAnswers.push_back(QString::fromStdString(second));
    window.cmdConvirt->click();
    check(window.dataset.fileLoaded && window.dataset.pointCount == 100, "the second log did not load");

    dialogs.fileAnswers.push_back(QString::fromStdString(folder + "/specials.xls"));
    window.cmdSaveFile->click();
    check(window.dataset.fileConverted, "the second log did not convert");
    checkWorkbook(folder + "/specials.xls", 100);

    check(dialogs.messages.empty(), "a message box came up");
    window.cmdExit->click();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const std::string folder = kestrane::testdata::freshFolder("session");
    {
        frmDataEntry window;
        auto scripted = std::make_unique<ScriptedDialogs>();
        ScriptedDialogs &dialogs = *scripted;
        window.setDialogDriver(std::move(scripted));
        window.show();

        QTimer::singleShot(0, &window, [&] { runSession(window, dialogs, folder); });
        // A session that never ends its loop is a failure, not a hang; the
        // watchdog is generous because memcheck runs the session many times slower.
        QTimer::singleShot(600000, [] { QCoreApplication::exit(3); });
        const int status = app.exec();
        check(status == 0, "the event loop did not end through the exit command");
        check(!window.isVisible(), "the window is still open");
    }
    std::fprintf(stderr, "session: peak resident memory%s\n", peakResidentMemory().c_str());
    std::filesystem::remove_all(folder);
    return failures == 0 ? 0 : 1;
}
