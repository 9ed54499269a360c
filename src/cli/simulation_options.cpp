#include "simulation_options.h"

#include "program.h"
#include "stop_signals.h"

#include "sim/flow_runner.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <functional>
#include <iostream>

#include <unistd.h>

namespace coning::cli {
namespace {

struct SettingOption
{
    std::string_view name;
    const char *valueName;
    const char *description;
};

const std::array<SettingOption, 15> settingOptions = {{
    {sim::kvKhName,
     "R",
     "Vertical over horizontal permeability: for the simulation (default 1); required "
     "for a horizontal well"},
    {sim::porosityName, "F", "Porosity for the simulation (default 0.2)"},
    {sim::displacingViscosityName,
     "CP",
     "Viscosity of the water, or of the gas for Gas-Oil (default 0.5, Gas-Oil 0.02)"},
    {sim::yearsName, "Y", "Simulated horizon in years (default 10)"},
    {sim::breakthroughCutName, "F", "Cut that counts as breakthrough (default 0.01)"},
    {sim::timeLimitName, "SECONDS", "Time limit of each simulator run (default 600)"},
    {sim::connateWaterName, "F", "Connate water saturation (default 0.2)"},
    {sim::residualSaturationName,
     "F",
     "Residual saturation of the produced phase: oil to water, oil to gas for Gas-Oil, gas for "
     "Gas-Water (default 0.2)"},
    {sim::coreyExponentsName,
     "N1,N2",
     "Corey exponents of the displacing and the produced phase (default 1,1: straight lines)"},
    {sim::endpointPermeabilitiesName,
     "K1,K2",
     "End-point relative permeabilities of the displacing and the produced phase (default 1,1)"},
    {sim::relpermTableName,
     "FILE",
     "Saturation table in the simulator's SWOF layout (SGOF for Gas-Oil), instead of the Corey "
     "curves"},
    {sim::aquiferThicknessName,
     "FT",
     "Thickness of the bottom water, or of the gas cap for Gas-Oil (default: the zone's)"},
    {sim::outerBoundaryName,
     "constant-pressure|closed",
     "Beyond the drainage radius: pressure held at its initial value, or no flow (default "
     "constant-pressure)"},
    {sim::initialPressureName, "PSIA", "Initial pressure at the top of the zone (default 2200)"},
    {sim::minimumBhpName, "PSIA", "The well's lowest bottom-hole pressure (default 14.7)"},
}};

// Reads --simulate-rates and --economic-cut; nothing without --simulate-rates.
std::optional<sim::RateStudyRequest> readStudy(const SimulationOptions &options,
                                               double breakthroughCut,
                                               std::vector<std::string> &messages)
{
    const std::string economicCut = "--" + std::string(sim::economicCutName);
    if (options.ratesOption->count() == 0) {
        if (options.economicCutOption->count() > 0)
            messages.push_back(economicCut + " is only for --"
                               + std::string(sim::simulateRatesName));
        return std::nullopt;
    }
    sim::RateStudyRequest study;
    if (auto problem = sim::readStudyRates(options.rates, study))
        messages.push_back("--" + std::string(sim::simulateRatesName) + ": " + *problem);
    if (options.economicCutOption->count() > 0) {
        if (auto problem = sim::readEconomicCut(options.economicCut, study.economicCut))
            messages.push_back(economicCut + ": " + *problem);
        else if (auto below = sim::checkEconomicCut(study.economicCut, breakthroughCut))
            messages.push_back(economicCut + ": " + *below);
    } else if (auto below = sim::checkEconomicCut(study.economicCut, breakthroughCut)) {
        messages.push_back("--" + std::string(sim::breakthroughCutName)
                           + ": a rate study needs it below the economic cut (" + economicCut
                           + ", default 0.95)");
    }
    return study;
}

} // namespace

void describeSimulation(CLI::App &app, SimulationOptions &options)
{
    options.rateOption = app.add_option("--" + std::string(sim::simulateRateName),
                                        options.rate,
                                        "Simulate production at the constant rate Q (STB/day, or "
                                        "MCF/day for Gas-Water) with the simulator flow")
                             ->type_name("Q");
    options.criticalOption = app.add_flag("--" + std::string(sim::simulateCriticalName),
                                          options.critical,
                                          "Simulate the critical rate: the highest rate whose "
                                          "cut stays at or below the breakthrough cut");
    options.ratesOption = app.add_option("--" + std::string(sim::simulateRatesName),
                                         options.rates,
                                         "Rate study: simulate each rate Q1,Q2,... (or \"auto\": "
                                         "about eight from below the correlations to where the "
                                         "well cannot hold its rate) until the economic cut")
                              ->type_name("Q1,Q2,...|auto");
    options.economicCutOption = app.add_option("--" + std::string(sim::economicCutName),
                                               options.economicCut,
                                               "Cut at which the well stops paying, for "
                                               "--simulate-rates (default 0.95)")
                                    ->type_name("F");
    options.keepDeckOption = app.add_option("--keep-deck",
                                            options.keepDeck,
                                            "Write the simulator deck and its summary files into "
                                            "DIR")
                                 ->type_name("DIR");
    options.jobsOption = app.add_option("--" + std::string(sim::jobsName),
                                        options.jobs,
                                        "Simulator processes to run at once (default: one per "
                                        "core); in batch mode across all rows")
                             ->type_name("N");
    for (std::size_t i = 0; i < settingOptions.size(); ++i) {
        options.settingOptions[i] = app.add_option("--" + std::string(settingOptions[i].name),
                                                   options.settings[i],
                                                   settingOptions[i].description)
                                        ->type_name(settingOptions[i].valueName);
    }
}

SimulationRequest readSimulationRequest(const SimulationOptions &options,
                                        std::vector<std::string> &messages,
                                        bool horizontal)
{
    SimulationRequest request;
    const bool rateGiven = options.rateOption->count() > 0;
    request.critical = options.critical;
    request.active = rateGiven || request.critical || options.ratesOption->count() > 0;
    if (rateGiven) {
        double rate = 0.0;
        if (auto problem = sim::readSimulatedRate(options.rate, rate))
            messages.push_back("--" + std::string(sim::simulateRateName) + ": " + *problem);
        else
            request.rate = rate;
    }
    sim::SettingTexts texts;
    for (std::size_t i = 0; i < settingOptions.size(); ++i) {
        if (options.settingOptions[i]->count() == 0 || (horizontal && i == 0))
            continue;
        if (!request.active) {
            messages.push_back(options.settingOptions[i]->get_name()
                               + " is only for --simulate-rate or --simulate-critical");
            continue;
        }
        texts.emplace_back(settingOptions[i].name, options.settings[i]);
    }
    sim::readSettings(texts, request.settings, messages);
    request.study = readStudy(options, request.settings.breakthroughCut, messages);
    if (options.jobsOption->count() > 0) {
        if (!request.active)
            messages.push_back(options.jobsOption->get_name()
                               + " is only for --simulate-rate or --simulate-critical");
        else if (auto problem = sim::readJobs(options.jobs, request.jobs))
            messages.push_back(options.jobsOption->get_name() + ": " + *problem);
    }
    if (options.keepDeckOption->count() > 0) {
        if (!request.active)
            messages.emplace_back("--keep-deck is only for --simulate-rate or --simulate-critical");
        else if (request.study)
            messages.emplace_back("--keep-deck cannot be combined with --simulate-rates: it keeps "
                                  "the deck of one run");
        else if (auto problem = sim::checkKeepDeck(options.keepDeck))
            messages.push_back(*problem);
        else
            request.keepDeck = options.keepDeck;
    }
    return request;
}

BatchSimulation readBatchSimulation(const SimulationOptions &options,
                                    std::vector<std::string> &messages)
{
    BatchSimulation simulation;
    if (options.rateOption->count() > 0)
        messages.push_back(options.rateOption->get_name()
                           + " cannot be combined with --batch: give each row's rate in a "
                             "simulate-rate column");
    if (options.keepDeckOption->count() > 0)
        messages.push_back(options.keepDeckOption->get_name()
                           + " cannot be combined with --batch: it keeps the deck of one well");
    simulation.critical = options.critical;
    sim::SettingTexts texts;
    for (std::size_t i = 0; i < settingOptions.size(); ++i) {
        if (options.settingOptions[i]->count() == 0)
            continue;
        texts.emplace_back(settingOptions[i].name, options.settings[i]);
        if (!simulation.firstSettingOption)
            simulation.firstSettingOption = options.settingOptions[i]->get_name();
    }
    sim::readSettings(texts, simulation.settings, messages);
    simulation.study = readStudy(options, simulation.settings.breakthroughCut, messages);
    if (options.jobsOption->count() > 0) {
        if (!simulation.firstSettingOption)
            simulation.firstSettingOption = options.jobsOption->get_name();
        if (auto problem = sim::readJobs(options.jobs, simulation.jobs))
            messages.push_back(options.jobsOption->get_name() + ": " + *problem);
    }
    return simulation;
}

namespace {

void checkProblems(const SimulationRequest &request,
                   const std::vector<sim::SettingProblem> &problems,
                   std::vector<std::string> &messages)
{
    if (!request.active)
        return;
    for (const sim::SettingProblem &problem : problems)
        messages.push_back("--" + std::string(problem.option) + ": " + problem.text);
    std::string missing;
    if (!sim::findFlow(missing)) {
        const std::string option = request.rate ? "--" + std::string(sim::simulateRateName)
                                   : request.critical
                                       ? "--" + std::string(sim::simulateCriticalName)
                                       : "--" + std::string(sim::simulateRatesName);
        messages.push_back(option + " needs the simulator: " + missing);
    }
}

} // namespace

void checkSimulationRequest(const SimulationRequest &request,
                            const Well &well,
                            std::vector<std::string> &messages)
{
    if (request.active)
        checkProblems(request, sim::checkSimulation(well, request.settings), messages);
}

void checkSimulationRequest(const SimulationRequest &request,
                            const HorizontalWell &well,
                            std::vector<std::string> &messages)
{
    if (request.active)
        checkProblems(request, sim::checkSimulation(well, request.settings), messages);
}

namespace {

// Runs `simulate` with stop signals, a reader that has gone and progress on a terminal.
std::optional<SimulationReport> runStoppable(
    const SimulationRequest &request,
    const std::function<SimulationReport(const sim::SimulationControl &)> &simulate,
    const std::ostream &out,
    std::ostream &err,
    int &signal)
{
    const StopSignals stopSignals;
    sim::SimulationControl control;
    control.cancelled = [&out] { return StopSignals::signal() != 0 || readerGone(out); };
    control.keepDeck = request.keepDeck;
    control.jobs = request.jobs;
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    if (terminal) {
        control.progress = [&err](const std::string &line) {
            err << '\r' << programName << ": " << line << "\x1b[K" << std::flush;
        };
    }

    if (request.rate && control.progress) {
        char line[96];
        std::snprintf(line,
                      sizeof line,
                      "simulating %g years at %g ...",
                      request.settings.years,
                      *request.rate);
        control.progress(line);
    }
    const SimulationReport report = simulate(control);
    const auto cancelled = [](const auto &simulation) {
        return simulation && simulation->status == sim::Status::Cancelled;
    };
    if (terminal)
        err << "\r\x1b[K" << std::flush;
    signal = StopSignals::signal();
    if ((cancelled(report.rate) || cancelled(report.critical) || cancelled(report.study))
        && (signal != 0 || readerGone(out)))
        return std::nullopt;
    return report;
}

} // namespace

std::optional<SimulationReport> runSimulationRequest(const SimulationRequest &request,
                                                     const Well &well,
                                                     const RunResult &correlations,
                                                     const std::ostream &out,
                                                     std::ostream &err,
                                                     int &signal)
{
    const auto simulate = [&](const sim::SimulationControl &control) {
        return sim::simulateWell(well,
                                 correlations,
                                 {request.rate, request.critical, request.study, request.settings},
                                 control);
    };
    return runStoppable(request, simulate, out, err, signal);
}

std::optional<SimulationReport> runSimulationRequest(const SimulationRequest &request,
                                                     const HorizontalWell &well,
                                                     const HorizontalResult &correlations,
                                                     const std::ostream &out,
                                                     std::ostream &err,
                                                     int &signal)
{
    const auto simulate = [&](const sim::SimulationControl &control) {
        return sim::simulateWell(well,
                                 correlations,
                                 {request.rate, request.critical, std::nullopt, request.settings},
                                 control);
    };
    return runStoppable(request, simulate, out, err, signal);
}

} // namespace coning::cli
