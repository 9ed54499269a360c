#include "report/run_messages.h"

#include "calc/calculation_run.h"
#include "report_fixtures.h"

#include <gtest/gtest.h>

#include <limits>

namespace coning::test {
namespace {

// The sample well (Oil-Water, partial penetration) with one input replaced, run as the window
// runs it, sweep included.
RunResult sampleWellWith(double ParameterSet::*input, double value)
{
    ParameterSet m;
    m.densityDifference = 0.3;
    m.permeability = 100;
    m.zoneThicknessInput = 50;
    m.viscosity = 1;
    m.formationVolumeFactor = 1.2;
    m.drainageRadius = 1000;
    m.wellRadius = 3.0 / 12.0;
    m.penetrationInput = 15;
    m.*input = value;
    return runCalculation(m, FixedChoices("Oil-Water", true, false));
}

struct RunCase
{
    const char *name;
    double ParameterSet::*input;
    double value;
    std::vector<std::string> expected;
};

TEST(RunMessages, OneLinePerCauseOfARealRun)
{
    const double infinity = std::numeric_limits<double>::infinity();
    const RunCase cases[] = {
        {"sample well", &ParameterSet::viscosity, 1.0, {}},
        {"zero viscosity",
         &ParameterSet::viscosity,
         0.0,
         {"Viscosity is zero: every correlation divides by it; enter the viscosity in cp"}},
        {"overflowing permeability",
         &ParameterSet::permeability,
         infinity,
         {"Permeability is beyond the double range: every correlation reads it; enter a smaller "
          "value"}},
        {"overflow inside the correlations",
         &ParameterSet::densityDifference,
         1e308,
         {"An intermediate value is beyond the double range in every correlation: check the zone "
          "thickness, penetration, permeability, viscosity, formation volume factor, density "
          "difference, drainage radius and well radius for extreme values"}},
        {"penetration thicker than the zone",
         &ParameterSet::penetrationInput,
         80.0,
         {"Penetration thickness (80 ft) is greater than the zone thickness (50 ft)",
          "Sobocinski, Meyer-Garder, Chaney-Noble and Schols gave negative rates, which has no "
          "physical meaning: check the inputs"}},
        {"zero well radius",
         &ParameterSet::wellRadius,
         0.0,
         {"The calculation stopped: Well radius is zero: enter the well radius in inches"}},
    };
    for (const RunCase &c : cases) {
        const RunResult run = sampleWellWith(c.input, c.value);
        EXPECT_EQ(runMessages(run), c.expected) << c.name;
    }
}

TEST(RunMessages, SharedCausesNameTheirCorrelationsAndSweepsAddOnlyNews)
{
    const std::string zero = "division by zero: the formation volume factor is zero";
    RunResult run = resultWith(2, false, {10, 10, 10, 10, 10, 10});
    const FailureCause zeroFvf{FailureCause::Kind::ZeroInput, "formation volume factor", {}};
    for (Correlation c : {Correlation::Muskat, Correlation::Schols})
        run.outcomes[indexOf(c)] = {true, 0.0, zero, zeroFvf};
    run.outcomes[indexOf(Correlation::Chaney)].failure = "overflow: an intermediate value";
    // A correlation failed at the design point says nothing more for its sweep.
    run.sweepFailures[indexOf(Correlation::Muskat)] = {91, 5, zero};
    run.sweepFailures[indexOf(Correlation::GuoLee)] = {34, 62, "square root of a negative number"};
    run.sweepFailures[indexOf(Correlation::Sobocinski)] = {34,
                                                           62,
                                                           "square root of a negative number"};
    run.sweepFailures[indexOf(Correlation::Schols)] = {1, 40, "other"};

    const std::vector<std::string> expected = {
        "Formation volume factor is zero: Muskat and Schols divide by it; enter the formation "
        "volume factor",
        "Chaney-Noble: overflow: an intermediate value",
        "Sobocinski and Guo-Lee failed above 61 % penetration: square root of a negative number",
    };
    EXPECT_EQ(runMessages(run), expected);

    run.outcomes[indexOf(Correlation::Schols)].failure.clear();
    run.sweepFailures[indexOf(Correlation::GuoLee)] = {12, 40, "square root of a negative number"};
    const std::vector<std::string> regrouped = {
        "Formation volume factor is zero: Muskat divides by it; enter the formation volume factor",
        "Chaney-Noble: overflow: an intermediate value",
        "Sobocinski failed above 61 % penetration: square root of a negative number",
        "Schols failed at 40 % penetration: other",
        "Guo-Lee failed at 12 of 91 penetrations of the sweep, the first at 40 %: square root of "
        "a negative number",
    };
    EXPECT_EQ(runMessages(run), regrouped);
}

} // namespace
} // namespace coning::test
