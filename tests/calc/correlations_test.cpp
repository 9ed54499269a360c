#include "calc/correlations.h"
#include "sample_well.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using namespace coning;
using coning::testing::sampleWorkingSet;

// Published examples are given to four decimals.
constexpr double fourDecimals = 0.5e-4;

struct PenetrationCase
{
    const char *name;
    double penetration; // ft, or percent for MUSKAT and CHANEY
    double rate;
};

std::string caseName(const ::testing::TestParamInfo<PenetrationCase> &info)
{
    return info.param.name;
}

class SobocinskiTest : public ::testing::TestWithParam<PenetrationCase>
{};

TEST_P(SobocinskiTest, SampleWell)
{
    EXPECT_NEAR(SOB(sampleWorkingSet(GetParam().penetration)), GetParam().rate, fourDecimals);
}

INSTANTIATE_TEST_SUITE_P(Published,
                         SobocinskiTest,
                         ::testing::Values(PenetrationCase{"D0", 0.0, 30.1599},
                                           PenetrationCase{"D15", 15.0, 21.1119},
                                           PenetrationCase{"FullPenetration", 50.0, 0.0}),
                         caseName);

class MuskatTest : public ::testing::TestWithParam<PenetrationCase>
{};

TEST_P(MuskatTest, SampleWell)
{
    EXPECT_NEAR(MUSKAT(sampleWorkingSet(0.0), GetParam().penetration),
                GetParam().rate,
                fourDecimals);
}

INSTANTIATE_TEST_SUITE_P(Published,
                         MuskatTest,
                         ::testing::Values(PenetrationCase{"P0", 0.0, 25.7704},
                                           PenetrationCase{"P1", 1.0, 25.7220},
                                           PenetrationCase{"P30", 30.0, 22.6299},
                                           PenetrationCase{"P40Segment1", 40.0, 20.4829},
                                           PenetrationCase{"P45Segment2", 45.0, 18.8568},
                                           PenetrationCase{"P50Segment3", 50.0, 17.1048},
                                           PenetrationCase{"P91", 91.0, 2.1876},
                                           PenetrationCase{"P100", 100.0, 0.2974}),
                         caseName);

TEST(Muskat, SegmentsMeetWithoutBlending)
{
    const ParameterSet m = sampleWorkingSet(0.0);
    // Just past each boundary the next segment's polynomials take over.
    EXPECT_NEAR(MUSKAT(m, std::nextafter(40.0, 41.0)), 20.6344, fourDecimals);
    EXPECT_NEAR(MUSKAT(m, std::nextafter(50.0, 49.0)), 17.0659, fourDecimals);
}

TEST(Muskat, ZoneThicknessOfOneFootIgnoresTheExponent)
{
    ParameterSet m = sampleWorkingSet(0.0);
    m.zoneThickness = 1.0;
    // F = 10^a with a = -1.05177 at p = 0.
    const double expected = std::pow(10.0, -1.05177) * 0.01103 * 0.3 * 100.0
                            / (1.0 * 1.2 * m.logRadiusRatio);
    EXPECT_EQ(MUSKAT(m, 0.0), expected);
}

TEST(Muskat, IgnoresTheWorkingPenetration)
{
    EXPECT_EQ(MUSKAT(sampleWorkingSet(0.0), 30.0), MUSKAT(sampleWorkingSet(45.0), 30.0));
}

struct MeyerCase
{
    const char *name;
    int fluidSystem;
    double penetration;
    double pressure;
    double rate;
};

class MeyerGarderTest : public ::testing::TestWithParam<MeyerCase>
{};

TEST_P(MeyerGarderTest, SampleWell)
{
    ParameterSet m = sampleWorkingSet(GetParam().penetration);
    m.fluidSystem = static_cast<std::int16_t>(GetParam().fluidSystem);
    m.bottomHolePressure = GetParam().pressure;
    EXPECT_NEAR(MEYER(m), GetParam().rate, fourDecimals);
}

INSTANTIATE_TEST_SUITE_P(
    Published,
    MeyerGarderTest,
    ::testing::Values(MeyerCase{"OilWaterD0", 1, 0.0, 0.0, 11.5678},
                      MeyerCase{"GasOilD0", 3, 0.0, 0.0, 11.5678},
                      MeyerCase{"OilWaterD15", 1, 15.0, 0.0, 10.5267},
                      MeyerCase{"GasOilD15", 3, 15.0, 0.0, 10.5267},
                      MeyerCase{"UnsetSystemUsesOilFormula", 0, 15.0, 0.0, 10.5267},
                      MeyerCase{"OilFullPenetration", 1, 50.0, 0.0, 0.0},
                      MeyerCase{"GasWater2000psia", 2, 15.0, 2000.0, 29.2114},
                      MeyerCase{"GasWater1000psia", 2, 15.0, 1000.0, 15.3384},
                      MeyerCase{"GasWaterFullPenetration", 2, 50.0, 1234.0, -0.1264},
                      MeyerCase{"GasWaterNoPressure", 2, 15.0, 0.0, -0.1288}),
    [](const ::testing::TestParamInfo<MeyerCase> &info) { return std::string(info.param.name); });

