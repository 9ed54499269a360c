#include "calc/horizontal_well.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace coning;

namespace {

// k_h 100 md, kv/kh 0.1, 1 cp, B 1.2, Δρ 0.3 g/cc, h 50 ft, L 2000 ft, standoff 40 ft,
// y_e 500 ft, r_w 4 in.
HorizontalWell sampleWell(std::string_view system = "Oil-Water")
{
    return {system, 100.0, 0.1, 1.0, 1.2, 0.3, 50.0, 2000.0, 40.0, 500.0, 4.0};
}

struct HandCase
{
    HorizontalCorrelation correlation;
    double expected; // worked by hand from the published formula, see the comments
};

class HandComputed : public ::testing::TestWithParam<HandCase>
{};

TEST_P(HandComputed, AtTheSampleWell)
{
    const HorizontalResult result = calculateHorizontalWell(sampleWell());
    const CorrelationOutcome &outcome = result.outcome(GetParam().correlation);
    ASSERT_TRUE(outcome.shown()) << outcome.failure;
    EXPECT_NEAR(outcome.rate, GetParam().expected, 1e-12 * GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Correlations,
    HandComputed,
    ::testing::Values(
        // α'' = 500/50·√0.1 = 3.16228, F = 3.9624955 + 0.0616438 α'' - 0.00054 α''² = 4.15203;
        // q = 4.888e-4 · (2000/500) · 100 · 0.3 · 50² · F / (1 · 1.2)
        HandCase{HorizontalCorrelation::Chaperon, 507.3781040809278},
        // q = 4.888e-4 · 100 · 50² · 0.3 · 2000 / (1.2 (1000 + √(1000² + 50²/3)))
        HandCase{HorizontalCorrelation::Efros, 30.543638067195996},
        // r_eh = √((2·500·2000 + π 500²)/π) = 941.605, a = 1232.03, β = √10,
        // r_w' = 313.110; q = 1.535e-3 · 0.3 · 100 · (50² - 10²) / (1.2 ln(r_eh / r_w'))
        HandCase{HorizontalCorrelation::Joshi, 83.64892549720408},
        // q = 4.888e-4 · 100 · 0.3 · 50² · 2000 / (1.2 · 500) · (1 - (50/500)²/6)
        HandCase{HorizontalCorrelation::GigerKarcher, 121.9963333333333}),
    [](const auto &info) {
        return std::string(horizontalCorrelationName(info.param.correlation)).substr(0, 5);
    });

TEST(HorizontalWell, GasWaterRatesAreInMcfPerDay)
{
    EXPECT_EQ(rateUnit(calculateHorizontalWell(sampleWell("Gas-Water")).fluidSystem), "MCF/DAY");
    EXPECT_EQ(rateUnit(calculateHorizontalWell(sampleWell("Gas-Oil")).fluidSystem), "STB/DAY");
}

TEST(HorizontalWell, ArithmeticFailuresAreReportedNeverInfOrNan)
{
    struct Case
    {
        const char *name;
        double HorizontalWell::*input;
        double value;
        int failures; // of the four correlations
    };
    for (const Case &c : {Case{"no vertical permeability", &HorizontalWell::kvKh, 0.0, 1},
                          Case{"no viscosity", &HorizontalWell::viscosity, 0.0, 4},
                          // Efros's root keeps h²/3 and gives a rate at y_e = 0.
                          Case{"no boundary", &HorizontalWell::boundaryDistance, 0.0, 3},
                          // Efros and Giger-Karcher multiply L into the numerator first.
                          Case{"huge permeability", &HorizontalWell::permeability, 1e306, 2}}) {
        HorizontalWell well = sampleWell();
        well.*c.input = c.value;
        const HorizontalResult result = calculateHorizontalWell(well);
        int failed = 0;
        for (const CorrelationOutcome &o : result.outcomes) {
            failed += o.failed();
            if (o.shown()) {
                EXPECT_TRUE(std::isfinite(o.rate)) << c.name;
            }
        }
        EXPECT_EQ(failed, c.failures) << c.name;
        EXPECT_TRUE(result.anyFailure()) << c.name;
    }
}

TEST(HorizontalWell, WarnsOfImplausibleInputs)
{
    HorizontalWell well = sampleWell();
    well.standoff = 60.0;
    well.boundaryDistance = 20.0;
    const HorizontalResult result = calculateHorizontalWell(well);
    ASSERT_EQ(result.warnings.size(), 4u);
    EXPECT_EQ(result.warnings[0],
              "Standoff (60 ft) is greater than the zone thickness (50 ft): the well lies "
              "outside the zone");
    EXPECT_EQ(result.warnings[1].rfind("Boundary distance (20 ft) is shorter than the zone "
                                       "thickness (50 ft)",
                                       0),
              0u);
    EXPECT_NE(result.warnings[2].find("Chaperon's F is read outside its curve"), std::string::npos);
    EXPECT_EQ(result.warnings[3].rfind("Giger-Karcher gave a negative rate", 0), 0u);
    EXPECT_TRUE(calculateHorizontalWell(sampleWell()).warnings.empty());
}

TEST(HorizontalWell, InputsAreCheckedStrictlyAndAllRequired)
{
    HorizontalWellInput input;
    input.fluidSystem = "Oil-Water";
    input.values.fill("1");
    input.values[7] = "40 ft";
    input.values[8].reset();
    HorizontalWell well;
    const std::vector<InputProblem> problems = checkHorizontalWell(input, well);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].field, "standoff");
    EXPECT_EQ(problems[0].kind, InputProblem::Kind::Invalid);
    EXPECT_EQ(problems[1].field, "boundary-distance");
    EXPECT_EQ(problems[1].kind, InputProblem::Kind::Missing);
}

} // namespace
