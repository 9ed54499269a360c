#include "process.h"

#include "cli/rounded_number.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <map>
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
    Args failing = well("Oil-Water", {"--penetration", "15", "--target-rate", "12"});
    failing[5] = "0"; // viscosity: every rate divides by it
    const ProcessResult fails = runProgram(failing);
    EXPECT_NE(fails.out.find("Every correlation fails at every penetration from 0 to 50.00 ft: "
                             "none can be designed for 12 STB/DAY."),
              std::string::npos)
        << fails.out;
}

// A partially completed Gas-Water well whose completion top lies 3 ft above the bottom of the
// completion: a 20 % change empties the completed interval, and the bottom-hole pressure is 0.
TEST(Design, SensitivityMarksWellsOutsideTheRangeAndNamesWhatIsNotVaried)
{
    const Args args = well("Gas-Water",
                           {"--completion",
                            "partial-completion",
                            "--penetration",
                            "30",
                            "--completion-top",
                            "27",
                            "--sensitivity",
                            "20"});
    const Json json = Json::parse(runProgram(args + Args{"--format", "json"}).out);
    const Json &sensitivity = json["sensitivity"];
    EXPECT_EQ(sensitivity["notVaried"], Json::array({"bottom-hole-pressure"}));
    std::map<std::string, std::vector<std::string>> marked;
    for (const Json &input : sensitivity["inputs"]) {
        if (input.contains("warnings"))
            marked[input["input"]] = keysOf(input["warnings"]);
    }
    EXPECT_EQ(marked,
              (std::map<std::string, std::vector<std::string>>{{"penetration", {"low"}},
                                                               {"completion-top", {"high"}}}));

    const std::string text = runProgram(args).out;
    EXPECT_NE(text.find("Not varied: bottom-hole-pressure is 0"), std::string::npos) << text;
    EXPECT_NE(text.find("  penetration at 0.8 times its value: Distance to top of completion"),
              std::string::npos)
        << text;
    // Guo-Lee's -258 % with the penetration lowered into the completion does not rank.
    EXPECT_NE(text.find("The answer depends most on the completion-top"), std::string::npos);
    // Each row has a cell per column, however wide its numbers.
    std::istringstream lines(text.substr(text.find("  input ")));
    std::string header;
    std::getline(lines, header);
    const auto cellCount = [](const std::string &line) {
        std::istringstream cells(line);
        return std::distance(std::istream_iterator<std::string>(cells),
                             std::istream_iterator<std::string>());
    };
    for (std::string line; std::getline(lines, line) && line.starts_with("  ");)
        EXPECT_EQ(cellCount(line), cellCount(header) + 1) << line; // "174.0 %"
}

// The table's rows: correlation name to its cells ("25.61", "ft", "51.2", "%", ...), for the rows
// with a limit.
std::map<std::string, std::vector<std::string>> limitRows(const std::string &text)
{
    std::map<std::string, std::vector<std::string>> rows;
    std::istringstream lines(text.substr(text.find("PENETRATION FOR A TARGET RATE")));
    for (std::string line; std::getline(lines, line) && !line.empty();) {
        std::istringstream cells(line);
        std::vector<std::string> row;
        for (std::string cell; cells >> cell;)
            row.push_back(cell);
        const auto named = std::find(allSix.begin(), allSix.end(), row.front());
        if (named != allSix.end() && row.size() > 2 && row[2] == "ft")
            rows[row[0]] = {row.begin() + 1, row.end()};
    }
    return rows;
}

