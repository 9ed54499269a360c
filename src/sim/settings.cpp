#include "settings.h"

#include "radial_model.h"
#include "relperm.h"

#include "calc/message_text.h"
#include "calc/strict_number.h"
#include "model/parse_leading_number.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace coning::sim {

FluidSystem fluidSystemOf(std::string_view name)
{
    if (name == "Gas-Oil")
        return FluidSystem::GasOil;
    if (name == "Gas-Water")
        return FluidSystem::GasWater;
    return FluidSystem::OilWater;
}

FluidSystem fluidSystemOf(const Well &well)
{
    return fluidSystemOf(well.fluidSystem);
}

double displacingViscosity(FluidSystem system, const SimulationSettings &settings)
{
    if (settings.displacingViscosity)
        return *settings.displacingViscosity;
    return system == FluidSystem::GasOil ? 0.02 : 0.5;
}

CoreyCurves coreyCurves(const SimulationSettings &settings)
{
    CoreyCurves curves;
    curves.connateWater = settings.connateWater.value_or(curves.connateWater);
    curves.residualSaturation = settings.residualSaturation.value_or(curves.residualSaturation);
    curves.exponents = settings.coreyExponents.value_or(curves.exponents);
    curves.endpoints = settings.endpointPermeabilities.value_or(curves.endpoints);
    return curves;
}

double connateWater(const SimulationSettings &settings, FluidSystem system)
{
    if (!settings.relpermTable || settings.relpermTable->rows.empty())
        return coreyCurves(settings).connateWater;
    const auto &rows = settings.relpermTable->rows;
    return system == FluidSystem::GasOil ? 1.0 - rows.back()[0] : rows.front()[0];
}

double aquiferThickness(const Well &well, const SimulationSettings &settings)
{
    return aquiferThickness(well.parameters.zoneThicknessInput, settings);
}

double aquiferThickness(double zoneThickness, const SimulationSettings &settings)
{
    return settings.aquiferThickness.value_or(zoneThickness);
}

const char *boundaryText(OuterBoundary boundary)
{
    return boundary == OuterBoundary::Closed ? "closed" : "constant-pressure";
}

namespace {

// A setting's range: greater than `low` (at least `low` when `lowClosed`) and at most `high`
// (less than `high` when `highOpen`).
struct SettingRange
{
    std::string_view name;
    double low;
    double high;
    bool highOpen;
    const char *what;
    bool lowClosed = false;
};

constexpr std::array<SettingRange, 11> ranges = {{
    {kvKhName, 0.0, 10.0, false, "a ratio greater than 0 and at most 10"},
    {porosityName, 0.0, 1.0, true, "a fraction greater than 0 and less than 1"},
    {displacingViscosityName, 0.0, 1e4, false, "a viscosity greater than 0 and at most 10000 cp"},
    // A horizon of days tells nothing of coning, and one of moments only of how the well opens.
    {yearsName, 0.01, 1000.0, false, "a number of years from 0.01 (3.65 days) to 1000", true},
    {breakthroughCutName, 0.0, 1.0, true, "a fraction greater than 0 and less than 1"},
    {timeLimitName,
     0.0,
     604800.0,
     false,
     "a number of seconds greater than 0 and at most 604800 (a week)"},
    {connateWaterName, 0.0, 1.0, true, "a saturation from 0 to less than 1", true},
    {residualSaturationName, 0.0, 1.0, true, "a saturation from 0 to less than 1", true},
    {aquiferThicknessName, 0.0, 10000.0, false, "a thickness greater than 0 and at most 10000 ft"},
    // Above 15000 psia the fluids' slight compressibilities stop being a fair model.
    {initialPressureName, 14.7, 15000.0, false, "a pressure above 14.7 and at most 15000 psia"},
    {minimumBhpName, 14.7, 15000.0, true, "a pressure from 14.7 to less than 15000 psia", true},
}};

// Two numbers "a,b" each in [low, high] (low excluded unless lowClosed).
std::optional<std::string> readPair(std::string_view text,
                                    double low,
                                    bool lowClosed,
                                    double high,
                                    const char *what,
                                    std::array<double, 2> &pair)
{
    const std::size_t comma = text.find(',');
    const std::string wrong = quotedForMessage(text) + " is not " + what;
    if (comma == std::string_view::npos)
        return wrong;
    const std::array<std::string_view, 2> parts = {text.substr(0, comma), text.substr(comma + 1)};
    for (std::size_t i = 0; i < 2; ++i) {
        double read = 0.0;
        if (readStrictNumber(parts[i], read)
            || !((lowClosed ? read >= low : read > low) && read <= high))
            return wrong;
        pair[i] = read;
    }
    return std::nullopt;
}

std::string feet(double value)
{
    return quantityForMessage(value, "ft");
}

} // namespace

bool isSetting(std::string_view name)
{
    if (name == coreyExponentsName || name == endpointPermeabilitiesName || name == relpermTableName
        || name == outerBoundaryName)
        return true;
    return std::any_of(ranges.begin(), ranges.end(), [&](const SettingRange &r) {
        return r.name == name;
    });
}

