#pragma once

#include "calc/well_input.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning::sim {

enum class FluidSystem { OilWater, GasWater, GasOil };

// The fluid system of a checked well (one of the three names).
FluidSystem fluidSystemOf(const Well &well);

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
};

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

// The settings a well may have of its own (a batch row's columns); the time limit, a setting of
// the runs rather than of the well, is not among them.
inline constexpr std::array<std::string_view, 5> wellSettingNames = {kvKhName,
                                                                     porosityName,
                                                                     displacingViscosityName,
                                                                     yearsName,
                                                                     breakthroughCutName};

// The texts of the setting options as given (nullopt: not given).
struct SettingTexts
{
    std::optional<std::string_view> kvKh;
    std::optional<std::string_view> porosity;
    std::optional<std::string_view> displacingViscosity;
    std::optional<std::string_view> years;
    std::optional<std::string_view> breakthroughCut;
    std::optional<std::string_view> timeLimit;
};

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
