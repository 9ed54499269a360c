#include "calc/strict_number.h"
#include "model/parse_leading_number.h"

#include <gtest/gtest.h>

#include <cstdlib>

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
        {"1e-310", NumberCheck::Valid}, // subnormal, still a value
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
        {"1e-400", NumberCheck::OutOfRange}, // would read as zero
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

} // namespace
