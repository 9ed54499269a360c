// coning-calc running the simulator (CTest label "flow"); skipped where flow is not installed.
#include "process.h"
#include "scratch_tmpdir.h"

#include "cli/csv_reader.h"
#include "sim/flow_runner.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

using coning::testing::Channel;
using coning::testing::ProcessResult;
using coning::testing::runProgram;
using coning::testing::words;
namespace fs = std::filesystem;

const std::string sampleWell = "--fluid-system Oil-Water --permeability 100 --viscosity 1 "
                               "--fvf 1.2 --density-difference 0.3 --drainage-radius 1000 "
                               "--well-radius 3 --zone-thickness 50 --penetration 15 ";

class Simulation : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string missing;
        if (!coning::sim::findFlow(missing))
            GTEST_SKIP() << missing;
        m_scratch.setUp("simulation");
    }
    void TearDown() override { m_scratch.tearDown(); }
    bool nothingLeft() const { return m_scratch.nothingLeft(); }

    // Starts coning-calc with its output going nowhere.
    static pid_t start(std::vector<std::string> args)
    {
        std::vector<char *> argv;
        for (std::string &arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    // After SIGINT: ended at once with 128 + SIGINT, nothing left behind.
    void expectStoppedAtOnce(pid_t pid)
    {
        const auto start = std::chrono::steady_clock::now();
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
        EXPECT_TRUE(nothingLeft());
    }

    coning::testing::ScratchTmpdir m_scratch;
};

TEST_F(Simulation, RateRunInJsonWithTheDeckKept)
{
    const fs::path kept = m_scratch.path() / "deck";
    const ProcessResult r = runProgram(words(
        sampleWell + "--simulate-rate 40 --years 1 --format json --keep-deck " + kept.string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto simulation = nlohmann::json::parse(r.out).at("simulation");
    EXPECT_EQ(simulation.at("engine").get<std::string>().substr(0, 5), "flow ");
    EXPECT_EQ(simulation.at("years"), 1);
    EXPECT_EQ(simulation.at("breakthroughCut"), 0.01);
    EXPECT_EQ(simulation.at("rate"), 40);
    EXPECT_EQ(simulation.at("rateHeld"), true);
    EXPECT_NEAR(simulation.at("breakthroughDays").get<double>(), 197, 6);
    const auto &series = simulation.at("series");
    const std::size_t points = series.at("days").size();
    EXPECT_GT(points, 50u);
    for (const char *name : {"cut", "rate", "conedRate", "bottomHolePressure"})
        EXPECT_EQ(series.at(name).size(), points) << name;
    EXPECT_EQ(series.at("days").back(), 365.25);
    for (const char *file : {"CONING.DATA", "CONING.SMSPEC", "CONING.UNSMRY"})
        EXPECT_TRUE(fs::exists(kept / file)) << file;
    EXPECT_TRUE(nothingLeft());
}

TEST_F(Simulation, BothDecksAreKeptAndEachRerunsToTheSameSummary)
{
    const fs::path kept = m_scratch.path() / "decks";
    const ProcessResult r = runProgram(
        words(sampleWell
              + "--simulate-rate 100 --simulate-critical --years 0.1 "
                "--jobs 2 --keep-deck "
              + kept.string()));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char *run : {"rate", "critical"}) {
        for (const char *file : {"CONING.DATA", "CONING.SMSPEC", "CONING.UNSMRY", "run-flow.sh"})
            EXPECT_TRUE(fs::exists(kept / run / file)) << run << "/" << file;
    }
    // The kept deck alone, run as its script runs it, gives the same summary to the byte.
    const std::string rerun = "sh " + (kept / "rate" / "run-flow.sh").string() + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(rerun.c_str()), 0);
    const auto bytes = [](const fs::path &file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string original = bytes(kept / "rate" / "CONING.UNSMRY");
    EXPECT_FALSE(original.empty());
    EXPECT_EQ(bytes(kept / "rate" / "rerun" / "CONING.UNSMRY"), original);
    EXPECT_TRUE(nothingLeft());
}

TEST_F(Simulation, ARateTheWellCannotHoldFails)
{
    const ProcessResult r = runProgram(words(sampleWell + "--simulate-rate 100000 --years 0.1"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("CRITICAL CONING RATES"), std::string::npos);
    EXPECT_EQ(r.out.find("SIMULATED"), std::string::npos);
    EXPECT_NE(r.err.find("coning-calc: the well cannot hold 100000 STB/DAY"), std::string::npos)
        << r.err;
}

TEST_F(Simulation, AClosedOutputStopsTheSearchAtOnce)
{
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult r = runProgram(words(sampleWell + "--simulate-critical"),
                                       {},
                                       Channel::File,
                                       Channel::BrokenPipe);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(nothingLeft());
}

TEST_F(Simulation, InterruptStopsTheSearchAndLeavesNothing)
{
    const pid_t pid = start(
        words(std::string(CONING_CALC_PATH) + " " + sampleWell + "--simulate-critical"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // flow is running by now
    EXPECT_FALSE(nothingLeft());
    ::kill(pid, SIGINT);
    expectStoppedAtOnce(pid);
}

const std::string batchHeader = "well,fluid-system,permeability,viscosity,fvf,density-difference,"
                                "drainage-radius,well-radius,zone-thickness,penetration,"
                                "simulate-rate,years\n";
const std::string batchWell = "Oil-Water,100,1,1.2,0.3,1000,3,50,15,";

std::vector<std::vector<std::string>> csvRows(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    coning::cli::readCsv(text, [&](const coning::cli::CsvRecord &record) {
        rows.emplace_back(record.fields().begin(), record.fields().end());
    });
    return rows;
}

TEST_F(Simulation, BatchRowsComeInOrderAndABadRowStopsNoOther)
{
    const ProcessResult r = runProgram(words("--batch - --jobs 2"),
                                       batchHeader + "A," + batchWell + "100,0.2\n" + "B,"
                                           + batchWell + "abc,\n"     //
                                           + "C," + batchWell + ",\n" // not simulated
                                           + "D," + batchWell + "100000,0.05\n"
                                           + "E,Oil-Water,200,1,1.2,0.3,1000,3,50,15,100,0.2\n");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const auto rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 6u) << r.out;
    EXPECT_EQ(rows[0][10], "breakthrough-days");
    EXPECT_EQ(rows[0][11], "message");
    for (std::size_t i = 1; i < rows.size(); ++i)
        EXPECT_EQ(rows[i][0], std::to_string(i + 1));
    const double a = std::stod(rows[1][10]);
    EXPECT_NEAR(a, 32, 3);
    EXPECT_GT(std::stod(rows[5][10]), a); // twice the permeability: later at the same rate
    EXPECT_EQ(rows[2][11], "line 3, column simulate-rate: \"abc\" is not a decimal number");
    EXPECT_EQ(rows[3][10], "");
    EXPECT_EQ(rows[3][11], "");
    EXPECT_EQ(rows[4][11].rfind("the well cannot hold 100000 STB/DAY", 0), 0u) << rows[4][11];
    EXPECT_NE(r.err.find("coning-calc: line 5: the well cannot hold"), std::string::npos) << r.err;
    EXPECT_TRUE(nothingLeft());
}

TEST_F(Simulation, BatchCriticalColumnsBracketTheRate)
{
    const ProcessResult r = runProgram(words("--batch - --simulate-critical --years 0.1 --jobs 2"),
                                       batchHeader + "A," + batchWell + ",\n"
                                           + "G,Oil-Water,100,1,1.2,0.3,1000,3,50,60,,\n");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const auto rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 3u) << r.out;
    EXPECT_EQ(rows[0][10], "breakthrough-days"); // the file has a simulate-rate column
    EXPECT_EQ(rows[0][11], "simulated-critical-low");
    EXPECT_EQ(rows[0][12], "simulated-critical-high");
    const double low = std::stod(rows[1][11]);
    const double high = std::stod(rows[1][12]);
    EXPECT_GT(low, 50); // far above the 10-year rate over a horizon this short
    EXPECT_LT(low, high);
    EXPECT_LE(high, 1.01 * low);
    EXPECT_EQ(rows[2][13].rfind("line 3, column penetration: the completion reaches 10 ft", 0), 0u)
        << rows[2][13];
    EXPECT_TRUE(nothingLeft());
}

// One line per well and rate, the rates in increasing order; a row whose study cannot run is one
// line with its message, and the cumulative water grows with the rate to the horizon.
TEST_F(Simulation, BatchRateStudyWritesALinePerRate)
{
    const ProcessResult r = runProgram(words("--batch - --simulate-rates 100,20 --years 0.1 "
                                             "--jobs 2"),
                                       batchHeader + "A," + batchWell + ",\n"
                                           + "B," + batchWell + ",0.005\n");
    EXPECT_EQ(r.exitCode, 1) << r.err;
    const auto rows = csvRows(r.out);
    ASSERT_EQ(rows.size(), 4u) << r.out;
    EXPECT_EQ(rows[0][11], "rate");
    EXPECT_EQ(rows[0][17], "coning-phase-produced");
    EXPECT_EQ(rows[1][1], "A");
    EXPECT_EQ(rows[2][1], "A");
    EXPECT_EQ(rows[1][4], rows[2][4]); // the correlations on both
    EXPECT_EQ(rows[1][11], "20");
    EXPECT_EQ(rows[2][11], "100");
    EXPECT_EQ(rows[2][12], "true");
    EXPECT_LE(std::stod(rows[1][17]), std::stod(rows[2][17]));
    EXPECT_GT(std::stod(rows[2][17]), 0.0);
    EXPECT_EQ(rows[3][1], "B");
    EXPECT_EQ(rows[3][19].rfind("line 3, column years: ", 0), 0u) << rows[3][19];
    EXPECT_TRUE(nothingLeft());
}

TEST_F(Simulation, BatchJsonRowsCarryTheSingleWellMember)
{
    const ProcessResult batch = runProgram(words("--batch - --format json"),
                                           batchHeader + "A," + batchWell + "100,0.2\n");
    const ProcessResult single = runProgram(
        words(sampleWell + "--simulate-rate 100 --years 0.2 --format json"));
    ASSERT_EQ(batch.exitCode, 0) << batch.err;
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const auto row = nlohmann::json::parse(batch.out).at(0);
    EXPECT_EQ(row.at("well"), "A");
    EXPECT_EQ(row.at("simulation"), nlohmann::json::parse(single.out).at("simulation"));
}

TEST_F(Simulation, InterruptStopsEveryRowOfABatch)
{
    std::string rows = batchHeader;
    for (const char *name : {"A", "B", "C"})
        rows += std::string(name) + "," + batchWell + "40,\n";
    const fs::path input = m_scratch.path() / "wells.csv";
    std::ofstream(input) << rows;
    const pid_t pid = start(
        words(std::string(CONING_CALC_PATH) + " --jobs 2 --batch " + input.string()));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500)); // flow is running by now
    EXPECT_FALSE(nothingLeft());
    ::kill(pid, SIGINT);
    expectStoppedAtOnce(pid);
}

} // namespace

