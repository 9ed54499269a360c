#include "batch_run.h"

#include "calc/horizontal_well.h"
#include "calc/strict_number.h"
#include "calc/well_input.h"
#include "calc/well_messages.h"
#include "checked_stream.h"
#include "csv_reader.h"
#include "design_output.h"
#include "horizontal_output.h"
#include "json_result.h"
#include "program.h"
#include "row_pipeline.h"
#include "simulation_output.h"
#include "stop_signals.h"

#include "sim/flow_runner.h"
#include "sim/row_simulation.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace coning::cli {
namespace {

constexpr std::string_view wellColumnName = "well";
// Whether a row is a vertical or a horizontal well; "well" already names the row.
constexpr std::string_view wellTypeColumnName = "well-type";

// What a header column holds.
enum class ColumnKind {
    FluidSystem,
    Completion,
    Numeric,
    Well,
    TargetRate,
    SimulateRate,
    Setting,
    WellType,
    Horizontal, // an input only a horizontal well has
};

struct Column
{
    ColumnKind kind;
    std::size_t numeric = 0; // index into numericFields() for Numeric, horizontalFields() for
                             // Horizontal
    std::string_view name;
};

// What the header and the options ask of every row.
struct BatchPlan
{
    BatchFormat format = BatchFormat::Csv;
    bool design = false;     // a target-rate column
    bool horizontal = false; // a well-type column: rows may be horizontal wells
    SimulationColumns simulation;
    const BatchSimulation *options = nullptr;

    bool simulating() const { return simulation.rate || simulation.critical || simulation.study; }
};

std::optional<Column> columnNamed(std::string_view name)
{
    if (name == fluidSystemName)
        return Column{ColumnKind::FluidSystem, 0, fluidSystemName};
    if (name == completionName)
        return Column{ColumnKind::Completion, 0, completionName};
    if (name == wellColumnName)
        return Column{ColumnKind::Well, 0, wellColumnName};
    if (name == wellTypeColumnName)
        return Column{ColumnKind::WellType, 0, wellTypeColumnName};
    if (name == targetRateName)
        return Column{ColumnKind::TargetRate, 0, targetRateName};
    if (name == sim::simulateRateName)
        return Column{ColumnKind::SimulateRate, 0, sim::simulateRateName};
    for (std::string_view setting : sim::wellSettingNames) {
        if (name == setting)
            return Column{ColumnKind::Setting, 0, setting};
    }
    const auto &fields = numericFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name)
            return Column{ColumnKind::Numeric, i, fields[i].name};
    }
    const auto &horizontal = horizontalFields();
    for (std::size_t i = 0; i < horizontal.size(); ++i) {
        if (horizontal[i].name == name && !horizontal[i].sharedWithVertical && name != sim::kvKhName)
            return Column{ColumnKind::Horizontal, i, horizontal[i].name};
    }
    return std::nullopt;
}

std::string knownColumns()
{
    std::string names = "well, fluid-system, completion";
    for (const NumericField &field : numericFields())
        names.append(", ").append(field.name);
    names.append(", ").append(wellTypeColumnName);
    for (const HorizontalField &field : horizontalFields()) {
        if (!field.sharedWithVertical && field.name != sim::kvKhName)
            names.append(", ").append(field.name);
    }
    names.append(", ").append(targetRateName).append(", ").append(sim::simulateRateName);
    for (std::string_view setting : sim::wellSettingNames)
        names.append(", ").append(setting);
    return names;
}

