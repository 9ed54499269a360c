#include "frame_row.h"

#include "calc/design.h"
#include "calc/design_request.h"
#include "calc/message_text.h"
#include "calc/strict_number.h"
#include "calc/well_messages.h"

#include <algorithm>

namespace coning::python {
namespace {

std::optional<double> shown(double value)
{
    return value == 0.0 ? 0.0 : value; // the batch prints a negative zero as 0
}

// The row's texts sorted into what the batch reader makes of them.
struct RowTexts
{
    WellInput input;
    std::optional<std::string_view> target;
    std::optional<std::string_view> rate;
    std::vector<std::pair<std::string_view, std::string_view>> settings;
    std::vector<InputProblem> misplaced; // a horizontal well's inputs
};

RowTexts rowTexts(const FrameRowCells &cells)
{
    RowTexts texts;
    const auto &fields = numericFields();
    for (const auto &[name, text] : cells) {
        const std::string_view value = withoutBlanks(text);
        if (value.empty())
            continue;
        if (name == fluidSystemName) {
            texts.input.fluidSystem = value;
        } else if (name == completionName) {
            texts.input.completion = value;
        } else if (name == targetRateName) {
            texts.target = value;
        } else if (name == sim::simulateRateName) {
            texts.rate = value;
        } else {
            for (std::string_view setting : sim::wellSettingNames) {
                if (name == setting)
                    texts.settings.emplace_back(setting, value);
            }
            for (std::size_t i = 0; i < fields.size(); ++i) {
                if (fields[i].name == name)
                    texts.input.values[i] = value;
            }
            for (const HorizontalField &field : horizontalFields()) {
                if (field.name == name && !field.sharedWithVertical && name != sim::kvKhName)
                    texts.misplaced.push_back(
                        {InputProblem::Kind::Invalid,
                         field.name,
                         "only for horizontal wells, not for a vertical row"});
            }
        }
    }
    return texts;
}

void fillCorrelations(FrameRowOutput &row,
                      const RunResult &result,
                      const std::optional<TargetPenetration> &design)
{
    row.unit = rateUnit(result.fluidSystem);
    if (result.failed())
        return;
    row.percentPenetration = shown(result.percentPenetration);
    for (Correlation c : callOrder) {
        const CorrelationOutcome &outcome = result.outcome(c);
        if (outcome.shown())
            row.rates[indexOf(c)] = shown(outcome.rate);
        if (design && !design->failed()) {
            const std::optional<PenetrationDesign> &d = design->correlations[indexOf(c)];
            if (d && d->maxPenetration)
                row.maxPenetration[indexOf(c)] = shown(*d->maxPenetration);
        }
    }
}

constexpr std::string_view wellTypeColumnName = "well-type"; // as in a batch file

// The well-type cell, blanks around it removed; empty when there is none.
std::string_view wellTypeOf(const FrameRowCells &cells)
{
    for (const auto &[name, text] : cells) {
        if (name == wellTypeColumnName)
            return withoutBlanks(text);
    }
    return {};
}

// A horizontal row as the batch reads it: its inputs, then the vertical well's inputs as
// problems, then what its simulation cannot take.
FrameRowOutput horizontalRow(long line,
                             const FrameRowCells &cells,
                             const FrameRowOptions &options,
                             const sim::SimulationControl &control)
{
    FrameRowOutput row;
    HorizontalWellInput input;
    std::vector<InputProblem> misplaced;
    std::optional<std::string_view> rate;
    std::vector<std::pair<std::string_view, std::string_view>> settings;
    const auto &fields = horizontalFields();
    for (const auto &[name, text] : cells) {
        const std::string_view value = withoutBlanks(text);
        if (value.empty() || name == wellTypeColumnName)
            continue;
        const auto field = std::find_if(fields.begin(), fields.end(), [&](const auto &f) {
            return f.name == name;
        });
        const bool setting = std::find(sim::wellSettingNames.begin(),
                                       sim::wellSettingNames.end(),
                                       name)
                             != sim::wellSettingNames.end();
        if (name == fluidSystemName)
            input.fluidSystem = value;
        else if (field != fields.end())
            input.values[static_cast<std::size_t>(field - fields.begin())] = value;
        else if (name == sim::simulateRateName)
            rate = value;
        else if (setting)
            settings.emplace_back(name, value);
        else
            misplaced.push_back({InputProblem::Kind::Invalid,
                                 name,
                                 "only for vertical wells, not for a horizontal row"});
    }
    HorizontalWell well;
    std::vector<InputProblem> problems = checkHorizontalWell(input, well);
    problems.insert(problems.end(), misplaced.begin(), misplaced.end());
    sim::WellSimulation simulation;
    sim::readRowSimulation(
        rate, settings, options.critical, options.settings, well, problems, simulation);
    if (!problems.empty()) {
        row.message = rowProblemsText(line, problems);
        row.failed = true;
        return row;
    }
    const HorizontalResult result = calculateHorizontalWell(well);
    row.unit = rateUnit(result.fluidSystem);
    for (std::size_t i = 0; i < horizontalCorrelationCount; ++i) {
        if (result.outcomes[i].shown())
            row.horizontalRates[i] = shown(result.outcomes[i].rate);
    }
    if (!simulation.active()) {
        row.message = horizontalMessageText(result);
        row.failed = result.anyFailure();
        return row;
    }
    sim::SimulationControl mine = control;
    mine.jobs = options.jobs;
    const sim::SimulationReport report = sim::simulateWell(well, result, simulation, mine);
    row.simulation = sim::rowSimulationCells(report);
    row.message = horizontalMessageText(result, sim::simulationFailures(report));
    row.failed = result.anyFailure() || sim::simulationFailed(report);
    return row;
}

} // namespace

FrameRowOutput simulateFrameRow(long line,
                                const FrameRowCells &cells,
                                const FrameRowOptions &options,
                                const sim::SimulationControl &control)
{
    FrameRowOutput row;
    const auto problemRow = [&](const std::string &message) {
        row = FrameRowOutput{};
        row.message = message;
        row.failed = true;
        return row;
    };
    try {
        const std::string_view type = wellTypeOf(cells);
        if (type == horizontalWellText)
            return horizontalRow(line, cells, options, control);
        if (!type.empty() && type != verticalWellText)
            return problemRow(rowProblemsText(line,
                                              std::vector<InputProblem>{
                                                  {InputProblem::Kind::Invalid,
                                                   wellTypeColumnName,
                                                   quotedForMessage(type)
                                                       + " is not a well type: use vertical or "
                                                         "horizontal"}}));
        const RowTexts texts = rowTexts(cells);
        Well well;
        std::vector<InputProblem> problems = checkWell(texts.input, well);
        problems.insert(problems.end(), texts.misplaced.begin(), texts.misplaced.end());
        std::optional<double> targetRate;
        if (texts.target)
            targetRate = readRowTargetRate(*texts.target, well.completion, problems);
        sim::WellSimulation simulation;
        sim::readRowSimulation(texts.rate,
                               texts.settings,
                               options.critical,
                               options.study,
                               options.settings,
                               well,
                               problems,
                               simulation);
        if (!problems.empty())
            return problemRow(rowProblemsText(line, problems));
        const RunResult result = calculateWell(well, Sweep::Skip);
        std::optional<TargetPenetration> design;
        if (targetRate && !result.failed())
            design = targetPenetration(well, *targetRate);
        if (!simulation.active() || result.failed()) {
            fillCorrelations(row, result, design);
            row.message = runMessageText(result);
            row.failed = result.anyFailure();
            return row;
        }
        sim::SimulationControl mine = control;
        mine.jobs = options.jobs;
        const sim::SimulationReport report = sim::simulateWell(well, result, simulation, mine);
        fillCorrelations(row, result, design);
        row.simulation = sim::rowSimulationCells(report);
        if (report.study && report.study->status == sim::Status::Done)
            row.study = report.study->rows;
        row.message = runMessageText(result, sim::simulationFailures(report));
        row.failed = result.anyFailure() || sim::simulationFailed(report);
        return row;
    } catch (const std::exception &error) {
        // What nothing below caught (no memory left, say) makes the row a bad row.
        return problemRow("line " + std::to_string(line)
                          + ": the simulation failed: " + error.what());
    }
}

} // namespace coning::python

