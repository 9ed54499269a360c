#pragma once

#include "calc/well_input.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace coning::sim {

enum class FluidSystem { OilWater, GasWater, GasOil };

// What lies beyond the drainage radius: a ring held at the initial pressure, or nothing.
enum class OuterBoundary { ConstantPressure, Closed };

// An engineer's saturation table, in the simulator's own layout: saturation (water for SWOF,
// gas for SGOF), the displacing phase's relative permeability, the produced phase's, and the
// capillary pressure in psi. Checked when read (relperm.h).
struct RelpermTable
{
    std::string file; // as given
    std::vector<std::array<double, 4>> rows;
    std::vector<std::size_t> lines; // each row's line in the file, from 1
    std::string keyword;            // SWOF or SGOF when the file names it, else empty
};

// The fluid system of a checked well (one of the three names).
FluidSystem fluidSystemOf(const Well &well);
FluidSystem fluidSystemOf(std::string_view name);

// The assumptions of a simulation that the well's inputs do not give. Option names (for usage
// errors) are those of coning-calc.
struct SimulationSettings
{
    double kvKh = 1.0;                         // --kv-kh: vertical over horizontal permeability
    double porosity = 0.2;                     // --porosity, fraction
    std::optional<double> displacingViscosity; // --displacing-viscosity, cp; default below
    double years = 10.0;                       // --years: the horizon
    double breakthroughCut = 0.01;             // --breakthrough-cut, fraction
    double timeLimitSeconds = 600.0;           // --time-limit: per simulator run
    int refinement = 1; // rings and layers per default cell (3: the convergence check)

    // The rock's saturation functions: Corey curves (nullopt: the default), or a table.
    std::optional<double> connateWater;                          // --connate-water; 0.2
    std::optional<double> residualSaturation;                    // --residual-saturation; 0.2
    std::optional<std::array<double, 2>> coreyExponents;         // displacing, produced; 1,1
    std::optional<std::array<double, 2>> endpointPermeabilities; // displacing, produced; 1,1
    std::optional<RelpermTable> relpermTable;                    // --relperm-table

    std::optional<double> aquiferThickness; // ft, --aquifer-thickness; default the zone's
    OuterBoundary outerBoundary = OuterBoundary::ConstantPressure;
    double initialPressure = 2200.0; // psia at the top of the zone
    double minimumBhp = 14.7;        // psia, the well's lowest bottom-hole pressure
};

// The Corey curves of the settings, defaults filled in (without a table).
struct CoreyCurves
{
    double connateWater = 0.2;
    double residualSaturation = 0.2;
    std::array<double, 2> exponents{1.0, 1.0};
    std::array<double, 2> endpoints{1.0, 1.0};
};
CoreyCurves coreyCurves(const SimulationSettings &settings);

// The connate water saturation: the Corey setting, or the table's (SWOF: its first water
// saturation; SGOF: one less its last gas saturation).
double connateWater(const SimulationSettings &settings, FluidSystem system);

// The bottom water's (Gas-Oil: the gas cap's) thickness, ft: the setting, or the zone's.
double aquiferThickness(const Well &well, const SimulationSettings &settings);
double aquiferThickness(double zoneThickness, const SimulationSettings &settings);

const char *boundaryText(OuterBoundary boundary); // "constant-pressure", "closed"

// Water 0.5 cp; gas 0.02 cp for Gas-Oil.
double displacingViscosity(FluidSystem system, const SimulationSettings &settings);

// A value the model cannot take, naming the option without dashes ("kv-kh", "penetration").
struct SettingProblem
{
    std::string_view option;
    std::string text;
};

// Everything the model cannot take: settings out of range, well values that make no model
// (a non-positive permeability, a Gas-Oil density difference of 0.7 g/cc or more, an empty
// completed interval, a completion outside the zone, ...). Empty when the well can be simulated.
std::vector<SettingProblem> checkSimulation(const Well &well, const SimulationSettings &settings);

// What the model cannot take of the settings alone, whatever the well's geometry: the saturation
// functions against the fluid system, the pressures, the grid refinement.
void checkModelSettings(FluidSystem system,
                        const SimulationSettings &settings,
                        std::vector<SettingProblem> &problems);

// Option names (without dashes), shared by the command line, batch columns and Python.
inline constexpr std::string_view simulateRateName = "simulate-rate";
inline constexpr std::string_view simulateCriticalName = "simulate-critical";
inline constexpr std::string_view kvKhName = "kv-kh";
inline constexpr std::string_view porosityName = "porosity";
inline constexpr std::string_view displacingViscosityName = "displacing-viscosity";
inline constexpr std::string_view yearsName = "years";
inline constexpr std::string_view breakthroughCutName = "breakthrough-cut";
inline constexpr std::string_view timeLimitName = "time-limit";
inline constexpr std::string_view jobsName = "jobs";
inline constexpr std::string_view connateWaterName = "connate-water";
inline constexpr std::string_view residualSaturationName = "residual-saturation";
inline constexpr std::string_view coreyExponentsName = "corey-exponents";
inline constexpr std::string_view endpointPermeabilitiesName = "endpoint-permeabilities";
inline constexpr std::string_view relpermTableName = "relperm-table";
inline constexpr std::string_view aquiferThicknessName = "aquifer-thickness";
inline constexpr std::string_view outerBoundaryName = "outer-boundary";
inline constexpr std::string_view initialPressureName = "initial-pressure";
inline constexpr std::string_view minimumBhpName = "minimum-bhp";

// The settings a well may have of its own (a batch row's columns); the time limit, a setting of
// the runs rather than of the well, is not among them.
inline constexpr std::array<std::string_view, 14> wellSettingNames = {kvKhName,
                                                                      porosityName,
                                                                      displacingViscosityName,
                                                                      yearsName,
                                                                      breakthroughCutName,
                                                                      connateWaterName,
                                                                      residualSaturationName,
                                                                      coreyExponentsName,
                                                                      endpointPermeabilitiesName,
                                                                      relpermTableName,
                                                                      aquiferThicknessName,
                                                                      outerBoundaryName,
                                                                      initialPressureName,
                                                                      minimumBhpName};

// The texts of the setting options as given: (option name, text), in the options' order.
using SettingTexts = std::vector<std::pair<std::string_view, std::string_view>>;

// Reads the given texts strictly into `settings` (defaults stay for the others) and checks their
// range; appends "--years: ..." messages for what cannot be used.
void readSettings(const SettingTexts &texts,
                  SimulationSettings &settings,
                  std::vector<std::string> &messages);

// Whether `name` is the option name of a setting ("kv-kh", ..., "time-limit").
bool isSetting(std::string_view name);

// Reads one setting (by its option name, "kv-kh") strictly into `settings` and checks its range;
// returns what is wrong, or nothing.
std::optional<std::string> readSetting(std::string_view name,
                                       std::string_view text,
                                       SimulationSettings &settings);

// Reads the number of simulator processes to run at once (a whole number from 1 to 1024);
// returns what is wrong, or nothing.
std::optional<std::string> readJobs(std::string_view text, unsigned &jobs);

// What is wrong with the folder given to --keep-deck (the whole message, naming the option), or
// nothing. The folder is made when missing and tried with a file, so that a run is never lost
// to a folder it cannot write into at the end.
std::optional<std::string> checkKeepDeck(const std::string &folder);

// Reads a rate to simulate (a positive decimal number); returns what is wrong, or nothing.
std::optional<std::string> readSimulatedRate(std::string_view text, double &rate);

} // namespace coning::sim
