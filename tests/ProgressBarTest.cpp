// The progress bar: single-precision settings that never fail, and painting
// only what can be seen.
#include <QEvent>
#include <QThread>

#include <cmath>
#include <limits>

#include "WindowFixture.h"
#include "window/ProgressBar.h"

namespace {

using kestrane::ProgressBar;

struct Setting {
    const char *name;
    float min, max, value;
    double drawn; // fraction of the bar filled
};

class ProgressSettings : public ::testing::TestWithParam<Setting> {};

TEST_P(ProgressSettings, AcceptedReadBackExactlyAndDrawnClamped)
{
    ProgressBar bar;
    bar.resize(268, 16);
    bar.setMin(GetParam().min);
    bar.setMax(GetParam().max);
    bar.setValue(GetParam().value);
    EXPECT_EQ(bar.min(), GetParam().min);
    EXPECT_EQ(bar.max(), GetParam().max);
    EXPECT_EQ(bar.value(), GetParam().value);
    EXPECT_DOUBLE_EQ(bar.filledFraction(), GetParam().drawn);
}

INSTANTIATE_TEST_SUITE_P(Ranges, ProgressSettings,
                         ::testing::Values(Setting{"Initial", 0, 100, 0, 0.0},
                                           Setting{"Quarter", 0, 100, 25, 0.25},
                                           Setting{"LastPoint", 1, 4679, 4679, 1.0},
                                           Setting{"FirstPoint", 1, 4679, 1, 0.0},
                                           Setting{"BeyondMaximum", 1, 11, 12, 1.0},
                                           Setting{"BelowMinimum", 1, 4, 0, 0.0},
                                           Setting{"NoPointsRangeOneToZero", 1, 0, 1, 0.0},
                                           Setting{"OnePointRangeOneToOne", 1, 1, 1, 0.0},
                                           Setting{"Fractions", 0.5f, 1.5f, 0.75f, 0.25}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(ProgressBar, NotANumberIsKeptAndDrawnEmpty)
{
    ProgressBar bar;
    bar.setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(std::isnan(bar.value()));
    EXPECT_EQ(bar.filledFraction(), 0.0);
    bar.setValue(std::numeric_limits<float>::infinity());
    EXPECT_EQ(bar.filledFraction(), 1.0);
}

TEST(ProgressBar, IntegerValuesGoThroughTheSinglePrecisionSetter)
{
    ProgressBar bar;
    bar.setValue(30); // an int: not QProgressBar's own setter
    EXPECT_EQ(bar.value(), 30.0f);
    EXPECT_DOUBLE_EQ(bar.filledFraction(), 0.3);
}

class CountPaints : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class ProgressPaintTest : public WindowFixture {};

TEST_F(ProgressPaintTest, AFastReadOfThousandsOfPointsPaintsOnlyOnceOrTwice)
{
    ProgressBar *bar = window->ProgressBar1;
    CountPaints counter;
    bar->installEventFilter(&counter);
    bar->setMin(1);
    bar->setMax(4679);
    bar->setValue(1);
    const int before = counter.paints;
    // As the read does: no event processing between the points.
    for (int point = 1; point <= 4679; ++point)
        bar->setValue(float(point));
    EXPECT_LE(counter.paints - before, 2);
    EXPECT_EQ(bar->filledFraction(), 1.0);
    bar->removeEventFilter(&counter);
}

TEST_F(ProgressPaintTest, ASlowReadShowsEveryVisibleStepWhileTheThreadIsBusy)
{
    ProgressBar *bar = window->ProgressBar1;
    bar->setMin(0);
    bar->setMax(4);
    bar->setValue(0);
    CountPaints counter;
    bar->installEventFilter(&counter);
    for (int point = 1; point <= 4; ++point) {
        QThread::msleep(20); // longer than a frame, and no event processing
        bar->setValue(float(point));
    }
    EXPECT_EQ(counter.paints, 4);
    bar->removeEventFilter(&counter);
}

TEST_F(ProgressPaintTest, SettingTheSameDrawnPositionAgainPaintsNothing)
{
    ProgressBar *bar = window->ProgressBar1;
    bar->setMin(0);
    bar->setMax(100000);
    bar->setValue(50000);
    CountPaints counter;
    bar->installEventFilter(&counter);
    bar->setValue(50001); // far less than a pixel
    bar->setValue(50000);
    EXPECT_EQ(counter.paints, 0);
    bar->removeEventFilter(&counter);
}

} // namespace
