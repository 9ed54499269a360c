#include "cross_section_model.h"

#include "radial_model.h"

#include "calc/message_text.h"
#include "model/real.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace coning::sim {
namespace {

// The thickness of the well's layer: the grid's, times the zone's thickness over 50 ft.
double wellLayerThickness(const HorizontalWell &well, const GridSize &grid)
{
    const double scale = std::max(1.0, std::ceil(well.zoneThickness / 50.0 - 1e-9));
    return std::min(grid.layerThickness * scale, well.zoneThickness);
}

// `count` widths filling `length`, the first `first`, each the last times a ratio of at least
// 1; when `first` is too wide for that, fewer equal widths of at least `first`.
std::vector<double> growingWidths(double length, double first, std::size_t count)
{
    const auto filled = [&](double ratio) {
        double sum = 0.0;
        for (std::size_t i = 0; i < count; ++i)
            sum += first * power(ratio, static_cast<double>(i)).value();
        return sum;
    };
    std::vector<double> widths;
    if (filled(1.0) >= length) {
        const double fitting = std::max(1.0, std::floor(length / first));
        return std::vector<double>(static_cast<std::size_t>(fitting), length / fitting);
    }
    double low = 1.0;
    double high = 2.0;
    while (filled(high) < length)
        high *= 2.0;
    for (int i = 0; i < 100; ++i) {
        const double middle = (low + high) / 2.0;
        (filled(middle) < length ? low : high) = middle;
    }
    for (std::size_t i = 0; i < count; ++i)
        widths.push_back(first * power(low, static_cast<double>(i)).value());
    return widths;
}

double feetOf(double inches)
{
    return inches / 12.0;
}

} // namespace

GridSize accurateCrossSectionGrid(const SimulationSettings &settings)
{
    const auto refinement = static_cast<std::size_t>(settings.refinement);
    return {defaultCrossSectionColumns * refinement, defaultLayerThickness / settings.refinement};
}

GridSize coarseCrossSectionGrid()
{
    // Long report steps, as the radial model's cheap grid has them.
    const GridSize radial = coarseGrid();
    return {defaultCrossSectionColumns / 2,
            2.0 * defaultLayerThickness,
            radial.stepGrowth,
            radial.stepsPerHorizon};
}

double wellCellHalfWidth(const HorizontalWell &well, const GridSize &grid)
{
    const double kh = well.permeability;
    const double kv = well.permeability * well.kvKh;
    const double dz = wellLayerThickness(well, grid);
    const double rw = effectiveWellRadius(kh, kv, feetOf(well.wellRadius));
    double half = 0.5 * dz * std::sqrt(kh / kv);
    // A cell not much wider than the well leaves the Peaceman radius at or inside it.
    for (int i = 0; i < 200 && peacemanRadius(kh, kv, 2.0 * half, dz) < 2.0 * rw; ++i)
        half *= 1.25;
    return half;
}

ReservoirModel buildModel(const HorizontalWell &well,
                          const SimulationSettings &settings,
                          double rate,
                          const GridSize &grid)
{
    ReservoirModel model;
    model.geometry = Geometry::CrossSection;
    model.system = fluidSystemOf(well.fluidSystem);
    model.wellShare = 0.5;
    model.wellLength = well.wellLength;
    model.wellRadius = feetOf(well.wellRadius);
    const bool gasOil = model.system == FluidSystem::GasOil;

    // Columns: the half well cell, then columns growing geometrically out to ye from the whole
    // well cell's width, so that the well's neighbours lie as Peaceman's radius assumes; nodes
    // midway (the flow far from the well is linear).
    const double half = wellCellHalfWidth(well, grid);
    const double ye = well.boundaryDistance;
    const std::vector<double> widths = growingWidths(ye - half, 2.0 * half, grid.columns);
    model.columnEdges = {0.0, half};
    for (std::size_t i = 0; i + 1 < widths.size(); ++i)
        model.columnEdges.push_back(model.columnEdges.back() + widths[i]);
    model.columnEdges.push_back(ye);
    model.columnNodes.push_back(0.0);
    for (std::size_t i = 1; i + 1 < model.columnEdges.size(); ++i)
        model.columnNodes.push_back((model.columnEdges[i] + model.columnEdges[i + 1]) / 2.0);

    // Layers of the zone counted from the contact: those between it and the well's layer, the
    // well's (centred on the well, kept inside the zone), those beyond.
    const double h = well.zoneThickness;
    const double dz = wellLayerThickness(well, grid);
    const double near = std::clamp(well.standoff - dz / 2.0, 0.0, h - dz);
    std::vector<double> towardContact, beyond;
    appendEqualLayers(towardContact, near, dz);
    appendEqualLayers(beyond, h - near - dz, dz);
    const double aquifer = aquiferThickness(h, settings);
    std::vector<double> displacing = growingLayers(aquifer, grid.layerThickness);
    if (gasOil) {
        // From the top: the gas cap, the zone from the gas-oil contact down.
        model.layerThickness.assign(displacing.rbegin(), displacing.rend());
        model.firstZoneLayer = model.layerThickness.size();
        model.layerThickness.insert(model.layerThickness.end(),
                                    towardContact.rbegin(),
                                    towardContact.rend());
        model.firstOpenLayer = model.layerThickness.size();
        model.layerThickness.push_back(dz);
        model.layerThickness.insert(model.layerThickness.end(), beyond.begin(), beyond.end());
    } else {
        // From the top: the zone down to the contact, then the bottom water.
        model.layerThickness.assign(beyond.rbegin(), beyond.rend());
        model.firstOpenLayer = model.layerThickness.size();
        model.layerThickness.push_back(dz);
        model.layerThickness.insert(model.layerThickness.end(),
                                    towardContact.rbegin(),
                                    towardContact.rend());
    }
    model.openLayers = 1;
    model.zoneLayers = towardContact.size() + 1 + beyond.size();
    closeLayers(model, displacing, h, aquifer);

    FluidInputs fluids;
    fluids.system = model.system;
    fluids.permeability = well.permeability;
    fluids.kvKh = well.kvKh;
    fluids.viscosity = well.viscosity;
    fluids.fvf = well.fvf;
    fluids.densityDifference = well.densityDifference;
    fillFluids(model, fluids, settings, rate, grid);

    const double factor = connectionFactor(model, model.firstOpenLayer);
    if (!(factor > 0.0 && std::isfinite(factor)))
        throw std::runtime_error("the well's cell is too small for the well: no connection");
    return model;
}

