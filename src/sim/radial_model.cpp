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

} // namespace

GridSize accurateGrid(const SimulationSettings &settings)
{
    const auto refinement = static_cast<std::size_t>(settings.refinement);
    return {defaultRingCount * refinement, defaultLayerThickness / settings.refinement};
}

GridSize coarseGrid()
{
    return {defaultRingCount / 2, 2.0 * defaultLayerThickness};
}

std::vector<double> reportSteps(double years)
{
    // Each step 3 % of the time elapsed: breakthrough times come out within about 2 % of those
    // of ever shorter steps (the sample well at 100 STB/day: 33.3 days against 34.0), for a
    // quarter more work than steps of 10 % (31.8 days). The critical rate hardly depends on them.
    const double horizon = years * 365.25;
    const double shortest = std::min(0.1, horizon / 1000.0);
    const double longest = horizon / 120.0;
    std::vector<double> steps;
    double done = 0.0;
    while (done < horizon) {
        double next = std::min({std::max(shortest, 0.03 * done), longest, horizon - done});
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

    // The displacing zone is as thick as the zone: a gas cap above it, or bottom water below.
    std::vector<double> displacing = growingLayers(h, grid.layerThickness);
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
    model.modelTop = gasOil ? zoneTopDepth - h : zoneTopDepth;
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
    model.rate = rate;
    model.reportSteps = reportSteps(settings.years);
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
