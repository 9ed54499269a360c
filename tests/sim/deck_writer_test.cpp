#include "sim_test_support.h"

#include "sim/deck_writer.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <numeric>
#include <sstream>
#include <tuple>

namespace {

using namespace coning;
using namespace coning::sim;
using coning::testing::simulatedWell;

constexpr double pi = 3.141592653589793;

using coning::testing::arrayOf;

TEST(DeckWriter, PoreVolumesAndTransmissibilitiesAreTheRadialOnes)
{
    SimulationSettings settings;
    settings.kvKh = 0.1;
    const ReservoirModel model = buildModel(simulatedWell(), settings, 40.0, accurateGrid(settings));
    ASSERT_EQ(model.columnNodes.size(), 20u);
    EXPECT_EQ(model.columnEdges.front(), 0.25);
    EXPECT_EQ(model.columnEdges[1], 1.0);
    EXPECT_NEAR(model.columnEdges.back(), 1000.0, 1e-9);
    // Log-spaced beyond 1 ft, nodes at the geometric mean.
    EXPECT_NEAR(model.columnEdges[2] / model.columnEdges[1],
                model.columnEdges[20] / model.columnEdges[19],
                1e-12);
    EXPECT_NEAR(model.columnNodes[0], std::sqrt(0.25), 1e-15);

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
            const double r1 = model.columnEdges[i], r2 = model.columnEdges[i + 1];
            const double area = pi * (r2 * r2 - r1 * r1);
            EXPECT_NEAR(porv[k * nx + i], 0.2 * area * dz / 5.614583, 1e-12 * porv[k * nx + i]);
            const double next = i == 19 ? 1000.0 : model.columnNodes[i + 1];
            EXPECT_NEAR(tranx[k * nx + i],
                        0.001127 * 2 * pi * 100 * dz / std::log(next / model.columnNodes[i]),
                        1e-12 * tranx[k * nx + i]);
            const double mean = (dz + model.layerThickness[k + 1]) / 2;
            EXPECT_NEAR(tranz[k * nx + i], 0.001127 * 10 * area / mean, 1e-12 * tranz[k * nx + i]);
        }
        EXPECT_EQ(porv[k * nx + 20], 1e12); // the boundary ring
        EXPECT_EQ(tranx[k * nx + 20], 0.0);
    }
    // The well's connection factor into ring 1, in every open layer.
    EXPECT_NE(scheduleSection(model).find(deckNumber(0.001127 * 2 * pi * 100 * 1.0
                                                     / std::log(model.columnNodes[0] / 0.25))),
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
    const ReservoirModel model = buildModel(simulatedWell(c.system, c.values, c.completion),
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

namespace {

// FNV-1a: a stable fingerprint of a deck's bytes.
std::uint64_t fingerprint(const std::string &text)
{
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (unsigned char c : text)
        hash = (hash ^ c) * 0x100000001b3u;
    return hash;
}

SimulationSettings readTexts(const SettingTexts &texts)
{
    SimulationSettings settings;
    std::vector<std::string> messages;
    readSettings(texts, settings, messages);
    EXPECT_TRUE(messages.empty()) << messages.front();
    return settings;
}

std::string propsOf(const char *system, const SimulationSettings &settings)
{
    return propsSection(buildModel(simulatedWell(system), settings, 40.0, coarseGrid()));
}

// Rows `first` to `first + count` of a flat table of `width` columns.
std::vector<double> rowsOf(const std::vector<double> &flat, std::size_t width, std::size_t row)
{
    return {flat.begin() + static_cast<std::ptrdiff_t>(width * row),
            flat.begin() + static_cast<std::ptrdiff_t>(width * (row + 1))};
}

} // namespace

// The default settings write the decks they wrote before the rock and aquifer settings existed,
// byte for byte: every default number stays where it was.
TEST(DeckWriter, DefaultDecksAreUnchanged)
{
    const std::vector<std::tuple<const char *, std::size_t, std::uint64_t>> decks = {
        {"Oil-Water", 66340, 0xfbaa1b867f9a0401u},
        {"Gas-Oil", 66402, 0x60ae0b4d266f4697u},
        {"Gas-Water", 67712, 0xd4ef4561dc4cae93u}};
    for (const auto &[system, size, hash] : decks) {
        const std::string deck = writeDeck(
            buildModel(simulatedWell(system), {}, 40.0, accurateGrid({})));
        EXPECT_EQ(deck.size(), size) << system;
        EXPECT_EQ(fingerprint(deck), hash) << system;
    }
}

// Corey rows against hand-computed ones: water immobile above connate, 20 steps between
// the end points of a curve, the end points' permeabilities.
TEST(DeckWriter, CoreyCurvesInEachFluidSystem)
{
    // Oil-Water: connate 0.1, residual oil 0.3, exponents 2,2, end points 0.5,0.8.
    const std::vector<double> swof = arrayOf(propsOf("Oil-Water",
                                                     readTexts({{connateWaterName, "0.1"},
                                                                {residualSaturationName, "0.3"},
                                                                {coreyExponentsName, "2,2"},
                                                                {endpointPermeabilitiesName,
                                                                 "0.5,0.8"}})),
                                             "SWOF");
    ASSERT_EQ(swof.size(), 4u * 23);
    EXPECT_EQ(rowsOf(swof, 4, 0), (std::vector<double>{0.1, 0, 0.8, 0}));
    EXPECT_NEAR(rowsOf(swof, 4, 1)[0], 0.1001, 1e-15);
    EXPECT_NEAR(rowsOf(swof, 4, 1)[2], 0.8 * std::pow(0.5999 / 0.6, 2), 1e-15);
    const std::vector<double> middle = rowsOf(swof, 4, 11); // halfway from 0.1001 to 0.7
    EXPECT_NEAR(middle[0], 0.40005, 1e-15);
    EXPECT_NEAR(middle[1], 0.125, 1e-15);                            // 0.5 x 0.5^2
    EXPECT_NEAR(middle[2], 0.8 * std::pow(0.29995 / 0.6, 2), 1e-15); // oil from 0.1
    EXPECT_EQ(rowsOf(swof, 4, 21), (std::vector<double>{0.7, 0.5, 0, 0}));
    EXPECT_EQ(rowsOf(swof, 4, 22), (std::vector<double>{1, 0.5, 0, 0}));

    // Gas-Oil: the connate water 0.15 is liquid; gas flows from 0, oil down to 0.25.
    const std::vector<double> sgof = arrayOf(propsOf("Gas-Oil",
                                                     readTexts({{connateWaterName, "0.15"},
                                                                {residualSaturationName, "0.25"},
                                                                {coreyExponentsName, "2,1"}})),
                                             "SGOF");
    ASSERT_EQ(sgof.size(), 4u * 22);
    EXPECT_EQ(rowsOf(sgof, 4, 0), (std::vector<double>{0, 0, 1, 0}));
    EXPECT_NEAR(rowsOf(sgof, 4, 10)[0], 0.3, 1e-15);
    EXPECT_NEAR(rowsOf(sgof, 4, 10)[1], 0.25, 1e-15);
    EXPECT_NEAR(rowsOf(sgof, 4, 10)[2], 0.5, 1e-15);
    EXPECT_EQ(rowsOf(sgof, 4, 20), (std::vector<double>{0.6, 1, 0, 0}));
    EXPECT_EQ(rowsOf(sgof, 4, 21), (std::vector<double>{0.85, 1, 0, 0}));

    // Gas-Water: water a straight line from 0.3001, gas a cube from its residual 0.1 to 0.7.
    const SimulationSettings gasWater = readTexts({{connateWaterName, "0.3"},
                                                   {residualSaturationName, "0.1"},
                                                   {coreyExponentsName, "1,3"},
                                                   {endpointPermeabilitiesName, "1,0.6"}});
    const std::string props = propsOf("Gas-Water", gasWater);
    // Connate water 0.3 expands by more than half the default margin: twice its expansion.
    const double mobile = 0.3 + 2 * 0.3 * 1e-7 * (2200 - 14.7);
    const std::vector<double> swfn = arrayOf(props, "SWFN");
    const std::vector<double> expectedSwfn = {0.3, 0, 0, mobile, 0, 0, 0.9, 1, 0, 1, 1, 0};
    ASSERT_EQ(swfn.size(), expectedSwfn.size());
    for (std::size_t i = 0; i < swfn.size(); ++i)
        EXPECT_NEAR(swfn[i], expectedSwfn[i], 1e-15) << i;
    const std::vector<double> sgfn = arrayOf(props, "SGFN");
    ASSERT_EQ(sgfn.size(), 3u * 22);
    EXPECT_EQ(rowsOf(sgfn, 3, 1), (std::vector<double>{0.1, 0, 0}));
    EXPECT_NEAR(rowsOf(sgfn, 3, 11)[0], 0.4, 1e-15);
    EXPECT_NEAR(rowsOf(sgfn, 3, 11)[1], 0.075, 1e-15); // 0.6 x 0.5^3
    EXPECT_EQ(rowsOf(sgfn, 3, 21), (std::vector<double>{0.7, 0.6, 0}));
    const std::string solution = solutionSection(
        buildModel(simulatedWell("Gas-Water"), gasWater, 40.0, coarseGrid()));
    EXPECT_EQ(arrayOf(solution, "SWAT").front(), 0.3);
}

// A high pressure expands connate water further: the immobile margin grows with it.
TEST(DeckWriter, ImmobileWaterMarginCoversTheExpansion)
{
    const std::vector<double> swof = arrayOf(propsOf("Oil-Water",
                                                     readTexts({{connateWaterName, "0.4"},
                                                                {residualSaturationName, "0.1"},
                                                                {initialPressureName, "10014.7"}})),
                                             "SWOF");
    EXPECT_NEAR(swof[4], 0.4 + 2 * 0.4 * 1e-7 * 10000, 1e-15);
}

TEST(DeckWriter, RelpermTableIsUsedAsGiven)
{
    const std::string file = ::testing::TempDir() + "/deck-swof.txt";
    std::ofstream(file)
        << "SWOF\n-- measured\n0.2 0 1 0\n0.3 0.05 0.6 0.5\n0.7 0.5 0 0\n1 1 0 0 /\n";
    const std::vector<double> swof = arrayOf(propsOf("Oil-Water",
                                                     readTexts({{relpermTableName, file}})),
                                             "SWOF");
    // A row where water starts to flow: oil and capillary pressure interpolated at 0.2001.
    const std::vector<double> expected = {0.2, 0,   1,   0,   0.2001, 0, 0.9996, 0.0005, 0.3, 0.05,
                                          0.6, 0.5, 0.7, 0.5, 0,      0, 1,      1,      0,   0};
    ASSERT_EQ(swof.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(swof[i], expected[i], 1e-15) << i;

    std::ofstream(file) << "0 0 1 0\n0.5 0.3 0.1 0\n0.7 0.6 0 0\n";
    EXPECT_EQ(arrayOf(propsOf("Gas-Oil", readTexts({{relpermTableName, file}})), "SGOF"),
              (std::vector<double>{0, 0, 1, 0, 0.5, 0.3, 0.1, 0, 0.7, 0.6, 0, 0}));
}

TEST(DeckWriter, AquiferBoundaryAndPressures)
{
    const SimulationSettings settings = readTexts({{aquiferThicknessName, "200"},
                                                   {outerBoundaryName, "closed"},
                                                   {initialPressureName, "3000"},
                                                   {minimumBhpName, "500"}});
    for (const char *system : {"Oil-Water", "Gas-Oil"}) {
        const ReservoirModel model = buildModel(simulatedWell(system), settings, 40.0, coarseGrid());
        const double total = std::accumulate(model.layerThickness.begin(),
                                             model.layerThickness.end(),
                                             0.0);
        EXPECT_NEAR(total, 50.0 + 200.0, 1e-9) << system; // the zone and the aquifer
        const std::string deck = writeDeck(model);
        const std::vector<double> porv = arrayOf(deck, "PORV");
        const std::vector<double> tranx = arrayOf(deck, "TRANX");
        const std::size_t nx = model.columnNodes.size() + 1;
        for (std::size_t k = 0; k < model.layerThickness.size(); ++k) {
            EXPECT_EQ(porv[k * nx + nx - 1], 0.0) << system;  // no boundary ring
            EXPECT_EQ(tranx[k * nx + nx - 2], 0.0) << system; // nor flow into it
            EXPECT_GT(porv[k * nx + nx - 2], 0.0) << system;
        }
        EXPECT_EQ(arrayOf(deck, "EQUIL")[1], 3000.0) << system;
        EXPECT_NE(deck.find("'ORAT' 40 4* 500 /"), std::string::npos) << system;
    }
}
