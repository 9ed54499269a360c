#include "report/field_read_text.h"
#include "report/message_box_text.h"
#include "report/rate_in_full_text.h"

#include "report_fixtures.h"

#include <gtest/gtest.h>

namespace coning {
namespace {

std::vector<std::string> messages(std::size_t count, std::size_t length)
{
    std::vector<std::string> list;
    for (std::size_t i = 0; i < count; ++i)
        list.push_back("Cause " + std::to_string(i + 1) + ": " + std::string(length, 'x'));
    return list;
}

std::size_t bullets(const std::string &text)
{
    std::size_t count = 0;
    for (std::size_t at = text.find("\u2022 "); at != std::string::npos;
         at = text.find("\u2022 ", at + 1))
        ++count;
    return count;
}

TEST(MessageBoxText, WholeMessagesAreShownAndTheRestCounted)
{
    struct Case
    {
        const char *name;
        std::size_t count, length;
        std::size_t shown;
        const char *more; // the summary's last line, empty when it shows every message
    };
    const Case cases[] = {
        {"two short", 2, 20, 2, ""},
        {"six short", 6, 20, 6, ""},
        {"seven short", 7, 20, 6, "... and 1 more message; \"Show Details...\" lists them all."},
        {"forty long", 40, 400, 2, "... and 38 more messages; \"Show Details...\" lists them all."},
        {"one very long", 1, 5000, 1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::string> all = messages(c.count, c.length);
        const MessageBoxText text = messageBoxText(all);
        EXPECT_EQ(bullets(text.summary), c.shown);
        for (std::size_t i = 0; i < c.shown; ++i) // each whole, a blank line from the next
            EXPECT_NE(text.summary.find("\u2022 " + all[i] + (i + 1 < c.count ? "\n\n" : "")),
                      std::string::npos);
        EXPECT_TRUE(text.summary.ends_with(c.more));
        EXPECT_EQ(bullets(text.details), *c.more ? c.count : 0);
    }
}

TEST(RatesInFull, TooLargeOrTooFewDigitsAreGivenWhole)
{
    struct Case
    {
        const char *name;
        double rate;
        std::int16_t fluidSystem;
        const char *expected; // the Sobocinski message, empty when there is none
    };
    const Case cases[] = {
        {"beyond a double's digits",
         1e300,
         1,
         "Sobocinski: the rate, 1e+300 STB/DAY, is too large for the report to show"},
        // Digits a double does not hold are never written out: exponent form beyond 17 digits.
        {"21 digits",
         157551212385582055424.0,
         1,
         "Sobocinski: the rate, 1.5755121238558206e+20 STB/DAY, is too large for the report to "
         "show"},
        {"17 digits with the decimal",
         9999999999999998.0,
         1,
         "Sobocinski: the rate, 9999999999999998.0 STB/DAY, is too large for the report to show"},
        {"18 digits with the decimal",
         12345678901234568.0,
         1,
         "Sobocinski: the rate, 12345678901234568 STB/DAY, is too large for the report to show"},
        {"twelve digits",
         123456789012.25,
         2,
         "Sobocinski: the rate, 123456789012.3 MCF/DAY, is too large for the report to show"},
        {"rounds to .0", 0.0432, 1, "Sobocinski: the report shows .0; the rate is 0.0432 STB/DAY"},
        {"one digit", 0.26, 1, "Sobocinski: the report shows .3; the rate is 0.26 STB/DAY"},
        {"one digit, negative",
         -0.3125,
         1,
         "Sobocinski: the report shows -.3; the rate is -0.312 STB/DAY"},
        {"tiny", 1.5e-9, 1, "Sobocinski: the report shows .0; the rate is 1.5e-09 STB/DAY"},
        {"two digits", 1.04, 1, ""},
        {"exactly zero", 0.0, 1, ""},
        {"fits", 12345.6, 1, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RunResult run = test::resultWith(c.fluidSystem, true, {c.rate, 5, 5, 5, 5, 5});
        const std::vector<std::string> found = describeRatesInFull(run, 30);
        if (*c.expected) {
            ASSERT_EQ(found.size(), 1u);
            EXPECT_EQ(found[0], c.expected);
        } else {
            EXPECT_TRUE(found.empty());
        }
        test::failAt(run, Correlation::Sobocinski); // a failed rate is not given
        EXPECT_TRUE(describeRatesInFull(run, 30).empty());
    }
}

TEST(FieldReadText, TextThatIsNotWhollyTheNumberReadIsNamed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"1,2", "K md.: \"1,2\" was read as 1, which is not all of the text"},
        {"12abc", "K md.: \"12abc\" was read as 12, which is not all of the text"},
        {"1.2.3", "K md.: \"1.2.3\" was read as 1.2, which is not all of the text"},
        {"5E", "K md.: \"5E\" was read as 5, which is not all of the text"},
        {"&H1G", "K md.: \"&H1G\" was read as 1, which is not all of the text"},
        {"1e400 ft",
         "K md.: \"1e400 ft\" was read as a number beyond the double range, which "
         "is not all of the text"},
        {"abc", "K md.: \"abc\" holds no number and was read as 0"},
        {"-", "K md.: \"-\" holds no number and was read as 0"},
        {"7\x1b[2J", "K md.: \"7\\x1B[2J\" was read as 7, which is not all of the text"},
        {"9" + std::string(59, 'x'),
         "K md.: the text typed (60 characters) was read as 9, which is not all of the text"},
        // Read as typed: blanks anywhere are dropped by the reader, and nothing typed is nothing.
        {" 1 000 ", ""},
        {"-.5", ""},
        {"2.5E-1", ""},
        {"1D3", ""},
        {"&H10", ""},
        {"", ""},
        {" \t", ""},
    };
    for (const auto &[typed, expected] : cases) {
        SCOPED_TRACE(typed);
        EXPECT_EQ(fieldNotReadAsTyped("K md.", typed).value_or(""), expected);
    }
}

} // namespace
} // namespace coning
