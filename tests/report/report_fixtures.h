#pragma once

#include "calc/run_result.h"
#include "recording_surface.h"
#include "report/report_surfaces.h"

#include <array>
#include <cstdint>
#include <string>

namespace coning::test {

// Rates in the run's call order: Sobocinski, Muskat, Meyer-Garder, Chaney, Schols, Guo-Lee.
using CallOrderRates = std::array<double, 6>;

// A run result with every correlation shown at the given rate; Meyer-Garder is evaluated only
// under its condition, and otherwise keeps a stale rate that nothing may show.
inline RunResult resultWith(std::int16_t fluidSystem, bool meyerGarder, CallOrderRates rates)
{
    RunResult r;
    r.fluidSystem = fluidSystem;
    r.meyerGarderCondition = meyerGarder;
    for (std::size_t i = 0; i < rates.size(); ++i) {
        r.outcomes[i].evaluated = true;
        r.outcomes[i].rate = rates[i];
    }
    if (!meyerGarder)
        r.outcomes[indexOf(Correlation::MeyerGarder)].evaluated = false;
    return r;
}

inline void failAt(RunResult &r, Correlation c)
{
    r.outcomes[indexOf(c)].failure = "division by zero: the viscosity is zero";
}

// A swept result whose every point of correlation c is `rate` (Meyer-Garder stays 0 outside its
// condition, as the run leaves it).
inline void sweepFlat(RunResult &r, double rate)
{
    r.swept = true;
    for (Correlation c : callOrder) {
        if (c == Correlation::MeyerGarder && !r.meyerGarderCondition)
            continue;
        for (int p = sweepFirstPercent; p <= sweepLastPercent; ++p)
            r.sweepRates[indexOf(c)][p] = rate;
    }
}

// Three recording surfaces that share one journal.
struct Surfaces
{
    std::vector<std::string> journal;
    RecordingSurface picture1{"P1", &journal};
    RecordingSurface bar{"bar", &journal};
    RecordingSurface picture2{"P2", &journal};

    ReportSurfaces all() { return {picture1, bar, picture2}; }
};

// Column (from 1) where `text` starts on `line`, 0 when absent.
inline int columnOf(const std::string &line, const std::string &text)
{
    const std::size_t at = line.find(text);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

} // namespace coning::test