// The columns of the header row, or a usage error.
std::optional<std::vector<Column>> readHeader(const CsvRecord &header, std::ostream &err)
{
    const auto usage = [&](const std::string &message) {
        err << programName << ": line " << header.line() << ": " << message << '\n';
        return std::nullopt;
    };
    if (header.problem() == CsvProblem::NulByte || header.problem() == CsvProblem::TooLong) {
        return usage("this is not a CSV text file: "
                     + std::string(header.problem() == CsvProblem::NulByte
                                       ? "the first line holds a NUL byte"
                                       : "the first line is longer than "
                                             + std::to_string(CsvReader::maxRecordBytes)
                                             + " bytes"));
    }
    if (!header.ok())
        return usage(header.error());
    std::vector<Column> columns;
    for (const std::string &text : header.fields()) {
        const std::string_view name = withoutBlanks(text);
        const std::optional<Column> column = columnNamed(name);
        if (!column)
            return usage("unknown column " + quotedForMessage(name) + "; the columns are "
                         + knownColumns());
        const auto same = [&](const Column &c) { return c.name == column->name; };
        if (std::any_of(columns.begin(), columns.end(), same))
            return usage("the column " + quotedForMessage(name) + " appears twice");
        columns.push_back(*column);
    }
    // With a well-type column a row may be either well: only the inputs both have are required
    // of the header, and each row says what it lacks.
    const bool anyType = std::any_of(columns.begin(), columns.end(), [](const Column &c) {
        return c.kind == ColumnKind::WellType;
    });
    const auto horizontalOnly = std::find_if(columns.begin(), columns.end(), [](const Column &c) {
        return c.kind == ColumnKind::Horizontal;
    });
    if (!anyType && horizontalOnly != columns.end())
        return usage("the column " + quotedForMessage(horizontalOnly->name)
                     + " is only for horizontal wells: add a well-type column");
    std::vector<std::string_view> required = {fluidSystemName};
    for (const NumericField &field : numericFields()) {
        if (field.requirement == Requirement::Always && !(anyType && verticalOnlyField(field.name)))
            required.push_back(field.name);
    }
    for (std::string_view name : required) {
        const auto same = [&](const Column &c) { return c.name == name; };
        if (std::none_of(columns.begin(), columns.end(), same))
            return usage("the required column " + quotedForMessage(name) + " is missing");
    }
    return columns;
}

// Takes one data row into `well` (its name into `label`, its target rate and what it simulates
// into `targetRate` and `simulation`); returns what is wrong with it, naming its line and column,
// or nothing when it can be calculated.
// A horizontal row: its inputs into `well`, what it simulates into `simulation`; the vertical
// well's inputs are problems of the row.
std::vector<InputProblem> readHorizontalRow(std::span<const std::string> fields,
                                            const std::vector<Column> &columns,
                                            const BatchPlan &plan,
                                            HorizontalWell &well,
                                            RowSimulation &simulation)
{
    const auto &horizontal = horizontalFields();
    const auto indexOf = [&](std::string_view name) {
        for (std::size_t h = 0; h < horizontalFieldCount; ++h) {
            if (horizontal[h].name == name)
                return h;
        }
        return horizontalFieldCount;
    };
    HorizontalWellInput input;
    std::vector<InputProblem> misplaced;
    std::optional<std::string_view> rateText;
    std::vector<std::pair<std::string_view, std::string_view>> settingTexts;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view value = withoutBlanks(fields[i]);
        if (value.empty())
            continue;
        const Column &column = columns[i];
        const std::size_t h = column.kind == ColumnKind::Horizontal ? column.numeric
                                                                    : indexOf(column.name);
        switch (column.kind) {
        case ColumnKind::FluidSystem:
            input.fluidSystem = value;
            break;
        case ColumnKind::Numeric:
        case ColumnKind::Setting:
        case ColumnKind::Horizontal:
            if (h < horizontalFieldCount)
                input.values[h] = value;
            else if (column.kind == ColumnKind::Setting)
                settingTexts.emplace_back(column.name, value);
            else
                misplaced.push_back({InputProblem::Kind::Invalid,
                                     column.name,
                                     "only for vertical wells, not for a horizontal row"});
            break;
        case ColumnKind::Completion:
        case ColumnKind::TargetRate:
            misplaced.push_back({InputProblem::Kind::Invalid,
                                 column.name,
                                 "only for vertical wells, not for a horizontal row"});
            break;
        case ColumnKind::SimulateRate:
            rateText = value;
            break;
        case ColumnKind::Well:
        case ColumnKind::WellType:
            break;
        }
    }
    std::vector<InputProblem> problems = checkHorizontalWell(input, well);
    problems.insert(problems.end(), misplaced.begin(), misplaced.end());
    simulation = RowSimulation{};
    if (plan.simulation.study)
        problems.push_back({InputProblem::Kind::Invalid,
                            wellTypeColumnName,
                            "--simulate-rates: the rate study is not yet for horizontal wells"});
    else if (plan.simulating())
        sim::readRowSimulation(rateText,
                               settingTexts,
                               plan.options->critical,
                               plan.options->settings,
                               well,
                               problems,
                               simulation);
    return problems;
}

