#include "calc/calculation_run.h"
#include "calc/failure_explanation.h"
#include "calc/well_messages.h"
#include "message_check.h"
#include "sample_well.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace {

using namespace coning;
using coning::testing::sampleTypedWell;
using coning::testing::showsNonFiniteNumber;
using ::testing::HasSubstr;

struct RunFailureCase
{
    const char *name;
    const char *system;
    bool partialCompletion;
    void (*edit)(ParameterSet &);
    const char *messagePart;
};

class RunFailureTest : public ::testing::TestWithParam<RunFailureCase>
{};

TEST_P(RunFailureTest, StopsBeforeAnyCorrelationAndNamesTheInput)
{
    const RunFailureCase &c = GetParam();
    ParameterSet m = sampleTypedWell("60");
    hin_Change(m, "100");
    topin_Change(m, "20");
    c.edit(m);
    const RunResult r = runCalculation(m,
                                       FixedChoices{c.system,
                                                    !c.partialCompletion,
                                                    c.partialCompletion});
    EXPECT_TRUE(r.failed());
    EXPECT_TRUE(r.anyFailure());
    EXPECT_THAT(r.error, HasSubstr(c.messagePart));
    for (const CorrelationOutcome &o : r.outcomes)
        EXPECT_FALSE(o.evaluated);
    EXPECT_FALSE(r.swept);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs,
    RunFailureTest,
    ::testing::Values(
        RunFailureCase{"ZeroWellRadius",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) { rwin_Change(m, "0"); },
                       "Well radius is zero: enter the well radius in inches"},
        RunFailureCase{"NegativeRadiusRatio",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) { rein_Change(m, "-1000"); },
                       "Drainage radius / well radius is zero or negative"},
        RunFailureCase{"ZeroDrainageRadius",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) { rein_Change(m, ""); },
                       "Drainage radius / well radius is zero or negative"},
        RunFailureCase{"ZeroZoneThickness",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) { hin_Change(m, "0"); },
                       "Zone thickness is zero"},
        RunFailureCase{
            "UncompletedThicknessZero",
            "Oil-Water",
            true,
            [](ParameterSet &m) {
                hin_Change(m, "40");
                din_Change(m, "60");
                topin_Change(m, "20");
            },
            "zone thickness - penetration thickness + distance to top of completion is zero"},
        RunFailureCase{"PartialCompletionPenetrationEqualsThickness",
                       "Oil-Water",
                       true,
                       [](ParameterSet &m) { din_Change(m, "100"); },
                       "penetration thickness equals the zone thickness"},
        RunFailureCase{"GasOilPartialCompletionTopZero",
                       "Gas-Oil",
                       true,
                       [](ParameterSet &m) { topin_Change(m, "0"); },
                       "distance to top of completion is zero"},
        RunFailureCase{"ZoneThicknessBeyondRange",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) { hin_Change(m, "1E400"); },
                       "Zone thickness is beyond the double range"},
        RunFailureCase{"WellRadiusBeyondRange",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) { rwin_Change(m, "-1E400"); },
                       "Well radius is beyond the double range"},
        RunFailureCase{"RadiusRatioOverflow",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) {
                           rein_Change(m, "1e300");
                           rwin_Change(m, "1e-300");
                       },
                       "Drainage radius / well radius is beyond the double range"},
        RunFailureCase{"RadiusRatioUnderflow",
                       "Oil-Water",
                       false,
                       [](ParameterSet &m) {
                           rein_Change(m, "1e-300");
                           rwin_Change(m, "1e300");
                       },
                       "Drainage radius / well radius is too small for double precision"}),
    [](const ::testing::TestParamInfo<RunFailureCase> &info) {
        return std::string(info.param.name);
    });

