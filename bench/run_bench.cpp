#include "calc/calculation_run.h"
#include "calc/design.h"
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

namespace {

// The full run on a different well each time (64 zone thicknesses, more powers than the pow
// cache holds), so that only the repeats within one run are skipped.
void BM_FullCalculationRunChangingWell(benchmark::State &state)
{
    ParameterSet m = coning::testing::sampleTypedWell();
    const FixedChoices choices{"Oil-Water", true, false};
    int i = 0;
    for (auto _ : state) {
        m.zoneThicknessInput = 50.0 + (i++ % 64) * 0.125;
        RunResult r = runCalculation(m, choices);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_FullCalculationRunChangingWell);

// One completion design study on the sample well: the penetration each correlation allows for
// 12 STB/day, and every input varied by 20 %.
void BM_DesignStudy(benchmark::State &state)
{
    Well well;
    well.fluidSystem = "Oil-Water";
    const double typed[] = {100, 1, 1.2, 0.3, 1000, 3, 50, 15, 0, 0};
    for (std::size_t i = 0; i < numericFieldCount; ++i)
        setTypedValue(well, i, typed[i]);
    for (auto _ : state) {
        TargetPenetration design = targetPenetration(well, 12.0);
        Sensitivity varied = sensitivity(well, 20.0);
        benchmark::DoNotOptimize(design);
        benchmark::DoNotOptimize(varied);
    }
}
BENCHMARK(BM_DesignStudy)->Unit(benchmark::kMicrosecond);

} // namespace