std::string readRow(const CsvRecord &record,
                    const std::vector<Column> &columns,
                    const BatchPlan &plan,
                    RowLabel &label,
                    Well &well,
                    std::optional<HorizontalWell> &horizontal,
                    std::optional<double> &targetRate,
                    RowSimulation &simulation)
{
    targetRate.reset();
    horizontal.reset();
    label.wellType = {};
    const auto fields = record.fields();
    // A malformed record's fields are complete only before the one with the problem.
    const std::size_t complete = record.ok() ? fields.size() : record.problemField() - 1;
    for (std::size_t i = 0; i < complete && i < fields.size() && i < columns.size(); ++i) {
        if (columns[i].kind == ColumnKind::Well)
            label.well = withoutBlanks(fields[i]);
    }
    const std::string line = "line " + std::to_string(record.line());
    if (!record.ok()) {
        const std::size_t field = record.problemField();
        return line + ": "
               + record.describe(field >= 1 && field <= columns.size()
                                     ? "column " + std::string(columns[field - 1].name)
                                     : "field " + std::to_string(field));
    }
    if (fields.size() != columns.size()) {
        return line + ": " + std::to_string(fields.size())
               + (fields.size() == 1 ? " field" : " fields") + " where the header has "
               + std::to_string(columns.size());
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (columns[i].kind != ColumnKind::WellType)
            continue;
        const std::string_view type = withoutBlanks(fields[i]);
        if (type == horizontalWellText) {
            label.wellType = horizontalWellText;
            horizontal.emplace();
            return rowProblemsText(
                record.line(), readHorizontalRow(fields, columns, plan, *horizontal, simulation));
        }
        if (!type.empty() && type != verticalWellText)
            return rowProblemsText(record.line(),
                                   {{InputProblem::Kind::Invalid,
                                     wellTypeColumnName,
                                     quotedForMessage(type)
                                         + " is not a well type: use vertical or horizontal"}});
    }
    if (plan.horizontal)
        label.wellType = verticalWellText;
    std::vector<InputProblem> misplaced;
    WellInput input;
    std::optional<std::string_view> targetText;
    std::optional<std::string_view> rateText;
    std::vector<std::pair<std::string_view, std::string_view>> settingTexts;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view value = withoutBlanks(fields[i]);
        if (value.empty())
            continue; // an empty cell is an absent value
        switch (columns[i].kind) {
        case ColumnKind::FluidSystem:
            input.fluidSystem = value;
            break;
        case ColumnKind::Completion:
            input.completion = value;
            break;
        case ColumnKind::Numeric:
            input.values[columns[i].numeric] = value;
            break;
        case ColumnKind::Well:
            break;
        case ColumnKind::TargetRate:
            targetText = value;
            break;
        case ColumnKind::SimulateRate:
            rateText = value;
            break;
        case ColumnKind::Setting:
            if (!plan.simulating()) // a kv-kh column, there for the horizontal rows
                misplaced.push_back({InputProblem::Kind::Invalid,
                                     columns[i].name,
                                     "only for simulating or for a horizontal row"});
            settingTexts.emplace_back(columns[i].name, value);
            break;
        case ColumnKind::Horizontal:
            misplaced.push_back({InputProblem::Kind::Invalid,
                                 columns[i].name,
                                 "only for horizontal wells, not for a vertical row"});
            break;
        case ColumnKind::WellType:
            break;
        }
    }
    std::vector<InputProblem> problems = checkWell(input, well);
    problems.insert(problems.end(), misplaced.begin(), misplaced.end());
    if (targetText)
        targetRate = readRowTargetRate(*targetText, well.completion, problems);
    if (plan.simulating())
        readRowSimulation(rateText, settingTexts, *plan.options, well, problems, simulation);
    return rowProblemsText(record.line(), problems);
}

