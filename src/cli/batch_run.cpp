#include "batch_run.h"

#include "calc/well_input.h"
#include "calc/well_messages.h"
#include "checked_stream.h"
#include "csv_reader.h"
#include "design_output.h"
#include "json_result.h"
#include "program.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace coning::cli {
namespace {

constexpr std::string_view wellColumnName = "well";

// What a header column holds.
enum class ColumnKind { FluidSystem, Completion, Numeric, Well, TargetRate };

struct Column
{
    ColumnKind kind;
    std::size_t numeric = 0; // index into numericFields() for Numeric
    std::string_view name;
};

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<Column> columnNamed(std::string_view name)
{
    if (name == fluidSystemName)
        return Column{ColumnKind::FluidSystem, 0, fluidSystemName};
    if (name == completionName)
        return Column{ColumnKind::Completion, 0, completionName};
    if (name == wellColumnName)
        return Column{ColumnKind::Well, 0, wellColumnName};
    if (name == targetRateName)
        return Column{ColumnKind::TargetRate, 0, targetRateName};
    const auto &fields = numericFields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].name == name)
            return Column{ColumnKind::Numeric, i, fields[i].name};
    }
    return std::nullopt;
}

std::string knownColumns()
{
    std::string names = "well, fluid-system, completion";
    for (const NumericField &field : numericFields())
        names.append(", ").append(field.name);
    return names.append(", ").append(targetRateName);
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
        const std::string_view name = trimmed(text);
        const std::optional<Column> column = columnNamed(name);
        if (!column)
            return usage("unknown column " + quotedForMessage(name) + "; the columns are "
                         + knownColumns());
        const auto same = [&](const Column &c) { return c.name == column->name; };
        if (std::any_of(columns.begin(), columns.end(), same))
            return usage("the column " + quotedForMessage(name) + " appears twice");
        columns.push_back(*column);
    }
    std::vector<std::string_view> required = {fluidSystemName};
    for (const NumericField &field : numericFields()) {
        if (field.requirement == Requirement::Always)
            required.push_back(field.name);
    }
    for (std::string_view name : required) {
        const auto same = [&](const Column &c) { return c.name == name; };
        if (std::none_of(columns.begin(), columns.end(), same))
            return usage("the required column " + quotedForMessage(name) + " is missing");
    }
    return columns;
}

// Takes one data row into `well` (its name into `label`, its target rate into `targetRate`);
// returns what is wrong with it, naming its line and column, or nothing when it can be
// calculated.
std::string readRow(const CsvRecord &record,
                    const std::vector<Column> &columns,
                    RowLabel &label,
                    Well &well,
                    std::optional<double> &targetRate)
{
    targetRate.reset();
    const auto fields = record.fields();
    // A malformed record's fields are complete only before the one with the problem.
    const std::size_t complete = record.ok() ? fields.size() : record.problemField() - 1;
    for (std::size_t i = 0; i < complete && i < fields.size() && i < columns.size(); ++i) {
        if (columns[i].kind == ColumnKind::Well)
            label.well = trimmed(fields[i]);
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
    WellInput input;
    std::optional<std::string_view> targetText;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view value = trimmed(fields[i]);
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
        }
    }
    std::vector<InputProblem> problems = checkWell(input, well);
    if (targetText)
        targetRate = readRowTargetRate(*targetText, well.completion, problems);
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

void appendCsvRowStart(std::string &out, const RowLabel &label)
{
    out.append(std::to_string(label.line));
    out.push_back(',');
    appendCsvField(out, label.well);
}

void appendCsvHeader(std::string &out, bool design)
{
    out.append("line,well,unit,percent-penetration");
    for (Correlation c : callOrder)
        out.append(",").append(correlationName(c));
    if (design)
        appendTargetPenetrationCsvHeader(out);
    out.append(",message\r\n");
}

// A row that could not be calculated: only its label and the message.
void appendCsvProblemRow(std::string &out,
                         const RowLabel &label,
                         std::string_view message,
                         bool design)
{
    appendCsvRowStart(out, label);
    out.append(",,");                  // empty unit and percent penetration
    out.append(correlationCount, ','); // the empty rates
    if (design)
        appendTargetPenetrationCsvCells(out, nullptr);
    out.push_back(',');
    appendCsvField(out, message);
    out.append("\r\n");
}

void appendCsvResultRow(std::string &out,
                        const RowLabel &label,
                        const RunResult &result,
                        bool design,
                        const TargetPenetration *penetration)
{
    appendCsvRowStart(out, label);
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
    if (design)
        appendTargetPenetrationCsvCells(out, penetration);
    out.push_back(',');
    appendCsvField(out, runMessageText(result));
    out.append("\r\n");
}

} // namespace

int runBatch(
    std::istream &in, std::ostream &out, std::ostream &err, BatchFormat format, bool flushEachRow)
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

    constexpr std::size_t flushSize = 1 << 16;
    std::string buffer;
    buffer.reserve(flushSize * 2);
    // False once the output cannot be written: the rows after it would be lost too.
    const auto flush = [&] {
        out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        buffer.clear();
        if (flushEachRow)
            out.flush();
        return static_cast<bool>(out);
    };

    const bool design = std::any_of(columns->begin(), columns->end(), [](const Column &c) {
        return c.kind == ColumnKind::TargetRate;
    });
    if (format == BatchFormat::Csv)
        appendCsvHeader(buffer, design);
    else
        buffer.push_back('[');

    bool anyFailure = false;
    bool firstRow = true;
    Well well;
    std::optional<double> targetRate;
    while (reader.next(record)) {
        RowLabel label{record.line(), {}};
        const std::string problem = readRow(record, *columns, label, well, targetRate);

        if (format == BatchFormat::Json)
            buffer.append(firstRow ? "\n" : ",\n");
        firstRow = false;
        if (!problem.empty()) {
            anyFailure = true;
            err << programName << ": " << problem << '\n';
            if (format == BatchFormat::Csv)
                appendCsvProblemRow(buffer, label, problem, design);
            else
                appendErrorJson(buffer, problem, label);
        } else {
            const RunResult result = calculateWell(well, Sweep::Skip);
            anyFailure = anyFailure || result.anyFailure();
            std::optional<TargetPenetration> penetration;
            if (targetRate && !result.failed())
                penetration = targetPenetration(well, *targetRate);
            if (format == BatchFormat::Csv) {
                appendCsvResultRow(buffer,
                                   label,
                                   result,
                                   design,
                                   penetration ? &*penetration : nullptr);
            } else {
                std::string members;
                if (penetration)
                    appendTargetPenetrationJson(members, *penetration);
                appendResultJson(buffer, well, result, label, members);
            }
        }
        if ((flushEachRow || buffer.size() >= flushSize) && !flush())
            return reportWriteFailure(out, err);
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