std::vector<SettingProblem> checkSimulation(const HorizontalWell &well,
                                            const SimulationSettings &settings)
{
    std::vector<SettingProblem> problems;
    const FluidSystem system = fluidSystemOf(well.fluidSystem);
    const auto positive = [&](std::string_view option, double value, const char *what) {
        if (!(value > 0.0 && std::isfinite(value)))
            problems.push_back({option, "the simulation needs a positive " + std::string(what)});
    };
    positive("permeability", well.permeability, "permeability");
    positive("viscosity", well.viscosity, "viscosity");
    positive("fvf", well.fvf, "formation volume factor");
    positive("density-difference", well.densityDifference, "density difference");
    positive("well-length", well.wellLength, "well length");
    const double heaviest = system == FluidSystem::GasOil ? 0.7 : 1.0;
    if (well.densityDifference >= heaviest)
        problems.push_back({"density-difference",
                            "the simulation takes a density difference below "
                                + std::string(system == FluidSystem::GasOil ? "0.7" : "1")
                                + " g/cc for " + std::string(well.fluidSystem)});
    if (!(well.kvKh > 0.0 && well.kvKh <= 10.0))
        problems.push_back({kvKhName, "the simulation takes a kv/kh greater than 0 and at most 10"});
    if (!(well.wellRadius > 0.0 && well.wellRadius < 12.0))
        problems.push_back({"well-radius",
                            "the simulation takes a well radius greater than 0 and less than "
                            "12 inches"});
    if (!(well.wellLength <= 100000.0))
        problems.push_back(
            {"well-length", "the simulation takes a well length of at most 100000 ft"});
    if (!(well.boundaryDistance >= 10.0 && well.boundaryDistance <= 100000.0))
        problems.push_back(
            {"boundary-distance", "the simulation takes a boundary distance from 10 to 100000 ft"});
    if (!(well.zoneThickness > 0.0 && well.zoneThickness <= 1000.0))
        problems.push_back({"zone-thickness",
                            "the simulation takes a zone thickness greater than 0 and at most "
                            "1000 ft"});
    else if (!(well.standoff > 0.0 && well.standoff <= well.zoneThickness))
        problems.push_back({"standoff",
                            "the simulation needs the well inside the zone: a standoff greater "
                            "than 0 and at most the zone thickness of "
                                + quantityForMessage(well.zoneThickness, "ft")});
    if (problems.empty()) {
        // The coarse grid's well cell is the wider; the columns beyond it need room.
        const double half = std::max(wellCellHalfWidth(well, coarseCrossSectionGrid()),
                                     wellCellHalfWidth(well, accurateCrossSectionGrid(settings)));
        if (!(well.boundaryDistance >= 10.0 * half))
            problems.push_back({"boundary-distance",
                                "the well's cell in the model is " + quantityForMessage(half, "ft")
                                    + " wide on each side: the simulation needs a boundary "
                                      "distance of at least ten times that"});
    }
    checkModelSettings(system, settings, problems);
    return problems;
}

} // namespace coning::sim
