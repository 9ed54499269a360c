#include "radial_model.h"

#include <algorithm>
#include <cmath>

namespace coning::sim {
namespace {

// Log-spaced radii from `inner` to `outer` in `count` steps, the ends exact.
void appendLogSpaced(std::vector<double> &radii, double inner, double outer, std::size_t count)
{
    const double ratio = std::log(outer / inner);
    for (std::size_t i = 1; i < count; ++i)
        radii.push_back(inner * std::exp(ratio * static_cast<double>(i) / count));
    radii.push_back(outer);
}

} // namespace

GridSize accurateGrid(const SimulationSettings &settings)
{
    const auto refinement = static_cast<std::size_t>(settings.refinement);
    return {defaultRingCount * refinement, defaultLayerThickness / settings.refinement};
}

GridSize coarseGrid()
{
    // Half the rings and steps of 10 % (at most a 40th of the horizon): a third of an accurate
    // run's time. The layers stay the accurate grid's: with 2-ft layers the cheap grid's critical
    // rate was 1.5 % below to 6.5 % above the accurate one's over validation wells, with 1-ft
    // layers within 1.5 % either way, and the accurate search's first runs then land near it.
    return {defaultRingCount / 2, defaultLayerThickness, 0.10, 40.0};
}

ReservoirModel buildModel(const Well &well,
                          const SimulationSettings &settings,
                          double rate,
                          const GridSize &grid)
{
    const ParameterSet &m = well.parameters;
    ReservoirModel model;
    model.system = fluidSystemOf(well);
    const bool gasOil = model.system == FluidSystem::GasOil;

    // The first ring reaches 1 ft, the others are log-spaced to the drainage radius.
    const double rw = m.wellRadius;
    const double re = m.drainageRadius;
    const std::size_t innerRings = std::max<std::size_t>(1, grid.columns / defaultRingCount);
    model.columnEdges.push_back(rw);
    appendLogSpaced(model.columnEdges, rw, 1.0, innerRings);
    appendLogSpaced(model.columnEdges, 1.0, re, grid.columns - innerRings);
    for (std::size_t i = 0; i + 1 < model.columnEdges.size(); ++i)
        model.columnNodes.push_back(std::sqrt(model.columnEdges[i] * model.columnEdges[i + 1]));

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
    closeLayers(model, displacing, h, aquifer);

    FluidInputs fluids;
    fluids.system = model.system;
    fluids.permeability = m.permeability;
    fluids.kvKh = settings.kvKh;
    fluids.viscosity = m.viscosity;
    fluids.fvf = m.formationVolumeFactor;
    fluids.densityDifference = m.densityDifference;
    fillFluids(model, fluids, settings, rate, grid);
    return model;
}

} // namespace coning::sim
