#include "model_run.h"

#include "calc/message_text.h"

#include "deck_writer.h"
#include "run_folder.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <numeric>
#include <system_error>

namespace coning::sim {
namespace {

constexpr const char *caseName = "CONING"; // upper case: the simulator names its output so

std::string readAll(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool writeAll(const std::filesystem::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

// The lines of the simulator's output that say what went wrong ("Error: ..." first, then any
// line naming an error or exception), or its last lines; control characters escaped.
std::string failureLines(const std::string &output)
{
    std::vector<std::string> lines, errors, stated;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        std::string line = output.substr(start, end - start);
        line.erase(line.find_last_not_of(" \r\t") + 1);
        line.erase(0, line.find_first_not_of(" \t"));
        if (!line.empty()) {
            if (line.starts_with("Error:")
                && std::find(stated.begin(), stated.end(), line) == stated.end())
                stated.push_back(line);
            if (line.find("rror") != std::string::npos
                || line.find("exception") != std::string::npos)
                errors.push_back(line);
            lines.push_back(line);
        }
        start = end + 1;
    }
    const std::vector<std::string> &chosen = !stated.empty()   ? stated
                                             : !errors.empty() ? errors
                                                               : lines;
    std::string text;
    for (std::size_t i = chosen.size() > 3 ? chosen.size() - 3 : 0; i < chosen.size(); ++i)
        text.append(text.empty() ? "" : " / ").append(chosen[i]);
    return text.empty() ? "no output" : escapedForMessage(text);
}

} // namespace

std::string rateText(double rate, FluidSystem system)
{
    return numberForMessage(rate) + (system == FluidSystem::GasWater ? " MCF/DAY" : " STB/DAY");
}

namespace {

std::string seconds(double value)
{
    return numberForMessage(value);
}

// The simulator's command line for a run of the model in the current folder.
std::vector<std::string> flowArguments(const ReservoirModel &model)
{
    // The simulator's well tolerances are absolute, in m3/s at reservoir conditions, and made
    // for field wells: its default of 1e-4 (54 rb/day) exceeds the whole rate of many wells
    // here, so that in a step of many iterations it accepted well rates split wrongly between
    // the phases (a spurious cut of a few percent in the first step, an oil rate a sixth short
    // as gas arrived). A hundred-thousandth of the well's rate instead.
    constexpr double cubicMetresPerBarrel = 0.158987294928;
    const double wellTolerance = 1e-5 * deckRate(model) * model.producedFvf * cubicMetresPerBarrel
                                 / 86400.0;
    return {"--threads-per-process=1",
            // The boundary ring's huge pore volume would let every other cell go unconverged.
            "--relaxed-max-pv-fraction=0",
            "--tolerance-wells=" + deckNumber(wellTolerance),
            "--relaxed-well-flow-tol=" + deckNumber(wellTolerance),
            // The step the well opens in first tries the well at its pressure limit and can
            // take some 50 iterations to come back (a well of high permeability and rate).
            "--newton-max-iterations=50",
            // A well is never shut because a step does not converge, which would read as a
            // rate the well cannot hold: a run that cannot converge fails instead.
            "--min-time-step-before-shutting-problematic-wells-in-days=0",
            "--enable-async-ecl-output=false",
            "--output-mode=none",
            // Without its terminal output the simulator keeps the reason for a failure ("Solver
            // failed to converge ...") to itself; the output goes to a file of which only the
            // end is read.
            "--enable-terminal-output=true",
            "--print-parameters=0",
            "--print-properties=0",
            "--output-dir=.",
            std::string(caseName) + ".DATA"};
}

// The deck's opening comment: the command line the deck is run with, so that a kept deck
// reproduces the run on its own (the simulator's defaults differ from these options).
std::string commandComment(const std::vector<std::string> &arguments)
{
    std::string text = "-- Run by coning-calc as (run-flow.sh beside a kept deck does the same):\n"
                       "--   OMPI_MCA_ess_singleton_isolated=1 flow";
    for (const std::string &argument : arguments)
        text.append(" \\\n--       ").append(argument);
    return text + "\n\n";
}

// A script that reruns a kept deck with the options of the run, its results in rerun/.
std::string rerunScript(const std::vector<std::string> &arguments)
{
    std::string text
        = "#!/bin/sh\n"
          "# Reruns CONING.DATA with the options coning-calc ran it with; the results go\n"
          "# into rerun/ beside it. FLOW names another simulator than flow on the PATH.\n"
          "set -e\n"
          "cd \"$(dirname \"$0\")\"\n"
          "mkdir -p rerun\n"
          "OMPI_MCA_ess_singleton_isolated=1 exec \"${FLOW:-flow}\"";
    for (const std::string &argument : arguments) {
        const std::string written = argument == "--output-dir=." ? "--output-dir=rerun" : argument;
        text.append(" \\\n    '").append(written).append("'");
    }
    return text + "\n";
}

} // namespace

Attempt runModel(const ReservoirModel &model,
                 const std::filesystem::path &flow,
                 const SimulationSettings &settings,
                 const SimulationControl &control,
                 std::optional<double> stopAtCut,
                 bool keep,
                 double stopWithin)
{
    Attempt attempt;
    try {
        TemporaryFolder folder;
        const std::filesystem::path deckFile = folder.path() / (std::string(caseName) + ".DATA");
        const std::filesystem::path smspec = folder.path() / (std::string(caseName) + ".SMSPEC");
        const std::filesystem::path unsmry = folder.path() / (std::string(caseName) + ".UNSMRY");
        const std::vector<std::string> arguments = flowArguments(model);
        const std::string deck = commandComment(arguments) + writeDeck(model);
        if (!writeAll(deckFile, deck)) {
            attempt.message = "cannot write the deck into "
                              + escapedForMessage(folder.path().string())
                              + ": is the temporary folder full?";
            return attempt;
        }
        ChildOptions options;
        options.timeLimit = std::chrono::duration<double>(settings.timeLimitSeconds);
        options.cancelled = control.cancelled;
        const double horizon = settings.years * 365.25;
        if (stopAtCut) {
            // Stops once the summary shows the cut above stopAtCut with the rate held up to it;
            // the verdict of a run that finishes first is taken over the same points.
            options.enough = [&] {
                std::string ignored;
                const std::optional<Summary> partial = readSummary(smspec, unsmry, ignored);
                const std::optional<RateRun> run = partial ? analyseRun(model,
                                                                        *partial,
                                                                        settings.breakthroughCut,
                                                                        stopAtCut,
                                                                        ignored)
                                                           : std::nullopt;
                if (!run || !run->breakthroughDays || !firstCutAbove(run->cut, *stopAtCut)
                    || run->rateCheck.verdict != RateVerdict::Held
                    || !reachedWithin(*run, *stopAtCut, stopWithin * horizon))
                    return false;
                attempt.margin = std::log(horizon / std::max(*run->breakthroughDays, 1e-6));
                return true;
            };
        }
        // A slot of the limit shared with other simulations, held while the process runs.
        const auto release = [](ProcessSlots *slots) { slots->release(); };
        std::unique_ptr<ProcessSlots, decltype(release)> slot(nullptr, release);
        if (control.slots) {
            if (!control.slots->acquire(control.cancelled)) {
                attempt.status = Status::Cancelled;
                attempt.message = "cancelled";
                return attempt;
            }
            slot.reset(control.slots);
        }
        const ChildResult child = runChild(flow, arguments, folder.path(), options);
        slot.reset();
        switch (child.ending) {
        case ChildResult::Ending::Cancelled:
            attempt.status = Status::Cancelled;
            attempt.message = "cancelled";
            return attempt;
        case ChildResult::Ending::TimedOut:
            attempt.message = "the simulator did not finish within the time limit of "
                              + seconds(settings.timeLimitSeconds) + " s (--time-limit)";
            return attempt;
        case ChildResult::Ending::StoppedEarly: {
            // The summary up to the stop, for those who read the volumes produced by then.
            std::string problem;
            if (const std::optional<Summary> summary = readSummary(smspec, unsmry, problem))
                attempt.run = analyseRun(model,
                                         *summary,
                                         settings.breakthroughCut,
                                         stopAtCut,
                                         problem);
            attempt.status = Status::Done;
            attempt.brokeThrough = true;
            return attempt;
        }
        case ChildResult::Ending::NotStarted:
            attempt.message = escapedForMessage(child.output);
            return attempt;
        case ChildResult::Ending::Signalled:
            attempt.message = "the simulator was ended by signal " + std::to_string(child.status)
                              + ": " + failureLines(child.output);
            return attempt;
        case ChildResult::Ending::Exited:
            if (child.status != 0) {
                attempt.message = "the simulator failed (exit status "
                                  + std::to_string(child.status)
                                  + "): " + failureLines(child.output);
                return attempt;
            }
            break;
        }
        std::string problem;
        const std::optional<Summary> summary = readSummary(smspec, unsmry, problem);
        std::optional<RateRun> run;
        if (summary)
            run = analyseRun(model, *summary, settings.breakthroughCut, stopAtCut, problem);
        if (!summary)
            problem = "the simulator wrote no summary (" + problem + ")";
        if (!run) {
            const std::string said = failureLines(child.output);
            attempt.message = problem + (said == "no output" ? "" : ": " + said);
            return attempt;
        }
        // The simulator can end a run early and still exit cleanly, its summary cut short (a full
        // file system): such a run says nothing about the rest of the horizon.
        // (The summary's times are single precision: half the last report step tells a missing
        // step from rounding.)
        const double end = std::accumulate(model.reportSteps.begin(), model.reportSteps.end(), 0.0);
        if (run->days.back() < end - 0.5 * model.reportSteps.back()) {
            attempt.message = "the simulator stopped at day " + numberForMessage(run->days.back())
                              + " of " + numberForMessage(end) + ": is the temporary folder full? ("
                              + escapedForMessage(folder.path().parent_path().string()) + ")";
            return attempt;
        }
        if (keep) {
            attempt.script = rerunScript(arguments);
            attempt.deck = deck;
            attempt.smspec = readAll(smspec);
            attempt.unsmry = readAll(unsmry);
        }
        attempt.brokeThrough = run->breakthroughDays.has_value();
        const double highest = *std::max_element(run->cut.begin(), run->cut.end());
        const double cutMargin = std::log(std::max(highest, 1e-12) / settings.breakthroughCut);
        // Only where no stop could have come first: whether a run was stopped depends on
        // when its summary was looked at, and the margin must not.
        if (!stopAtCut || !reachedWithin(*run, *stopAtCut, stopWithin * horizon))
            attempt.cutMargin = cutMargin;
        attempt.margin = attempt.brokeThrough
                             ? std::log(horizon / std::max(*run->breakthroughDays, 1e-6))
                             : cutMargin;
        switch (run->rateCheck.verdict) {
        case RateVerdict::Held:
            attempt.status = Status::Done;
            break;
        case RateVerdict::NotHeld:
            attempt.status = Status::RateNotHeld;
            attempt.message = run->rateCheck.problem;
            break;
        case RateVerdict::Unsound:
            attempt.status = Status::Failed;
            attempt.message = run->rateCheck.problem;
            break;
        }
        attempt.run = std::move(run);
    } catch (const std::exception &error) {
        attempt.status = Status::Failed;
        attempt.message = error.what();
    }
    return attempt;
}

// Writes a kept deck, the script that reruns it and its summary into the folder; a problem, or
// nothing.
std::optional<std::string> keepFiles(const std::filesystem::path &folder, const Attempt &attempt)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const std::string base = std::string(caseName);
    const std::filesystem::path script = folder / "run-flow.sh";
    if (error || !writeAll(folder / (base + ".DATA"), attempt.deck)
        || !writeAll(script, attempt.script)
        || !writeAll(folder / (base + ".SMSPEC"), attempt.smspec)
        || !writeAll(folder / (base + ".UNSMRY"), attempt.unsmry)) {
        return "cannot write the deck into " + escapedForMessage(folder.string())
               + (error ? ": " + error.message() : std::string());
    }
    using std::filesystem::perms;
    std::filesystem::permissions(script,
                                 perms::owner_exec | perms::group_exec | perms::others_exec,
                                 std::filesystem::perm_options::add,
                                 error);
    return std::nullopt;
}

bool reachedWithin(const RateRun &run, double cut, double days)
{
    const std::optional<double> reached = breakthroughTime(run.days, run.cut, cut);
    return reached && *reached <= days;
}

ChildOptions probeOptions(const SimulationSettings &settings, const SimulationControl &control)
{
    ChildOptions options;
    options.timeLimit = std::chrono::duration<double>(settings.timeLimitSeconds);
    options.cancelled = control.cancelled;
    return options;
}

// The checks every entry point makes first; a status other than Done ends the call.
Status prepare(const Well &well,
               const SimulationSettings &settings,
               const SimulationControl &control,
               std::filesystem::path &flow,
               std::string &engine,
               std::string &message)
{
    return prepare(checkSimulation(well, settings), settings, control, flow, engine, message);
}

Status prepare(const std::vector<SettingProblem> &problems,
               const SimulationSettings &settings,
               const SimulationControl &control,
               std::filesystem::path &flow,
               std::string &engine,
               std::string &message)
{
    if (!problems.empty()) {
        message = "--" + std::string(problems.front().option) + ": " + problems.front().text;
        return Status::Failed;
    }
    const std::optional<std::filesystem::path> found = findFlow(message);
    if (!found) {
        message = escapedForMessage(message); // it may quote CONING_FLOW
        return Status::NoEngine;
    }
    flow = *found;
    const FlowVersion version = flowVersion(flow, probeOptions(settings, control));
    engine = version.line;
    if (version.cancelled) {
        message = "cancelled";
        return Status::Cancelled;
    }
    if (engine.empty()) {
        message = escapedForMessage(version.problem);
        return Status::Failed;
    }
    return Status::Done;
}

} // namespace coning::sim
