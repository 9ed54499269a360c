// The critical-rate search of the sample well against ten sequential runs at single rates (as
// ten `coning-calc --simulate-rate` calls would make them). Goal: the search takes at most 0.3
// of their time. Needs flow; prints wall-clock seconds, each run of the search and the ratio.
#include "calc/well_input.h"
#include "sim/flow_runner.h"
#include "sim/simulation.h"

#include <chrono>
#include <cstdio>

namespace {

using namespace coning;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main()
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
    return 0;
}
