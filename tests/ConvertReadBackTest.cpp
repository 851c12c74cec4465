// A .DAT file opened and converted through the window, as the operator does
// it, then read back by xlrd and LibreOffice and compared cell by cell with
// the .DAT file, the date cell with the moment of the conversion.
#include <QPushButton>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "DatGenerator.h"
#include "WindowFixture.h"

namespace {

double secondsSinceEpoch()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// Runs a command line; its exit status, with its output in `output`.
int run(const std::string &command, std::string &output)
{
    FILE *pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, got);
    return ::pclose(pipe);
}

class ConvertReadBackTest : public WindowFixture {};

TEST_F(ConvertReadBackTest, WorkbookWrittenThroughTheWindowHoldsTheDatFile)
{
    const std::string folder = kestrane::testdata::freshFolder("read-back");
    kestrane::testdata::DatSpec spec;
    spec.points = 40;
    spec.value = [](int channel, int point) {
        switch ((channel + point) % 6) {
        case 0: return 0.1f * float(point);
        case 1: return -float(channel) / 3.0f;
        case 2: return std::numeric_limits<float>::infinity();
        case 3: return 1e-45f;
        case 4: return 3.4028235e38f;
        default: return float(point * channel);
        }
    };
    spec.timing = {-4.0f, 7.0f};
    spec.names = {"Pressure", "Temp \xB0" "C", "", "x", "Flow l/min          ", "  leading", "Seven \x80"};
    const std::string dat = kestrane::testdata::writeDat(folder + "/probe run.dat", spec);
    const std::string xls = folder + "/probe run.xls";

    dialogs->fileAnswers.push_back(QString::fromStdString(dat));
    window->cmdConvirt->click();
    ASSERT_TRUE(window->dataset.fileLoaded);
    dialogs->fileAnswers.push_back(QString::fromStdString(xls));
    const double since = secondsSinceEpoch();
    window->cmdSaveFile->click();
    const double until = secondsSinceEpoch();
    ASSERT_TRUE(dialogs->messages.empty());
    ASSERT_TRUE(window->dataset.fileConverted);

    std::string output;
    const int status = run(std::string(KESTRANE_PYTHON3) + " " + CHECK_WORKBOOK_SCRIPT + " '" + dat + "' '" + xls
                               + "' --since " + std::to_string(since) + " --until " + std::to_string(until)
                               + " --soffice " + KESTRANE_SOFFICE,
                           output);
    EXPECT_EQ(status, 0) << output;
}

} // namespace