#include "number_text.h"
#include "one_well.h"
#include "setting_value.h"
#include "simulation.h"

#include "sim/flow_runner.h"
#include "sim/process_pool.h"

#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <limits>
#include <variant>

namespace py = pybind11;

namespace coning::python {
namespace {

// The options' settings ("years", 0.1) read as the command line reads them; UsageError with
// every problem, one "--years: ..." line each.
sim::SimulationSettings readOptionSettings(const SettingValues &given)
{
    sim::SimulationSettings settings;
    std::string problems;
    for (const auto &[name, value] : given) {
        if (auto problem = sim::readSetting(name, settingText(value), settings))
            problems.append(problems.empty() ? "" : "\n").append("--" + name + ": " + *problem);
    }
    if (!problems.empty())
        throw UsageError(problems);
    return settings;
}

py::float_ cell(const std::optional<double> &value)
{
    return py::float_(value ? *value : std::numeric_limits<double>::quiet_NaN());
}

py::tuple cells(const std::array<std::optional<double>, correlationCount> &values)
{
    py::tuple out(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        out[i] = cell(values[i]);
    return out;
}

// The study of --simulate-rates and --economic-cut; UsageError with the command line's words.
std::optional<sim::RateStudyRequest> readStudyOption(const std::optional<std::string> &rates,
                                                     const std::optional<double> &economicCut,
                                                     double breakthroughCut)
{
    const std::string cutOption = "--" + std::string(sim::economicCutName);
    if (!rates) {
        if (economicCut)
            throw UsageError(cutOption + " is only for --" + std::string(sim::simulateRatesName));
        return std::nullopt;
    }
    sim::RateStudyRequest study;
    std::string problems;
    if (auto problem = sim::readStudyRates(*rates, study))
        problems = "--" + std::string(sim::simulateRatesName) + ": " + *problem;
    if (economicCut) {
        if (auto problem = sim::readEconomicCut(NumberText(*economicCut).view(), study.economicCut))
            problems.append(problems.empty() ? "" : "\n").append(cutOption + ": " + *problem);
    }
    if (auto below = sim::checkEconomicCut(study.economicCut, breakthroughCut))
        problems.append(problems.empty() ? "" : "\n").append(cutOption + ": " + *below);
    if (!problems.empty())
        throw UsageError(problems);
    return study;
}

// A study's rows as tuples (rate, held, breakthrough days, economic days, until days, produced,
// coning phase produced, recovery, how a rate not held fell off).
py::list studyRows(const std::vector<sim::StudyRow> &rows)
{
    py::list out;
    for (const sim::StudyRow &row : rows)
        out.append(py::make_tuple(row.rate,
                                  row.held,
                                  cell(row.breakthroughDays),
                                  cell(row.economicDays),
                                  row.untilDays,
                                  row.produced,
                                  row.coned,
                                  row.recovery,
                                  row.fellOff));
    return out;
}

} // namespace

void defineFrameRows(py::module_ &m)
{
    py::class_<sim::ProcessSlots>(m,
                                  "ProcessSlots",
                                  "A limit on the simulator processes of rows run at once.")
        .def(py::init<unsigned>(), py::arg("count"));
    py::class_<RowCancel>(m, "RowCancel", "Stops the rows' simulations from another thread.")
        .def(py::init<>())
        .def("set", [](RowCancel &cancel) { cancel.set = true; })
        .def("is_set", [](const RowCancel &cancel) { return cancel.set.load(); });
    m.def("default_jobs", &sim::defaultJobs, "Simulator processes at once by default: the cores.");
    m.def(
        "check_simulator",
        [] {
            std::string missing;
            if (!sim::findFlow(missing))
                throw SimulatorMissing(missing);
        },
        "Raises SimulatorNotFoundError when flow cannot be found.");
    m.def(
        "check_settings",
        [](const SettingValues &settings, std::optional<std::string> jobs) {
            std::string problem;
            try {
                readOptionSettings(settings);
            } catch (const UsageError &error) {
                problem = error.what();
            }
            unsigned read = 0;
            if (jobs) {
                if (auto wrong = sim::readJobs(*jobs, read))
                    problem.append(problem.empty() ? "" : "\n")
                        .append("--" + std::string(sim::jobsName) + ": " + *wrong);
            }
            if (!problem.empty())
                throw UsageError(problem);
        },
        py::arg("settings"),
        py::arg("jobs"),
        "Raises UsageError, in the command line's words, for settings it refuses.");
    m.def(
        "check_study",
        [](const std::optional<std::string> &rates,
           const std::optional<double> &economicCut,
           const SettingValues &settings) {
            readStudyOption(rates, economicCut, readOptionSettings(settings).breakthroughCut);
        },
        py::arg("rates"),
        py::arg("economic_cut"),
        py::arg("settings"),
        "Raises UsageError, in the command line's words, for a rate study it refuses.");
    m.def(
        "simulate_row",
        [](long line,
           const std::vector<std::pair<std::string, std::variant<double, std::string>>> &given,
           bool critical,
           const std::optional<std::string> &rates,
           const std::optional<double> &economicCut,
           const SettingValues &settings,
           unsigned jobs,
           sim::ProcessSlots &slots,
           RowCancel &cancel) {
            // A number as the same number typed in a batch file, as calculate_frame reads it.
            FrameRowCells rowCells;
            for (const auto &[name, value] : given) {
                const auto *number = std::get_if<double>(&value);
                rowCells.emplace_back(name,
                                      number ? std::string(NumberText(*number).view())
                                             : std::get<std::string>(value));
            }
            FrameRowOptions options;
            options.critical = critical;
            options.settings = readOptionSettings(settings);
            options.study = readStudyOption(rates, economicCut, options.settings.breakthroughCut);
            options.jobs = jobs;
            sim::SimulationControl control;
            control.cancelled = [&cancel] { return cancel.set.load(); };
            control.slots = &slots;
            FrameRowOutput row;
            {
                py::gil_scoped_release unlocked;
                row = simulateFrameRow(line, rowCells, options, control);
            }
            py::tuple horizontalRates(horizontalCorrelationCount);
            for (std::size_t i = 0; i < horizontalCorrelationCount; ++i)
                horizontalRates[i] = cell(row.horizontalRates[i]);
            return py::make_tuple(row.unit,
                                  cell(row.percentPenetration),
                                  cells(row.rates),
                                  cells(row.maxPenetration),
                                  cell(row.simulation.breakthroughDays),
                                  cell(row.simulation.criticalLow),
                                  cell(row.simulation.criticalHigh),
                                  row.message,
                                  row.failed,
                                  studyRows(row.study),
                                  horizontalRates);
        },
        py::arg("line"),
        py::arg("cells"),
        py::arg("critical"),
        py::arg("rates"),
        py::arg("economic_cut"),
        py::arg("settings"),
        py::arg("jobs"),
        py::arg("slots"),
        py::arg("cancel"),
        "One row of a table (cells of number or text) as the batch file's row of that line, "
        "simulated: (unit, "
        "percent-penetration, rates, max-penetrations, breakthrough-days, critical low, high, "
        "message, failed, study rows, horizontal rates), NaN where a cell is empty.");
}

} // namespace coning::python
