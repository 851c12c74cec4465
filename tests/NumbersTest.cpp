#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/Numbers.h"

using kestrane::Failure;

struct RoundingCase {
    double value;
    int expected; // ignored when overflow is expected
    bool overflows;
};

class RoundToInt16 : public testing::TestWithParam<RoundingCase> {};

TEST_P(RoundToInt16, TiesGoToEvenAndOutOfRangeOverflows)
{
    const auto c = GetParam();
    if (c.overflows) {
        try {
            kestrane::roundToInt16(c.value);
            FAIL() << "no overflow for " << c.value;
        } catch (const Failure &f) {
            EXPECT_EQ(f.number(), kestrane::Overflow);
            EXPECT_EQ(f.description(), "Overflow");
        }
    } else {
        EXPECT_EQ(kestrane::roundToInt16(c.value), c.expected) << c.value;
    }
}

INSTANTIATE_TEST_SUITE_P(Numbers, RoundToInt16, testing::Values(
    RoundingCase{2.5, 2, false}, RoundingCase{3.5, 4, false}, RoundingCase{-0.5, 0, false},
    RoundingCase{-1.5, -2, false}, RoundingCase{0.49999999999999994, 0, false},
    RoundingCase{32766.5, 32766, false}, RoundingCase{32767.4, 32767, false},
    RoundingCase{32767.5, 0, true}, RoundingCase{-32768.5, -32768, false},
    RoundingCase{-32769.0, 0, true}, RoundingCase{std::nan(""), 0, true},
    RoundingCase{std::numeric_limits<double>::infinity(), 0, true},
    RoundingCase{-std::numeric_limits<double>::infinity(), 0, true}));

TEST(CheckedAdd, StopsAtTheSixteenBitLimit)
{
    EXPECT_EQ(kestrane::checkedAdd(32766, 1), 32767);
    EXPECT_EQ(kestrane::checkedAdd(-32767, -1), -32768);
    EXPECT_THROW(kestrane::checkedAdd(32767, 1), Failure);
    EXPECT_THROW(kestrane::checkedAdd(-32768, -1), Failure);
}

TEST(Failure, CarriesNumberAndStandardDescription)
{
    const Failure cancel(kestrane::CancelSelected);
    EXPECT_EQ(cancel.number(), 32755);
    EXPECT_EQ(cancel.description(), "Cancel was selected.");
    EXPECT_EQ(Failure(kestrane::PathNotFound).description(), "Path not found");
    EXPECT_EQ(Failure(57, "Disk on fire").description(), "Disk on fire");
}