TEST(CorrelationFailure, GuoLeeFailsAloneWhenUnpenetratedThicknessExceedsDrainageRadius)
{
    ParameterSet m = sampleTypedWell("100");
    hin_Change(m, "2000");
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", true, false});
    EXPECT_FALSE(r.failed());
    const CorrelationOutcome &guoLee = r.outcome(Correlation::GuoLee);
    EXPECT_TRUE(guoLee.failed());
    EXPECT_FALSE(guoLee.shown());
    EXPECT_THAT(guoLee.failure, HasSubstr("square root of a negative number"));
    EXPECT_THAT(guoLee.failure, HasSubstr("unpenetrated thickness"));
    EXPECT_THAT(guoLee.failure, HasSubstr("1900 ft"));
    EXPECT_THAT(guoLee.failure, HasSubstr("drainage radius (1000 ft)"));
    for (Correlation c : {Correlation::Sobocinski,
                          Correlation::Muskat,
                          Correlation::MeyerGarder,
                          Correlation::Chaney,
                          Correlation::Schols}) {
        EXPECT_TRUE(r.outcome(c).shown()) << correlationName(c);
    }

    // In the sweep Guo-Lee fails while the unpenetrated thickness exceeds 1000 ft (p < 50): those
    // points are missing, never 0; the rest are there.
    const auto &guoLeeSweep = r.sweepRates[indexOf(Correlation::GuoLee)];
    for (int p = 5; p < 50; ++p)
        EXPECT_FALSE(guoLeeSweep[p].has_value()) << p;
    for (int p = 50; p <= 95; ++p)
        EXPECT_TRUE(guoLeeSweep[p].has_value()) << p;
    EXPECT_EQ(r.sweepFailures[indexOf(Correlation::GuoLee)].count, 45);
    EXPECT_EQ(r.sweepFailures[indexOf(Correlation::GuoLee)].firstPercent, 5);
    EXPECT_TRUE(r.anyFailure());
}

struct ExplanationCase
{
    const char *name;
    Correlation correlation;
    double zoneThickness;
    double drainageRadius;
    double wellRadius;
    const char *text;
};

// What the explanations say where the inputs are close to each other or to the double range.
TEST(CorrelationFailure, ExplanationsNameTheTrueCauseWithTellingNumbers)
{
    const ExplanationCase cases[] = {
        {"RatioUnderflows",
         Correlation::MeyerGarder,
         50,
         1e-300,
         1e300,
         "logarithm of zero: drainage radius (1e-300 ft) / well radius (1e+300 ft) is too small "
         "for double precision"},
        {"UnpenetratedJustAboveDrainageRadius",
         Correlation::GuoLee,
         1000.0000001,
         1000,
         0.25,
         "square root of a negative number: the unpenetrated thickness (zone thickness - "
         "penetration = 1000.0000001 ft) exceeds the drainage radius (1000 ft)"},
        {"UnpenetratedBelowNegativeDrainageRadius",
         Correlation::GuoLee,
         -10,
         -5,
         0.25,
         "square root of a negative number: the drainage radius (-5 ft) is negative and the "
         "unpenetrated thickness (zone thickness - penetration = -10 ft) is less than it"},
    };
    for (const ExplanationCase &c : cases) {
        ParameterSet m = coning::testing::sampleWorkingSet(0.0);
        m.zoneThickness = c.zoneThickness;
        m.drainageRadius = c.drainageRadius;
        m.wellRadius = c.wellRadius;
        EXPECT_EQ(explainFailure(c.correlation, Fault::InvalidArgument, m, 0.0).text, c.text)
            << c.name;
    }
}

struct CorrelationFailureCase
{
    const char *name;
    void (*edit)(ParameterSet &);
    const char *messagePart;
};

class EveryCorrelationFailureTest : public ::testing::TestWithParam<CorrelationFailureCase>
{};

