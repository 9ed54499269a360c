#pragma once

#include "settings.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace coning::sim {

inline constexpr std::size_t defaultRingCount = 20;
inline constexpr double defaultLayerThickness = 1.0; // ft, in the zone

inline constexpr double connateWaterCompressibility = 1e-7; // 1/psi, see RadialModel

// A pseudo-radial model of one vertical well in field units: rings around the well (one column
// of cells each), layers from the top of the model down, and the fluids. The deck writer turns it
// into keywords; nothing here knows the deck format.
struct RadialModel
{
    FluidSystem system = FluidSystem::OilWater;

    // Rings: ringRadii[0] is the well radius, ringRadii[i + 1] the outer radius of ring i; the
    // last is the drainage radius. nodeRadii[i] is ring i's pressure point (the geometric mean of
    // its radii). A boundary ring beyond the last holds the pressure at the drainage radius.
    std::vector<double> ringRadii; // ft
    std::vector<double> nodeRadii; // ft

    // Layers from the top of the model down: for Gas-Oil the gas cap, then the oil zone; else the
    // zone (oil, or gas for Gas-Water), then the bottom water.
    std::vector<double> layerThickness; // ft
    std::size_t firstZoneLayer = 0;     // the zone's first layer
    std::size_t zoneLayers = 0;
    std::size_t firstOpenLayer = 0; // the completed interval
    std::size_t openLayers = 0;
    double modelTop = 0.0; // ft below datum, of the first layer
    double zoneTop = 0.0;  // ft, the top of the zone: the initial pressure is given there
    double contact = 0.0;  // ft, the contact of the zone with the displacing phase

    double horizontalPermeability = 0.0; // md
    double verticalPermeability = 0.0;   // md
    double porosity = 0.0;
    // Slight compressibilities (1/psi) keep the simulator's equations well posed; the flow they
    // allow is negligible beside the well's rate. Water and rock are all but rigid: as the
    // pressure falls, connate water expands into the pore space by its saturation times their
    // compressibilities times the drawdown, and beside a viscous oil a saturation of 1e-5 above
    // connate already flows as a cut of a percent (water 3e-6/psi and rock 3e-6/psi gave a
    // heavy oil a false breakthrough within hours).
    double fluidCompressibility = 1e-5;
    double waterCompressibility = connateWaterCompressibility;
    double rockCompressibility = 0.0;

    // The produced fluid (oil, or gas for Gas-Water) and the displacing one (water, or gas for
    // Gas-Oil).
    double producedViscosity = 0.0;   // cp
    double producedFvf = 0.0;         // rb/STB, or rb/Mscf for gas
    double producedDensity = 0.0;     // g/cc in situ
    double displacingViscosity = 0.0; // cp
    double displacingFvf = 0.0;       // rb/STB for water, rb/Mscf for gas
    double displacingDensity = 0.0;   // g/cc in situ

    double initialPressure = 2200.0; // psia at zoneTop
    double minimumBhp = 14.7;        // psia, the well's limit
    OuterBoundary outerBoundary = OuterBoundary::ConstantPressure;

    // Saturation functions: SWOF rows (Oil-Water) or SGOF rows (Gas-Oil) of saturation, the
    // displacing and the produced phase's relative permeability and capillary pressure; for
    // Gas-Water SWFN rows (Sw, krw, Pc) and SGFN rows (Sg, krg, Pc).
    std::vector<std::array<double, 4>> saturationRows;
    std::vector<std::array<double, 3>> waterRows;
    std::vector<std::array<double, 3>> gasRows;
    std::optional<CoreyCurves> corey; // the curves the rows follow; nothing for a table
    double connateWater = 0.2;
    double mobileWater = 0.2001;     // water flows only above this saturation (not for Gas-Oil)
    double rate = 0.0;               // STB/day of oil, or Mscf/day of gas for Gas-Water
    std::vector<double> reportSteps; // days
};

inline constexpr double darcyConstant = 0.001127; // rb cp / (day md ft psi)
inline constexpr double cubicFeetPerBarrel = 5.614583;
inline constexpr double poundsPerCubicFootPerGramPerCc = 62.42796;
inline constexpr double boundaryPoreVolume = 1e12; // rb: holds the pressure at re
// Water flows only this far above its connate saturation: more than connate water expands at
// any drawdown the well can reach (0.2 x 1e-7/psi x 2200 psi = 4.4e-5 by default), and more
// than the simulator's saturation errors, which beside a viscous oil would read as a cut.
inline constexpr double immobileWaterMargin = 1e-4;
// The margin for `connate` water between the initial pressure and the well's lowest pressure:
// immobileWaterMargin, or twice the connate water's expansion when that is more.
double waterMargin(double connate, const SimulationSettings &settings);
// Points of a Corey curve that is not a straight line, between its end points.
inline constexpr std::size_t coreySteps = 20;

// How fine the grid is: rings between the well and the drainage radius, the thickness of the
// zone's layers (the displacing zone's layers grow away from the contact), and the report
// steps (see reportSteps).
struct GridSize
{
    std::size_t rings = defaultRingCount;
    double layerThickness = defaultLayerThickness; // ft
    double stepGrowth = 0.03;        // of the time elapsed
    double stepsPerHorizon = 120.0;  // the longest step is the horizon over this
};

// The accurate grid: the default refined by settings.refinement in both directions.
GridSize accurateGrid(const SimulationSettings &settings);
// A cheap grid, to place the accurate runs of the critical-rate search (never its answer).
GridSize coarseGrid();

// The model of `well` producing `rate` (the report's unit) under `settings`, which
// checkSimulation accepted. For a partial completion the completed interval is the typed one
// (completion top down to the penetration), not the calculation run's equivalent well.
RadialModel buildModel(const Well &well,
                       const SimulationSettings &settings,
                       double rate,
                       const GridSize &grid);

// Report steps over `years`: 0.1 day at first (breakthrough at high rates comes within days),
// then `growth` of the time elapsed (3 %), at most the horizon over `perHorizon` (30 days for
// ten years).
std::vector<double> reportSteps(double years, double growth = 0.03, double perHorizon = 120.0);

// Exact radial quantities of ring i and layer k (see the deck's EDIT section).
double ringArea(const RadialModel &model, std::size_t ring);                      // ft2
double poreVolume(const RadialModel &model, std::size_t ring, std::size_t layer); // rb
// Between ring i and ring i + 1 (the boundary ring after the last).
double radialTransmissibility(const RadialModel &model, std::size_t ring, std::size_t layer);
// Between layer k and layer k + 1.
double verticalTransmissibility(const RadialModel &model, std::size_t ring, std::size_t layer);
// Of the well's connection to ring 0 in layer k.
double connectionFactor(const RadialModel &model, std::size_t layer);

} // namespace coning::sim
