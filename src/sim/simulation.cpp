#include "simulation.h"

#include "calc/message_text.h"

#include "deck_writer.h"
#include "flow_runner.h"
#include "process_pool.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <numeric>
#include <system_error>

namespace coning::sim {
namespace {

constexpr const char *caseName = "CONING"; // upper case: the simulator names its output so

// One simulator run of a model.
struct Attempt
{
    Status status = Status::Failed;
    std::string message;
    std::optional<RateRun> run;
    bool brokeThrough = false; // also when stopped early at breakthrough
    // How far the run is from the threshold: ln(horizon / breakthrough time) > 0 with
    // breakthrough, ln(highest cut / threshold) <= 0 without; near 0 close to the critical rate.
    double margin = 0.0;
    std::string deck; // kept when asked
    std::string script;
    std::string smspec, unsmry;
};

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
            if (line.starts_with("Error:") && std::find(stated.begin(), stated.end(), line)
                                                  == stated.end())
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

std::string rateText(double rate, FluidSystem system)
{
    return numberForMessage(rate) + (system == FluidSystem::GasWater ? " MCF/DAY" : " STB/DAY");
}

std::string seconds(double value)
{
    return numberForMessage(value);
}

// The simulator's command line for a run of the model in the current folder.
std::vector<std::string> flowArguments(const RadialModel &model)
{
    // The simulator's well tolerances are absolute, in m3/s at reservoir conditions, and made
    // for field wells: its default of 1e-4 (54 rb/day) exceeds the whole rate of many wells
    // here, so that in a step of many iterations it accepted well rates split wrongly between
    // the phases (a spurious cut of a few percent in the first step, an oil rate a sixth short
    // as gas arrived). A hundred-thousandth of the well's rate instead.
    constexpr double cubicMetresPerBarrel = 0.158987294928;
    const double wellTolerance = 1e-5 * model.rate * model.producedFvf * cubicMetresPerBarrel
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
    std::string text = "#!/bin/sh\n"
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

Attempt runModel(const RadialModel &model,
                 const std::filesystem::path &flow,
                 const SimulationSettings &settings,
                 const SimulationControl &control,
                 bool stopAtBreakthrough,
                 bool keep)
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
            attempt.message = "cannot write the deck into " + escapedForMessage(folder.path().string())
                              + ": is the temporary folder full?";
            return attempt;
        }
        ChildOptions options;
        options.timeLimit = std::chrono::duration<double>(settings.timeLimitSeconds);
        options.cancelled = control.cancelled;
        const double horizon = settings.years * 365.25;
        if (stopAtBreakthrough) {
            // Stops once the summary shows breakthrough with the rate held up to it; the
            // verdict of a run that finishes first is taken over the same points.
            options.enough = [&] {
                std::string ignored;
                const std::optional<Summary> partial = readSummary(smspec, unsmry, ignored);
                const std::optional<RateRun> run = partial ? analyseRun(model,
                                                                        *partial,
                                                                        settings.breakthroughCut,
                                                                        true,
                                                                        ignored)
                                                           : std::nullopt;
                if (!run || !run->breakthroughDays || run->rateCheck.verdict != RateVerdict::Held)
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
        case ChildResult::Ending::StoppedEarly:
            attempt.status = Status::Done;
            attempt.brokeThrough = true;
            return attempt;
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
            run = analyseRun(model, *summary, settings.breakthroughCut, stopAtBreakthrough, problem);
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
                              + " of " + numberForMessage(end)
                              + ": is the temporary folder full? ("
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
        if (attempt.brokeThrough) {
            attempt.margin = std::log(horizon / std::max(*run->breakthroughDays, 1e-6));
        } else {
            const double highest = *std::max_element(run->cut.begin(), run->cut.end());
            attempt.margin = std::log(std::max(highest, 1e-12) / settings.breakthroughCut);
        }
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
    const std::vector<SettingProblem> problems = checkSimulation(well, settings);
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

} // namespace

std::vector<double> correlationRates(const RunResult &result)
{
    std::vector<double> rates;
    if (result.failed())
        return rates;
    for (const CorrelationOutcome &outcome : result.outcomes) {
        if (outcome.shown() && outcome.rate > 0.0 && std::isfinite(outcome.rate))
            rates.push_back(outcome.rate);
    }
    return rates;
}

RateSimulation simulateModel(const RadialModel &model,
                             const SimulationSettings &settings,
                             const SimulationControl &control)
{
    RateSimulation result;
    const std::optional<std::filesystem::path> flow = findFlow(result.message);
    if (!flow) {
        result.message = escapedForMessage(result.message);
        result.status = Status::NoEngine;
        return result;
    }
    result.engine = flowVersion(*flow, probeOptions(settings, control)).line;
    Attempt attempt = runModel(model, *flow, settings, control, false, control.keepDeck.has_value());
    result.status = attempt.status;
    result.message = attempt.message;
    if (attempt.run)
        result.run = std::move(*attempt.run);
    if (control.keepDeck && !attempt.deck.empty()) {
        if (auto problem = keepFiles(*control.keepDeck, attempt)) {
            result.status = Status::Failed;
            result.message = *problem;
        }
    }
    return result;
}

RateSimulation simulateRate(const Well &well,
                            const SimulationSettings &settings,
                            double rate,
                            const SimulationControl &control)
{
    RateSimulation result;
    std::filesystem::path flow;
    result.status = prepare(well, settings, control, flow, result.engine, result.message);
    if (result.status != Status::Done)
        return result;
    if (!(rate > 0.0 && std::isfinite(rate))) {
        result.status = Status::Failed;
        result.message = "the rate to simulate must be positive";
        return result;
    }
    try {
        return simulateModel(buildModel(well, settings, rate, accurateGrid(settings)),
                             settings,
                             control);
    } catch (const std::exception &error) { // an arithmetic fault of the geometry
        result.status = Status::Failed;
        result.message = std::string("the model cannot be built: ") + error.what();
        return result;
    }
}

namespace {

// A bracket search on one grid: evaluates several rates at once and narrows [low, high] until
// high <= ratio * low, low without breakthrough and high with it.
class BracketSearch
{
public:
    BracketSearch(const Well &well,
                  const SimulationSettings &settings,
                  const std::filesystem::path &flow,
                  const SimulationControl &control,
                  const GridSize &grid,
                  bool accurate)
        : m_well(well)
        , m_settings(settings)
        , m_flow(flow)
        , m_control(control)
        , m_grid(grid)
        , m_accurate(accurate)
        , m_system(fluidSystemOf(well))
    {}

    // Searches from a guess of the answer between `first` and `last`; `widen` is the factor
    // to step outwards by when the answer lies outside what has been tried.
    Status search(double first, double last, double widen, double ratio, int &runs)
    {
        const unsigned jobs = m_control.jobs > 0 ? m_control.jobs : defaultJobs();
        const double lowest = first * 1e-6;
        const double highest = last * 1e6;
        std::vector<double> rates = {first, last};
        bool lowMoved = false;
        bool highMoved = false;
        bool interpolated = false;
        while (true) {
            std::vector<Attempt> attempts(rates.size());
            runTasks(rates.size(), jobs, [&](std::size_t i) {
                try {
                    const RadialModel model = buildModel(m_well, m_settings, rates[i], m_grid);
                    attempts[i] = runModel(model,
                                           m_flow,
                                           m_settings,
                                           m_control,
                                           true,
                                           m_accurate && m_control.keepDeck.has_value());
                } catch (const std::exception &error) { // nothing may leave a worker thread
                    attempts[i].message = std::string("the model cannot be built: ") + error.what();
                }
            });
            lowMoved = false;
            highMoved = false;
            for (std::size_t i = 0; i < rates.size(); ++i) {
                ++runs;
                Attempt &attempt = attempts[i];
                if (attempt.status == Status::Cancelled)
                    return fail(Status::Cancelled, "cancelled");
                if (attempt.status != Status::Done) {
                    return fail(attempt.status,
                                "at " + rateText(rates[i], m_system) + ": " + attempt.message);
                }
                report(runs, rates[i], attempt.brokeThrough);
                if (attempt.brokeThrough) {
                    if (!m_high || rates[i] < m_high->rate) {
                        m_nextHigh = m_high;
                        m_high = Point{rates[i], attempt.margin};
                        highMoved = true;
                    } else if (!m_nextHigh || rates[i] < m_nextHigh->rate) {
                        m_nextHigh = Point{rates[i], attempt.margin};
                    }
                } else if (m_low && rates[i] <= m_low->rate) {
                    if (!m_nextLow || rates[i] > m_nextLow->rate)
                        m_nextLow = Point{rates[i], attempt.margin};
                } else {
                    m_nextLow = m_low;
                    m_low = Point{rates[i], attempt.margin};
                    m_lowAttempt = std::move(attempt);
                    lowMoved = true;
                }
            }
            if (m_low && m_high && m_high->rate <= m_low->rate) {
                return fail(Status::Failed,
                            "the cut does not grow with the rate: no breakthrough at "
                                + rateText(m_low->rate, m_system) + " but at "
                                + rateText(m_high->rate, m_system));
            }
            if (m_low && m_high && m_high->rate <= ratio * m_low->rate)
                return Status::Done;

            if (m_low && m_high) {
                // An interpolation that left the answer on one side is followed by an even
                // split, so that a lopsided margin cannot keep the search crawling.
                const bool interpolate = !interpolated || (lowMoved && highMoved);
                rates = interpolate ? inside(jobs, ratio, lowMoved) : evenSplit(jobs);
                interpolated = interpolate;
            } else if (m_high) {
                if (m_high->rate / widen < lowest)
                    return fail(Status::Failed,
                                "breakthrough even at " + rateText(m_high->rate, m_system));
                rates = outside(*m_high, m_nextHigh, 1.0 / widen, jobs, ratio);
            } else {
                if (m_low->rate * widen > highest)
                    return fail(Status::Failed,
                                "no breakthrough even at " + rateText(m_low->rate, m_system));
                rates = outside(*m_low, m_nextLow, widen, jobs, ratio);
            }
        }
    }

    double low() const { return m_low->rate; }
    double high() const { return m_high->rate; }
    const Attempt &lowAttempt() const { return m_lowAttempt; }
    const std::string &message() const { return m_message; }

private:
    struct Point
    {
        double rate;
        double margin;
    };

    // The next rates between low and high: around the rate where the margin, interpolated
    // linearly in the logarithm of the rate, crosses zero, close enough that two of them would
    // end the search. One process: one rate, on the side not narrowed last.
    std::vector<double> inside(unsigned jobs, double ratio, bool lowMoved) const
    {
        const double a = std::log(m_low->rate);
        const double b = std::log(m_high->rate);
        double x = a + (b - a) * (0.0 - m_low->margin) / (m_high->margin - m_low->margin);
        // The margin after breakthrough (the logarithm of the time it takes) is close to
        // linear in the logarithm of the rate; before it (the logarithm of a tiny cut) it is
        // not. With two runs that broke through, extrapolate from them.
        if (m_nextHigh && m_nextHigh->margin > m_high->margin) {
            const double c = std::log(m_nextHigh->rate);
            x = b + (c - b) * (0.0 - m_high->margin) / (m_nextHigh->margin - m_high->margin);
        }
        if (!std::isfinite(x))
            x = (a + b) / 2.0;
        // Never hug an end: an interpolation that keeps landing on one side moves slowly.
        x = std::clamp(x, a + 0.1 * (b - a), b - 0.1 * (b - a));
        const double half = 0.49 * std::log(ratio);
        std::vector<double> offsets;
        if (jobs <= 1)
            offsets = {lowMoved ? half : -half};
        else
            for (unsigned i = 0; i < jobs; ++i)
                offsets.push_back(-half + 2.0 * half * i / (jobs - 1));
        std::vector<double> rates;
        for (double offset : offsets) {
            const double y = x + offset;
            if (y > a && y < b)
                rates.push_back(std::exp(y));
        }
        if (rates.empty())
            rates.push_back(std::exp((a + b) / 2.0));
        return rates;
    }

    // Rates splitting [low, high] evenly in the logarithm, one per process.
    std::vector<double> evenSplit(unsigned jobs) const
    {
        const double span = std::log(m_high->rate / m_low->rate);
        const unsigned parts = std::max(1U, jobs) + 1;
        std::vector<double> rates;
        for (unsigned i = 1; i < parts; ++i)
            rates.push_back(m_low->rate * std::exp(span * i / parts));
        return rates;
    }

    // The next rates beyond `nearest` when every run so far fell on its side: around the rate
    // where the margin, extrapolated from the two nearest runs, would cross zero (at most
    // `widen` to the power of the process count away), else steps of `widen`.
    std::vector<double> outside(const Point &nearest,
                                const std::optional<Point> &next,
                                double widen,
                                unsigned jobs,
                                double ratio) const
    {
        const unsigned count = std::max(2U, jobs);
        const double step = std::log(widen);
        std::vector<double> rates;
        if (next && next->margin != nearest.margin) {
            const double a = std::log(nearest.rate);
            const double b = std::log(next->rate);
            double x = a + (b - a) * (0.0 - nearest.margin) / (next->margin - nearest.margin);
            const double far = a + step * count;
            // Beyond `nearest`, and no farther than the plain steps would go.
            x = step > 0.0 ? std::clamp(x, a + 0.5 * step, far)
                           : std::clamp(x, far, a + 0.5 * step);
            const double half = 0.49 * std::log(ratio);
            for (unsigned i = 0; i < count; ++i) {
                const double y = x - half + 2.0 * half * i / (count - 1);
                if (step > 0.0 ? y > a : y < a)
                    rates.push_back(std::exp(y));
            }
            if (!rates.empty())
                return rates;
        }
        for (unsigned i = 1; i <= count; ++i)
            rates.push_back(nearest.rate * std::exp(step * i));
        return rates;
    }

    Status fail(Status status, std::string message)
    {
        m_message = std::move(message);
        return status;
    }

    void report(int runs, double rate, bool brokeThrough)
    {
        if (!m_control.progress)
            return;
        std::string line = "run " + std::to_string(runs) + (m_accurate ? "" : " (coarse grid)")
                           + ": " + rateText(rate, m_system)
                           + (brokeThrough ? ", breakthrough" : ", no breakthrough");
        m_control.progress(line);
    }

    const Well &m_well;
    const SimulationSettings &m_settings;
    const std::filesystem::path &m_flow;
    const SimulationControl &m_control;
    GridSize m_grid;
    bool m_accurate;
    FluidSystem m_system;
    std::optional<Point> m_low, m_high;
    std::optional<Point> m_nextLow, m_nextHigh; // the runs nearest to them on the same side
    Attempt m_lowAttempt;
    std::string m_message;
};

} // namespace

CriticalSimulation simulateCritical(const Well &well,
                                    const SimulationSettings &settings,
                                    const std::vector<double> &expected,
                                    const SimulationControl &control)
{
    CriticalSimulation result;
    std::filesystem::path flow;
    result.status = prepare(well, settings, control, flow, result.engine, result.message);
    if (result.status != Status::Done)
        return result;

    double first = 1.0;
    double last = 1000.0;
    std::vector<double> usable;
    for (double rate : expected) {
        if (rate > 0.0 && std::isfinite(rate))
            usable.push_back(rate);
    }
    if (!usable.empty()) {
        first = *std::min_element(usable.begin(), usable.end());
        last = *std::max_element(usable.begin(), usable.end());
        if (last < first * 1.1) { // one rate, or all alike: a range around them
            first /= 1.5;
            last *= 1.5;
        }
    }

    // Progress lines come from one thread at a time.
    std::mutex progressMutex;
    SimulationControl serialised = control;
    if (control.progress) {
        serialised.progress = [&](const std::string &line) {
            const std::lock_guard lock(progressMutex);
            control.progress(line);
        };
    }

    // A cheap grid places the answer; the accurate grid then brackets it closely.
    BracketSearch coarse(well, settings, flow, serialised, coarseGrid(), false);
    result.status = coarse.search(first, last, 2.0, 1.03, result.runs);
    if (result.status != Status::Done) {
        result.message = coarse.message();
        return result;
    }
    const double guess = std::sqrt(coarse.low() * coarse.high());
    BracketSearch accurate(well, settings, flow, serialised, accurateGrid(settings), true);
    result.status = accurate.search(guess / 1.0074, guess * 1.0074, 1.03, 1.005, result.runs);
    if (result.status != Status::Done) {
        result.message = accurate.message();
        return result;
    }
    result.low = accurate.low();
    result.high = accurate.high();
    if (control.keepDeck) {
        if (auto problem = keepFiles(*control.keepDeck, accurate.lowAttempt())) {
            result.status = Status::Failed;
            result.message = *problem;
        }
    }
    return result;
}

} // namespace coning::sim
