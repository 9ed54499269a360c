#include "calc/strict_number.h"
#include "model/parse_leading_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

using namespace coning;

struct NumberCase
{
    const char *text;
    NumberCheck expected;
};

TEST(StrictNumber, AcceptsOnlyWholeDecimalNumbers)
{
    const NumberCase cases[] = {
        {"0.25", NumberCheck::Valid},
        {"-3", NumberCheck::Valid},
        {"+7", NumberCheck::Valid},
        {"1e3", NumberCheck::Valid},
        {"2.5E-1", NumberCheck::Valid},
        {"1e+3", NumberCheck::Valid},
        {".5", NumberCheck::Valid},
        {"5.", NumberCheck::Valid},
        {"-0", NumberCheck::Valid},
        {"1e-310", NumberCheck::Valid}, // a subnormal, read as typed
        {"-5e-324", NumberCheck::Valid},
        {"0e-999", NumberCheck::Valid},
        {"0.000", NumberCheck::Valid},
        {"1.7976931348623157e308", NumberCheck::Valid},
        {"", NumberCheck::NotANumber},
        {"-", NumberCheck::NotANumber},
        {".", NumberCheck::NotANumber},
        {"+-1", NumberCheck::NotANumber},
        {"12abc", NumberCheck::NotANumber}, // the window would read 12
        {"3.5 ft", NumberCheck::NotANumber},
        {" 100", NumberCheck::NotANumber},
        {"100 ", NumberCheck::NotANumber},
        {"1,5", NumberCheck::NotANumber},
        {"1.2.3", NumberCheck::NotANumber},
        {"1e", NumberCheck::NotANumber},
        {"1e+", NumberCheck::NotANumber},
        {"e5", NumberCheck::NotANumber},
        {"1D3", NumberCheck::NotANumber},
        {"&H10", NumberCheck::NotANumber},
        {"0x10", NumberCheck::NotANumber},
        {"inf", NumberCheck::NotANumber},
        {"-infinity", NumberCheck::NotANumber},
        {"nan", NumberCheck::NotANumber},
        {"1e400", NumberCheck::OutOfRange},
        {"-1e400", NumberCheck::OutOfRange},
        {"1e-400", NumberCheck::TooCloseToZero}, // would read as zero
        {"-2e-324", NumberCheck::TooCloseToZero},
        {"1.234567891e-315", NumberCheck::TooCloseToZero}, // a subnormal keeps fewer digits
        {"1.8e308", NumberCheck::OutOfRange},
    };
    for (const NumberCase &c : cases) {
        EXPECT_EQ(checkStrictNumber(c.text), c.expected) << '"' << c.text << '"';
        // What the check lets through, the window's field conversion reads as the whole number.
        if (c.expected == NumberCheck::Valid) {
            EXPECT_EQ(coning::ParseLeadingNumber(c.text), std::strtod(c.text, nullptr)) << c.text;
        }
    }
}

TEST(StrictNumber, MessagesSayWhyANumberIsRefused)
{
    const std::pair<const char *, const char *> cases[] = {
        {"12abc", "\"12abc\" is not a decimal number"},
        {"-1e400", "\"-1e400\" is beyond the range of double precision"},
        {"1e-400", "\"1e-400\" is too close to zero for double precision"},
    };
    for (const auto &[text, message] : cases) {
        double value = 0.0;
        EXPECT_EQ(readStrictNumber(text, value), message);
    }
    double value = 1.0;
    EXPECT_EQ(readStrictNumber("-0", value), std::nullopt);
    EXPECT_TRUE(std::signbit(value) == false && value == 0.0) << "read as the fields read -0";
}

// Whether a text names the double it reads as, or only rounds onto it.
TEST(StrictNumber, TellsATypedValueFromOneThatRoundsOntoIt)
{
    EXPECT_TRUE(namesDoubleAsTyped("100.0", 100.0));
    EXPECT_TRUE(namesDoubleAsTyped("1e2", 100.0));
    EXPECT_TRUE(namesDoubleAsTyped("0.1", 0.1));
    EXPECT_TRUE(namesDoubleAsTyped("-0", 0.0));
    EXPECT_FALSE(namesDoubleAsTyped("99.99999999999999999", 100.0));
    EXPECT_FALSE(namesDoubleAsTyped("100.000000000000001", 100.0));
    EXPECT_FALSE(namesDoubleAsTyped("-100", 100.0));
}

} // namespace
