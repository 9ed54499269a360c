#include "model/parse_leading_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using coning::ParseLeadingNumber;

namespace {

// prefix, then `count` copies of `c`, then suffix.
std::string padded(const char *prefix, std::size_t count, char c, const char *suffix = "")
{
    std::string text(prefix);
    text.append(count, c);
    text.append(suffix);
    return text;
}

struct Case
{
    const char *name;
    std::string text;
    double expected;
};

class ParseLeadingNumberTest : public testing::TestWithParam<Case>
{};

TEST_P(ParseLeadingNumberTest, ReadsTheLeadingNumber)
{
    EXPECT_EQ(ParseLeadingNumber(GetParam().text), GetParam().expected)
        << '"' << GetParam().text << '"';
}

const double inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Examples,
    ParseLeadingNumberTest,
    testing::Values(
        Case{"Empty", "", 0.0},
        Case{"Letters", "abc", 0.0},
        Case{"LoneMinus", "-", 0.0},
        Case{"LonePoint", ".", 0.0},
        Case{"MinusPoint", "-.", 0.0},
        Case{"TrailingText", "12abc", 12.0},
        Case{"Unit", "3.5 ft", 3.5},
        Case{"CommaEnds", "1,5", 1.0},
        Case{"SecondPointEnds", "1.2.3", 1.2},
        Case{"BlanksDropped", " 2 45 7", 2457.0},
        Case{"ThousandsWithBlank", " 1 000", 1000.0},
        Case{"TabsAndLineFeedsDropped", "\t1\n2 .\t5", 12.5},
        Case{"CarriageReturnEnds", "1\r2", 1.0},
        Case{"NegativeFraction", "-.5", -0.5},
        Case{"PlusSign", "+7", 7.0},
        Case{"Exponent", "1e3", 1000.0},
        Case{"DExponent", "1D3", 1000.0},
        Case{"LowerDExponent", "1d3", 1000.0},
        Case{"NegativeExponent", "2.5E-1", 0.25},
        Case{"ExponentWithoutDigits", "5E", 5.0},
        Case{"ExponentSignWithoutDigits", "5E+", 5.0},
        Case{"ExponentThenText", "5Ex", 5.0},
        Case{"TrailingPoint", "5.", 5.0},
        Case{"NearestDouble", "0.1", 0.1},
        Case{"LargestDouble", "1.7976931348623157e308", std::numeric_limits<double>::max()},
        Case{"SmallestSubnormal",
             "4.9406564584124654e-324",
             std::numeric_limits<double>::denorm_min()},
        Case{"ManyDigitsRoundCorrectly", padded("1", 300, '0', "e-300"), 1.0},
        Case{"MinusZeroReadsAsZero", "-0", 0.0},
        Case{"Overflow", "1E400", inf},
        Case{"NegativeOverflow", "-1E400", -inf},
        Case{"OverflowByDigits", std::string(400, '9'), inf},
        Case{"Underflow", "1e-400", 0.0},
        Case{"UnderflowByLeadingZeros", padded("0.", 400, '0', "1"), 0.0},
        Case{"Hex", "&H10", 16.0},
        Case{"HexLowerCase", "&hff", 255.0},
        Case{"Octal", "&O17", 15.0},
        Case{"OctalStopsAtEight", "&O178", 15.0},
        Case{"HexWithoutDigits", "&H", 0.0},
        Case{"OctalWithoutDigits", "&Oz", 0.0},
        Case{"AmpersandAlone", "&", 0.0},
        Case{"HexWithBlanks", "& H 1 0", 16.0}),
    [](const testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

TEST(ParseLeadingNumberLongText, TenMegabytesOfDigitsIsRead)
{
    // A huge paste must be read in one linear pass: digits overflow, and a long tail of zeros
    // after a point does not change the value.
    EXPECT_EQ(ParseLeadingNumber(std::string(10'000'000, '7')), inf);
    EXPECT_EQ(ParseLeadingNumber(padded("2.", 10'000'000, '0')), 2.0);
    EXPECT_EQ(ParseLeadingNumber(padded("3", 10'000'000, ' ')), 3.0);
    EXPECT_EQ(ParseLeadingNumber(padded("1e", 10'000'000, '9')), inf);
    EXPECT_EQ(ParseLeadingNumber(padded("1e-", 10'000'000, '9')), 0.0);
}

TEST(ParseLeadingNumberLongText, LongHexSaturatesToInfinity)
{
    EXPECT_EQ(ParseLeadingNumber(padded("&H", 300, 'F')), inf);
    EXPECT_EQ(ParseLeadingNumber("&HFFFF"), 65535.0);
}

} // namespace
