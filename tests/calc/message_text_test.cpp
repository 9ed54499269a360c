#include "calc/message_text.h"

#include <gtest/gtest.h>

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

} // namespace
