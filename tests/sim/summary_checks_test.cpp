// A simulator that exits cleanly with a summary it should not have written: cut short, holding
// non-finite values, or with times that go back. None of them may become a result.
#include "scratch_tmpdir.h"
#include "sim_test_support.h"

#include "calc/json_text.h"
#include "sim/radial_model.h"
#include "sim/simulation.h"
#include "sim/simulation_report.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>

namespace {

using namespace coning;
using namespace coning::sim;
using coning::testing::simulatedWell;
namespace fs = std::filesystem;

// Big-endian Fortran records of the summary files, as the simulator writes them.
class RecordWriter
{
public:
    void header(const char *name, std::uint32_t count, const char *type)
    {
        std::string payload = name;
        payload.resize(8, ' ');
        appendWord(payload, count);
        payload.append(type, 4);
        record(payload);
    }
    void strings(const std::vector<std::string> &items)
    {
        std::string payload;
        for (std::string item : items) {
            item.resize(8, ' ');
            payload += item;
        }
        record(payload);
    }
    void reals(const std::vector<float> &items)
    {
        std::string payload;
        for (float item : items) {
            std::uint32_t bits;
            std::memcpy(&bits, &item, sizeof bits);
            appendWord(payload, bits);
        }
        record(payload);
    }
    void save(const fs::path &file) const { std::ofstream(file, std::ios::binary) << m_bytes; }

private:
    static void appendWord(std::string &out, std::uint32_t word)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<char>((word >> shift) & 0xFF));
    }
    void record(const std::string &payload)
    {
        appendWord(m_bytes, static_cast<std::uint32_t>(payload.size()));
        m_bytes += payload;
        appendWord(m_bytes, static_cast<std::uint32_t>(payload.size()));
    }
    std::string m_bytes;
};

const std::vector<std::string> keywords = {"TIME", "WOPR", "WWPR", "WGPR", "WBHP", "WOPT", "WWPT"};

// A summary of the well holding 40 STB/day without water at the given times; `change` may spoil
// a step's values (in the order of `keywords`).
void writeSummary(const fs::path &folder,
                  const std::vector<double> &days,
                  const std::function<void(std::size_t, std::vector<float> &)> &change = {})
{
    RecordWriter vectors;
    vectors.header("KEYWORDS", static_cast<std::uint32_t>(keywords.size()), "CHAR");
    vectors.strings(keywords);
    vectors.header("WGNAMES", static_cast<std::uint32_t>(keywords.size()), "CHAR");
    vectors.strings({":+:+:+:+", "PROD", "PROD", "PROD", "PROD", "PROD", "PROD"});
    vectors.save(folder / "CONING.SMSPEC");
    RecordWriter steps;
    for (std::size_t i = 0; i < days.size(); ++i) {
        std::vector<float> values = {static_cast<float>(days[i]),
                                     40.0F,
                                     0.0F,
                                     0.0F,
                                     1000.0F,
                                     static_cast<float>(40.0 * days[i]),
                                     0.0F};
        if (change)
            change(i, values);
        steps.header("PARAMS", static_cast<std::uint32_t>(values.size()), "REAL");
        steps.reals(values);
    }
    steps.save(folder / "CONING.UNSMRY");
}

// The summary times of a whole run over `years`.
std::vector<double> summaryDays(double years)
{
    std::vector<double> days;
    double day = 0.0;
    for (double step : reportSteps(years))
        days.push_back(day += step);
    return days;
}

class WrittenSummary : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_scratch.setUp("summary");
        const fs::path script = m_scratch.path() / "flow";
        std::ofstream(script) << "#!/bin/sh\n"
                                 "if [ \"$1\" = --version ]; then echo 'flow 0.0'; exit 0; fi\n"
                                 "cp '"
                              << (m_scratch.path() / "CONING.SMSPEC").string() << "' '"
                              << (m_scratch.path() / "CONING.UNSMRY").string() << "' .\n";
        fs::permissions(script, fs::perms::owner_all);
        ::setenv("CONING_FLOW", script.c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("CONING_FLOW");
        m_scratch.tearDown();
    }

    coning::testing::ScratchTmpdir m_scratch;
};

TEST_F(WrittenSummary, OnlyAWholeFiniteSummaryIsAResult)
{
    constexpr double years = 1.0; // summary points 0.1 day apart at first
    const std::vector<double> whole = summaryDays(years);
    const std::vector<double> cutShort(whole.begin(), whole.begin() + 20);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case
    {
        const char *name;
        std::vector<double> days;
        std::function<void(std::size_t, std::vector<float> &)> change;
        const char *message; // empty: a result
    };
    const std::vector<Case> cases = {
        {"whole", whole, {}, ""},
        {"cut short", cutShort, {}, "the simulator stopped at day 2 of 365.25"},
        {"a rate not a number",
         whole,
         [&](std::size_t i, auto &v) { v[1] = i == 7 ? nan : v[1]; },
         "WOPR:PROD at day 0.8"},
        {"an infinite cut",
         whole,
         [&](std::size_t i, auto &v) { v[2] = i == 3 ? inf : v[2]; },
         "not a finite number: WWPR:PROD"},
        {"a time not a number",
         whole,
         [&](std::size_t i, auto &v) { v[0] = i == 5 ? nan : v[0]; },
         "a time that is not a finite number"},
        {"times going back",
         whole,
         [&](std::size_t i, auto &v) { v[0] = i == 9 ? 0.5F : v[0]; },
         "do not increase: day 0.5 after day 0.9"},
    };
    SimulationSettings settings;
    settings.years = years;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeSummary(m_scratch.path(), c.days, c.change);
        const RateSimulation result = simulateRate(simulatedWell(), settings, 40.0);
        if (*c.message == '\0') {
            EXPECT_EQ(result.status, Status::Done) << result.message;
            continue;
        }
        EXPECT_EQ(result.status, Status::Failed);
        EXPECT_NE(result.message.find(c.message), std::string::npos) << result.message;
        // What is written of it is valid JSON: an error, not a number.
        SimulationReport report;
        report.settings = settings;
        report.rate = result;
        report.requestedRate = 40.0;
        std::string json;
        appendSimulationJson(json, report);
        EXPECT_EQ(json.find("nan"), std::string::npos) << json;
        EXPECT_EQ(json.find("inf"), std::string::npos) << json;
        EXPECT_NE(json.find("\"error\""), std::string::npos) << json;
    }
    EXPECT_TRUE(m_scratch.nothingLeft());
}

TEST_F(WrittenSummary, TheSimulatorsOwnReasonIsQuotedWithoutControlCharacters)
{
    std::ofstream(m_scratch.path() / "flow")
        << "#!/bin/sh\n"
           "if [ \"$1\" = --version ]; then echo 'flow 0.0'; exit 0; fi\n"
           "echo 'System:  Oil-Water system.'\n"
           "printf 'Error: Solver failed\\033[2J to converge after cutting timestep 10 times.\\n'\n"
           "echo 'Relative permeability input format: Saturation Family I.'\n"
           "exit 1\n";
    const RateSimulation result = simulateRate(simulatedWell(), {}, 40.0);
    EXPECT_EQ(result.status, Status::Failed);
    EXPECT_EQ(result.message,
              "the simulator failed (exit status 1): Error: Solver failed\\x1B[2J to converge "
              "after cutting timestep 10 times.");
}

} // namespace
