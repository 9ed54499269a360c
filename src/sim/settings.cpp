#include "settings.h"

#include "calc/message_text.h"
#include "calc/strict_number.h"
#include "model/parse_leading_number.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace coning::sim {

FluidSystem fluidSystemOf(const Well &well)
{
    if (well.fluidSystem == "Gas-Oil")
        return FluidSystem::GasOil;
    if (well.fluidSystem == "Gas-Water")
        return FluidSystem::GasWater;
    return FluidSystem::OilWater;
}

double displacingViscosity(FluidSystem system, const SimulationSettings &settings)
{
    if (settings.displacingViscosity)
        return *settings.displacingViscosity;
    return system == FluidSystem::GasOil ? 0.02 : 0.5;
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

constexpr std::array<SettingRange, 6> ranges = {{
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
}};

std::string feet(double value)
{
    return quantityForMessage(value, "ft");
}

} // namespace

bool isSetting(std::string_view name)
{
    return std::any_of(ranges.begin(), ranges.end(), [&](const SettingRange &r) {
        return r.name == name;
    });
}

std::optional<std::string> readSetting(std::string_view name,
                                       std::string_view text,
                                       SimulationSettings &settings)
{
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
    else
        settings.timeLimitSeconds = read;
    return std::nullopt;
}

void readSettings(const SettingTexts &texts,
                  SimulationSettings &settings,
                  std::vector<std::string> &messages)
{
    const std::array<std::pair<std::string_view, const std::optional<std::string_view> *>, 6>
        given = {{{kvKhName, &texts.kvKh},
                  {porosityName, &texts.porosity},
                  {displacingViscosityName, &texts.displacingViscosity},
                  {yearsName, &texts.years},
                  {breakthroughCutName, &texts.breakthroughCut},
                  {timeLimitName, &texts.timeLimit}}};
    for (const auto &[name, text] : given) {
        if (!*text)
            continue;
        if (auto problem = readSetting(name, **text, settings))
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
    if (!(settings.refinement >= 1 && settings.refinement <= 5))
        problems.push_back({"refinement", "the grid refinement is 1 to 5"});
    return problems;
}

} // namespace coning::sim
