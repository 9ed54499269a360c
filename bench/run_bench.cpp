#include "calc/calculation_run.h"

#include <benchmark/benchmark.h>

namespace {

using namespace coning;

ParameterSet sampleWell()
{
    ParameterSet m;
    rhoin_Change(m, "0.3");
    permin_Change(m, "100");
    hin_Change(m, "50");
    vin_Change(m, "1");
    bin_Change(m, "1.2");
    rein_Change(m, "1000");
    rwin_Change(m, "3");
    din_Change(m, "15");
    return m;
}

// One press of the calculate button: the design point and the 91-point sweep, all six
// correlations, no drawing.
void BM_FullCalculationRun(benchmark::State &state)
{
    ParameterSet m = sampleWell();
    const FixedChoices choices{"Oil-Water", true, false};
    for (auto _ : state) {
        RunResult r = runCalculation(m, choices);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_FullCalculationRun);

// The design point alone, as a batch row without a sweep is calculated.
void BM_DesignPointOnly(benchmark::State &state)
{
    ParameterSet m = sampleWell();
    const FixedChoices choices{"Oil-Water", true, false};
    for (auto _ : state) {
        RunResult r = runCalculation(m, choices, Sweep::Skip);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_DesignPointOnly);

} // namespace
