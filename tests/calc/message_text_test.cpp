#include "calc/message_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

struct EscapeCase
{
    const char *name;
    std::string text;
    std::string shown;
};

TEST(MessageText, ControlCharactersAreEscapedAndTextIsKept)
{
    const std::vector<EscapeCase> cases = {
        {"Plain", "Oil-Water 1.5e3", "Oil-Water 1.5e3"},
        {"LineEnds", "a\r\n\tb", "a\\r\\n\\tb"},
        {"Escape", "\x1B[2J\x07\x7F", "\\x1B[2J\\x07\\x7F"},
        {"ByteOrderMark", "\xEF\xBB\xBFwell", "\\uFEFFwell"},
        {"C1Control",
         "\xC2\x9B"
         "31m",
         "\\u009B31m"},
        {"OtherLanguages",
         "Bohrung \xC3\xBC \xE2\x82\xAC \xF0\x9F\x9B\xA2",
         "Bohrung \xC3\xBC \xE2\x82\xAC \xF0\x9F\x9B\xA2"},
        {"LoneByte",
         "a\x9B"
         "b\xFF",
         "a\\x9Bb\\xFF"},
        {"CutSequence", "a\xE2\x82", "a\\xE2\\x82"},
        {"Overlong", "\xC0\xAF\xE0\x80\xAF", "\\xC0\\xAF\\xE0\\x80\\xAF"},
        {"Surrogate", "\xED\xA0\x80", "\\xED\\xA0\\x80"},
    };
    for (const EscapeCase &c : cases)
        EXPECT_EQ(coning::escapedForMessage(c.text), c.shown) << c.name;
}

using Limits = std::numeric_limits<double>;

struct NumberCase
{
    double value;
    const char *shown;
};

TEST(MessageText, NumbersNeverShowInfNanOrNoiseDigits)
{
    const NumberCase cases[] = {
        {1900, "1900"},
        {0.25, "0.25"},
        {1e-5, "1e-05"},
        {1234567, "1.23457e+06"},
        {1e300, "1e+300"},
        {-0.0, "0"},
        {Limits::max(), "1.79769e+308"},
        {1e-320, "1e-320"}, // a subnormal: its exact value is 9.99989e-321
        {Limits::denorm_min(), "5e-324"},
        {-Limits::infinity(), "beyond the double range"},
        {Limits::quiet_NaN(), "undefined"},
    };
    for (const NumberCase &c : cases)
        EXPECT_EQ(coning::numberForMessage(c.value), c.shown) << c.shown;
}

// Away from subnormals a message's number is printf's "%.6g", in any locale.
TEST(MessageText, NumbersAreSixDigitsAsPrintfGivesThem)
{
    std::mt19937_64 random(15);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (!std::isnormal(value))
            continue;
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.6g", value);
        ASSERT_EQ(coning::numberForMessage(value), expected);
    }
}

// Two compared numbers read differently whenever they differ, down to one ulp and at the ends of
// the double range, and read back in the same order.
TEST(MessageText, ComparedNumbersAlwaysReadDifferently)
{
    EXPECT_EQ(coning::numbersForMessage(50.0000001, 50).first, "50.0000001");
    EXPECT_EQ(coning::numbersForMessage(0.1 + 0.2, 0.3).first, "0.30000000000000004");
    EXPECT_EQ(coning::numbersForMessage(1e7, 10000001).first, "10000000");
    const double extremes[] = {Limits::max(),
                               Limits::min(),
                               Limits::denorm_min(),
                               -Limits::denorm_min(),
                               0.0,
                               1.0,
                               50.0,
                               1e-300,
                               -1e300};
    for (double a : extremes) {
        for (double b : {std::nextafter(a, Limits::infinity()), std::nextafter(a, -1e308)}) {
            if (!std::isfinite(b) || a == b)
                continue;
            const coning::NumberPair pair = coning::numbersForMessage(a, b);
            EXPECT_NE(pair.first, pair.second) << pair.first;
            double first = 0.0;
            double second = 0.0;
            std::from_chars(pair.first.data(), pair.first.data() + pair.first.size(), first);
            std::from_chars(pair.second.data(), pair.second.data() + pair.second.size(), second);
            EXPECT_EQ(first < second, a < b) << pair.first << " " << pair.second;
        }
    }
}

} // namespace
