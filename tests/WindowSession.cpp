// One whole working session in the real window: open the largest log a
// dataset can hold, convert it, unload; the same for a log with values that
// are no numbers; exit. The dialogs are scripted, everything else is the
// program. Passes when every step had its outcome and the exit command ended
// the event loop. CTest runs it as it is; `make valgrind` under memcheck.
#include <QTimer>

#include <filesystem>
#include <limits>

#include "DatGenerator.h"
#include "WindowFixture.h"

TEST_F(WindowFixture, WholeSession)
{
    const std::string folder = kestrane::testdata::freshFolder("session");
    QTimer::singleShot(0, window.get(), [&] {
        using kestrane::testdata::DatSpec;
        const DatSpec specials{.points = 100, .value = [](int c, int p) {
            return p % 10 == c ? std::numeric_limits<float>::quiet_NaN() : float(p) / 3; }};
        const struct { const char *name; DatSpec spec; } logs[] = {
            {.name = "/largest", .spec = {.points = kestrane::testdata::LargestLogPoints}},
            {.name = "/nan", .spec = specials}};
        for (const auto &[name, spec] : logs) {
            answer(kestrane::testdata::writeDat(folder + name + ".dat", spec)), window->cmdConvirt->click();
            EXPECT_TRUE(window->dataset.fileLoaded && window->dataset.pointCount == spec.points) << "not loaded";
            answer(folder + name + ".xls"), window->cmdSaveFile->click();
            EXPECT_TRUE(window->dataset.fileConverted && std::filesystem::file_size(folder + name + ".xls") > 4096);
            window->cmdUnload->click();
            EXPECT_TRUE(!window->dataset.fileLoaded && window->dataset.channelValues[0].empty()) << "data left behind";
        }
        EXPECT_TRUE(dialogs->messages.empty()) << "a message box came up";
        window->cmdExit->click();
    });
    // A session that never ends its loop is a failure, not a hang; memcheck runs it many times slower.
    QTimer::singleShot(600000, [] { QCoreApplication::exit(3); });
    EXPECT_EQ(QApplication::exec(), 0) << "the event loop did not end through the exit command";
    EXPECT_FALSE(window->isVisible());
    std::filesystem::remove_all(folder);
}
