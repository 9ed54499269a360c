#include "model/parameter_set.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace coning;

// Every double of the set, inputs and working values.
std::vector<double> allValues(const ParameterSet &m)
{
    return {m.permeability,
            m.viscosity,
            m.formationVolumeFactor,
            m.densityDifference,
            m.drainageRadius,
            m.wellRadius,
            m.bottomHolePressure,
            m.completionTop,
            m.zoneThicknessInput,
            m.penetrationInput,
            m.zoneThickness,
            m.penetration,
            m.logRadiusRatio};
}

TEST(ParameterSet, StartsAtZero)
{
    const ParameterSet m;
    for (double v : allValues(m)) {
        EXPECT_EQ(v, 0.0);
    }
    EXPECT_EQ(m.fluidSystem, 0);
}

struct HandlerCase
{
    const char *name;
    void (*handler)(ParameterSet &, std::string_view);
    double ParameterSet::*value;
};

class FieldHandlerTest : public testing::TestWithParam<HandlerCase>
{};

TEST_P(FieldHandlerTest, WritesOnlyItsOwnValue)
{
    ParameterSet m;
    GetParam().handler(m, "12abc");
    EXPECT_EQ(m.*GetParam().value, 12.0);
    int changed = 0;
    for (double v : allValues(m)) {
        changed += v != 0.0;
    }
    EXPECT_EQ(changed, 1);
}

TEST_P(FieldHandlerTest, LastEditWins)
{
    ParameterSet m;
    GetParam().handler(m, "1");
    EXPECT_EQ(m.*GetParam().value, 1.0);
    GetParam().handler(m, "12");
    EXPECT_EQ(m.*GetParam().value, 12.0);
    GetParam().handler(m, "");
    EXPECT_EQ(m.*GetParam().value, 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Fields,
    FieldHandlerTest,
    testing::Values(HandlerCase{"permin", permin_Change, &ParameterSet::permeability},
                    HandlerCase{"vin", vin_Change, &ParameterSet::viscosity},
                    HandlerCase{"bin", bin_Change, &ParameterSet::formationVolumeFactor},
                    HandlerCase{"rhoin", rhoin_Change, &ParameterSet::densityDifference},
                    HandlerCase{"rein", rein_Change, &ParameterSet::drainageRadius},
                    HandlerCase{"bhpin", bhpin_Change, &ParameterSet::bottomHolePressure},
                    HandlerCase{"topin", topin_Change, &ParameterSet::completionTop},
                    HandlerCase{"hin", hin_Change, &ParameterSet::zoneThicknessInput},
                    HandlerCase{"din", din_Change, &ParameterSet::penetrationInput}),
    [](const testing::TestParamInfo<HandlerCase> &info) { return std::string(info.param.name); });

TEST(WellRadiusField, InchesAreStoredAsFeet)
{
    ParameterSet m;
    rwin_Change(m, "6");
    EXPECT_EQ(m.wellRadius, 0.5);
    rwin_Change(m, "3");
    EXPECT_EQ(m.wellRadius, 0.25);
    rwin_Change(m, "");
    EXPECT_EQ(m.wellRadius, 0.0);
    rwin_Change(m, "7");
    EXPECT_EQ(m.wellRadius, 7.0 / 12.0);
}

} // namespace
