#include "calc/design.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <string>
#include <tuple>

namespace {

using namespace coning;

struct WellCase
{
    const char *system;
    Completion completion;
    // permeability, viscosity, fvf, density-difference, drainage-radius, well-radius (in),
    // zone-thickness, penetration, completion-top, bottom-hole-pressure; nullptr where absent.
    std::array<const char *, numericFieldCount> values;
};

Well checkedWell(const WellCase &c)
{
    WellInput input;
    input.fluidSystem = c.system;
    input.completion = completionText(c.completion);
    for (std::size_t i = 0; i < numericFieldCount; ++i) {
        if (c.values[i])
            input.values[i] = c.values[i];
    }
    Well well;
    EXPECT_TRUE(checkWell(input, well).empty()) << c.system;
    return well;
}

constexpr auto pp = Completion::PartialPenetration;
constexpr auto pc = Completion::PartialCompletion;

const WellCase sampleWell{"Oil-Water", pp, {"100", "1", "1.2", "0.3", "1000", "3", "50", "15"}};
const WellCase gasWater{"Gas-Water",
                        pp,
                        {"250", "0.02", "0.9", "0.7", "1500", "4", "80", "20", nullptr, "2000"}};
const WellCase gasOil{"Gas-Oil", pp, {"100", "1", "1.2", "0.3", "1000", "3", "50", "7", "10"}};
// Guo-Lee fails wherever the unpenetrated thickness exceeds the drainage radius (D < 1000 ft).
const WellCase thickZone{"Oil-Water", pp, {"100", "1", "1.2", "0.3", "1000", "3", "2000", "100"}};

// The working values of the well's run, at which the design evaluates.
ParameterSet workingValues(const Well &well)
{
    Well copy = well;
    EXPECT_FALSE(calculateWell(copy, Sweep::Skip).failed());
    return copy.parameters;
}

struct TargetCase
{
    const char *name;
    WellCase well;
    double targetRate;
};

class TargetPenetrationTest : public ::testing::TestWithParam<TargetCase>
{};

// Whatever the answer, it brackets the last crossing of the target on the scan.
TEST_P(TargetPenetrationTest, MaxPenetrationBracketsTheLastCrossing)
{
    const TargetCase &t = GetParam();
    const Well well = checkedWell(t.well);
    const ParameterSet working = workingValues(well);
    const TargetPenetration design = targetPenetration(well, t.targetRate);
    ASSERT_FALSE(design.failed()) << design.error;
    const double h = design.zoneThickness;
    EXPECT_EQ(h, working.zoneThickness);

    int answered = 0;
    for (Correlation c : callOrder) {
        const std::optional<PenetrationDesign> &d = design.correlations[indexOf(c)];
        if (!d)
            continue;
        SCOPED_TRACE(std::string(correlationName(c)));
        const auto reaches = [&](double D) {
            const std::optional<double> rate = rateAtPenetration(c, working, D);
            return rate && *rate >= t.targetRate;
        };
        std::optional<double> peak;
        std::optional<double> peakAt;
        for (int i = 0; i <= designScanSteps; ++i) {
            const double D = h * i / double(designScanSteps);
            const std::optional<double> rate = rateAtPenetration(c, working, D);
            if (rate && (!peak || *rate > *peak)) {
                peak = rate;
                peakAt = D;
            }
            if (!d->maxPenetration || D > *d->maxPenetration) {
                EXPECT_FALSE(reaches(D)) << "grid point " << i << " beyond the answer";
            }
        }
        EXPECT_EQ(d->peakRate, peak);
        EXPECT_EQ(d->peakPenetration, peakAt);
        EXPECT_EQ(d->minCompletionTop.has_value(), design.gasOil && d->maxPenetration.has_value());
        if (!d->maxPenetration) {
            EXPECT_FALSE(d->maxPercent);
            continue;
        }
        ++answered;
        const double D = *d->maxPenetration;
        EXPECT_TRUE(reaches(D));
        if (D < h) {
            EXPECT_FALSE(reaches(std::min(h, D + 2e-9 * h))) << D;
        }
        EXPECT_EQ(*d->maxPercent, D / h * 100.0);
        if (design.gasOil) {
            EXPECT_EQ(h - *d->minCompletionTop, D); // the penetration of a run at the top
        }
    }
    EXPECT_GT(answered, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Wells,
    TargetPenetrationTest,
    ::testing::Values(TargetCase{"SampleWell", sampleWell, 12.0},
                      TargetCase{"MuskatJustPastItsStepAt40", sampleWell, 20.52},
                      TargetCase{"ChaneyJustPastItsStepAt50", sampleWell, 16.0},
                      TargetCase{"GasWater", gasWater, 5000.0},
                      TargetCase{"GasOil", gasOil, 12.0},
                      TargetCase{"GuoLeeFailureRegion", thickZone, 40000.0}),
    [](const auto &info) { return std::string(info.param.name); });

std::optional<double> maxPercent(const TargetPenetration &design, Correlation c)
{
    return design.correlations[indexOf(c)]->maxPercent;
}

// The fits change segment strictly above 40 % (Muskat) and 50 % (Chaney water coning); at the
// boundary itself the lower segment holds, and both steps raise the rate.
TEST(TargetPenetration, SegmentStepsOfMuskatAndChaney)
{
    const Well well = checkedWell(sampleWell);
    const ParameterSet working = workingValues(well);
    struct Step
    {
        Correlation c;
        double boundary; // ft, on the 50 ft zone
        double targetRate;
        bool answerPastTheStep;
    };
    for (const Step &s : {Step{Correlation::Muskat, 20.0, 20.52, true},
                          Step{Correlation::Muskat, 20.0, 20.7, false},
                          Step{Correlation::Chaney, 25.0, 16.0, true},
                          Step{Correlation::Chaney, 25.0, 16.8, false}}) {
        SCOPED_TRACE(std::to_string(s.targetRate));
        EXPECT_LT(*rateAtPenetration(s.c, working, s.boundary), s.targetRate);
        const double percent = *maxPercent(targetPenetration(well, s.targetRate), s.c);
        const double boundaryPercent = s.boundary / 50.0 * 100.0;
        if (s.answerPastTheStep) {
            EXPECT_GT(percent, boundaryPercent);
            EXPECT_LT(percent, boundaryPercent + 5.0);
        } else {
            EXPECT_LT(percent, boundaryPercent);
        }
    }
}

TEST(TargetPenetration, TargetBelowAndAboveEveryRate)
{
    const Well well = checkedWell(sampleWell);
    // Muskat and Chaney stay positive at full penetration; the others fall to 0 there.
    const TargetPenetration low = targetPenetration(well, 1e-6);
    EXPECT_EQ(low.correlations[indexOf(Correlation::Muskat)]->maxPenetration, 50.0);
    EXPECT_EQ(low.correlations[indexOf(Correlation::Chaney)]->maxPenetration, 50.0);
    EXPECT_EQ(maxPercent(low, Correlation::Muskat), 100.0);
    EXPECT_LT(*low.correlations[indexOf(Correlation::Sobocinski)]->maxPenetration, 50.0);

    const TargetPenetration high = targetPenetration(well, 1e6);
    for (const auto &d : high.correlations) {
        ASSERT_TRUE(d);
        EXPECT_FALSE(d->maxPenetration);
        EXPECT_FALSE(d->maxPercent);
        EXPECT_TRUE(d->peakRate);
    }
}

TEST(TargetPenetration, GuoLeePeaksNearAThirdAndSkipsItsFailureRegion)
{
    const TargetPenetration sample = targetPenetration(checkedWell(sampleWell), 12.0);
    const PenetrationDesign &guoLee = *sample.correlations[indexOf(Correlation::GuoLee)];
    EXPECT_NEAR(*guoLee.peakPenetration / 50.0, 1.0 / 3.0, 0.01);
    EXPECT_EQ(sample.correlations[indexOf(Correlation::Sobocinski)]->peakPenetration, 0.0);

    const TargetPenetration thick = targetPenetration(checkedWell(thickZone), 40000.0);
    const PenetrationDesign &failing = *thick.correlations[indexOf(Correlation::GuoLee)];
    EXPECT_GE(*failing.peakPenetration, 1000.0);
    EXPECT_GE(*failing.maxPenetration, 1000.0);
}

TEST(TargetPenetration, MeyerGarderOutsideItsConditionAndFailures)
{
    WellCase noPressure = gasWater;
    noPressure.values[9] = nullptr;
    const TargetPenetration design = targetPenetration(checkedWell(noPressure), 100.0);
    EXPECT_FALSE(design.correlations[indexOf(Correlation::MeyerGarder)]);
    EXPECT_TRUE(design.correlations[indexOf(Correlation::Schols)]);

    WellCase zeroRadius = sampleWell;
    zeroRadius.values[5] = "0";
    const TargetPenetration failed = targetPenetration(checkedWell(zeroRadius), 12.0);
    EXPECT_EQ(failed.error, "Well radius is zero: enter the well radius in inches");

    WellCase completion = sampleWell;
    completion.completion = pc;
    completion.values[8] = "5";
    EXPECT_TRUE(targetPenetration(checkedWell(completion), 12.0).failed());
    EXPECT_TRUE(targetPenetration(checkedWell(sampleWell), 0.0).failed());
    EXPECT_TRUE(sensitivity(checkedWell(sampleWell), 100.0).failed());
}

std::string shortestText(double value)
{
    char buffer[32];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

// Every varied rate is the rate of a separate run with that input typed scaled, bit for bit.
TEST(Sensitivity, EqualsSeparateRunsWithTheScaledInput)
{
    const WellCase gasOilCompletion{
        "Gas-Oil", pc, {"33.3", "0.7", "1.05", "0.11", "666", "2.875", "37.5", "21.25", "4.75"}};
    struct Case
    {
        WellCase well;
        const char *inputs;
    };
    const std::string always = "permeability viscosity fvf density-difference drainage-radius "
                               "well-radius zone-thickness";
    for (const auto &[wellCase, expectedInputs] :
         {std::pair{sampleWell, always + " penetration"},
          std::pair{gasWater, always + " penetration bottom-hole-pressure"},
          std::pair{gasOil, always + " completion-top"},
          std::pair{gasOilCompletion, always + " penetration completion-top"}}) {
        SCOPED_TRACE(wellCase.system);
        const Well well = checkedWell(wellCase);
        const Sensitivity s = sensitivity(well, 20.0);
        ASSERT_FALSE(s.failed());
        std::string names;
        for (const SensitivityInput &input : s.inputs)
            names += (names.empty() ? "" : " ") + std::string(input.input);
        EXPECT_EQ(names, expectedInputs);

        for (const SensitivityInput &input : s.inputs) {
            for (const auto &[factor, rates] : {std::pair{0.8, &input.low}, {1.2, &input.high}}) {
                WellCase scaled = wellCase;
                const std::string text = shortestText(std::stod(wellCase.values[input.field])
                                                      * factor);
                scaled.values[input.field] = text.c_str();
                Well separate = checkedWell(scaled);
                const RunResult run = calculateWell(separate, Sweep::Skip);
                for (Correlation c : callOrder) {
                    const CorrelationOutcome &o = run.outcome(c);
                    EXPECT_EQ((*rates)[indexOf(c)], o.shown() ? std::optional(o.rate) : std::nullopt)
                        << input.input << " x" << factor << " " << correlationName(c);
                }
            }
        }
    }
}

// The inputs varied and those left out: what the run does not read, and what is 0.
TEST(Sensitivity, VariesWhatTheRunReadsAndIsNotZero)
{
    WellCase oilWaterWithPressure = sampleWell;
    oilWaterWithPressure.values[9] = "1500"; // read only for Gas-Water
    WellCase noPressure = gasWater;
    noPressure.values[9] = nullptr;
    WellCase zeroPenetration = sampleWell;
    zeroPenetration.values[7] = "0";
    for (const auto &[wellCase, last, notVaried] :
         {std::tuple{oilWaterWithPressure, "penetration", ""},
          std::tuple{noPressure, "penetration", "bottom-hole-pressure"},
          std::tuple{zeroPenetration, "zone-thickness", "penetration"}}) {
        const Sensitivity s = sensitivity(checkedWell(wellCase), 20.0);
        ASSERT_FALSE(s.failed()) << s.error;
        EXPECT_EQ(s.inputs.back().input, last);
        EXPECT_EQ(s.notVaried.empty() ? "" : s.notVaried.front(), std::string_view(notVaried));
    }
    EXPECT_TRUE(sensitivityPercentProblem(1e-15));
    EXPECT_FALSE(sensitivityPercentProblem(1e-13)); // 1 - PCT / 100 no longer rounds to 1
}

// A partially completed well with its completion top 3 ft above the bottom of the completion:
// lowering the penetration or raising the top by 20 % empties the completed interval.
TEST(Sensitivity, WellsOutsideThePhysicalRangeDoNotRank)
{
    const WellCase tight{"Oil-Water", pc, {"100", "1", "1.2", "0.3", "1000", "3", "50", "30", "27"}};
    const Sensitivity s = sensitivity(checkedWell(tight), 20.0);
    ASSERT_FALSE(s.failed());
    bool rankingChanged = false;
    for (const SensitivityInput &input : s.inputs) {
        SCOPED_TRACE(std::string(input.input));
        const bool penetration = input.input == "penetration";
        EXPECT_EQ(input.lowOutside(), penetration);
        EXPECT_EQ(input.highOutside(), input.input == "completion-top");
        std::optional<double> expected;
        std::optional<double> outside;
        for (int c = 0; c < correlationCount; ++c) {
            for (const auto &[rates, isOutside] :
                 {std::pair{&input.low, input.lowOutside()}, {&input.high, input.highOutside()}}) {
                if (!(*rates)[c] || !s.base[c] || *s.base[c] == 0.0)
                    continue;
                const double change = std::fabs(*(*rates)[c] - *s.base[c]) / std::fabs(*s.base[c]);
                std::optional<double> &into = isOutside ? outside : expected;
                into = std::max(into.value_or(0.0), change);
            }
        }
        EXPECT_EQ(input.influence, expected);
        rankingChanged = rankingChanged || (outside && *outside > *expected);
    }
    EXPECT_TRUE(rankingChanged); // the rule matters for this well
    EXPECT_EQ(s.mostInfluential()->input, "completion-top");
}

TEST(Sensitivity, ZoneThicknessMattersMostOnTheSampleWell)
{
    const Sensitivity s = sensitivity(checkedWell(sampleWell), 20.0);
    ASSERT_NE(s.mostInfluential(), nullptr);
    EXPECT_EQ(s.mostInfluential()->input, "zone-thickness");
    EXPECT_EQ(s.lowFactor, 0.8);
    EXPECT_EQ(s.highFactor, 1.2);
    // The rates are proportional to the permeability: a 20 % change moves each by 20 %.
    const SensitivityInput &permeability = s.inputs[0];
    EXPECT_NEAR(*permeability.influence, 0.2, 1e-12);
}

} // namespace
