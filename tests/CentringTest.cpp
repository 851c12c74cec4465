// Centring and the minimum size, on a screen of any size behind the window,
// and on the real window.
#include <QScreen>

#include "FakePlacement.h"
#include "WindowFixture.h"
#include "window/Centring.h"
#include "window/MinimumSize.h"

namespace {

using kestrane::centreWindow;

class CentreTest : public ::testing::Test {
protected:
    bool centre(std::int16_t screenDivisor, std::int16_t windowDivisor)
    {
        s = screenDivisor;
        w = windowDivisor;
        return centreWindow(fake, s, w, [this] { ++reports; });
    }
    FakePlacement fake;
    std::int16_t s = 2;
    std::int16_t w = 2;
    int reports = 0;
};

TEST_F(CentreTest, OnA1024By768ScreenTheMinimumWindowGoesToTop3615Left4372Point5)
{
    // 11520/2 - 4290/2 = 3615; 15360/2 - 6615/2 = 4372.5, kept as a fraction
    EXPECT_TRUE(centre(2, 2));
    EXPECT_EQ(fake.top, 3615.0f);
    EXPECT_EQ(fake.left, 4372.5f);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"moveTop", "moveLeft"}));
    EXPECT_EQ(reports, 0);
}

struct Placement {
    const char *name;
    std::int16_t screenDivisor, windowDivisor;
    float outerW, outerH;
    float top, left;
};

class CentreCases : public CentreTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(CentreCases, FloatingPointDivisionWithoutClamping)
{
    const Placement p = GetParam();
    fake.outerW = p.outerW;
    fake.outerH = p.outerH;
    EXPECT_TRUE(centre(p.screenDivisor, p.windowDivisor));
    EXPECT_EQ(fake.top, p.top);
    EXPECT_EQ(fake.left, p.left);
}

INSTANTIATE_TEST_SUITE_P(Sizes, CentreCases,
                         ::testing::Values(
                             Placement{"LargerThanTheScreen", 2, 2, 20000, 15000, 5760 - 7500, 7680 - 10000},
                             Placement{"OddSizesHalveExactly", 2, 2, 6615, 4291, 5760 - 2145.5f, 7680 - 3307.5f},
                             // 11520/3 - 4290/1, 15360/3 - 6615/1
                             Placement{"OtherDivisors", 3, 1, 6615, 4290, 3840 - 4290, 5120 - 6615},
                             Placement{"NegativeDivisor", -2, 2, 6615, 4290, -5760 - 2145, -7680 - 3307.5f}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(CentreTest, ZeroDivisorSetsBothToTwoForTheCallerAndRepeatsTheStep)
{
    EXPECT_TRUE(centre(0, 2));
    EXPECT_EQ(s, 2);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(fake.top, 3615.0f);
    EXPECT_EQ(fake.left, 4372.5f);
    EXPECT_EQ(reports, 0);

    EXPECT_TRUE(centre(7, 0));
    EXPECT_EQ(s, 2);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(fake.top, 3615.0f);
}

TEST_F(CentreTest, MaximisedOrMinimisedWindowIsRestoredThenCentred)
{
    for (bool maximised : {true, false}) {
        fake = FakePlacement{};
        fake.maximised = maximised;
        fake.minimised = !maximised;
        EXPECT_TRUE(centre(2, 2));
        EXPECT_TRUE(fake.isNormalState());
        EXPECT_EQ(fake.calls, (std::vector<std::string>{"moveTop", "restore", "moveTop", "moveLeft"}));
        EXPECT_EQ(fake.top, 3615.0f);
        EXPECT_EQ(fake.left, 4372.5f);
    }
}

TEST_F(CentreTest, ZeroDivisorAndMaximisedWindowTogetherStillCentre)
{
    fake.maximised = true;
    EXPECT_TRUE(centre(0, 0));
    EXPECT_EQ(fake.top, 3615.0f);
    EXPECT_EQ(fake.left, 4372.5f);
}

TEST_F(CentreTest, AnyOtherFailureIsReportedAndTheFailedStepRepeated)
{
    // the first read of the screen fails in the top step, then one in the left step
    fake.screenReadFailures = {kestrane::DeviceIOError};
    fake.afterMoveTop = [this] { fake.screenReadFailures.push_back(kestrane::PermissionDenied); };
    EXPECT_TRUE(centre(2, 2));
    EXPECT_EQ(reports, 2);
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"moveTop", "moveLeft"}));
    EXPECT_EQ(fake.left, 4372.5f);
}

TEST_F(CentreTest, PersistentFailureGivesUpAfterItsTriesAndReturnsFalse)
{
    fake.screenReadFailures.assign(100, kestrane::DeviceIOError);
    fake.top = 123.0f;
    EXPECT_FALSE(centre(2, 2));
    EXPECT_EQ(reports, kestrane::CentringTriesPerStep - 1);
    EXPECT_EQ(fake.screenReadFailures.size(), 100u - kestrane::CentringTriesPerStep);
    EXPECT_TRUE(fake.calls.empty()); // not moved, and the left step never tried
    EXPECT_EQ(fake.top, 123.0f);
}

TEST_F(CentreTest, FailureWhileHandlingOnePassesToTheCaller)
{
    fake.maximised = true;
    fake.restoreFails = true;
    EXPECT_THROW(centre(2, 2), kestrane::Failure);
}

TEST_F(CentreTest, SizesAreReadAfreshForEachStep)
{
    // the window manager changes the width while the top is moved
    fake.afterMoveTop = [this] { fake.outerW = 7000.0f; };
    EXPECT_TRUE(centre(2, 2));
    EXPECT_EQ(fake.left, 7680.0f - 3500.0f);
}

