#include "sim_test_support.h"

#include "sim/deck_writer.h"

#include <clocale>
#include <cmath>
#include <numeric>
#include <sstream>

namespace {

using namespace coning;
using namespace coning::sim;
using coning::testing::simulatedWell;

constexpr double pi = 3.141592653589793;

// The values of one keyword's array in a deck section, N*value expanded.
std::vector<double> arrayOf(const std::string &section, const std::string &keyword)
{
    const std::size_t at = section.find("\n" + keyword + "\n");
    EXPECT_NE(at, std::string::npos) << keyword;
    std::istringstream in(section.substr(at + keyword.size() + 2));
    std::vector<double> values;
    for (std::string word; in >> word && word != "/";) {
        if (word.starts_with("--")) {
            std::getline(in, word);
            continue;
        }
        const std::size_t star = word.find('*');
        const int count = star == std::string::npos ? 1 : std::stoi(word.substr(0, star));
        values.insert(values.end(), count, std::stod(word.substr(star + 1)));
    }
    return values;
}

TEST(DeckWriter, PoreVolumesAndTransmissibilitiesAreTheRadialOnes)
{
    SimulationSettings settings;
    settings.kvKh = 0.1;
    const RadialModel model = buildModel(simulatedWell(), settings, 40.0, accurateGrid(settings));
    ASSERT_EQ(model.nodeRadii.size(), 20u);
    EXPECT_EQ(model.ringRadii.front(), 0.25);
    EXPECT_EQ(model.ringRadii[1], 1.0);
    EXPECT_NEAR(model.ringRadii.back(), 1000.0, 1e-9);
    // Log-spaced beyond 1 ft, nodes at the geometric mean.
    EXPECT_NEAR(model.ringRadii[2] / model.ringRadii[1],
                model.ringRadii[20] / model.ringRadii[19],
                1e-12);
    EXPECT_NEAR(model.nodeRadii[0], std::sqrt(0.25), 1e-15);

    const std::string edit = editSection(model);
    const std::vector<double> porv = arrayOf(edit, "PORV");
    const std::vector<double> tranx = arrayOf(edit, "TRANX");
    const std::vector<double> tranz = arrayOf(edit, "TRANZ");
    const std::size_t nx = 21, nz = model.layerThickness.size();
    ASSERT_EQ(porv.size(), nx * nz);
    ASSERT_EQ(tranx.size(), nx * nz);
    ASSERT_EQ(arrayOf(edit, "TRANY"), std::vector<double>(nx * nz, 0.0));
    for (std::size_t k : {std::size_t(0), model.firstOpenLayer, nz - 2}) {
        const double dz = model.layerThickness[k];
        for (std::size_t i : {0, 7, 19}) {
            const double r1 = model.ringRadii[i], r2 = model.ringRadii[i + 1];
            const double area = pi * (r2 * r2 - r1 * r1);
            EXPECT_NEAR(porv[k * nx + i], 0.2 * area * dz / 5.614583, 1e-12 * porv[k * nx + i]);
            const double next = i == 19 ? 1000.0 : model.nodeRadii[i + 1];
            EXPECT_NEAR(tranx[k * nx + i],
                        0.001127 * 2 * pi * 100 * dz / std::log(next / model.nodeRadii[i]),
                        1e-12 * tranx[k * nx + i]);
            const double mean = (dz + model.layerThickness[k + 1]) / 2;
            EXPECT_NEAR(tranz[k * nx + i], 0.001127 * 10 * area / mean, 1e-12 * tranz[k * nx + i]);
        }
        EXPECT_EQ(porv[k * nx + 20], 1e12); // the boundary ring
        EXPECT_EQ(tranx[k * nx + 20], 0.0);
    }
    // The well's connection factor into ring 1, in every open layer.
    EXPECT_NE(scheduleSection(model).find(
                  deckNumber(0.001127 * 2 * pi * 100 * 1.0 / std::log(model.nodeRadii[0] / 0.25))),
              std::string::npos);
}

struct LayerCase
{
    const char *name;
    const char *system;
    const char *completion;
    std::map<std::string, std::string> values;
    double top, bottom; // of the completed interval below the top of the zone
};

class DeckLayers : public ::testing::TestWithParam<LayerCase>
{};

TEST_P(DeckLayers, SplitExactlyAtTheCompletionsEnds)
{
    const LayerCase &c = GetParam();
    const RadialModel model = buildModel(simulatedWell(c.system, c.values, c.completion),
                                         {},
                                         40.0,
                                         accurateGrid({}));
    const auto &dz = model.layerThickness;
    const auto depthOf = [&](std::size_t layer) {
        return model.modelTop + std::accumulate(dz.begin(), dz.begin() + layer, 0.0);
    };
    const double h = std::stod(c.values.count("zone-thickness") ? c.values.at("zone-thickness")
                                                                : "50");
    EXPECT_NEAR(depthOf(model.firstOpenLayer) - model.zoneTop, c.top, 1e-9);
    EXPECT_NEAR(depthOf(model.firstOpenLayer + model.openLayers) - model.zoneTop, c.bottom, 1e-9);
    EXPECT_NEAR(depthOf(model.firstZoneLayer + model.zoneLayers) - depthOf(model.firstZoneLayer),
                h,
                1e-9);
    EXPECT_NEAR(depthOf(dz.size()) - model.modelTop, 2 * h, 1e-9); // and the displacing zone
    for (std::size_t k = model.firstZoneLayer; k < model.firstZoneLayer + model.zoneLayers; ++k)
        EXPECT_LE(dz[k], 1.0 + 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Wells,
    DeckLayers,
    ::testing::Values(LayerCase{"OilWaterPenetration", "Oil-Water", "partial-penetration", {}, 0, 15},
                      LayerCase{"OilWaterCompletion",
                                "Oil-Water",
                                "partial-completion",
                                {{"completion-top", "2.3"}, {"penetration", "17.45"}},
                                2.3,
                                17.45},
                      LayerCase{"GasOilPenetration",
                                "Gas-Oil",
                                "partial-penetration",
                                {{"completion-top", "12.5"}, {"zone-thickness", "40.2"}},
                                12.5,
                                40.2},
                      LayerCase{"GasWaterPenetration",
                                "Gas-Water",
                                "partial-penetration",
                                {{"penetration", "0.5"}},
                                0,
                                0.5}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(DeckWriter, IdenticalInputsGiveIdenticalBytesInAnyLocale)
{
    const Well well = simulatedWell("Gas-Oil");
    const std::string first = writeDeck(buildModel(well, {}, 21.25, accurateGrid({})));
    const char *previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    std::setlocale(LC_ALL, "de_DE.UTF-8"); // a decimal comma, where installed
    const std::string second = writeDeck(buildModel(well, {}, 21.25, accurateGrid({})));
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.find("/tmp"), std::string::npos);
}

TEST(DeckWriter, ArraysAreCompact)
{
    EXPECT_EQ(deckArray({1, 1, 1, 0.5, 2, 2}), " 3*1 0.5 2*2 /\n");
    EXPECT_EQ(deckArray({1, 2, 3, 4, 5, 6, 7}), " 1 2 3 4 5 6\n 7 /\n");
}

TEST(ReportSteps, StartShortAndEndExactlyAtTheHorizon)
{
    for (double years : {0.1, 10.0, 100.0}) {
        const std::vector<double> steps = reportSteps(years);
        EXPECT_NEAR(std::accumulate(steps.begin(), steps.end(), 0.0), years * 365.25, 1e-6);
        EXPECT_LE(steps.front(), 0.1);
        EXPECT_LE(*std::max_element(steps.begin(), steps.end()), years * 365.25 / 120 * 1.01);
    }
}

} // namespace