void appendCsvField(std::string &out, std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"')
            out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

void appendCsvRowStart(std::string &out, const RowLabel &label, const BatchPlan &plan)
{
    out.append(std::to_string(label.line));
    out.push_back(',');
    appendCsvField(out, label.well);
    if (plan.horizontal)
        out.append(",").append(label.wellType);
}

void appendCsvHeader(std::string &out, const BatchPlan &plan)
{
    out.append(plan.horizontal ? "line,well,well-type,unit,percent-penetration"
                               : "line,well,unit,percent-penetration");
    for (Correlation c : callOrder)
        out.append(",").append(correlationName(c));
    if (plan.horizontal) {
        for (HorizontalCorrelation c : horizontalOrder)
            out.append(",").append(horizontalCorrelationName(c));
    }
    if (plan.design)
        appendTargetPenetrationCsvHeader(out);
    appendSimulationCsvHeader(out, plan.simulation);
    out.append(",message\r\n");
}

// A row that could not be calculated: only its label and the message.
void appendProblemRow(std::string &out,
                      const RowLabel &label,
                      const std::string &message,
                      const BatchPlan &plan)
{
    if (plan.format == BatchFormat::Json) {
        appendErrorJson(out, message, label);
        return;
    }
    appendCsvRowStart(out, label, plan);
    out.append(",,");                  // empty unit and percent penetration
    out.append(correlationCount, ','); // the empty rates
    if (plan.horizontal)
        out.append(horizontalCorrelationCount, ',');
    if (plan.design)
        appendTargetPenetrationCsvCells(out, nullptr);
    appendSimulationCsvCells(out, plan.simulation, nullptr);
    out.push_back(',');
    appendCsvField(out, message);
    out.append("\r\n");
}

// One CSV line of a calculated row: with one rate of its study, when it has one.
void appendCsvResultLine(std::string &out,
                         const RowLabel &label,
                         const RunResult &result,
                         const TargetPenetration *penetration,
                         const sim::SimulationReport *simulation,
                         const sim::StudyRow *studyRow,
                         const BatchPlan &plan)
{
    appendCsvRowStart(out, label, plan);
    out.push_back(',');
    out.append(rateUnit(result.fluidSystem));
    out.push_back(',');
    if (!result.failed())
        appendShortest(out, result.percentPenetration);
    for (Correlation c : callOrder) {
        out.push_back(',');
        const CorrelationOutcome &outcome = result.outcome(c);
        if (!result.failed() && outcome.shown())
            appendShortest(out, outcome.rate);
    }
    if (plan.horizontal)
        out.append(horizontalCorrelationCount, ',');
    if (plan.design)
        appendTargetPenetrationCsvCells(out, penetration);
    appendSimulationCsvCells(out, plan.simulation, simulation, studyRow);
    out.push_back(',');
    std::string message = runMessageText(result,
                                         simulation ? sim::simulationFailures(*simulation)
                                                    : std::vector<std::string>{});
    if (studyRow && !studyRow->held) // not a failure: what the rate gave is in its cells
        message.append(message.empty() ? "" : "; ").append(studyRow->fellOff);
    appendCsvField(out, message);
    out.append("\r\n");
}

// A calculated row, with its design and its simulation when it has them.
void appendResultRow(std::string &out,
                     const RowLabel &label,
                     const Well &well,
                     const RunResult &result,
                     const TargetPenetration *penetration,
                     const sim::SimulationReport *simulation,
                     const BatchPlan &plan)
{
    if (plan.format == BatchFormat::Json) {
        std::string members;
        if (penetration)
            appendTargetPenetrationJson(members, *penetration);
        if (simulation)
            appendSimulationMember(members, *simulation);
        appendResultJson(out, well, result, label, members);
        return;
    }
    // A rate study writes the row once per rate, each with that rate's cells.
    std::vector<const sim::StudyRow *> studyRows = {nullptr};
    if (plan.simulation.study && simulation && simulation->study
        && simulation->study->status == sim::Status::Done && !simulation->study->rows.empty()) {
        studyRows.clear();
        for (const sim::StudyRow &row : simulation->study->rows)
            studyRows.push_back(&row);
    }
    for (const sim::StudyRow *studyRow : studyRows)
        appendCsvResultLine(out, label, result, penetration, simulation, studyRow, plan);
}

// A calculated horizontal row: its four rates in their own columns, the vertical well's empty.
void appendHorizontalRow(std::string &out,
                         const RowLabel &label,
                         const HorizontalWell &well,
                         const HorizontalResult &result,
                         const sim::SimulationReport *simulation,
                         const BatchPlan &plan)
{
    if (plan.format == BatchFormat::Json) {
        std::string members;
        if (simulation)
            appendSimulationMember(members, *simulation);
        appendHorizontalJson(out, well, result, label, members);
        return;
    }
    appendCsvRowStart(out, label, plan);
    out.push_back(',');
    out.append(rateUnit(result.fluidSystem));
    out.push_back(',');                // no percent penetration
    out.append(correlationCount, ','); // nor vertical rates
    for (HorizontalCorrelation c : horizontalOrder) {
        out.push_back(',');
        const CorrelationOutcome &outcome = result.outcome(c);
        if (outcome.shown())
            appendShortest(out, outcome.rate);
    }
    if (plan.design)
        appendTargetPenetrationCsvCells(out, nullptr);
    appendSimulationCsvCells(out, plan.simulation, simulation);
    out.push_back(',');
    appendCsvField(out,
                   horizontalMessageText(result,
                                         simulation ? sim::simulationFailures(*simulation)
                                                    : std::vector<std::string>{}));
    out.append("\r\n");
}

// The usage errors of the simulation options and columns (nothing written yet): setting options
// or columns without anything to simulate, or the simulator missing.
std::optional<std::string> simulationUsageProblem(const BatchPlan &plan,
                                                  const std::vector<Column> &columns,
                                                  long headerLine)
{
    // A file with horizontal rows has a kv-kh column for them.
    const auto setting = std::find_if(columns.begin(), columns.end(), [&](const Column &c) {
        return c.kind == ColumnKind::Setting && !(plan.horizontal && c.name == sim::kvKhName);
    });
    if (!plan.simulating()) {
        if (setting != columns.end())
            return "line " + std::to_string(headerLine) + ": the column "
                   + quotedForMessage(setting->name)
                   + " is only for simulating: add a simulate-rate column or give "
                     "--simulate-critical";
        if (plan.options->firstSettingOption)
            return *plan.options->firstSettingOption
                   + " is only for --simulate-critical or a simulate-rate column";
        return std::nullopt;
    }
    std::string missing;
    if (!sim::findFlow(missing))
        return (plan.simulation.critical ? std::string("--simulate-critical")
                : plan.simulation.study  ? std::string("--simulate-rates")
                                         : "the column " + quotedForMessage(sim::simulateRateName))
               + " needs the simulator: " + missing;
    return std::nullopt;
}

// A row read and calculated, with what its simulation needs; everything owned, so that the
// simulation can run on a thread of its own while the next rows are read.
struct PendingRow
{
    long line = 0;
    std::string wellName;
    Well well;
    RunResult result;
    std::optional<TargetPenetration> penetration;
    RowSimulation simulation;
    std::string separator; // before a JSON object
    // A horizontal row's well and correlations, in place of the vertical ones.
    std::optional<HorizontalWell> horizontal;
    HorizontalResult horizontalResult;

    RowLabel label() const
    {
        return RowLabel{line, wellName, horizontal ? horizontalWellText : verticalWellText};
    }

    // What nothing below caught (no memory left, say) makes the row a bad row, not the end of
    // the program.
    RowOutput simulate(const BatchPlan &plan, const sim::SimulationControl &control) const
    {
        try {
            return simulated(plan, control);
        } catch (const std::exception &error) {
            RowOutput row;
            row.text = separator;
            row.failed = true;
            const std::string message = "line " + std::to_string(line)
                                        + ": the simulation failed: " + error.what();
            row.errors.append(programName).append(": ").append(message).append("\n");
            appendProblemRow(row.text, label(), message, plan);
            return row;
        }
    }

    RowOutput simulated(const BatchPlan &plan, const sim::SimulationControl &control) const
    {
        sim::SimulationControl mine = control;
        if (control.progress) {
            const std::string prefix = "line " + std::to_string(line) + ": ";
            mine.progress = [&control, prefix](const std::string &text) {
                control.progress(prefix + text);
            };
            if (simulation.rate)
                mine.progress("simulating " + shortest(simulation.settings.years) + " years at "
                              + shortest(*simulation.rate) + " ...");
        }
        RowOutput row;
        row.text = separator;
        const sim::SimulationReport report = horizontal
                                                 ? sim::simulateWell(*horizontal,
                                                                     horizontalResult,
                                                                     simulation,
                                                                     mine)
                                                 : sim::simulateWell(well, result, simulation, mine);
        if (horizontal) {
            appendHorizontalRow(row.text, label(), *horizontal, horizontalResult, &report, plan);
            row.failed = horizontalResult.anyFailure() || sim::simulationFailed(report);
        } else {
            appendResultRow(row.text,
                            label(),
                            well,
                            result,
                            penetration ? &*penetration : nullptr,
                            &report,
                            plan);
            row.failed = result.anyFailure() || sim::simulationFailed(report);
        }
        for (const std::string &failure : sim::simulationFailures(report))
            row.errors.append(programName)
                .append(": line ")
                .append(std::to_string(line))
                .append(": ")
                .append(failure)
                .append("\n");
        return row;
    }
};

using RowSource = std::function<bool(RowOutput &, std::unique_ptr<PendingRow> &)>;

// The rows of a batch that simulates: each simulation on a thread of its own, at most the jobs
// at once and their simulator processes within the same number, the rows written in input
// order through `write`. Nothing when every row was written; otherwise (Ctrl-C, SIGTERM, or an
// output that cannot be written) the exit status, every simulator stopped and its folder gone.
std::optional<int> simulateRows(const RowSource &nextRow,
                                const std::function<bool(RowOutput &)> &write,
                                const BatchPlan &plan,
                                std::istream &in,
                                std::ostream &out,
                                std::ostream &err)
{
    const StopSignals stopSignals;
    auto *input = dynamic_cast<DescriptorInput *>(in.rdbuf());
    auto *output = dynamic_cast<DescriptorOutput *>(out.rdbuf());
    if (input)
        input->stopWhen(&StopSignals::flag());
    if (output)
        output->stopWhen(&StopSignals::flag());

    const unsigned jobs = plan.options->jobs > 0 ? plan.options->jobs : sim::defaultJobs();
    std::atomic<bool> writeFailed = false;
    const auto interrupted = [&] {
        return StopSignals::signal() != 0 || writeFailed || readerGone(out);
    };
    sim::ProcessSlots slots(jobs);
    sim::SimulationControl control;
    control.cancelled = interrupted;
    control.jobs = jobs;
    control.slots = &slots;
    // On a terminal, the last run of any row on one line of standard error, cleared before
    // anything else is written.
    std::mutex progressMutex;
    bool progressShown = false;
    const auto clearProgress = [&] { // with progressMutex held
        if (progressShown)
            err << "\r\x1b[K" << std::flush;
        progressShown = false;
    };
    if (&err == &std::cerr && ::isatty(STDERR_FILENO) == 1) {
        control.progress = [&](const std::string &line) {
            const std::lock_guard lock(progressMutex);
            err << '\r' << programName << ": " << line << "\x1b[K" << std::flush;
            progressShown = true;
        };
    }
    bool finished = false;
    {
        RowPipeline pipeline(
            jobs,
            4 * static_cast<std::size_t>(jobs),
            [&](RowOutput &row) {
                const std::lock_guard lock(progressMutex); // the row's errors go to err too
                clearProgress();
                if (!write(row))
                    writeFailed = true;
                return !writeFailed;
            },
            interrupted);
        RowOutput row;
        std::unique_ptr<PendingRow> pending;
        bool adding = true;
        while (adding && nextRow(row, pending)) {
            if (pending) {
                std::shared_ptr<const PendingRow> simulated = std::move(pending);
                adding = pipeline.add(
                    [&plan, &control, simulated] { return simulated->simulate(plan, control); });
            } else {
                adding = pipeline.add(std::move(row));
            }
        }
        finished = adding && pipeline.finish();
    } // every simulation has ended here
    clearProgress();
    if (input)
        input->stopWhen(nullptr);
    if (output)
        output->stopWhen(nullptr);
    if (finished)
        return std::nullopt;
    if (StopSignals::signal() != 0)
        return 128 + StopSignals::signal();
    if (writeFailed)
        return reportWriteFailure(out, err);
    err << programName << ": cannot write the results: the reader has gone\n";
    return writeFailureStatus;
}

} // namespace

