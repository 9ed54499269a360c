#include "radial_model.h"

#include "model/real.h"

#include <algorithm>
#include <cmath>

namespace coning::sim {
namespace {

constexpr double zoneTopDepth = 5000.0; // ft; any depth would do, the pressure is given
constexpr double layerGrowth = 1.3;     // of the displacing zone's layers, away from the contact
constexpr double pi = 3.141592653589793;

// Log-spaced radii from `inner` to `outer` in `count` steps, the ends exact.
void appendLogSpaced(std::vector<double> &radii, double inner, double outer, std::size_t count)
{
    const double ratio = std::log(outer / inner);
    for (std::size_t i = 1; i < count; ++i)
        radii.push_back(inner * std::exp(ratio * static_cast<double>(i) / count));
    radii.push_back(outer);
}

// `length` split into equal layers no thicker than `thickness`.
void appendEqualLayers(std::vector<double> &layers, double length, double thickness)
{
    if (length <= 0.0)
        return;
    const auto count = static_cast<std::size_t>(std::max(1.0, std::ceil(length / thickness - 1e-9)));
    for (std::size_t i = 0; i < count; ++i)
        layers.push_back(length / static_cast<double>(count));
}

// `length` in layers growing from `thickness` away from the contact, listed from the contact.
std::vector<double> growingLayers(double length, double thickness)
{
    std::vector<double> layers;
    double done = 0.0;
    double next = thickness;
    while (done + next < length) {
        layers.push_back(next);
        done += next;
        next *= layerGrowth;
    }
    const double rest = length - done;
    if (!layers.empty() && rest < 0.5 * layers.back())
        layers.back() += rest; // no sliver at the far end
    else
        layers.push_back(rest);
    return layers;
}

// A saturation end point as the decimal it stands for: 1 - 0.2 - 0.2 is 0.6, not
// 0.6000000000000001 (saturations are given to far fewer than twelve decimals).
double decimal(double value)
{
    return std::round(value * 1e12) / 1e12;
}

double corey(double base, double exponent, double endpoint)
{
    return endpoint * power(base, exponent).value();
}

// The Corey rows of each fluid system: water immobile up to model.mobileWater; straight lines
// need only their end points (the simulator interpolates linearly), curves get coreySteps
// points between them.
void coreyRows(RadialModel &model, const CoreyCurves &c)
{
    const bool straight = c.exponents[0] == 1.0 && c.exponents[1] == 1.0;
    const std::size_t steps = straight ? 1 : coreySteps;
    // Plain names rather than structured bindings, which clang 14 cannot capture in a lambda.
    const double n1 = c.exponents[0];
    const double n2 = c.exponents[1];
    const double k1 = c.endpoints[0];
    const double k2 = c.endpoints[1];
    const double swc = c.connateWater;
    const double residual = c.residualSaturation;
    const double swcr = model.mobileWater;
    const auto fraction = [&](std::size_t i) {
        return static_cast<double>(i) / static_cast<double>(steps);
    };
    switch (model.system) {
    case FluidSystem::OilWater: {
        // Oil flows from connate water up to its residual, water from swcr to the end.
        const double high = decimal(1.0 - residual);
        const double oilSpan = decimal(high - swc);
        const auto krow = [&](double sw) { return corey((high - sw) / oilSpan, n2, k2); };
        model.saturationRows.push_back({swc, 0.0, k2, 0.0});
        model.saturationRows.push_back({swcr, 0.0, krow(swcr), 0.0});
        for (std::size_t i = 1; i < steps; ++i) {
            const double sw = swcr + (high - swcr) * fraction(i);
            model.saturationRows.push_back(
                {sw, corey((sw - swcr) / (high - swcr), n1, k1), krow(sw), 0.0});
        }
        model.saturationRows.push_back({high, k1, 0.0, 0.0});
        if (high < 1.0)
            model.saturationRows.push_back({1.0, k1, 0.0, 0.0});
        break;
    }
    case FluidSystem::GasOil: {
        // Gas flows from none, oil (with the connate water, liquid) down to its residual.
        const double span = decimal(1.0 - swc - residual);
        model.saturationRows.push_back({0.0, 0.0, k2, 0.0});
        for (std::size_t i = 1; i < steps; ++i) {
            const double sg = span * fraction(i);
            model.saturationRows.push_back(
                {sg, corey(sg / span, n1, k1), corey((span - sg) / span, n2, k2), 0.0});
        }
        model.saturationRows.push_back({span, k1, 0.0, 0.0});
        const double highest = decimal(1.0 - swc);
        if (highest > span)
            model.saturationRows.push_back({highest, k1, 0.0, 0.0});
        break;
    }
    case FluidSystem::GasWater: {
        // Water flows from swcr up to the residual gas, gas from its residual up to connate.
        const double high = decimal(1.0 - residual);
        model.waterRows.push_back({swc, 0.0, 0.0});
        model.waterRows.push_back({swcr, 0.0, 0.0});
        for (std::size_t i = 1; n1 != 1.0 && i < steps; ++i) {
            const double sw = swcr + (high - swcr) * fraction(i);
            model.waterRows.push_back({sw, corey((sw - swcr) / (high - swcr), n1, k1), 0.0});
        }
        model.waterRows.push_back({high, k1, 0.0});
        if (high < 1.0)
            model.waterRows.push_back({1.0, k1, 0.0});
        const double gasSpan = decimal(1.0 - swc - residual);
        model.gasRows.push_back({0.0, 0.0, 0.0});
        if (residual > 0.0)
            model.gasRows.push_back({residual, 0.0, 0.0});
        for (std::size_t i = 1; n2 != 1.0 && i < steps; ++i) {
            const double sg = residual + gasSpan * fraction(i);
            model.gasRows.push_back({sg, corey((sg - residual) / gasSpan, n2, k2), 0.0});
        }
        model.gasRows.push_back({decimal(1.0 - swc), k2, 0.0});
        break;
    }
    }
}

// An engineer's table as given; for SWOF a row is added where water starts to flow, when the
// table's water would flow within the margin above connate (between its first two rows).
void tableRows(RadialModel &model, const RelpermTable &table)
{
    model.saturationRows = table.rows;
    if (model.system != FluidSystem::OilWater)
        return;
    const auto &first = table.rows[0];
    const auto &second = table.rows[1];
    if (second[1] == 0.0 || second[0] <= model.mobileWater)
        return; // checkSimulation refuses flowing water within the margin
    const double t = (model.mobileWater - first[0]) / (second[0] - first[0]);
    model.saturationRows.insert(model.saturationRows.begin() + 1,
                                {model.mobileWater,
                                 0.0,
                                 first[2] + t * (second[2] - first[2]),
                                 first[3] + t * (second[3] - first[3])});
}

} // namespace

double waterMargin(double connate, const SimulationSettings &settings)
{
    const double expansion = connate * connateWaterCompressibility
                             * (settings.initialPressure - settings.minimumBhp);
    return std::max(immobileWaterMargin, 2.0 * expansion);
}

GridSize accurateGrid(const SimulationSettings &settings)
{
    const auto refinement = static_cast<std::size_t>(settings.refinement);
    return {defaultRingCount * refinement, defaultLayerThickness / settings.refinement};
}

GridSize coarseGrid()
{
    // Steps of 10 % (at most a 40th of the horizon) halve the run time again; this grid's
    // critical rate stays within a few tenths of a percent of the accurate one's (the sample
    // well: 21.43 against 21.41 STB/day, interpolated alike).
    return {defaultRingCount / 2, 2.0 * defaultLayerThickness, 0.10, 40.0};
}

std::vector<double> reportSteps(double years, double growth, double perHorizon)
{
    // Each step 3 % of the time elapsed: breakthrough times come out within about 2 % of those
    // of ever shorter steps (the sample well at 100 STB/day: 33.3 days against 34.0), for a
    // quarter more work than steps of 10 % (31.8 days). The critical rate hardly depends on them.
    const double horizon = years * 365.25;
    const double shortest = std::min(0.1, horizon / 1000.0);
    const double longest = horizon / perHorizon;
    std::vector<double> steps;
    double done = 0.0;
    while (done < horizon) {
        double next = std::min({std::max(shortest, growth * done), longest, horizon - done});
        if (horizon - (done + next) < 0.01 * next)
            next = horizon - done; // no sliver of a step at the end
        steps.push_back(next);
        done += next;
    }
    return steps;
}

RadialModel buildModel(const Well &well,
                       const SimulationSettings &settings,
                       double rate,
                       const GridSize &grid)
{
    const ParameterSet &m = well.parameters;
    RadialModel model;
    model.system = fluidSystemOf(well);
    const bool gasOil = model.system == FluidSystem::GasOil;

    // The first ring reaches 1 ft, the others are log-spaced to the drainage radius.
    const double rw = m.wellRadius;
    const double re = m.drainageRadius;
    const std::size_t innerRings = std::max<std::size_t>(1, grid.rings / defaultRingCount);
    model.ringRadii.push_back(rw);
    appendLogSpaced(model.ringRadii, rw, 1.0, innerRings);
    appendLogSpaced(model.ringRadii, 1.0, re, grid.rings - innerRings);
    for (std::size_t i = 0; i + 1 < model.ringRadii.size(); ++i)
        model.nodeRadii.push_back(std::sqrt(model.ringRadii[i] * model.ringRadii[i + 1]));

    // The completed interval below the top of the zone, as typed.
    const double h = m.zoneThicknessInput;
    const bool partialCompletion = well.completion == Completion::PartialCompletion;
    const double top = partialCompletion || gasOil ? m.completionTop : 0.0;
    const double bottom = !partialCompletion && gasOil ? h : m.penetrationInput;

    // The displacing zone: a gas cap above the zone, or bottom water below it.
    const double aquifer = aquiferThickness(well, settings);
    std::vector<double> displacing = growingLayers(aquifer, grid.layerThickness);
    if (gasOil) {
        std::reverse(displacing.begin(), displacing.end());
        model.layerThickness = displacing;
    }
    model.firstZoneLayer = model.layerThickness.size();
    appendEqualLayers(model.layerThickness, top, grid.layerThickness);
    model.firstOpenLayer = model.layerThickness.size();
    appendEqualLayers(model.layerThickness, bottom - top, grid.layerThickness);
    model.openLayers = model.layerThickness.size() - model.firstOpenLayer;
    appendEqualLayers(model.layerThickness, h - bottom, grid.layerThickness);
    model.zoneLayers = model.layerThickness.size() - model.firstZoneLayer;
    if (!gasOil)
        model.layerThickness.insert(model.layerThickness.end(),
                                    displacing.begin(),
                                    displacing.end());

    model.zoneTop = zoneTopDepth;
    model.modelTop = gasOil ? zoneTopDepth - aquifer : zoneTopDepth;
    model.contact = gasOil ? zoneTopDepth : zoneTopDepth + h;

    model.horizontalPermeability = m.permeability;
    model.verticalPermeability = m.permeability * settings.kvKh;
    model.porosity = settings.porosity;

    model.producedViscosity = m.viscosity;
    model.producedFvf = m.formationVolumeFactor;
    model.displacingViscosity = displacingViscosity(model.system, settings);
    if (gasOil) {
        model.producedDensity = 0.7;
        model.displacingDensity = 0.7 - m.densityDifference;
        model.displacingFvf = 1.0; // rb/Mscf of the cap gas; only its surface volume depends on it
    } else {
        model.displacingDensity = 1.0;
        model.producedDensity = 1.0 - m.densityDifference;
        model.displacingFvf = 1.0; // rb/STB of water
    }
    model.initialPressure = settings.initialPressure;
    model.minimumBhp = settings.minimumBhp;
    model.outerBoundary = settings.outerBoundary;
    model.connateWater = connateWater(settings, model.system);
    model.mobileWater = model.connateWater + waterMargin(model.connateWater, settings);
    if (settings.relpermTable) {
        tableRows(model, *settings.relpermTable);
    } else {
        model.corey = coreyCurves(settings);
        coreyRows(model, *model.corey);
    }
    model.rate = rate;
    model.reportSteps = reportSteps(settings.years, grid.stepGrowth, grid.stepsPerHorizon);
    return model;
}

double ringArea(const RadialModel &model, std::size_t ring)
{
    const double inner = model.ringRadii[ring];
    const double outer = model.ringRadii[ring + 1];
    return pi * (power(outer, 2.0).value() - power(inner, 2.0).value());
}

double poreVolume(const RadialModel &model, std::size_t ring, std::size_t layer)
{
    return model.porosity * ringArea(model, ring) * model.layerThickness[layer]
           / cubicFeetPerBarrel;
}

double radialTransmissibility(const RadialModel &model, std::size_t ring, std::size_t layer)
{
    // Into the boundary ring the pressure point is the drainage radius itself.
    const double outer = ring + 1 < model.nodeRadii.size() ? model.nodeRadii[ring + 1]
                                                           : model.ringRadii.back();
    return darcyConstant * 2.0 * pi * model.horizontalPermeability * model.layerThickness[layer]
           / naturalLog(outer / model.nodeRadii[ring]).value();
}

double verticalTransmissibility(const RadialModel &model, std::size_t ring, std::size_t layer)
{
    const double distance = (model.layerThickness[layer] + model.layerThickness[layer + 1]) / 2.0;
    return darcyConstant * model.verticalPermeability * ringArea(model, ring) / distance;
}

double connectionFactor(const RadialModel &model, std::size_t layer)
{
    return darcyConstant * 2.0 * pi * model.horizontalPermeability * model.layerThickness[layer]
           / naturalLog(model.nodeRadii[0] / model.ringRadii[0]).value();
}

} // namespace coning::sim