// A run at every limit the text prints and the JSON gives makes the target: the max penetration
// (or, for Gas-Oil, the min completion top) typed back in, each in one row of a batch file.
TEST(Design, EveryPrintedAndJsonLimitMeetsTheTarget)
{
    struct Case
    {
        const char *name;
        std::string system;
        std::string values; // option=value pairs of the well, without the fluid system
        std::string target;
    };
    const std::string sample = "permeability=100 viscosity=1 fvf=1.2 density-difference=0.3 "
                               "drainage-radius=1000 well-radius=3 ";
    const std::vector<Case> cases = {
        {"ReadmeExample", "Oil-Water", sample + "zone-thickness=50 penetration=15", "12"},
        {"MuskatPastItsStep", "Oil-Water", sample + "zone-thickness=50 penetration=15", "20.52"},
        {"ChaneyNeedsAThirdDecimal",
         "Oil-Water",
         sample + "zone-thickness=5 penetration=1.5",
         "0.117384"},
        {"GuoLeeFailureRegion", "Oil-Water", sample + "zone-thickness=2000 penetration=100", "40000"},
        {"HugeZoneInExponentForm",
         "Oil-Water",
         sample + "zone-thickness=2e9 penetration=1e9",
         "1e18"},
        {"GasWater",
         "Gas-Water",
         "permeability=250 viscosity=0.02 fvf=0.9 density-difference=0.7 drainage-radius=1500 "
         "well-radius=4 zone-thickness=80 penetration=20 bottom-hole-pressure=2000",
         "5000"},
        {"GasOilOfTheIssue", "Gas-Oil", sample + "zone-thickness=50 completion-top=10", "30"},
        {"GasOil", "Gas-Oil", sample + "zone-thickness=50 completion-top=10", "20"},
        // The target is Guo-Lee's peak: h - (h - D) misses it by one double.
        {"GasOilGuoLeePeak",
         "Gas-Oil",
         sample + "zone-thickness=7.77 completion-top=1",
         "0.07419100417739845"},
        {"GasOilThinZone", "Gas-Oil", sample + "zone-thickness=0.004 completion-top=0.001", "1e-7"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Args args = {"--fluid-system", c.system, "--target-rate", c.target};
        std::vector<std::pair<std::string, std::string>> columns = {{"fluid-system", c.system}};
        std::istringstream pairs(c.values);
        for (std::string pair; pairs >> pair;) {
            const std::size_t equals = pair.find('=');
            columns.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
            args = args + Args{"--" + columns.back().first, columns.back().second};
        }
        const bool gasOil = c.system == "Gas-Oil";
        const std::string limitColumn = gasOil ? "completion-top" : "penetration";
        std::string batch = "well";
        for (const auto &column : columns)
            batch += "," + column.first;
        batch += "\n";
        const auto addRow = [&](const std::string &name, const std::string &limit) {
            batch += name;
            for (const auto &[column, value] : columns)
                batch += "," + (column == limitColumn ? limit : value);
            batch += "\n";
        };

        const ProcessResult text = runProgram(args);
        const Json json = Json::parse(runProgram(args + Args{"--format", "json"}).out);
        const std::map<std::string, std::vector<std::string>> printed = limitRows(text.out);
        for (const auto &[correlation, cells] : printed) {
            const Json &design = json["design"][correlation];
            ASSERT_TRUE(design["maxPenetration"].is_number()) << correlation;
            EXPECT_LE(std::stod(cells[0]), design["maxPenetration"].get<double>()) << correlation;
            EXPECT_LE(std::stod(cells[2]), design["maxPercent"].get<double>()) << correlation;
            if (gasOil) {
                EXPECT_GE(std::stod(cells[4]), design["minCompletionTop"].get<double>());
                addRow("text:" + correlation, cells[4]);
                addRow("json:" + correlation, design["minCompletionTop"].dump());
            } else {
                addRow("text:" + correlation, cells[0]);
                addRow("json:" + correlation, design["maxPenetration"].dump());
            }
        }
        EXPECT_FALSE(printed.empty()) << text.out;
        const Json runs = Json::parse(runProgram({"--batch", "-", "--format", "json"}, batch).out);
        ASSERT_EQ(runs.size(), 2 * printed.size()) << batch;
        for (const Json &run : runs) {
            const std::string name = run["well"];
            const std::string correlation = name.substr(name.find(':') + 1);
            ASSERT_TRUE(run["rates"].contains(correlation)) << run.dump();
            EXPECT_GE(run["rates"][correlation].get<double>(), std::stod(c.target))
                << name << " at " << batch;
        }
    }
}

TEST(Design, NumbersRoundTowardTheSafeSide)
{
    using coning::cli::roundedNumber;
    using coning::cli::Rounding;
    struct Case
    {
        double value;
        int decimals;
        Rounding rounding;
        const char *text;
    };
    for (const Case &c : {Case{25.615989255905152, 2, Rounding::Down, "25.61"},
                          Case{25.615989255905152, 2, Rounding::Nearest, "25.62"},
                          Case{49.731, 2, Rounding::Up, "49.74"},
                          Case{9.999001, 2, Rounding::Up, "10.00"},
                          Case{0.1, 2, Rounding::Up, "0.10"}, // the same double as 0.1
                          Case{0.0099999, 2, Rounding::Down, "9.99e-03"},
                          Case{1e6, 1, Rounding::Nearest, "1.0e+06"},
                          Case{-0.001, 1, Rounding::Nearest, "-1.0e-03"},
                          Case{-1e-20, 2, Rounding::Up, "-1.00e-20"},
                          Case{-0.0, 2, Rounding::Down, "0.00"}}) {
        EXPECT_EQ(roundedNumber(c.value, c.decimals, c.rounding), c.text) << c.value;
    }
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
        {ok + Args{"--sensitivity", "99.99999999999999999"}, "rounds to 100"},
        {ok + Args{"--sensitivity", "1e-20"}, "both round to 1"},
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
