#include "calc/calculation_run.h"
#include "sample_well.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace coning;
using coning::testing::sampleTypedWell;

struct PlausibilityCase
{
    const char *name;
    const char *system;
    bool partialCompletion;
    void (*edit)(ParameterSet &);
    std::vector<std::string> warnings;
};

class Plausibility : public ::testing::TestWithParam<PlausibilityCase>
{};

TEST_P(Plausibility, NamesTheInputsOutsideTheirRange)
{
    const PlausibilityCase &c = GetParam();
    ParameterSet m = sampleTypedWell();
    c.edit(m);
    const RunResult r = runCalculation(m,
                                       FixedChoices{c.system,
                                                    !c.partialCompletion,
                                                    c.partialCompletion});
    EXPECT_EQ(r.warnings, c.warnings);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs,
    Plausibility,
    ::testing::Values(
        PlausibilityCase{"SampleWell", "Oil-Water", false, [](ParameterSet &) {}, {}},
        PlausibilityCase{
            "PenetrationThickerThanZone",
            "Oil-Water",
            false,
            [](ParameterSet &m) { din_Change(m, "60"); },
            {"Penetration thickness (60 ft) is greater than the zone thickness (50 ft)",
             "Sobocinski, Meyer-Garder, Chaney-Noble and Schols gave negative rates, "
             "which has no physical meaning: check the inputs"}},
        // Gas-Oil with a partially penetrating well never reads the typed penetration.
        PlausibilityCase{"PenetrationUnusedForGasOil",
                         "Gas-Oil",
                         false,
                         [](ParameterSet &m) {
                             din_Change(m, "60");
                             topin_Change(m, "10");
                         },
                         {}},
        PlausibilityCase{"DrainageRadiusSmallerThanWell",
                         "Oil-Water",
                         false,
                         [](ParameterSet &m) { rein_Change(m, "0.2"); },
                         {"Drainage radius (0.2 ft) is smaller than the well radius (3 in = "
                          "0.25 ft)",
                          "Sobocinski, Muskat, Meyer-Garder, Chaney-Noble and Schols gave "
                          "negative rates, which has no physical meaning: check the inputs"}},
        PlausibilityCase{"NegativeFluidProperties",
                         "Oil-Water",
                         false,
                         [](ParameterSet &m) {
                             permin_Change(m, "-100");
                             vin_Change(m, "-1");
                             bin_Change(m, "-1.2");
                             rhoin_Change(m, "-0.3");
                         },
                         {"Permeability is negative (-100 md)",
                          "Viscosity is negative (-1 cp)",
                          "Formation volume factor is negative (-1.2)",
                          "Density difference is negative (-0.3 g/cc)"}},
        PlausibilityCase{"NegativeRates",
                         "Oil-Water",
                         false,
                         [](ParameterSet &m) { permin_Change(m, "-100"); },
                         {"Permeability is negative (-100 md)",
                          "Sobocinski, Muskat, Meyer-Garder, Chaney-Noble, Schols and Guo-Lee "
                          "gave negative rates, which has no physical meaning: check the inputs"}},
        PlausibilityCase{"CompletionTopBelowTheZone",
                         "Gas-Oil",
                         false,
                         [](ParameterSet &m) { topin_Change(m, "70"); },
                         {"Distance to top of completion (70 ft) lies outside the zone (0 to 50 "
                          "ft)",
                          "Guo-Lee gave a negative rate, which has no physical meaning: check the "
                          "inputs"}},
        PlausibilityCase{"CompletionTopBelowTheCompletion",
                         "Oil-Water",
                         true,
                         [](ParameterSet &m) { topin_Change(m, "20"); },
                         {"Distance to top of completion (20 ft) is not less than the penetration "
                          "thickness (15 ft): the completed interval is empty",
                          "Guo-Lee gave a negative rate, which has no physical meaning: check the "
                          "inputs"}},
        // Zero inputs that the run uses make the rates zero or meaningless.
        PlausibilityCase{"ZeroDensityDifferenceSparesGasWaterMeyerGarder",
                         "Gas-Water",
                         false,
                         [](ParameterSet &m) {
                             rhoin_Change(m, "0");
                             bhpin_Change(m, "1500");
                         },
                         {"Density difference is zero: the rates other than Meyer-Garder's are "
                          "zero and say nothing about coning"}},
        PlausibilityCase{"GasOilCompletionAtTheBase",
                         "Gas-Oil",
                         false,
                         [](ParameterSet &m) { topin_Change(m, "50"); },
                         {"Distance to top of completion (50 ft) equals the zone thickness: the "
                          "completed interval is empty, so the rates have no physical meaning"}},
        // Gas-Water's Meyer-Garder needs a positive pressure; elsewhere the run never reads it.
        PlausibilityCase{"GasWaterWithoutPressure",
                         "Gas-Water",
                         false,
                         [](ParameterSet &) {},
                         {"Bottom-hole pressure is missing or zero: Meyer-Garder needs a positive "
                          "bottom-hole pressure for Gas-Water and is left out"}},
        PlausibilityCase{"PressureUnreadForOilWater",
                         "Oil-Water",
                         false,
                         [](ParameterSet &m) { bhpin_Change(m, "-1500"); },
                         {}},
        // The well radius in inches as typed, beside the feet it is compared in.
        PlausibilityCase{"WellRadiusAsTyped",
                         "Oil-Water",
                         false,
                         [](ParameterSet &m) {
                             rwin_Change(m, "0.1");
                             rein_Change(m, "0.008333333333333");
                         },
                         {"Drainage radius (0.008333333333333 ft) is smaller than the well radius "
                          "(0.1 in = 0.0083333333333333 ft)",
                          "Sobocinski, Muskat, Meyer-Garder, Chaney-Noble and Schols gave "
                          "negative rates, which has no physical meaning: check the inputs"}},
        // A run that stops early still names what was implausible.
        PlausibilityCase{"NegativeWellRadiusStopsTheRun",
                         "Oil-Water",
                         false,
                         [](ParameterSet &m) { rwin_Change(m, "-3"); },
                         {"Well radius is negative (-3 in)"}}),
    [](const ::testing::TestParamInfo<PlausibilityCase> &info) { return info.param.name; });

} // namespace
