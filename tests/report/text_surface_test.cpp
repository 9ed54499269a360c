#include "report/text_surface.h"
#include "report/text_wrap.h"

#include <gtest/gtest.h>

namespace coning {
namespace {

using Items = std::vector<PrintItem>;

TEST(TextSurface, TabsBecomeBlanksAndEachPrintIsALine)
{
    struct Case
    {
        const char *name;
        Items items;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"tab then text", {PrintItem::tab(5), PrintItem::of("AB")}, {"    AB"}},
        {"two columns",
         {PrintItem::tab(3), PrintItem::of("Muskat = "), PrintItem::tab(20), PrintItem::of("1.0")},
         {"  Muskat =         1.0"}},
        {"tab to the column reached stays",
         {PrintItem::of("abcd"), PrintItem::tab(5), PrintItem::of("e")},
         {"abcde"}},
        {"tab to a passed column goes to the next line",
         {PrintItem::of("abcdef"), PrintItem::tab(3), PrintItem::of("x")},
         {"abcdef", "  x"}},
        {"tab to column 1", {PrintItem::tab(1), PrintItem::of("x")}, {"x"}},
        {"empty print", {}, {""}},
    };
    for (const Case &c : cases) {
        TextSurface s;
        s.print(c.items);
        EXPECT_EQ(s.lines(), c.lines) << c.name;
    }
}

TEST(TextSurface, KeepsLinesUntilClearedAndIgnoresDrawing)
{
    TextSurface s(25);
    EXPECT_EQ(s.columnsAcross(), 25);
    EXPECT_EQ(TextSurface().columnsAcross(), 40);

    s.print({PrintItem::of("old")});
    s.clear();
    s.setScale(0, 110, 140, 0);
    s.drawBox(0, 0, 10, 10, {1, 2, 3}, true);
    s.setPrintPosition(5, 5);
    s.print({PrintItem::of("one")});
    s.print({PrintItem::tab(2), PrintItem::of("two")});
    EXPECT_EQ(s.text(), "one\n two\n");
}

TEST(TextWrap, BreaksAtBlanksWithinTheWidth)
{
    struct Case
    {
        const char *text;
        int columns;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"Well radius is zero: enter it", 12, {"Well radius", "is zero:", "enter it"}},
        {"exactly ten", 11, {"exactly ten"}},
        {"a  b   c", 40, {"a b c"}},
        {"abcdefghij kl", 4, {"abcd", "efgh", "ij", "kl"}},
        {"", 10, {}},
        {"ab cd", 0, {"a", "b", "c", "d"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(wrapText(c.text, c.columns), c.lines) << c.text << " / " << c.columns;
}

} // namespace
} // namespace coning