int runBatch(std::istream &in,
             std::ostream &out,
             std::ostream &err,
             BatchFormat format,
             bool flushEachRow,
             const BatchSimulation &simulation)
{
    CsvReader reader(in);
    CsvRecord record;
    if (!reader.next(record)) {
        if (reader.readFailed()) {
            err << programName << ": cannot read " << readFailure(in) << '\n';
            return 2;
        }
        err << programName << ": the batch file is empty: its first row must name the columns ("
            << knownColumns() << ")\n";
        return 2;
    }
    const std::optional<std::vector<Column>> columns = readHeader(record, err);
    if (!columns)
        return 2;
    const auto has = [&](ColumnKind kind) {
        return std::any_of(columns->begin(), columns->end(), [&](const Column &c) {
            return c.kind == kind;
        });
    };
    BatchPlan plan;
    plan.format = format;
    plan.design = has(ColumnKind::TargetRate);
    plan.horizontal = has(ColumnKind::WellType);
    plan.simulation.rate = has(ColumnKind::SimulateRate);
    plan.simulation.critical = simulation.critical;
    plan.simulation.study = simulation.study.has_value();
    plan.options = &simulation;
    if (const std::optional<std::string> problem = simulationUsageProblem(plan,
                                                                          *columns,
                                                                          record.line())) {
        err << programName << ": " << *problem << '\n';
        return 2;
    }

    constexpr std::size_t flushSize = 1 << 16;
    std::string buffer;
    buffer.reserve(flushSize * 2);
    // Simulated rows come slowly: each is written as it comes, and those done are not lost to
    // a Ctrl-C.
    flushEachRow = flushEachRow || plan.simulating();
    // False once the output cannot be written: the rows after it would be lost too.
    const auto flush = [&] {
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        buffer.clear();
        if (flushEachRow)
            out.flush();
        return static_cast<bool>(out);
    };
    if (format == BatchFormat::Csv)
        appendCsvHeader(buffer, plan);
    else
        buffer.push_back('[');

    bool anyFailure = false;
    bool firstRow = true;
    Well well;
    std::optional<HorizontalWell> horizontal;
    std::optional<double> targetRate;
    RowSimulation rowSimulation;
    // Reads the next row, calculates it and gives its output, or (when it simulates) the
    // simulation still to run. False at the end of the input.
    // Reads the next row and calculates it: appends its output to `row.text` (and to
    // `row.errors` what standard error gets), or, when it simulates, hands what the simulation
    // needs to `pending`. False at the end of the input.
    const auto nextRow = [&](RowOutput &row, std::unique_ptr<PendingRow> &pending) {
        if (!reader.next(record))
            return false;
        RowLabel label{record.line(), {}, {}};
        const std::string problem = readRow(
            record, *columns, plan, label, well, horizontal, targetRate, rowSimulation);
        if (format == BatchFormat::Json)
            row.text.append(firstRow ? "\n" : ",\n");
        firstRow = false;
        if (!problem.empty()) {
            row.failed = true;
            row.errors.append(programName).append(": ").append(problem).append("\n");
            appendProblemRow(row.text, label, problem, plan);
            return true;
        }
        if (horizontal) {
            HorizontalResult result = calculateHorizontalWell(*horizontal);
            if (rowSimulation.active()) {
                pending = std::make_unique<PendingRow>();
                pending->line = label.line;
                pending->wellName = std::string(label.well);
                pending->simulation = rowSimulation;
                pending->separator = std::move(row.text);
                pending->horizontal = *horizontal;
                pending->horizontalResult = std::move(result);
                return true;
            }
            row.failed = result.anyFailure();
            appendHorizontalRow(row.text, label, *horizontal, result, nullptr, plan);
            return true;
        }
        RunResult result = calculateWell(well, Sweep::Skip);
        std::optional<TargetPenetration> penetration;
        if (targetRate && !result.failed())
            penetration = targetPenetration(well, *targetRate);
        if (rowSimulation.active() && !result.failed()) {
            pending = std::make_unique<PendingRow>(PendingRow{label.line,
                                                              std::string(label.well),
                                                              well,
                                                              std::move(result),
                                                              std::move(penetration),
                                                              rowSimulation,
                                                              std::move(row.text),
                                                              std::nullopt,
                                                              {}});
            return true;
        }
        row.failed = result.anyFailure();
        appendResultRow(
            row.text, label, well, result, penetration ? &*penetration : nullptr, nullptr, plan);
        return true;
    };

    if (!plan.simulating()) {
        // One row at a time, its text appended straight to the buffer, lent to it meanwhile.
        RowOutput row;
        std::unique_ptr<PendingRow> none;
        row.text = std::move(buffer);
        while (nextRow(row, none)) {
            err << row.errors;
            row.errors.clear();
            anyFailure = anyFailure || row.failed;
            buffer = std::move(row.text);
            if ((flushEachRow || buffer.size() >= flushSize) && !flush())
                return reportWriteFailure(out, err);
            row.text = std::move(buffer);
        }
        buffer = std::move(row.text);
    } else if (!flush()) { // the header at once
        return reportWriteFailure(out, err);
    } else if (const std::optional<int> stopped = simulateRows(
                   [&](RowOutput &next, std::unique_ptr<PendingRow> &simulate) {
                       next = RowOutput{};
                       return nextRow(next, simulate);
                   },
                   [&](RowOutput &written) {
                       err << written.errors;
                       anyFailure = anyFailure || written.failed;
                       buffer.append(written.text);
                       return flush();
                   },
                   plan,
                   in,
                   out,
                   err)) {
        return *stopped;
    }
    if (format == BatchFormat::Json)
        buffer.append(firstRow ? "]\n" : "\n]\n");
    flush();
    out.flush();
    if (!out)
        return reportWriteFailure(out, err);

    if (reader.readFailed()) {
        err << programName << ": cannot read " << readFailure(in) << '\n';
        return 1;
    }
    return anyFailure ? 1 : 0;
}

} // namespace coning::cli
