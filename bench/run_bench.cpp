#include "calc/calculation_run.h"
#include "sample_well.h"

#include <benchmark/benchmark.h>

namespace {

using namespace coning;

// One press of the calculate button: the design point and the 91-point sweep, all six
// correlations, no drawing.
void BM_FullCalculationRun(benchmark::State &state)
{
    ParameterSet m = coning::testing::sampleTypedWell();
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
    ParameterSet m = coning::testing::sampleTypedWell();
    const FixedChoices choices{"Oil-Water", true, false};
    for (auto _ : state) {
        RunResult r = runCalculation(m, choices, Sweep::Skip);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_DesignPointOnly);

} // namespace