std::optional<std::string> readSetting(std::string_view name,
                                       std::string_view text,
                                       SimulationSettings &settings)
{
    if (name == coreyExponentsName) {
        std::array<double, 2> pair{};
        if (auto problem = readPair(
                text, 0.5, true, 10.0, "two exponents N1,N2, each from 0.5 to 10", pair))
            return problem;
        settings.coreyExponents = pair;
        return std::nullopt;
    }
    if (name == endpointPermeabilitiesName) {
        std::array<double, 2> pair{};
        if (auto problem = readPair(text,
                                    0.0,
                                    false,
                                    1.0,
                                    "two relative permeabilities K1,K2, each greater than 0 and "
                                    "at most 1",
                                    pair))
            return problem;
        settings.endpointPermeabilities = pair;
        return std::nullopt;
    }
    if (name == outerBoundaryName) {
        if (text == "constant-pressure")
            settings.outerBoundary = OuterBoundary::ConstantPressure;
        else if (text == "closed")
            settings.outerBoundary = OuterBoundary::Closed;
        else
            return quotedForMessage(text) + " is not constant-pressure or closed";
        return std::nullopt;
    }
    if (name == relpermTableName) {
        RelpermTable table;
        if (auto problem = readRelpermTable(std::string(text), table))
            return problem;
        settings.relpermTable = std::move(table);
        return std::nullopt;
    }
    const auto range = std::find_if(ranges.begin(), ranges.end(), [&](const SettingRange &r) {
        return r.name == name;
    });
    if (range == ranges.end())
        return "not a simulation setting";
    double read = 0.0;
    if (auto problem = readStrictNumber(text, read))
        return problem;
    const bool aboveLow = range->lowClosed ? read >= range->low : read > range->low;
    if (!(aboveLow && (range->highOpen ? read < range->high : read <= range->high)))
        return quotedForMessage(text) + " is not " + range->what;
    if (name == kvKhName)
        settings.kvKh = read;
    else if (name == porosityName)
        settings.porosity = read;
    else if (name == displacingViscosityName)
        settings.displacingViscosity = read;
    else if (name == yearsName)
        settings.years = read;
    else if (name == breakthroughCutName)
        settings.breakthroughCut = read;
    else if (name == connateWaterName)
        settings.connateWater = read;
    else if (name == residualSaturationName)
        settings.residualSaturation = read;
    else if (name == aquiferThicknessName)
        settings.aquiferThickness = read;
    else if (name == initialPressureName)
        settings.initialPressure = read;
    else if (name == minimumBhpName)
        settings.minimumBhp = read;
    else
        settings.timeLimitSeconds = read;
    return std::nullopt;
}

void readSettings(const SettingTexts &texts,
                  SimulationSettings &settings,
                  std::vector<std::string> &messages)
{
    for (const auto &[name, text] : texts) {
        if (auto problem = readSetting(name, text, settings))
            messages.push_back("--" + std::string(name) + ": " + *problem);
    }
}

std::optional<std::string> readJobs(std::string_view text, unsigned &jobs)
{
    double read = 0.0;
    if (auto problem = readStrictNumber(text, read))
        return problem;
    if (!(read >= 1.0 && read <= 1024.0 && std::floor(read) == read))
        return quotedForMessage(text) + " is not a whole number of processes from 1 to 1024";
    jobs = static_cast<unsigned>(read);
    return std::nullopt;
}

std::optional<std::string> checkKeepDeck(const std::string &folder)
{
    if (folder.empty())
        return "--keep-deck needs a folder";
    if (folder.find('\0') != std::string::npos)
        return "--keep-deck: " + quotedForMessage(folder) + " holds a NUL character";
    // Made and tried now: a search of many runs is not to be thrown away at its end.
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_directory(folder, error))
        return "--keep-deck: " + quotedForMessage(folder) + " is not a folder";
    std::filesystem::create_directories(folder, error);
    if (error)
        return "--keep-deck: cannot make the folder " + quotedForMessage(folder) + ": "
               + error.message();
    // A file made and removed: permissions alone do not tell (root, a read-only file system).
    const std::string probe = (std::filesystem::path(folder) / ".coning-calc-write-test").string();
    const int file = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (file < 0)
        return "--keep-deck: cannot write into the folder " + quotedForMessage(folder) + ": "
               + std::generic_category().message(errno);
    ::close(file);
    ::unlink(probe.c_str());
    return std::nullopt;
}

std::optional<std::string> readSimulatedRate(std::string_view text, double &rate)
{
    if (auto problem = readStrictNumber(text, rate))
        return problem;
    if (!(rate > 0.0))
        return quotedForMessage(text) + " is not a positive rate";
    return std::nullopt;
}

