// The critical-rate search of the sample well against ten sequential runs at single rates (as
// ten `coning-calc --simulate-rate` calls would make them). Goal: the search takes at most 0.3
// of their time. Then an automatic rate study of the sample well (eight rates) against one run and
// against eight sequential runs at its rates. Goal: the study costs no more than its eight runs
// spread over the process slots. `simulation_bench study` runs only the study. Needs flow;
// prints wall-clock seconds, each run of the search and the ratios.
#include "calc/well_input.h"
#include "sim/flow_runner.h"
#include "sim/process_pool.h"
#include "sim/rate_study.h"
#include "sim/simulation.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

using namespace coning;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void studyBench(const Well &well,
                const sim::SimulationSettings &settings,
                const std::vector<double> &expected)
{
    sim::RateStudyRequest request;
    request.automatic = true;
    auto start = Clock::now();
    const sim::RateStudy study = sim::studyRates(well, settings, request, expected);
    const double studied = secondsSince(start);
    if (study.status != sim::Status::Done) {
        std::printf("rate study failed: %s\n", study.message.c_str());
        return;
    }
    std::printf("rate study: %.1f s, %d runs on %u slots\n",
                studied,
                study.runs,
                sim::defaultJobs());

    double one = 0.0;
    double sequential = 0.0;
    for (const sim::StudyRow &row : study.rows) {
        start = Clock::now();
        const sim::RateSimulation run = sim::simulateRate(well, settings, row.rate);
        const double seconds = secondsSince(start);
        sequential += seconds;
        if (run.status != sim::Status::Done && run.status != sim::Status::RateNotHeld)
            std::printf("rate %g: %s\n", row.rate, run.message.c_str());
        // One run: the middle rate of the study.
        if (&row == &study.rows[study.rows.size() / 2])
            one = seconds;
        std::printf("  %g: %.1f s to the horizon\n", row.rate, seconds);
    }
    std::printf("one run (%g STB/DAY): %.1f s; eight sequential runs: %.1f s\n",
                study.rows[study.rows.size() / 2].rate,
                one,
                sequential);
    std::printf("study / eight sequential runs: %.2f (goal: at most 1, about 1 / slots)\n",
                studied / sequential);
}

} // namespace

int main(int argc, char **argv)
{
    std::string missing;
    if (!sim::findFlow(missing)) {
        std::printf("skipped: %s\n", missing.c_str());
        return 0;
    }
    WellInput input;
    input.fluidSystem = "Oil-Water";
    const char *values[] = {"100", "1", "1.2", "0.3", "1000", "3", "50", "15"};
    for (std::size_t i = 0; i < 8; ++i)
        input.values[i] = values[i];
    Well well;
    checkWell(input, well);
    const std::vector<double> expected = sim::correlationRates(calculateWell(well, Sweep::Skip));
    const sim::SimulationSettings settings;
    if (argc > 1 && std::strcmp(argv[1], "study") == 0) {
        studyBench(well, settings, expected);
        return 0;
    }

    auto start = Clock::now();
    sim::SimulationControl control;
    control.progress = [&start](const std::string &line) {
        std::printf("  %5.1f s  %s\n", secondsSince(start), line.c_str());
    };
    const sim::CriticalSimulation critical = sim::simulateCritical(well, settings, expected, control);
    const double search = secondsSince(start);
    std::printf("critical-rate search: %.1f s, %d runs, [%.4g, %.4g] STB/DAY\n",
                search,
                critical.runs,
                critical.low,
                critical.high);

    start = Clock::now();
    for (int i = 0; i < 10; ++i) {
        const double rate = 10.0 + 2.0 * i; // across the correlations' range and above it
        const sim::RateSimulation run = sim::simulateRate(well, settings, rate);
        if (run.status != sim::Status::Done)
            std::printf("rate %g: %s\n", rate, run.message.c_str());
    }
    const double single = secondsSince(start);
    std::printf("ten sequential rate runs: %.1f s\n", single);
    std::printf("search / ten runs: %.2f (goal: at most 0.3)\n", search / single);
    studyBench(well, settings, expected);
    return 0;
}
