#include "simulation.h"

#include "horizontal.h"
#include "number_text.h"
#include "one_well.h"
#include "setting_value.h"

#include "calc/well_messages.h"
#include "sim/flow_runner.h"
#include "sim/rate_study.h"
#include "sim/simulation_report.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <future>

namespace py = pybind11;

namespace coning::python {
namespace {

// The well's usage problems, as calculate raises them, one message each.
std::vector<std::string> wellProblems(OneWellInput input, Well &well)
{
    try {
        checkOneWell(input, well);
        return {};
    } catch (const UsageError &error) {
        std::vector<std::string> lines;
        std::string_view text = error.what();
        while (!text.empty()) {
            const std::size_t end = std::min(text.find('\n'), text.size());
            lines.emplace_back(text.substr(0, end));
            text.remove_prefix(std::min(end + 1, text.size()));
        }
        return lines;
    }
}

} // namespace

namespace {

// What a simulation asks besides the well, read as the command line reads its options; the
// problems appended to `messages`.
struct Ask
{
    sim::WellSimulation asked;
    sim::SimulationControl control;
};

Ask readAsk(std::optional<double> rate,
            bool critical,
            std::optional<std::string> rates,
            std::optional<double> economicCut,
            const SettingValues &settings,
            std::optional<std::string> jobs,
            std::optional<std::string> keepDeck,
            std::vector<std::string> &messages)
{
    Ask ask;
    ask.asked.critical = critical;
    if (rate) {
        double read = 0.0;
        if (auto problem = sim::readSimulatedRate(NumberText(*rate).view(), read))
            messages.push_back("--" + std::string(sim::simulateRateName) + ": " + *problem);
        else
            ask.asked.rate = read;
    }
    for (const auto &[name, value] : settings) {
        if (auto problem = sim::readSetting(name, settingText(value), ask.asked.settings))
            messages.push_back("--" + name + ": " + *problem);
    }
    const std::string economicCutOption = "--" + std::string(sim::economicCutName);
    if (rates) {
        sim::RateStudyRequest study;
        if (auto problem = sim::readStudyRates(*rates, study))
            messages.push_back("--" + std::string(sim::simulateRatesName) + ": " + *problem);
        if (economicCut) {
            if (auto problem = sim::readEconomicCut(NumberText(*economicCut).view(),
                                                    study.economicCut))
                messages.push_back(economicCutOption + ": " + *problem);
        }
        if (auto below = sim::checkEconomicCut(study.economicCut, ask.asked.settings.breakthroughCut))
            messages.push_back(economicCutOption + ": " + *below);
        ask.asked.study = study;
    } else if (economicCut) {
        messages.push_back(economicCutOption + " is only for --"
                           + std::string(sim::simulateRatesName));
    }
    if (jobs) {
        if (auto problem = sim::readJobs(*jobs, ask.control.jobs))
            messages.push_back("--" + std::string(sim::jobsName) + ": " + *problem);
    }
    if (keepDeck && rates) {
        messages.emplace_back("--keep-deck cannot be combined with --simulate-rates: it keeps the "
                              "deck of one run");
    } else if (keepDeck) {
        if (auto problem = sim::checkKeepDeck(*keepDeck))
            messages.push_back(*problem);
        else
            ask.control.keepDeck = *keepDeck;
    }
    return ask;
}

// Raises the usage errors, or SimulatorMissing; then simulates with the interpreter lock
// released, a signal handler's exception stopping it at once, and gives the JSON member.
std::string simulated(
    const std::vector<std::string> &messages,
    sim::SimulationControl control,
    const std::function<sim::SimulationReport(const sim::SimulationControl &)> &simulate)
{
    if (!messages.empty()) {
        std::string joined;
        for (const std::string &message : messages)
            joined.append(joined.empty() ? "" : "\n").append(message);
        throw UsageError(joined);
    }
    std::string missing;
    if (!sim::findFlow(missing))
        throw SimulatorMissing(missing);

    std::atomic<bool> interrupted = false;
    control.cancelled = [&interrupted] { return interrupted.load(); };
    sim::SimulationReport report;
    {
        py::gil_scoped_release unlocked;
        // The simulation on a thread of its own: its search waits for its processes on threads
        // of their own too, and signals reach Python only here, where the lock can be taken.
        auto running = std::async(std::launch::async, [&] { return simulate(control); });
        while (running.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
            py::gil_scoped_acquire locked;
            if (PyErr_CheckSignals() != 0)
                interrupted = true;
        }
        report = running.get();
    }
    if (interrupted)
        throw py::error_already_set();
    std::string text;
    sim::appendSimulationJson(text, report);
    return text;
}

} // namespace

std::string simulationJson(std::optional<std::string> fluidSystem,
                           std::optional<std::string> completion,
                           const WellValues &values,
                           std::optional<double> rate,
                           bool critical,
                           std::optional<std::string> rates,
                           std::optional<double> economicCut,
                           const SettingValues &settings,
                           std::optional<std::string> jobs,
                           std::optional<std::string> keepDeck)
{
    OneWellInput input;
    input.fluidSystem = std::move(fluidSystem);
    input.completion = std::move(completion);
    input.values = values;
    Well well;
    // The command line's checks in its order: the well, then the simulation options, then what
    // the model cannot take of a well that is otherwise fine.
    std::vector<std::string> messages = wellProblems(input, well);
    const bool wellUsable = messages.empty();
    const Ask ask = readAsk(rate,
                            critical,
                            std::move(rates),
                            economicCut,
                            settings,
                            std::move(jobs),
                            std::move(keepDeck),
                            messages);
    if (wellUsable) {
        for (const sim::SettingProblem &problem : sim::checkSimulation(well, ask.asked.settings))
            messages.push_back("--" + std::string(problem.option) + ": " + problem.text);
    }
    std::optional<RunResult> correlations;
    if (messages.empty())
        correlations = calculateWell(well, Sweep::Skip);
    return simulated(messages, ask.control, [&](const sim::SimulationControl &control) {
        return sim::simulateWell(well, *correlations, ask.asked, control);
    });
}

std::string horizontalSimulationJson(
    std::optional<std::string> fluidSystem,
    const std::array<std::optional<double>, horizontalFieldCount> &values,
    std::optional<double> rate,
    bool critical,
    const SettingValues &settings,
    std::optional<std::string> jobs,
    std::optional<std::string> keepDeck)
{
    HorizontalWell well;
    std::vector<std::string> messages;
    for (const InputProblem &problem : readHorizontalWell(fluidSystem, values, well))
        messages.push_back(optionProblemText(problem));
    const bool wellUsable = messages.empty();
    const Ask ask = readAsk(rate,
                            critical,
                            std::nullopt,
                            std::nullopt,
                            settings,
                            std::move(jobs),
                            std::move(keepDeck),
                            messages);
    if (wellUsable) {
        for (const sim::SettingProblem &problem : sim::checkSimulation(well, ask.asked.settings))
            messages.push_back("--" + std::string(problem.option) + ": " + problem.text);
    }
    std::optional<HorizontalResult> correlations;
    if (messages.empty())
        correlations = calculateHorizontalWell(well);
    return simulated(messages, ask.control, [&](const sim::SimulationControl &control) {
        return sim::simulateWell(well, *correlations, ask.asked, control);
    });
}

} // namespace coning::python
