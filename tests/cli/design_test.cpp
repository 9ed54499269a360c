#include "process.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

namespace {

using coning::testing::ProcessResult;
using coning::testing::runProgram;
using Json = nlohmann::ordered_json;
using Args = std::vector<std::string>;

Args operator+(Args a, const Args &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Args well(const std::string &system, const Args &more)
{
    Args args = {"--fluid-system", system};
    std::istringstream sample("--permeability 100 --viscosity 1 --fvf 1.2 --density-difference 0.3 "
                              "--drainage-radius 1000 --well-radius 3 --zone-thickness 50");
    for (std::string word; sample >> word;)
        args.push_back(word);
    return args + more;
}

std::vector<std::string> keysOf(const Json &object)
{
    std::vector<std::string> keys;
    for (const auto &item : object.items())
        keys.push_back(item.key());
    return keys;
}

const std::vector<std::string> allSix = {
    "Sobocinski", "Muskat", "Meyer-Garder", "Chaney-Noble", "Schols", "Guo-Lee"};

TEST(Design, JsonShapesForEveryFluidSystem)
{
    struct Case
    {
        const char *system;
        Args more;
        std::vector<std::string> correlations;
        std::vector<std::string> members;
        std::vector<std::string> inputs;
    };
    const std::vector<std::string> plain = {"maxPenetration",
                                            "maxPercent",
                                            "peakRate",
                                            "peakPenetration"};
    const std::vector<std::string> always = {"permeability",
                                             "viscosity",
                                             "fvf",
                                             "density-difference",
                                             "drainage-radius",
                                             "well-radius",
                                             "zone-thickness"};
    const auto plus = [](std::vector<std::string> a, const std::vector<std::string> &b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::vector<Case> cases = {
        {"Oil-Water", {"--penetration", "15"}, allSix, plain, plus(always, {"penetration"})},
        {"Gas-Water",
         {"--penetration", "15"},
         {"Sobocinski", "Muskat", "Chaney-Noble", "Schols", "Guo-Lee"},
         plain,
         plus(always, {"penetration"})},
        {"Gas-Oil",
         {"--completion-top", "10", "--bottom-hole-pressure", "1500"},
         allSix,
         {"maxPenetration", "maxPercent", "minCompletionTop", "peakRate", "peakPenetration"},
         plus(always, {"completion-top"})},
    };
    for (const Case &c : cases) {
        const ProcessResult r = runProgram(
            well(c.system, c.more)
            + Args{"--target-rate", "12", "--sensitivity", "20", "--format", "json"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const Json j = Json::parse(r.out);
        EXPECT_EQ(j["targetRate"], 12) << c.system;
        EXPECT_EQ(keysOf(j["design"]), c.correlations) << c.system;
        for (const auto &item : j["design"].items())
            EXPECT_EQ(keysOf(item.value()), c.members) << c.system << ' ' << item.key();
        EXPECT_EQ(j["sensitivity"]["percent"], 20);
        std::vector<std::string> inputs;
        for (const Json &input : j["sensitivity"]["inputs"]) {
            inputs.push_back(input["input"]);
            EXPECT_EQ(keysOf(input["low"]), c.correlations) << c.system;
            EXPECT_EQ(keysOf(input["high"]), c.correlations) << c.system;
        }
        EXPECT_EQ(inputs, c.inputs) << c.system;
    }
}

TEST(Design, SampleWellTextAnswersTheEngineersQuestions)
{
    const ProcessResult r = runProgram(
        well("Oil-Water", {"--penetration", "15", "--target-rate", "12", "--sensitivity", "20"}));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("PENETRATION FOR A TARGET RATE OF 12 STB/DAY"), std::string::npos);
    EXPECT_NE(r.out.find("Sobocinski, Muskat, Chaney-Noble, Schols and Guo-Lee allow 12 STB/DAY; "
                         "the smallest max penetration is 25.61 ft (Schols)."),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("The answer depends most on the zone-thickness"), std::string::npos);
    // The tornado table starts with the most influential input.
    EXPECT_LT(r.out.find("  zone-thickness"), r.out.find("  permeability")) << r.out;

    const ProcessResult none = runProgram(
        well("Oil-Water", {"--penetration", "15", "--target-rate", "1e6"}));
    EXPECT_NE(none.out.find("No correlation allows 1e+06 STB/DAY at any penetration."),
              std::string::npos)
        << none.out;
}

TEST(Design, UsageErrors)
{
    const Args ok = well("Oil-Water", {"--penetration", "15"});
    const Args completion = well(
        "Oil-Water",
        {"--penetration", "15", "--completion", "partial-completion", "--completion-top", "5"});
    const std::vector<std::pair<Args, std::string>> cases = {
        {ok + Args{"--target-rate", "0"}, "--target-rate"},
        {ok + Args{"--target-rate", "-12"}, "--target-rate"},
        {ok + Args{"--target-rate", "12 STB"}, "--target-rate"},
        {completion + Args{"--target-rate", "12"}, "--target-rate"},
        {ok + Args{"--sensitivity", "0"}, "--sensitivity"},
        {ok + Args{"--sensitivity", "100"}, "--sensitivity"},
        {ok + Args{"--sensitivity", "20%"}, "--sensitivity"},
        {Args{"--batch", "-", "--target-rate", "12"}, "--target-rate"},
        {Args{"--batch", "-", "--sensitivity", "20"}, "--sensitivity"},
    };
    for (const auto &[args, named] : cases) {
        const ProcessResult r = runProgram(args);
        EXPECT_EQ(r.exitCode, 2) << named;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
    }
    // The sensitivity is for both completion types.
    EXPECT_EQ(runProgram(completion + Args{"--sensitivity", "20"}).exitCode, 0);
}

TEST(Design, BatchTargetRateColumn)
{
    const std::string input = "fluid-system,permeability,viscosity,fvf,density-difference,"
                              "drainage-radius,well-radius,zone-thickness,penetration,"
                              "completion-top,completion,target-rate\n"
                              "Oil-Water,100,1,1.2,0.3,1000,3,50,15,,,12\n"
                              "Oil-Water,100,1,1.2,0.3,1000,3,50,15,,,\n"
                              "Gas-Oil,100,1,1.2,0.3,1000,3,50,,10,,12\n"
                              "Oil-Water,100,1,1.2,0.3,1000,3,50,15,5,partial-completion,12\n";
    const ProcessResult csv = runProgram({"--batch", "-"}, input);
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_EQ(csv.out.substr(0, csv.out.find("\r\n")),
              "line,well,unit,percent-penetration,Sobocinski,Muskat,Meyer-Garder,Chaney-Noble,"
              "Schols,Guo-Lee,max-penetration:Sobocinski,max-penetration:Muskat,"
              "max-penetration:Meyer-Garder,max-penetration:Chaney-Noble,"
              "max-penetration:Schols,max-penetration:Guo-Lee,message");
    EXPECT_NE(csv.out.find(",19.928930424324463,30.106034231185916,31.80055780410767,,"
                           "32.2210482597351,25.615989255905152,30.995437335968013,\r\n3,"),
              std::string::npos)
        << csv.out;
    EXPECT_NE(csv.out.find(",19.928930424324463,,,,,,,\r\n4,"), std::string::npos) << csv.out;
    EXPECT_NE(csv.err.find("line 5, column target-rate"), std::string::npos) << csv.err;

    const ProcessResult json = runProgram({"--batch", "-", "--format", "json"}, input);
    const Json rows = Json::parse(json.out);
    ASSERT_EQ(rows.size(), 4u);
    const ProcessResult single = runProgram(
        well("Oil-Water", {"--penetration", "15", "--target-rate", "12", "--format", "json"}));
    EXPECT_EQ(rows[0]["design"], Json::parse(single.out)["design"]);
    EXPECT_FALSE(rows[1].contains("design"));
    EXPECT_TRUE(rows[2]["design"]["Schols"].contains("minCompletionTop"));
    EXPECT_TRUE(rows[3].contains("error"));
}

} // namespace
