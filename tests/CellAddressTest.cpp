#include <gtest/gtest.h>

#include <string>

#include "workbook/spreadsheet/CellAddress.h"

using namespace kestrane::spreadsheet;

namespace {

struct GoodAddress {
    const char *text;
    int row, column;
};

} // namespace

class A1Address : public testing::TestWithParam<GoodAddress> {};

TEST_P(A1Address, givesRowAndColumnFromZero)
{
    const auto address = parseA1(GetParam().text);
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(address->row, GetParam().row);
    EXPECT_EQ(address->column, GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(Valid, A1Address,
                         testing::Values(GoodAddress{"A1", 0, 0}, GoodAddress{"B7", 6, 1}, GoodAddress{"b7", 6, 1},
                                         GoodAddress{"H4685", 4684, 7}, GoodAddress{"Z1", 0, 25},
                                         GoodAddress{"AA1", 0, 26}, GoodAddress{"Az10", 9, 51},
                                         GoodAddress{"IV65536", 65535, 255}));

class BadA1Address : public testing::TestWithParam<const char *> {};

TEST_P(BadA1Address, isRefused)
{
    EXPECT_FALSE(parseA1(GetParam()).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Invalid, BadA1Address,
                         testing::Values("", "A", "7", "1A", "A0", "A07", "A-1", "A+1", "A 1", " A1", "A1 ", "$A$1",
                                         "A1:B2", "IW1", "AAA1", "A65537", "A100000", "A1.0", "\u00c41"));

TEST(ColumnLetters, roundTripEveryColumnOfTheSheet)
{
    for (int column = 0; column < kColumnCount; ++column) {
        const std::string letters = columnLetters(column);
        EXPECT_EQ(parseColumnLetters(letters), column) << letters;
    }
    EXPECT_EQ(columnLetters(0), "A");
    EXPECT_EQ(columnLetters(7), "H");
    EXPECT_EQ(columnLetters(255), "IV");
    EXPECT_EQ(a1Text({6, 1}), "B7");
    EXPECT_EQ(a1Text({65535, 255}), "IV65536");
}
