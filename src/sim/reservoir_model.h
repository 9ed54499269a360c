#pragma once

#include "settings.h"

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace coning::sim {

inline constexpr std::size_t defaultRingCount = 20;
inline constexpr double defaultLayerThickness = 1.0; // ft, in the zone

inline constexpr double connateWaterCompressibility = 1e-7; // 1/psi, see ReservoirModel

// How the columns of a model lie: rings around a vertical well, or the columns of a vertical
// cross-section across a horizontal well, each as long as the well.
enum class Geometry { Radial, CrossSection };

// A model of one well in field units: columns of cells (rings around a vertical well, or strips
// beside a horizontal one), layers from the top of the model down, and the fluids. The deck
// writer turns it into keywords; nothing here knows the deck format.
struct ReservoirModel
{
    FluidSystem system = FluidSystem::OilWater;
    Geometry geometry = Geometry::Radial;

    // Columns: columnEdges[i] and columnEdges[i + 1] bound column i, columnNodes[i] is its
    // pressure point; a boundary column beyond the last holds the pressure at the last edge.
    // Rings: the edges are radii from the well radius to the drainage radius, the nodes the
    // geometric means of a ring's radii. Cross-section: the edges are distances from the vertical
    // plane through the well (the model's plane of symmetry) out to the boundary distance; column
    // 0 is the half of the well's cell on this side, its node on the plane, the other nodes
    // midway between their edges.
    std::vector<double> columnEdges; // ft
    std::vector<double> columnNodes; // ft
    double wellRadius = 0.0;         // ft
    double wellLength = 0.0;         // ft, the cross-section's length along the well
    // The share of the well's rate the model produces: a half for the half cross-section. The
    // deck holds that share of the rate and of the connection factor; a run's rates are given
    // back for the whole well.
    double wellShare = 1.0;

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
    double rate = 0.0;               // STB/day of oil, or Mscf/day of gas for Gas-Water, whole well
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

// How fine the grid is: columns between the well and the outer edge, the thickness of the
// zone's layers (the displacing zone's layers grow away from the contact), and the report
// steps (see reportSteps).
struct GridSize
{
    std::size_t columns = defaultRingCount;
    double layerThickness = defaultLayerThickness; // ft
    double stepGrowth = 0.03;       // of the time elapsed
    double stepsPerHorizon = 120.0; // the longest step is the horizon over this
};

// The fluids, rock and schedule of a model, the same for either geometry: what the well gives
// of its fluids, the rest from the settings.
struct FluidInputs
{
    FluidSystem system = FluidSystem::OilWater;
    double permeability = 0.0;      // md, horizontal
    double kvKh = 1.0;              // vertical over horizontal
    double viscosity = 0.0;         // cp, of the produced fluid
    double fvf = 0.0;               // rb/STB, or rb/Mscf for gas
    double densityDifference = 0.0; // g/cc
};
// Fills the model's fluids, rock, pressures, saturation functions, rate and report steps (the
// grid's).
void fillFluids(ReservoirModel &model,
                const FluidInputs &fluids,
                const SimulationSettings &settings,
                double rate,
                const GridSize &grid);

// Layering shared by the geometries. The top of the zone lies at a fixed depth (any would do:
// the pressure is given there).
inline constexpr double zoneTopDepth = 5000.0; // ft
// `length` split into equal layers no thicker than `thickness`, appended.
void appendEqualLayers(std::vector<double> &layers, double length, double thickness);
// `length` in layers growing by 1.3 from `thickness` away from the contact, listed from it.
std::vector<double> growingLayers(double length, double thickness);
// After the zone's layers (h thick): the bottom water's `displacing` layers below them (a gas
// cap, for Gas-Oil, is above and already in place), `aquifer` thick in all, and the depths of
// the model's top, the zone's top and the contact.
void closeLayers(ReservoirModel &model,
                 const std::vector<double> &displacing,
                 double h,
                 double aquifer);

// Report steps over `years`: 0.1 day at first (breakthrough at high rates comes within days),
// then `growth` of the time elapsed (3 %), at most the horizon over `perHorizon` (30 days for
// ten years).
std::vector<double> reportSteps(double years, double growth = 0.03, double perHorizon = 120.0);

// Exact quantities of column i and layer k (see the deck's EDIT section), for either geometry.
// The column's footprint: a ring's area, or a strip's width times the well's length.
double columnArea(const ReservoirModel &model, std::size_t column);                    // ft2
double poreVolume(const ReservoirModel &model, std::size_t column, std::size_t layer); // rb
// Between column i and column i + 1 (the boundary column after the last).
double lateralTransmissibility(const ReservoirModel &model, std::size_t column, std::size_t layer);
// Between layer k and layer k + 1.
double verticalTransmissibility(const ReservoirModel &model, std::size_t column, std::size_t layer);
// Of the well's connection to column 0 in layer k: for the cross-section the model's share of
// 2 pi 0.001127 sqrt(ky kz) L / ln(ro / rw').
double connectionFactor(const ReservoirModel &model, std::size_t layer);

// A well along x in a cell dy by dz with permeabilities ky and kz: the anisotropic Peaceman
// radius of the cell (ft), and the well's radius rw in the same, isotropic-looking, frame.
double peacemanRadius(double ky, double kz, double dy, double dz);
double effectiveWellRadius(double ky, double kz, double rw);

} // namespace coning::sim
