#include "reservoir_model.h"

#include "model/real.h"

#include <algorithm>
#include <cmath>

namespace coning::sim {
namespace {

constexpr double pi = 3.141592653589793;
constexpr double layerGrowth = 1.3; // of the displacing zone's layers, away from the contact

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
void coreyRows(ReservoirModel &model, const CoreyCurves &c)
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
void tableRows(ReservoirModel &model, const RelpermTable &table)
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

double waterMargin(double connate, const SimulationSettings &settings)
{
    const double expansion = connate * connateWaterCompressibility
                             * (settings.initialPressure - settings.minimumBhp);
    return std::max(immobileWaterMargin, 2.0 * expansion);
}

void closeLayers(ReservoirModel &model,
                 const std::vector<double> &displacing,
                 double h,
                 double aquifer)
{
    const bool gasOil = model.system == FluidSystem::GasOil;
    if (!gasOil)
        model.layerThickness.insert(model.layerThickness.end(),
                                    displacing.begin(),
                                    displacing.end());
    model.zoneTop = zoneTopDepth;
    model.modelTop = gasOil ? zoneTopDepth - aquifer : zoneTopDepth;
    model.contact = gasOil ? zoneTopDepth : zoneTopDepth + h;
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

void fillFluids(ReservoirModel &model,
                const FluidInputs &fluids,
                const SimulationSettings &settings,
                double rate,
                const GridSize &grid)
{
    model.system = fluids.system;
    const bool gasOil = model.system == FluidSystem::GasOil;
    model.horizontalPermeability = fluids.permeability;
    model.verticalPermeability = fluids.permeability * fluids.kvKh;
    model.porosity = settings.porosity;

    model.producedViscosity = fluids.viscosity;
    model.producedFvf = fluids.fvf;
    model.displacingViscosity = displacingViscosity(model.system, settings);
    if (gasOil) {
        model.producedDensity = 0.7;
        model.displacingDensity = 0.7 - fluids.densityDifference;
        model.displacingFvf = 1.0; // rb/Mscf of the cap gas; only its surface volume depends on it
    } else {
        model.displacingDensity = 1.0;
        model.producedDensity = 1.0 - fluids.densityDifference;
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
}

double columnArea(const ReservoirModel &model, std::size_t column)
{
    const double inner = model.columnEdges[column];
    const double outer = model.columnEdges[column + 1];
    if (model.geometry == Geometry::CrossSection)
        return (outer - inner) * model.wellLength;
    return pi * (power(outer, 2.0).value() - power(inner, 2.0).value());
}

double poreVolume(const ReservoirModel &model, std::size_t column, std::size_t layer)
{
    return model.porosity * columnArea(model, column) * model.layerThickness[layer]
           / cubicFeetPerBarrel;
}

double lateralTransmissibility(const ReservoirModel &model, std::size_t column, std::size_t layer)
{
    // Into the boundary column the pressure point is the outer edge itself.
    const double outer = column + 1 < model.columnNodes.size() ? model.columnNodes[column + 1]
                                                               : model.columnEdges.back();
    const double dz = model.layerThickness[layer];
    if (model.geometry == Geometry::CrossSection)
        return darcyConstant * model.horizontalPermeability * dz * model.wellLength
               / (outer - model.columnNodes[column]);
    return darcyConstant * 2.0 * pi * model.horizontalPermeability * dz
           / naturalLog(outer / model.columnNodes[column]).value();
}

double verticalTransmissibility(const ReservoirModel &model, std::size_t column, std::size_t layer)
{
    const double distance = (model.layerThickness[layer] + model.layerThickness[layer + 1]) / 2.0;
    return darcyConstant * model.verticalPermeability * columnArea(model, column) / distance;
}

double peacemanRadius(double ky, double kz, double dy, double dz)
{
    const double yz = power(kz / ky, 0.5).value();
    const double zy = power(ky / kz, 0.5).value();
    return 0.28 * power(yz * power(dy, 2.0).value() + zy * power(dz, 2.0).value(), 0.5).value()
           / (power(kz / ky, 0.25).value() + power(ky / kz, 0.25).value());
}

double effectiveWellRadius(double ky, double kz, double rw)
{
    return rw * 0.5 * (power(ky / kz, 0.25).value() + power(kz / ky, 0.25).value());
}

double connectionFactor(const ReservoirModel &model, std::size_t layer)
{
    if (model.geometry == Geometry::CrossSection) {
        // The well lies along the cell's length at its centre: the whole cell is twice the
        // half in the model, and the model holds its share of the whole well's factor.
        const double ky = model.horizontalPermeability;
        const double kz = model.verticalPermeability;
        const double ro = peacemanRadius(ky,
                                         kz,
                                         2.0 * model.columnEdges[1],
                                         model.layerThickness[layer]);
        const double rw = effectiveWellRadius(ky, kz, model.wellRadius);
        const double whole = 2.0 * pi * darcyConstant * power(ky * kz, 0.5).value()
                             * model.wellLength / naturalLog(ro / rw).value();
        return whole * model.wellShare;
    }
    return darcyConstant * 2.0 * pi * model.horizontalPermeability * model.layerThickness[layer]
           / naturalLog(model.columnNodes[0] / model.columnEdges[0]).value();
}

} // namespace coning::sim