TEST_P(EveryCorrelationFailureTest, NoRateIsReportedAndTheCauseIsNamed)
{
    ParameterSet m = sampleTypedWell();
    GetParam().edit(m);
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", true, false});
    EXPECT_FALSE(r.failed());
    for (Correlation c : callOrder) {
        EXPECT_TRUE(r.outcome(c).failed()) << correlationName(c);
        EXPECT_THAT(r.outcome(c).failure, HasSubstr(GetParam().messagePart)) << correlationName(c);
        EXPECT_EQ(r.sweepFailures[indexOf(c)].count, 91) << correlationName(c);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs,
    EveryCorrelationFailureTest,
    ::testing::Values(
        CorrelationFailureCase{"ZeroViscosity",
                               [](ParameterSet &m) { vin_Change(m, "0"); },
                               "division by zero: the viscosity is zero"},
        CorrelationFailureCase{"ZeroFormationVolumeFactor",
                               [](ParameterSet &m) { bin_Change(m, ""); },
                               "division by zero: the formation volume factor is zero"},
        CorrelationFailureCase{"EqualRadii",
                               [](ParameterSet &m) { rwin_Change(m, "12000"); },
                               "the drainage radius equals the well radius"},
        CorrelationFailureCase{"PermeabilityBeyondRange",
                               [](ParameterSet &m) { permin_Change(m, "1E400"); },
                               "the permeability is beyond the double range"},
        CorrelationFailureCase{"ViscosityBeyondRange",
                               [](ParameterSet &m) { vin_Change(m, "1E400"); },
                               "the viscosity is beyond the double range"}),
    [](const ::testing::TestParamInfo<CorrelationFailureCase> &info) {
        return std::string(info.param.name);
    });

TEST(CorrelationFailure, PressureBeyondRangeFailsOnlyWhereItIsUsed)
{
    ParameterSet m = sampleTypedWell();
    bhpin_Change(m, "1E400");
    const RunResult oilWater = runCalculation(m, FixedChoices{"Oil-Water", true, false});
    EXPECT_FALSE(oilWater.anyFailure());

    const RunResult gasWater = runCalculation(m, FixedChoices{"Gas-Water", true, false});
    EXPECT_TRUE(gasWater.outcome(Correlation::MeyerGarder).failed());
    EXPECT_THAT(gasWater.outcome(Correlation::MeyerGarder).failure,
                HasSubstr("bottom-hole pressure is beyond the double range"));
    EXPECT_TRUE(gasWater.outcome(Correlation::Sobocinski).shown());
}

TEST(CorrelationFailure, NegativeZoneThicknessOverDrainageRadiusFailsSchols)
{
    ParameterSet m = sampleTypedWell();
    rein_Change(m, "-1000");
    rwin_Change(m, "-3");
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", true, false}, Sweep::Skip);
    ASSERT_FALSE(r.failed());
    EXPECT_THAT(r.outcome(Correlation::Schols).failure,
                HasSubstr("fractional power of a negative number"));
}

TEST(CorrelationFailure, ExtremePercentPenetrationOverflowsMuskat)
{
    ParameterSet m = sampleTypedWell("1e6");
    const RunResult r = runCalculation(m, FixedChoices{"Oil-Water", true, false}, Sweep::Skip);
    ASSERT_FALSE(r.failed());
    EXPECT_TRUE(r.outcome(Correlation::Muskat).failed());
    EXPECT_THAT(r.outcome(Correlation::Muskat).failure, HasSubstr("overflow"));
}

// Whatever the inputs, a rate that is shown is a finite number, every failure has a message, and
// no message shows "inf" or "nan", down to the ends of the double range.
TEST(CorrelationFailure, NoShownRateOrMessageIsEverNonFinite)
{
    using Limits = std::numeric_limits<double>;
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> pick(0, 15);
    const double values[] = {0.0,
                             -1.0,
                             1e-300,
                             1e300,
                             0.25,
                             3.0,
                             50.0,
                             1000.0,
                             -1e300,
                             1e-5,
                             Limits::max(),
                             -Limits::max(),
                             Limits::denorm_min(),
                             -0.0,
                             Limits::infinity(),
                             std::nextafter(50.0, 51.0)};
    const char *systems[] = {"Oil-Water", "Gas-Water", "Gas-Oil", "x"};
    for (int i = 0; i < 3000; ++i) {
        ParameterSet m;
        for (double *v : {&m.permeability,
                          &m.viscosity,
                          &m.formationVolumeFactor,
                          &m.densityDifference,
                          &m.drainageRadius,
                          &m.wellRadius,
                          &m.bottomHolePressure,
                          &m.completionTop,
                          &m.zoneThicknessInput,
                          &m.penetrationInput}) {
            *v = values[pick(random)];
        }
        const bool completion = pick(random) < 5;
        const RunResult r = runCalculation(m,
                                           FixedChoices{systems[pick(random) % 4],
                                                        !completion,
                                                        completion});
        EXPECT_FALSE(showsNonFiniteNumber(runMessageText(r))) << runMessageText(r);
        for (const SweepFailure &f : r.sweepFailures)
            EXPECT_FALSE(showsNonFiniteNumber(f.firstFailure)) << f.firstFailure;
        if (r.failed()) {
            EXPECT_FALSE(r.error.empty());
            continue;
        }
        EXPECT_TRUE(std::isfinite(r.percentPenetration));
        for (const CorrelationOutcome &o : r.outcomes) {
            if (o.shown()) {
                EXPECT_TRUE(std::isfinite(o.rate));
            }
            if (o.failed()) {
                EXPECT_FALSE(o.failure.empty());
            }
        }
        for (const auto &series : r.sweepRates) {
            for (const auto &point : series) {
                if (point) {
                    EXPECT_TRUE(std::isfinite(*point));
                }
            }
        }
    }
}

} // namespace