namespace {

// The saturation functions against each other and the fluid system.
void checkRock(FluidSystem system,
               const SimulationSettings &settings,
               std::vector<SettingProblem> &problems)
{
    if (settings.relpermTable) {
        const bool corey = settings.connateWater || settings.residualSaturation
                           || settings.coreyExponents || settings.endpointPermeabilities;
        if (corey)
            problems.push_back({relpermTableName,
                                "the table gives the saturation functions: it takes no "
                                "--connate-water, --residual-saturation, --corey-exponents or "
                                "--endpoint-permeabilities"});
        else if (auto problem = checkRelpermTable(*settings.relpermTable, system))
            problems.push_back({relpermTableName, *problem});
        else if (system == FluidSystem::OilWater) {
            const RelpermTable &table = *settings.relpermTable;
            const double connate = table.rows[0][0];
            const double mobile = connate + waterMargin(connate, settings);
            for (std::size_t i = 1; i < table.rows.size() && table.rows[i][0] <= mobile; ++i) {
                if (table.rows[i][1] > 0.0) {
                    problems.push_back(
                        {relpermTableName,
                         quotedForMessage(table.file) + " line " + std::to_string(table.lines[i])
                             + ": water must be immobile up to " + numberForMessage(mobile)
                             + ", just above the connate water that the falling pressure "
                               "expands"});
                    break;
                }
            }
        }
        return;
    }
    const CoreyCurves curves = coreyCurves(settings);
    if (!(curves.connateWater + curves.residualSaturation <= 0.99))
        problems.push_back({residualSaturationName,
                            "connate water and residual saturation leave nothing to flow: "
                            "together they must be at most 0.99"});
    // The bottom water holds 0.1 % gas, which must not flow.
    if (system == FluidSystem::GasWater && !(curves.residualSaturation >= 0.01))
        problems.push_back(
            {residualSaturationName, "Gas-Water takes a residual gas saturation of at least 0.01"});
}

} // namespace

std::vector<SettingProblem> checkSimulation(const Well &well, const SimulationSettings &settings)
{
    std::vector<SettingProblem> problems;
    const ParameterSet &m = well.parameters;
    const FluidSystem system = fluidSystemOf(well);
    const auto positive = [&](std::string_view option, double value, const char *what) {
        if (!(value > 0.0))
            problems.push_back({option, "the simulation needs a positive " + std::string(what)});
    };
    positive("permeability", m.permeability, "permeability");
    positive("viscosity", m.viscosity, "viscosity");
    positive("fvf", m.formationVolumeFactor, "formation volume factor");
    positive("density-difference", m.densityDifference, "density difference");
    // The displaced fluid is 1.0 - drho g/cc in situ (0.7 - drho for the gas cap of Gas-Oil).
    const double heaviest = system == FluidSystem::GasOil ? 0.7 : 1.0;
    if (m.densityDifference >= heaviest) {
        problems.push_back({"density-difference",
                            "the simulation takes a density difference below "
                                + std::string(system == FluidSystem::GasOil ? "0.7" : "1")
                                + " g/cc for " + std::string(well.fluidSystem)});
    }
    if (!(m.wellRadius > 0.0 && m.wellRadius < 1.0))
        problems.push_back({"well-radius",
                            "the simulation takes a well radius greater than 0 and less than "
                            "12 inches"});
    if (!(m.drainageRadius >= 10.0 && m.drainageRadius <= 100000.0))
        problems.push_back(
            {"drainage-radius", "the simulation takes a drainage radius from 10 to 100000 ft"});
    if (!(m.zoneThicknessInput > 0.0 && m.zoneThicknessInput <= 1000.0)) {
        problems.push_back({"zone-thickness",
                            "the simulation takes a zone thickness greater than 0 and at most "
                            "1000 ft"});
        return problems; // the completion cannot be placed
    }

    // The completed interval, measured down from the top of the zone.
    const double h = m.zoneThicknessInput;
    const bool partialCompletion = well.completion == Completion::PartialCompletion;
    const bool gasOil = system == FluidSystem::GasOil;
    const double top = partialCompletion || gasOil ? m.completionTop : 0.0;
    const double bottom = !partialCompletion && gasOil ? h : m.penetrationInput;
    const std::string_view topOption = "completion-top";
    const std::string_view bottomOption = "penetration";
    if (top < 0.0) {
        problems.push_back({topOption,
                            "the completion starts " + feet(-top)
                                + " above the zone: the simulation needs it inside the zone"});
    } else if (bottom > h) {
        problems.push_back({bottomOption,
                            "the completion reaches " + feet(bottom - h)
                                + " below the zone: the simulation needs it inside the zone"});
    } else if (!(bottom - top >= 0.01)) {
        const NumberPair ends = numbersForMessage(top, bottom);
        problems.push_back({partialCompletion || gasOil ? topOption : bottomOption,
                            "the completed interval (from " + ends.first + " to " + ends.second
                                + " ft below the top of the zone) is empty"});
    }
    checkModelSettings(system, settings, problems);
    return problems;
}

void checkModelSettings(FluidSystem system,
                        const SimulationSettings &settings,
                        std::vector<SettingProblem> &problems)
{
    checkRock(system, settings, problems);
    if (!(settings.minimumBhp < settings.initialPressure))
        problems.push_back({minimumBhpName,
                            "the minimum bottom-hole pressure must be below the initial pressure "
                            "of "
                                + quantityForMessage(settings.initialPressure, "psia")});
    if (!(settings.refinement >= 1 && settings.refinement <= 5))
        problems.push_back({"refinement", "the grid refinement is 1 to 5"});
}

} // namespace coning::sim
