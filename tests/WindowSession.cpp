// One whole working session in the real window: logs of several lengths, the
// largest a dataset can hold among them and one with values that are no
// numbers, each opened, converted and unloaded; then exit. The dialogs are
// scripted, everything else is the program. Passes when every step had its
// outcome and the exit command ended the event loop. CTest runs it as it is;
// `make valgrind` under memcheck.
//
// The progress bar follows every point read, then each channel column
// converted: a seventh of the points further on, rounded, the last no further
// than the point count; back at 1 after each command. It runs from 1 to the
// point count: drawn empty at the first point read, full at the last.
#include <QTimer>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "DatGenerator.h"
#include "WindowFixture.h"

TEST_F(WindowFixture, WholeSession)
{
    const std::string folder = kestrane::testdata::freshFolder("session");
    std::vector<float> seen;
    std::vector<double> drawn; // the filled part of the bar as each value is set
    QObject::connect(window->ProgressBar1, &kestrane::ProgressBar::valueSet,
                     [&](float v) { seen.push_back(v), drawn.push_back(window->ProgressBar1->filledFraction()); });
    QTimer::singleShot(0, window.get(), [&] {
        const auto noNumbers = [](int c, int p) { return p % 10 == c ? NAN : float(p) / 3; };
        const struct { kestrane::testdata::DatSpec log; std::vector<float> positions; } logs[] = { // after each column
            {.log = {.points = 3}, .positions = {0, 0, 0, 0, 0, 0, 0}},
            {.log = {.points = 4}, .positions = {1, 2, 3, 4, 5, 6, 4}},
            {.log = {.points = 104, .value = noNumbers}, .positions = {15, 30, 45, 60, 75, 90, 104}},
            {.log = {.points = kestrane::testdata::LargestLogPoints},
             .positions = {668, 1336, 2004, 2672, 3340, 4008, 4676}}};
        for (const auto &[log, positions] : logs) {
            const std::string name = folder + "/" + std::to_string(log.points);
            seen.clear(), drawn.clear();
            answer(kestrane::testdata::writeDat(name + ".dat", log)), window->cmdConvirt->click();
            answer(name + ".xls"), window->cmdSaveFile->click();
            EXPECT_EQ(window->ProgressBar1->max(), float(log.points));
            window->cmdUnload->click();
            std::vector<float> expected(log.points + 2, 1); // 1, each point read, back at 1
            std::iota(expected.begin() + 1, expected.end() - 1, 1.0f);
            expected.insert(expected.end(), positions.begin(), positions.end()), expected.push_back(1);
            EXPECT_EQ(seen, expected) << log.points << " points";
            EXPECT_EQ(std::pair(drawn.at(1), drawn.at(log.points)), std::pair(0.0, 1.0)) << log.points << " points";
        }
        EXPECT_TRUE(dialogs->messages.empty()) << "a message box came up";
        window->cmdExit->click();
    });
    // A session that never ends its loop is a failure, not a hang; memcheck runs it many times slower.
    QTimer::singleShot(600000, [] { QCoreApplication::exit(3); });
    EXPECT_EQ(QApplication::exec(), 0) << "the event loop did not end through the exit command";
}
