// The horizontal well's cross-section: its exact pore volumes, transmissibilities and connection
// factor as written into the deck, and what the model refuses.
#include "sim_test_support.h"

#include "sim/cross_section_model.h"
#include "sim/deck_writer.h"

#include <cmath>
#include <numeric>
#include <sstream>

namespace {

using namespace coning;
using namespace coning::sim;
using coning::testing::horizontalSample;

constexpr double pi = 3.141592653589793;

using coning::testing::arrayOf;

struct SectionCase
{
    const char *name;
    const char *system;
    double kvKh;
    double standoff;
    double boundaryDistance;
    double zoneThickness;
    double aquifer; // ft of bottom water or gas cap
};

class CrossSection : public ::testing::TestWithParam<SectionCase>
{};

TEST_P(CrossSection, PoreVolumeAndConnectionAreExact)
{
    const SectionCase &c = GetParam();
    HorizontalWell well = horizontalSample(c.system);
    well.kvKh = c.kvKh;
    well.standoff = c.standoff;
    well.boundaryDistance = c.boundaryDistance;
    well.zoneThickness = c.zoneThickness;
    SimulationSettings settings;
    settings.aquiferThickness = c.aquifer;
    ASSERT_TRUE(checkSimulation(well, settings).empty());
    const ReservoirModel model = buildModel(well,
                                            settings,
                                            80.0,
                                            accurateCrossSectionGrid(settings));
    const std::string deck = writeDeck(model);

    // phi L ye (h + h_aquifer) over the cells, the boundary column (1e12 rb) aside.
    const std::vector<double> porv = arrayOf(deck, "PORV");
    const std::size_t ny = model.columnNodes.size() + 1;
    double total = 0.0;
    for (std::size_t i = 0; i < porv.size(); ++i)
        total += i % ny + 1 == ny ? 0.0 : porv[i];
    const double expected = 0.2 * 1000.0 * c.boundaryDistance * (c.zoneThickness + c.aquifer)
                            / 5.614583;
    EXPECT_NEAR(total, expected, 1e-12 * expected);

    // The well's layer is centred on the standoff, kept inside the zone.
    const std::size_t k = model.firstOpenLayer;
    const double dz = model.layerThickness[k];
    double top = 0.0;
    for (std::size_t i = 0; i < k; ++i)
        top += model.layerThickness[i];
    const bool gasOil = std::string(c.system) == "Gas-Oil";
    const double contactDepth = gasOil ? c.aquifer : c.zoneThickness; // from the model's top
    const double standoff = std::abs(contactDepth - (top + dz / 2.0));
    EXPECT_NEAR(standoff, std::clamp(c.standoff, dz / 2.0, c.zoneThickness - dz / 2.0), 1e-9);

    // Half of 2 pi 0.001127 sqrt(kh kv) L / ln(ro / rw') for the whole well cell, ro at least
    // twice rw'; only the well's cell is connected, along x.
    const double kh = 100.0;
    const double kv = 100.0 * c.kvKh;
    const double dy = 2.0 * model.columnEdges[1];
    const double ro = 0.28 * std::sqrt(std::sqrt(kv / kh) * dy * dy + std::sqrt(kh / kv) * dz * dz)
                      / (std::pow(kv / kh, 0.25) + std::pow(kh / kv, 0.25));
    const double rw = 4.0 / 12.0 * 0.5 * (std::pow(kh / kv, 0.25) + std::pow(kv / kh, 0.25));
    EXPECT_GE(ro, 2.0 * rw);
    const double factor = 0.5 * 2.0 * pi * 0.001127 * std::sqrt(kh * kv) * 1000.0
                          / std::log(ro / rw);
    const std::string compdat = deck.substr(deck.find("\nCOMPDAT\n"));
    const std::string line = " 'PROD' 1 1 " + std::to_string(k + 1) + " " + std::to_string(k + 1)
                             + " 'OPEN' 1* ";
    const std::size_t at = compdat.find(line);
    ASSERT_NE(at, std::string::npos);
    EXPECT_NEAR(std::stod(compdat.substr(at + line.size())), factor, 1e-12 * factor);
    EXPECT_NE(compdat.find("4* 'X' /\n/\n"), std::string::npos);

    // Half the rate; the grid one cell along the well.
    const bool gas = std::string(c.system) == "Gas-Water";
    EXPECT_NE(deck.find(gas ? "'GRAT' 2* 40 " : "'ORAT' 40 "), std::string::npos);
    EXPECT_NE(deck.find("\n 1 " + std::to_string(ny) + " "), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Wells,
    CrossSection,
    ::testing::Values(SectionCase{"TopOfZone", "Oil-Water", 0.1, 50.0, 500.0, 50.0, 50.0},
                      SectionCase{"MidZoneIsotropic", "Oil-Water", 1.0, 25.0, 100.0, 50.0, 30.0},
                      SectionCase{"ThickZone", "Oil-Water", 0.3, 40.0, 1600.0, 80.0, 80.0},
                      SectionCase{"GasCapAbove", "Gas-Oil", 0.1, 10.0, 400.0, 40.0, 40.0},
                      SectionCase{"NearTheContact", "Gas-Water", 1.0, 0.2, 300.0, 30.0, 30.0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(CrossSection, TransmissibilitiesJoinNodes)
{
    const ReservoirModel model = buildModel(horizontalSample(), {}, 80.0, coarseCrossSectionGrid());
    const std::vector<double> trany = arrayOf(writeDeck(model), "TRANY");
    const double dz = model.layerThickness[0];
    // Column 0's node is on the well's plane, the next one midway across its column.
    const double distance = (model.columnEdges[1] + model.columnEdges[2]) / 2.0;
    EXPECT_NEAR(trany[0], 0.001127 * 100.0 * dz * 1000.0 / distance, 1e-12 * trany[0]);
    const std::size_t last = model.columnNodes.size() - 1; // into the boundary column
    EXPECT_NEAR(trany[last],
                0.001127 * 100.0 * dz * 1000.0 / (500.0 - model.columnNodes[last]),
                1e-12 * trany[last]);
    EXPECT_EQ(arrayOf(writeDeck(model), "TRANX"), std::vector<double>(trany.size(), 0.0));
}

TEST(CrossSection, WellsTheModelCannotTake)
{
    const auto problemOf = [](HorizontalWell well) {
        const std::vector<SettingProblem> problems = checkSimulation(well, {});
        return problems.empty() ? std::string() : std::string(problems.front().option);
    };
    HorizontalWell well = horizontalSample();
    well.standoff = 0.0;
    EXPECT_EQ(problemOf(well), "standoff");
    well = horizontalSample();
    well.standoff = 50.5;
    EXPECT_EQ(problemOf(well), "standoff");
    well = horizontalSample();
    well.kvKh = 0.001; // a well cell 160 ft wide on each side
    well.boundaryDistance = 200.0;
    EXPECT_EQ(problemOf(well), "boundary-distance");
    well = horizontalSample();
    well.wellLength = -1000.0;
    EXPECT_EQ(problemOf(well), "well-length");
    well = horizontalSample("Gas-Oil");
    well.densityDifference = 0.7;
    EXPECT_EQ(problemOf(well), "density-difference");
}

} // namespace