namespace {

const std::string horizontalWell
    = "--well horizontal --fluid-system Oil-Water --permeability 100 --kv-kh 0.1 --viscosity 1 "
      "--fvf 1.2 --density-difference 0.3 --zone-thickness 50 --well-length 1000 --standoff 40 "
      "--boundary-distance 500 --well-radius 4 ";

} // namespace

// A horizontal well's run: its report names the model and the horizon, and a batch row gives
// the same member and the same breakthrough.
TEST_F(Simulation, HorizontalWellRunsAsSingleWellAndBatchRow)
{
    const ProcessResult text = runProgram(words(horizontalWell + "--simulate-rate 1000 --years 1"));
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("\nSIMULATED PRODUCTION AT 1000 STB/DAY FOR 1 YEAR (flow "),
              std::string::npos);
    EXPECT_NE(text.out.find("\n  Model: cross-section across the well, kv/kh 0.1, porosity 0.2,"),
              std::string::npos);
    EXPECT_NE(text.out.find("  breakthrough (water cut above 0.01): after "), std::string::npos);

    const ProcessResult single = runProgram(
        words(horizontalWell + "--simulate-rate 1000 --years 1 --format json"));
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const auto member = nlohmann::json::parse(single.out).at("simulation");
    EXPECT_EQ(member.at("model").at("geometry"), "cross-section");
    EXPECT_EQ(member.at("model").at("kvKh"), 0.1);
    const std::string file = "well,well-type,fluid-system,permeability,kv-kh,viscosity,fvf,"
                             "density-difference,zone-thickness,well-length,standoff,"
                             "boundary-distance,well-radius,simulate-rate,years\n"
                             "H,horizontal,Oil-Water,100,0.1,1,1.2,0.3,50,1000,40,500,4,1000,1\n";
    const ProcessResult json = runProgram(words("--batch - --format json"), file);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(nlohmann::json::parse(json.out).at(0).at("simulation"), member);
    const ProcessResult csv = runProgram(words("--batch -"), file);
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    // The breakthrough-days cell, before the empty message.
    const std::string days = member.at("breakthroughDays").dump();
    EXPECT_NE(csv.out.find("," + days + ",\r\n"), std::string::npos) << csv.out;
}