struct ChaneyCase
{
    const char *name;
    int fluidSystem;
    double percent;
    double rate;
};

class ChaneyTest : public ::testing::TestWithParam<ChaneyCase>
{};

TEST_P(ChaneyTest, SampleWell)
{
    ParameterSet m = sampleWorkingSet(0.0);
    m.fluidSystem = static_cast<std::int16_t>(GetParam().fluidSystem);
    EXPECT_NEAR(CHANEY(m, GetParam().percent), GetParam().rate, fourDecimals);
}

INSTANTIATE_TEST_SUITE_P(Published,
                         ChaneyTest,
                         ::testing::Values(ChaneyCase{"OilWaterP0", 1, 0.0, 25.2337},
                                           ChaneyCase{"GasWaterP0", 2, 0.0, 25.2337},
                                           ChaneyCase{"OilWaterP30", 1, 30.0, 21.8384},
                                           ChaneyCase{"LowerPieceAt50", 1, 50.0, 15.6273},
                                           ChaneyCase{"UpperPieceAt51", 2, 51.0, 16.4595},
                                           ChaneyCase{"WaterP100", 1, 100.0, 0.2036},
                                           ChaneyCase{"UnsetSystemUsesWaterSet", 0, 30.0, 21.8384},
                                           ChaneyCase{"GasOilP0", 3, 0.0, 29.2930},
                                           ChaneyCase{"GasOilP30", 3, 30.0, 20.0002},
                                           ChaneyCase{"GasOilP100", 3, 100.0, -0.5453}),
                         [](const ::testing::TestParamInfo<ChaneyCase> &info) {
                             return std::string(info.param.name);
                         });

TEST(Chaney, ZeroZoneThicknessGivesZeroWithoutFailure)
{
    ParameterSet m = sampleWorkingSet(0.0);
    m.zoneThickness = 0.0;
    EXPECT_EQ(CHANEY(m, 30.0), 0.0);
}

class ScholsTest : public ::testing::TestWithParam<PenetrationCase>
{};

TEST_P(ScholsTest, SampleWellForEveryFluidSystem)
{
    for (std::int16_t system : {1, 2, 3}) {
        ParameterSet m = sampleWorkingSet(GetParam().penetration);
        m.fluidSystem = system;
        EXPECT_NEAR(SCHOLS(m), GetParam().rate, fourDecimals) << "fluid system " << system;
    }
}

INSTANTIATE_TEST_SUITE_P(Published,
                         ScholsTest,
                         ::testing::Values(PenetrationCase{"D15", 15.0, 14.8062},
                                           PenetrationCase{"FullPenetration", 50.0, 0.0}),
                         caseName);

class GuoLeeTest : public ::testing::TestWithParam<PenetrationCase>
{};

TEST_P(GuoLeeTest, SampleWellForEveryFluidSystem)
{
    for (std::int16_t system : {1, 2, 3}) {
        ParameterSet m = sampleWorkingSet(GetParam().penetration);
        m.fluidSystem = system;
        EXPECT_NEAR(guolee(m), GetParam().rate, fourDecimals) << "fluid system " << system;
    }
}

INSTANTIATE_TEST_SUITE_P(Published,
                         GuoLeeTest,
                         ::testing::Values(PenetrationCase{"D0", 0.0, 0.2816},
                                           PenetrationCase{"D15", 15.0, 19.9289},
                                           PenetrationCase{"D30", 30.0, 12.8711},
                                           PenetrationCase{"FullPenetration", 50.0, 0.0}),
                         caseName);

TEST(GuoLee, UnpenetratedThicknessEqualToDrainageRadiusDoesNotFail)
{
    ParameterSet m = sampleWorkingSet(0.0);
    m.drainageRadius = 50.0; // R = 0, X = re^2
    m.logRadiusRatio = Log10(200.0).value();
    EXPECT_NO_THROW(guolee(m));
}

TEST(Correlations, NegativeLogRadiusRatioGivesNegativeRatesWithoutFailure)
{
    ParameterSet m = sampleWorkingSet(15.0);
    m.logRadiusRatio = Log10(0.5).value();
    EXPECT_LT(SOB(m), 0.0);
}

} // namespace