// ---- through the window: the message box and the load ---------------------------

class WindowCentreTest : public WindowFixture {
protected:
    FakePlacement *usePlacement()
    {
        auto fakePlacement = std::make_unique<FakePlacement>();
        FakePlacement *raw = fakePlacement.get();
        window->setPlacement(std::move(fakePlacement));
        return raw;
    }
};

TEST_F(WindowCentreTest, CentreReportsAFailureInItsOwnBoxAndRepeatsOnEitherButton)
{
    FakePlacement *fake = usePlacement();
    fake->screenReadFailures = {kestrane::DeviceIOError, kestrane::DeviceIOError};
    dialogs->messageAnswers = {kestrane::MsgBoxResult::Cancel, kestrane::MsgBoxResult::OK};
    std::int16_t s = 2, w = 2;
    EXPECT_TRUE(window->Centre(s, w));
    ASSERT_EQ(dialogs->messages.size(), 2u);
    for (const auto &box : dialogs->messages) {
        EXPECT_EQ(box.text, QStringLiteral("Form cannot be centred"));
        EXPECT_EQ(box.buttons, kestrane::MsgBoxButtons::OKCancel);
        EXPECT_EQ(box.icon, kestrane::MsgBoxIcon::None);
        EXPECT_EQ(box.title, QStringLiteral("Kestrane"));
    }
    EXPECT_EQ(fake->top, 3615.0f);
}

TEST_F(WindowCentreTest, CentreZeroTwoOnTheWindowWritesTwoIntoBoth)
{
    usePlacement();
    std::int16_t s = 0, w = 2;
    EXPECT_TRUE(window->Centre(s, w));
    EXPECT_EQ(s, 2);
    EXPECT_EQ(w, 2);
}

TEST_F(WindowCentreTest, ClickWhoseCentringFailsWhileHandlingLeavesTheWindowRunning)
{
    FakePlacement *fake = usePlacement();
    fake->maximised = true;
    fake->restoreFails = true;
    QTest::mouseClick(window->centralWidget(), Qt::LeftButton, {}, QPoint(8, 200));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(fake->calls, (std::vector<std::string>{"moveTop", "restore"}));
}

TEST_F(WindowCentreTest, RealWindowIsCentredOnTheRealScreen)
{
    window->move(3, 5);
    std::int16_t s = 2, w = 2;
    EXPECT_TRUE(window->Centre(s, w));
    const QRect screen = window->screen()->geometry();
    const QRect outer = window->frameGeometry();
    EXPECT_LE(std::abs(outer.center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(outer.center().y() - screen.center().y()), 1);
}

// ---- minimum size ------------------------------------------------------------------

struct SizeCase {
    const char *name;
    float width, height;
    float expectedWidth, expectedHeight;
    std::vector<std::string> calls;
};

class MinimumSizeCases : public ::testing::TestWithParam<SizeCase> {};

TEST_P(MinimumSizeCases, WidthFirstThenHeightStrictlyBelowTheMinimum)
{
    FakePlacement fake;
    fake.outerW = GetParam().width;
    fake.outerH = GetParam().height;
    kestrane::keepMinimumSize(fake);
    EXPECT_EQ(fake.outerW, GetParam().expectedWidth);
    EXPECT_EQ(fake.outerH, GetParam().expectedHeight);
    EXPECT_EQ(fake.calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, MinimumSizeCases,
    ::testing::Values(SizeCase{"NarrowOnly", 5000, 5000, 6615, 5000, {"setOuterWidth"}},
                      SizeCase{"ExactlyTheMinimum", 6615, 4290, 6615, 4290, {}},
                      SizeCase{"JustBelowBoth", 6614.5f, 4289.5f, 6615, 4290, {"setOuterWidth", "setOuterHeight"}},
                      SizeCase{"LowOnly", 8000, 100, 8000, 4290, {"setOuterHeight"}},
                      SizeCase{"Large", 20000, 20000, 20000, 20000, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(MinimumSize, LeavesAMaximisedOrMinimisedWindowAlone)
{
    FakePlacement fake;
    fake.outerW = 100;
    fake.outerH = 100;
    fake.minimised = true;
    kestrane::keepMinimumSize(fake);
    fake.minimised = false;
    fake.maximised = true;
    kestrane::keepMinimumSize(fake);
    EXPECT_TRUE(fake.calls.empty());
}

class RealMinimumSizeTest : public WindowFixture {};

TEST_F(RealMinimumSizeTest, ResizingBelowTheMinimumIsUndoneOneDimensionAtATime)
{
    // The rule is about the outer size: 441 x 286 pixels, frame included.
    const QSize frame = window->frameGeometry().size() - window->size();
    const QSize minimumClient = QSize(441, 286) - frame;
    window->resize(QSize(333, 333) - frame); // 4995 x 4995 twips outside
    EXPECT_EQ(window->size(), QSize(minimumClient.width(), 333 - frame.height()));
    window->resize(500, 200);
    EXPECT_EQ(window->size(), QSize(500, minimumClient.height()));
    window->resize(minimumClient); // exactly the minimum
    EXPECT_EQ(window->frameGeometry().size(), QSize(441, 286));
    window->resize(900, 700); // no maximum
    EXPECT_EQ(window->size(), QSize(900, 700));
    // enlarged: the status bar follows the bottom edge, the controls stay
    EXPECT_EQ(window->StatusBar1->geometry(), QRect(0, 700 - 29, 900, 29));
    EXPECT_EQ(window->cmdExit->geometry(), QRect(5, 123, 107, 37));
    EXPECT_EQ(window->ProgressBar1->geometry(), QRect(149, 184, 268, 16));
}

} // namespace
