#include "process.h"

#include "calc/calculation_run.h"
#include "calc/correlation.h"
#include "model/parameter_set.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace coning;
using coning::testing::ProcessResult;
using coning::testing::runProgram;
using Json = nlohmann::ordered_json;
using Args = std::vector<std::string>;

// The published sample well, typed as options.
Args sampleWell(const std::string &system = "Oil-Water")
{
    return {"--fluid-system",
            system,
            "--permeability",
            "100",
            "--viscosity",
            "1",
            "--fvf",
            "1.2",
            "--density-difference",
            "0.3",
            "--drainage-radius",
            "1000",
            "--well-radius",
            "3",
            "--zone-thickness",
            "50"};
}

Args operator+(Args a, const Args &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Json jsonOf(const ProcessResult &r)
{
    return Json::parse(r.out);
}

constexpr double fourDecimals = 0.5e-4;

TEST(SingleWell, SampleWellGivesThePublishedRates)
{
    const ProcessResult r = runProgram(sampleWell()
                                       + Args{"--penetration", "15", "--format", "json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Json j = jsonOf(r);
    EXPECT_NEAR(j["rates"]["Sobocinski"].get<double>(), 21.1119, fourDecimals);
    EXPECT_NEAR(j["rates"]["Schols"].get<double>(), 14.8062, fourDecimals);
    EXPECT_NEAR(j["rates"]["Guo-Lee"].get<double>(), 19.9289, fourDecimals);
    EXPECT_EQ(j["percentPenetration"], 30);
    EXPECT_EQ(j["unit"], "STB/DAY");
    // Shortest round-trip text, no padding and no lost digits.
    EXPECT_NE(r.out.find("\"percentPenetration\":30,"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"Sobocinski\":21.11192938299091,"), std::string::npos) << r.out;
}

TEST(SingleWell, ZeroWellRadiusGivesOnlyAnError)
{
    Args args = sampleWell() + Args{"--penetration", "15", "--format", "json"};
    args[13] = "0"; // --well-radius
    const ProcessResult r = runProgram(args);
    EXPECT_EQ(r.exitCode, 1);
    const Json j = jsonOf(r);
    ASSERT_EQ(j.size(), 1u) << r.out;
    EXPECT_NE(j["error"].get<std::string>().find("well radius"), std::string::npos) << r.out;
}

TEST(SingleWell, AFailedCorrelationMovesToFailuresAndTheOthersStay)
{
    Args args = sampleWell() + Args{"--penetration", "100", "--format", "json"};
    args[15] = "2000"; // --zone-thickness
    const ProcessResult r = runProgram(args);
    EXPECT_EQ(r.exitCode, 1);
    const Json j = jsonOf(r);
    ASSERT_TRUE(j.contains("failures")) << r.out;
    EXPECT_EQ(j["failures"].size(), 1u);
    EXPECT_NE(j["failures"]["Guo-Lee"].get<std::string>().find("drainage radius"),
              std::string::npos);
    EXPECT_FALSE(j["rates"].contains("Guo-Lee"));
    for (const char *name : {"Sobocinski", "Muskat", "Meyer-Garder", "Chaney-Noble", "Schols"})
        EXPECT_TRUE(j["rates"][name].is_number()) << name;
}

TEST(SingleWell, JsonKeysComeInTheContractOrder)
{
    const ProcessResult r = runProgram(
        sampleWell("Gas-Water") + Args{"--penetration", "15", "--sweep", "--format", "json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Json j = jsonOf(r);
    std::vector<std::string> keys;
    for (const auto &item : j.items())
        keys.push_back(item.key());
    EXPECT_EQ(keys,
              (std::vector<std::string>{"fluidSystem",
                                        "completion",
                                        "unit",
                                        "percentPenetration",
                                        "rates",
                                        "sweep",
                                        "warnings"}));
    EXPECT_EQ(j["unit"], "MCF/DAY");
    // Gas-Water without a bottom-hole pressure: no Meyer-Garder anywhere.
    EXPECT_FALSE(j["rates"].contains("Meyer-Garder"));
    EXPECT_FALSE(j["sweep"].contains("Meyer-Garder"));
    std::vector<std::string> sweepKeys;
    for (const auto &item : j["sweep"].items())
        sweepKeys.push_back(item.key());
    EXPECT_EQ(sweepKeys,
              (std::vector<std::string>{
                  "percent", "Sobocinski", "Muskat", "Chaney-Noble", "Schols", "Guo-Lee"}));
    ASSERT_EQ(j["sweep"]["percent"].size(), 91u);
    EXPECT_EQ(j["sweep"]["percent"].front(), 5);
    EXPECT_EQ(j["sweep"]["percent"].back(), 95);
    for (const auto &item : j["sweep"].items())
        EXPECT_EQ(item.value().size(), 91u) << item.key();
}

TEST(SingleWell, FailedSweepPointsAreNullAndSayWhy)
{
    // Guo-Lee fails wherever the unpenetrated part exceeds the drainage radius.
    Args args = sampleWell() + Args{"--penetration", "1000", "--sweep", "--format", "json"};
    args[15] = "2000";
    const ProcessResult r = runProgram(args);
    EXPECT_EQ(r.exitCode, 1);
    const Json j = jsonOf(r);
    const Json &sweep = j["sweep"];
    EXPECT_TRUE(sweep["Guo-Lee"][0].is_null());    // 5 %: 1900 ft unpenetrated
    EXPECT_TRUE(sweep["Guo-Lee"][90].is_number()); // 95 %: 100 ft
    EXPECT_TRUE(sweep["Sobocinski"][0].is_number());

    ASSERT_EQ(j["sweepFailures"].size(), 1u) << j["sweepFailures"];
    const Json &guoLee = j["sweepFailures"]["Guo-Lee"];
    EXPECT_EQ(guoLee["points"],
              std::count(sweep["Guo-Lee"].begin(), sweep["Guo-Lee"].end(), nullptr));
    EXPECT_EQ(guoLee["firstPercent"], 5);
    EXPECT_EQ(guoLee["message"].get<std::string>().rfind("square root of a negative number", 0), 0u);
}

// What the window's calculate button gives for the same typed well: the fields' handlers, the
// fixed choices and the same run.
struct WindowCase
{
    const char *name;
    std::string system;
    bool partialCompletion;
    std::map<std::string, std::string> extra; // option -> text
};

RunResult windowRun(const WindowCase &c, const std::map<std::string, std::string> &typed)
{
    static const std::map<std::string, void (*)(ParameterSet &, std::string_view)> handlers = {
        {"permeability", permin_Change},
        {"viscosity", vin_Change},
        {"fvf", bin_Change},
        {"density-difference", rhoin_Change},
        {"drainage-radius", rein_Change},
        {"well-radius", rwin_Change},
        {"zone-thickness", hin_Change},
        {"penetration", din_Change},
        {"completion-top", topin_Change},
        {"bottom-hole-pressure", bhpin_Change},
    };
    ParameterSet m;
    for (const auto &[option, text] : typed)
        handlers.at(option)(m, text);
    const FixedChoices choices(c.system, !c.partialCompletion, c.partialCompletion);
    return runCalculation(m, choices, Sweep::AsSelected);
}

TEST(SingleWell, NumbersAreBitIdenticalToTheWindowsRun)
{
    const std::vector<WindowCase> cases = {
        {"OilWaterSample", "Oil-Water", false, {{"penetration", "15"}}},
        {"GasWaterNoPressure", "Gas-Water", false, {{"penetration", "15"}}},
        {"GasWaterPressure",
         "Gas-Water",
         false,
         {{"penetration", "22.5"}, {"bottom-hole-pressure", "1500"}}},
        {"GasOil", "Gas-Oil", false, {{"zone-thickness", "100"}, {"completion-top", "30"}}},
        {"OilWaterCompletion",
         "Oil-Water",
         true,
         {{"zone-thickness", "100"}, {"penetration", "60"}, {"completion-top", "20"}}},
        {"GasOilCompletion",
         "Gas-Oil",
         true,
         {{"zone-thickness", "100"}, {"penetration", "60"}, {"completion-top", "20"}}},
        {"GasWaterCompletion",
         "Gas-Water",
         true,
         {{"penetration", "35"}, {"completion-top", "5"}, {"bottom-hole-pressure", "2e3"}}},
        {"OddWellRadius", "Oil-Water", false, {{"well-radius", "7.3"}, {"penetration", "1.1"}}},
    };
    for (const WindowCase &c : cases) {
        std::map<std::string, std::string> typed = {{"permeability", "100"},
                                                    {"viscosity", "1"},
                                                    {"fvf", "1.2"},
                                                    {"density-difference", "0.3"},
                                                    {"drainage-radius", "1000"},
                                                    {"well-radius", "3"},
                                                    {"zone-thickness", "50"}};
        for (const auto &[option, text] : c.extra)
            typed[option] = text;
        Args args = {"--fluid-system", c.system, "--format", "json"};
        if (c.partialCompletion)
            args = args + Args{"--completion", "partial-completion"};
        else
            args.push_back("--sweep");
        for (const auto &[option, text] : typed)
            args.push_back("--" + option + "=" + text);

        const ProcessResult r = runProgram(args);
        const RunResult expected = windowRun(c, typed);
        ASSERT_EQ(r.exitCode, expected.anyFailure() ? 1 : 0) << c.name << r.err;
        const Json j = jsonOf(r);
        EXPECT_EQ(j["percentPenetration"].get<double>(), expected.percentPenetration) << c.name;
        for (Correlation corr : callOrder) {
            const std::string name(correlationName(corr));
            const CorrelationOutcome &outcome = expected.outcome(corr);
            ASSERT_EQ(j["rates"].contains(name), outcome.shown()) << c.name << ' ' << name;
            if (outcome.shown()) {
                EXPECT_EQ(j["rates"][name].get<double>(), outcome.rate) << c.name << ' ' << name;
            }
            ASSERT_EQ(j.contains("sweep"), expected.swept) << c.name;
            if (!expected.swept || !j["sweep"].contains(name))
                continue;
            for (int p = 5; p <= 95; ++p) {
                const auto &point = expected.sweepRates[indexOf(corr)][p];
                ASSERT_TRUE(point.has_value());
                EXPECT_EQ(j["sweep"][name][p - 5].get<double>(), *point)
                    << c.name << ' ' << name << p;
            }
        }
    }
}

TEST(SingleWell, TextIsTheWindowsReport)
{
    const ProcessResult r = runProgram(sampleWell() + Args{"--penetration", "15"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "    CRITICAL CONING RATES\n"
              "         STB/DAY\n"
              "  Sobocinski =     21.1\n"
              "  Muskat =         22.6\n"
              "  Chaney-Noble =   21.8\n"
              "  Schols =         14.8\n"
              "  Guo-Lee =        19.9\n"
              "  Meyer-Garder  =  10.5\n");
}

TEST(SingleWell, TextShowsFailuresAndTheSweepTable)
{
    Args args = sampleWell("Gas-Water") + Args{"--penetration", "100", "--sweep"};
    args[15] = "2000";
    const ProcessResult r = runProgram(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("         MCF/DAY\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  Guo-Lee =        failed\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nGuo-Lee failed: square root"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Meyer-Garder  ="), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nwarning: Bottom-hole pressure is missing or zero"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("    %  Sobocinski   Muskat  Chaney-Noble   Schols  Guo-Lee\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n   95 "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\nGuo-Lee failed at "), std::string::npos) << r.out;
}

TEST(SingleWell, TextRunFailureSaysSo)
{
    Args args = sampleWell() + Args{"--penetration", "15"};
    args[13] = "0";
    const ProcessResult r = runProgram(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out.rfind("Calculation failed\nWell radius is zero", 0), 0u) << r.out;
}

TEST(SingleWell, OptionalAndIgnoredValues)
{
    // Gas-Oil with partial-penetration needs no penetration; a negative optional value is a
    // number like any other.
    const ProcessResult gasOil = runProgram(
        sampleWell("Gas-Oil") + Args{"--completion-top", "20", "--bottom-hole-pressure", "-3"});
    EXPECT_EQ(gasOil.exitCode, 0) << gasOil.err;
    EXPECT_EQ(gasOil.err, "");
}

TEST(SingleWell, HelpAndVersion)
{
    const ProcessResult help = runProgram({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--fluid-system"), std::string::npos);
    EXPECT_NE(help.out.find("--batch"), std::string::npos);
    EXPECT_EQ(help.err, "");
    const ProcessResult version = runProgram({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("coning-calc ", 0), 0u) << version.out;
}

struct UsageCase
{
    const char *name;
    Args args;
    const char *named; // what the message must name
};

TEST(SingleWell, UsageErrorsNameTheOptionAndWriteNothing)
{
    const Args ok = sampleWell() + Args{"--penetration", "15"};
    const auto with = [&](const std::string &option, const std::string &value) {
        Args args = ok;
        for (std::size_t i = 0; i + 1 < args.size(); ++i) {
            if (args[i] == option) {
                args[i + 1] = value;
                return args;
            }
        }
        return args + Args{option, value};
    };
    const auto without = [&](const std::string &option) {
        Args args;
        for (std::size_t i = 0; i < ok.size(); i += 2) {
            if (ok[i] != option)
                args = args + Args{ok[i], ok[i + 1]};
        }
        return args;
    };
    const std::vector<UsageCase> cases = {
        {"NotANumber", with("--permeability", "abc"), "--permeability"},
        {"TrailingText", with("--viscosity", "12abc"), "--viscosity"},
        {"Unit", with("--zone-thickness", "50 ft"), "--zone-thickness"},
        {"Blank", with("--fvf", " 1.2"), "--fvf"},
        {"Empty", with("--drainage-radius", ""), "--drainage-radius"},
        {"Comma", with("--density-difference", "0,3"), "--density-difference"},
        {"Infinity", with("--well-radius", "inf"), "--well-radius"},
        {"NaN", with("--penetration", "nan"), "--penetration"},
        {"Hex", with("--permeability", "0x10"), "--permeability"},
        {"Overflow", with("--permeability", "1e400"), "--permeability"},
        {"Underflow", with("--viscosity", "1e-400"), "--viscosity"},
        {"OptionalValueChecked", with("--bottom-hole-pressure", "high"), "--bottom-hole-pressure"},
        {"MissingValue", ok + Args{"--completion-top"}, "--completion-top"},
        {"Repeated", ok + Args{"--fvf", "1.3"}, "--fvf"},
        {"Unknown", ok + Args{"--temperature", "150"}, "--temperature"},
        {"MissingRequired", without("--permeability"), "--permeability"},
        {"MissingFluidSystem", without("--fluid-system"), "--fluid-system"},
        {"MissingPenetration", without("--penetration"), "--penetration"},
        {"UnknownFluidSystem", with("--fluid-system", "gas-oil"), "--fluid-system"},
        {"UnknownCompletion", with("--completion", "full"), "--completion"},
        {"GasOilNeedsCompletionTop", with("--fluid-system", "Gas-Oil"), "--completion-top"},
        {"CompletionNeedsCompletionTop",
         with("--completion", "partial-completion"),
         "--completion-top"},
        {"SweepWithCompletion",
         with("--completion", "partial-completion") + Args{"--completion-top", "5", "--sweep"},
         "--sweep"},
        {"UnknownFormat", with("--format", "xml"), "--format"},
        {"CsvIsForBatches", with("--format", "csv"), "--format"},
        {"BatchWithWellOptions", ok + Args{"--batch", "-"}, "--fluid-system"},
        {"BatchWithTextFormat", Args{"--batch", "-", "--format", "text"}, "--format"},
        {"BatchFileMissing", Args{"--batch", "/nonexistent/wells.csv"}, "--batch"},
    };
    for (const UsageCase &c : cases) {
        const ProcessResult r = runProgram(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << c.name << ": " << r.err;
    }
}

} // namespace
