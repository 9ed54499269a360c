#include "process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using coning::testing::ProcessResult;
using coning::testing::runProgram;
using coning::testing::words;
using Args = std::vector<std::string>;
using Json = nlohmann::json;

Args operator+(Args a, const Args &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Args sampleWell = words("--fluid-system Oil-Water --permeability 100 --viscosity 1 --fvf 1.2 "
                              "--density-difference 0.3 --drainage-radius 1000 --well-radius 3 "
                              "--zone-thickness 50");

const std::string header = "well,fluid-system,permeability,viscosity,fvf,density-difference,"
                           "drainage-radius,well-radius,zone-thickness,penetration\n";

struct MessageCase
{
    const char *name;
    Args args;
    std::string input;
    std::string message; // how standard error starts, after "coning-calc: "
};

TEST(Messages, UsageErrorsSayWhatIsWrongInPlainWords)
{
    const Args well = sampleWell + Args{"--penetration", "15"};
    const std::vector<MessageCase> cases = {
        {"MissingValue", sampleWell + Args{"--penetration"}, "", "--penetration needs a value"},
        {"OptionForValue",
         sampleWell + Args{"--penetration", "--sweep"},
         "",
         "--penetration needs a value"},
        {"Twice", well + Args{"--permeability=5"}, "", "--permeability was given twice"},
        {"AfterSeparator",
         well + Args{"--", "7"},
         "",
         "unexpected argument \"7\" after --: every value follows its option, as in "
         "--permeability 100"},
        {"Stray",
         well + Args{"7"},
         "",
         "unexpected argument \"7\": every value follows its option, as in --permeability 100"},
        {"SweepValue", well + Args{"--sweep=2"}, "", "--sweep takes no value"},
        {"SweepNegative", well + Args{"--sweep=-1"}, "", "--sweep takes no value"},
        {"Unknown", well + Args{"--temperature", "150"}, "", "\"--temperature\" is not an option"},
        {"EscapedValue",
         sampleWell + Args{"--penetration", "1\x1B]0;title\a\r"},
         "",
         "--penetration: \"1\\x1B]0;title\\x07\\r\" is not a decimal number"},
        {"TooCloseToZero",
         sampleWell + Args{"--penetration", "1e-400"},
         "",
         "--penetration: \"1e-400\" is too close to zero for double precision"},
        {"RoundsOntoTheLimit",
         well + Args{"--sensitivity", "99.99999999999999999"},
         "",
         "--sensitivity: \"99.99999999999999999\" rounds to 100 in double precision"},
        {"DirectoryAsBatch", {"--batch", "/tmp"}, "", "--batch: /tmp is a directory"},
        {"EscapedHeaderCell",
         {"--batch", "-"},
         "\"fluid-system\r\",\xEF\xBB\xBFwell\n",
         "line 1: unknown column \"fluid-system\\r\"; the columns are well, fluid-system, "},
        {"EscapedBom",
         {"--batch", "-"},
         "well,\xEF\xBB\xBFwell\n",
         "line 1: unknown column \"\\uFEFFwell\"; the columns are well, fluid-system, "},
    };
    for (const MessageCase &c : cases) {
        const ProcessResult r = runProgram(c.args, c.input);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        const std::string expected = "coning-calc: " + c.message;
        EXPECT_EQ(r.err.substr(0, expected.size()), expected) << c.name << ": " << r.err;
    }
}

// In a batch, an escape sequence in a value reaches neither the terminal nor the message
// column; the well's name is written back as it was read.
TEST(Messages, BatchMessagesAreEscapedAndNamesKept)
{
    const ProcessResult r = runProgram({"--batch", "-"},
                                       header + "\x1B[2JW,Oil\x1B[2J,1,1,1,1,1,1,1,1\n");
    EXPECT_EQ(r.exitCode, 1);
    const std::string message = "line 2, column fluid-system: \"Oil\\x1B[2J\" is not a fluid "
                                "system: use Oil-Water, Gas-Water or Gas-Oil";
    EXPECT_EQ(r.err, "coning-calc: " + message + "\n");
    const std::string quoted = "\"line 2, column fluid-system: \"\"Oil\\x1B[2J\"\" is not";
    EXPECT_NE(r.out.find("\r\n2,\x1B[2JW,,,,,,,,," + quoted), std::string::npos) << r.out;
}

// A partially completed well whose completion factor underflows: every correlation fails with
// a message naming the inputs once, the percentage is 0 not -0, and the warning is kept.
const Args tinyCompletionFactor = words(
    "--fluid-system Oil-Water --completion partial-completion --permeability 100 "
    "--viscosity 1 --fvf 1.2 --density-difference 0.3 --drainage-radius 1000 "
    "--well-radius 3 --zone-thickness 1e-200 --penetration 0 --completion-top 1e200");

TEST(Messages, FailuresAndWarningsInJson)
{
    const ProcessResult r = runProgram(tinyCompletionFactor + Args{"--format", "json"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("\"percentPenetration\":0,"), std::string::npos) << r.out;
    const Json result = Json::parse(r.out);
    EXPECT_EQ(result["failures"]["Schols"],
              "division by zero: the completion factor is too small for double precision; check "
              "the zone thickness, penetration thickness and distance to top of completion");
    EXPECT_EQ(result["failures"]["Muskat"],
              "overflow: an intermediate value is beyond the double range; check the zone "
              "thickness, penetration, permeability, viscosity, formation volume factor and "
              "density difference for extreme values");
    EXPECT_EQ(result["warnings"],
              Json::array({"Distance to top of completion (1e+200 ft) lies outside the zone "
                           "(0 to 1e-200 ft)"}));
    const ProcessResult plain = runProgram(sampleWell + Args{"--penetration=15", "--format=json"});
    EXPECT_FALSE(Json::parse(plain.out).contains("warnings")) << plain.out;
}

// Warnings do not change the exit status; they follow the report, the failures in the message
// column, and the rest of the object.
TEST(Messages, WarningsInTextAndCsv)
{
    const std::string warning = "warning: Penetration thickness (60 ft) is greater than the zone "
                                "thickness (50 ft)";
    const std::string negative = "warning: Sobocinski, Meyer-Garder, Chaney-Noble and Schols gave "
                                 "negative rates, which has no physical meaning: check the inputs";
    const ProcessResult text = runProgram(sampleWell + Args{"--penetration", "60"});
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("\n\n" + warning + "\n" + negative + "\n"), std::string::npos)
        << text.out;

    const std::string input = header + "A,Oil-Water,100,1,1.2,0.3,1000,3,50,60\n";
    const ProcessResult csv = runProgram({"--batch", "-"}, input);
    EXPECT_EQ(csv.exitCode, 0);
    EXPECT_NE(csv.out.find(",\"" + warning + "; " + negative + "\"\r\n"), std::string::npos)
        << csv.out;
    const ProcessResult json = runProgram({"--batch", "-", "--format", "json"}, input);
    EXPECT_EQ(Json::parse(json.out).at(0)["warnings"],
              Json::array({warning.substr(9), negative.substr(9)}));
}

// The sample well with some options changed or added ("--permeability 0").
Args sampleWellWith(const std::string &changes)
{
    Args args = sampleWell + Args{"--penetration", "15"};
    const Args changed = words(changes);
    for (std::size_t i = 0; i + 1 < changed.size(); i += 2) {
        auto option = std::find(args.begin(), args.end(), changed[i]);
        if (option == args.end())
            args.insert(args.end(), {changed[i], changed[i + 1]});
        else
            option[1] = changed[i + 1];
    }
    return args;
}

struct WarningCase
{
    const char *changes;
    std::string warning;
};

// Inputs that make rates zero, meaningless or missing are named, with numbers that tell compared
// values apart and never read "inf".
TEST(Messages, WarningsForMissingZeroAndExtremeInputs)
{
    const std::string meyerGarder = ": Meyer-Garder needs a positive bottom-hole pressure for "
                                    "Gas-Water and is left out";
    const std::vector<WarningCase> cases = {
        {"--fluid-system Gas-Water", "Bottom-hole pressure is missing or zero" + meyerGarder},
        {"--fluid-system Gas-Water --bottom-hole-pressure -1500",
         "Bottom-hole pressure is negative (-1500 psia)" + meyerGarder},
        {"--permeability 0",
         "Permeability is zero: the rates are zero and say nothing about coning"},
        {"--density-difference 0",
         "Density difference is zero: the rates are zero and say nothing about coning"},
        {"--penetration 0",
         "Penetration thickness is zero: the well does not enter the zone, so the rates have no "
         "physical meaning"},
        {"--penetration 50.0000001",
         "Penetration thickness (50.0000001 ft) is greater than the zone thickness (50 ft)"},
        {"--well-radius 1.7976931348623157e308",
         "Drainage radius (1000 ft) is smaller than the well radius (1.79769e+308 in = "
         "1.49808e+307 ft)"},
    };
    for (const WarningCase &c : cases) {
        const ProcessResult text = runProgram(sampleWellWith(c.changes));
        EXPECT_EQ(text.exitCode, 0) << c.changes << ": " << text.err;
        EXPECT_NE(text.out.find("\nwarning: " + c.warning + "\n"), std::string::npos) << text.out;
        const ProcessResult json = runProgram(
            sampleWellWith(std::string(c.changes) + " --format json"));
        const Json warnings = Json::parse(json.out).value("warnings", Json::array());
        EXPECT_NE(std::find(warnings.begin(), warnings.end(), c.warning), warnings.end())
            << json.out;
    }
}

} // namespace
