#include "report/printed_report.h"
#include "report/results_report.h"

#include "report_fixtures.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace coning {
namespace {

using test::Op;

constexpr Rgb black{0, 0, 0};
constexpr Rgb paperColour{9, 9, 9}; // whatever Picture1 shows when the command starts

// Prints through `printWindow` and keeps, for the test, the report text as it stood on paper.
struct Printing
{
    test::Surfaces s;
    std::vector<test::PrintedLine> paper;
    int printed = 0;

    PrintOutcome run(const RunResult *lastRun, std::function<PrintOutcome()> step)
    {
        s.picture1.foreColour = paperColour;
        return printReport(s.all(), lastRun, [&] {
            ++printed;
            paper = s.picture1.printed;
            s.journal.push_back("print");
            return step();
        });
    }
};

const auto printsFine = [] { return PrintOutcome{}; };

TEST(PrintedReport, PaperPassInOneColourThenImagesThenPrintThenScreenPass)
{
    Printing p;
    const RunResult run = test::resultWith(1, true, {100, 50, 200, 10, 20, 30});
    const PrintOutcome outcome = p.run(&run, printsFine);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(p.printed, 1);

    std::vector<std::string> expected = {"P1:empty", "P1:clear"};
    expected.insert(expected.end(), 8, "P1:print");
    for (const char *step :
         {"P1:colour", "P1:take", "bar:take", "P2:take", "print", "P1:empty", "P1:clear"})
        expected.push_back(step);
    ASSERT_GE(p.s.journal.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(p.s.journal.begin(), p.s.journal.begin() + expected.size()),
              expected);

    ASSERT_EQ(p.paper.size(), 8u);
    for (const test::PrintedLine &line : p.paper)
        EXPECT_EQ(line.colour, paperColour) << line.text;

    // The screen pass prints the same lines in the correlation colours, and ends in black.
    std::vector<std::string> paperText;
    for (const test::PrintedLine &line : p.paper)
        paperText.push_back(line.text);
    EXPECT_EQ(p.s.picture1.lines(), paperText);
    EXPECT_EQ(p.s.picture1.printed[0].colour, black);
    EXPECT_EQ(p.s.picture1.printed[2].colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(p.s.picture1.printed[7].colour, (Rgb{174, 174, 124}));
    EXPECT_EQ(p.s.picture1.foreColour, black);

    EXPECT_TRUE(p.s.bar.callsOf(Op::Clear).empty());
    EXPECT_TRUE(p.s.picture2.callsOf(Op::Clear).empty());
}

TEST(PrintedReport, BothPassesShowLongRatesWholeOrTooLarge)
{
    Printing p;
    p.s.picture1.mostColumns = 31;
    const RunResult run = test::resultWith(1, true, {211119293.8, 211119293811.3, 1, 1, 1, 1});
    p.run(&run, printsFine);
    ASSERT_EQ(p.paper.size(), 8u);
    EXPECT_EQ(p.paper[2].text.substr(19), "211119293.8");
    EXPECT_EQ(p.paper[3].text.substr(19), "too large");
    std::vector<std::string> paperText;
    for (const test::PrintedLine &line : p.paper)
        paperText.push_back(line.text);
    EXPECT_EQ(p.s.picture1.lines(), paperText);
}

TEST(PrintedReport, LinesFollowTheFluidSystemAndMeyerGarderCondition)
{
    struct Case
    {
        const char *name;
        std::int16_t fluidSystem;
        bool meyerGarder;
        const char *unit;
        std::size_t rateLines;
    };
    const Case cases[] = {
        {"Gas-Water without pressure", 2, false, "MCF/DAY", 5},
        {"Gas-Water with pressure", 2, true, "MCF/DAY", 6},
        {"Oil-Water", 1, true, "STB/DAY", 6},
        {"Gas-Oil", 3, true, "STB/DAY", 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Printing p;
        const RunResult run = test::resultWith(c.fluidSystem, c.meyerGarder, {1, 2, 3, 4, 5, 6});
        p.run(&run, printsFine);
        ASSERT_EQ(p.paper.size(), 2 + c.rateLines);
        EXPECT_EQ(p.paper[1].text, std::string("         ") + c.unit);
        EXPECT_EQ(p.paper.back().text.find("Meyer-Garder") != std::string::npos, c.meyerGarder);
    }
}

TEST(PrintedReport, ScreenPassRunsAndTheFailureComesBack)
{
    struct Case
    {
        const char *name;
        std::function<PrintOutcome()> step;
        std::string error;
    };
    const Case cases[] = {
        {"reported",
         [] {
             return PrintOutcome{false, "No printer is installed"};
         },
         "No printer is installed"},
        {"thrown",
         []() -> PrintOutcome { throw std::runtime_error("spooler stopped"); },
         "spooler stopped"},
        {"thrown without a message", []() -> PrintOutcome { throw 42; }, "printing failed"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Printing p;
        const RunResult run = test::resultWith(1, true, {1, 2, 3, 4, 5, 6});
        const PrintOutcome outcome = p.run(&run, c.step);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error, c.error);
        EXPECT_EQ(p.s.picture1.lines().size(), 8u);
        EXPECT_EQ(p.s.picture1.printed[3].colour, (Rgb{255, 0, 0}));
        EXPECT_EQ(p.s.picture1.foreColour, black);
    }
}

TEST(PrintedReport, BeforeAnyRunLabelsStandWithoutNumbers)
{
    Printing p;
    p.run(nullptr, printsFine);
    const std::vector<std::string> expected = {"    CRITICAL CONING RATES",
                                               "         STB/DAY",
                                               "  Sobocinski = ",
                                               "  Muskat = ",
                                               "  Chaney-Noble = ",
                                               "  Schols = ",
                                               "  Guo-Lee = ",
                                               "  Meyer-Garder  = "};
    EXPECT_EQ(p.s.picture1.lines(), expected);
    ASSERT_EQ(p.paper.size(), expected.size());
    EXPECT_EQ(p.paper[7].text, expected[7]);
}

TEST(PrintedReport, AfterAFailedRunTheFailureIsPrinted)
{
    Printing p;
    RunResult failed;
    failed.error = "Zone thickness is zero: enter the zone thickness in feet";
    p.run(&failed, printsFine);
    ASSERT_FALSE(p.paper.empty());
    EXPECT_EQ(p.paper[0].text, "Calculation failed");
    EXPECT_EQ(p.s.picture1.lines().front(), "Calculation failed");
    EXPECT_EQ(p.s.picture1.lines().size(), p.paper.size());
}

} // namespace
} // namespace coning
