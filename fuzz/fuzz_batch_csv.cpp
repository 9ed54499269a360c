// Feeds arbitrary bytes to the batch mode's CSV reader and to the whole batch run.
//
// Input layout: byte 0 bit 0 puts a complete header row in front of the rest (so that most
// inputs reach the wells), bit 1 chooses JSON output over CSV, bits 2-7 the chunk size (1..64)
// of the stream the reader is compared on; the rest is the file.
//
// Checks: reading from a stream in small chunks gives the records of reading the bytes at once;
// every well-formed record survives writing it back as quoted CSV; the batch run returns 0, 1 or
// 2, writes nothing on a usage error (a simulate-rate column among them, the simulator being
// named as a program that does not exist), and otherwise exactly one result per input record, in order
// and labelled with the record's line, with every number finite (CSV: a full row per record;
// JSON: a valid array of one object per record).

#include "cli/batch_run.h"
#include "cli/csv_reader.h"
#include "fuzz_check.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using coning::cli::CsvReader;
using coning::cli::CsvRecord;

constexpr std::string_view fullHeader
    = "well,fluid-system,completion,permeability,viscosity,fvf,density-difference,"
      "drainage-radius,well-radius,zone-thickness,penetration,completion-top,"
      "bottom-hole-pressure\n";

struct Record
{
    std::vector<std::string> fields;
    long line = 0;
    std::string error;

    bool operator==(const Record &) const = default;
};

std::vector<Record> readAll(CsvReader &reader)
{
    std::vector<Record> records;
    CsvRecord record;
    while (reader.next(record)) {
        records.push_back(
            {{record.fields().begin(), record.fields().end()}, record.line(), record.error()});
    }
    return records;
}

std::string quotedCsv(const std::vector<std::string> &fields)
{
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out.push_back(',');
        out.push_back('"');
        for (char c : fields[i]) {
            if (c == '"')
                out.push_back('"');
            out.push_back(c);
        }
        out.push_back('"');
    }
    return out + "\r\n";
}

void checkReader(std::string_view file, std::size_t chunkSize)
{
    CsvReader whole(file);
    const std::vector<Record> records = readAll(whole);

    std::istringstream stream{std::string(file)};
    CsvReader chunked(stream, chunkSize);
    fuzzCheck(readAll(chunked) == records, "a stream read in chunks gives the same records");

    long line = 1;
    for (const Record &r : records) {
        fuzzCheck(r.line >= line, "records come in line order");
        line = r.line;
        fuzzCheck(r.fields.size() <= CsvReader::maxFields, "a record holds at most maxFields");
        if (!r.error.empty())
            continue;
        std::vector<Record> again;
        const std::string written = quotedCsv(r.fields);
        coning::cli::readCsv(written, [&](const CsvRecord &x) {
            again.push_back({{x.fields().begin(), x.fields().end()}, x.line(), x.error()});
        });
        // A record of one empty field is a blank line, which the reader skips when unquoted
        // but keeps when quoted.
        fuzzCheck(again.size() == 1 && again[0].error.empty() && again[0].fields == r.fields,
                  "a record written back as quoted CSV reads the same");
    }
}

bool isFiniteNumber(const std::string &text)
{
    char *end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    return !text.empty() && end == text.c_str() + text.size() && std::isfinite(value);
}

// The output's columns for an input header: the label, unit, percent penetration, the six
// rates and the message; with a target-rate column the six maximum penetrations before the
// message, with a well-type column that column after the label and the four cresting rates after
// the six. (A simulating column is a usage error here: no simulator.)
std::size_t expectedColumns(const std::vector<std::string> &inputHeader)
{
    const auto named = [](std::string_view text, std::string_view name) {
        const auto blank = [](char c) { return c == ' ' || c == '\t'; };
        while (!text.empty() && blank(text.front()))
            text.remove_prefix(1);
        while (!text.empty() && blank(text.back()))
            text.remove_suffix(1);
        return text == name;
    };
    std::size_t columns = 11;
    for (const std::string &field : inputHeader) {
        if (named(field, "target-rate"))
            columns += 6;
        if (named(field, "well-type"))
            columns += 5;
    }
    return columns;
}

void checkCsvOutput(const std::string &out,
                    const std::vector<long> &lines,
                    const std::vector<std::string> &inputHeader)
{
    CsvReader reader(out);
    const std::vector<Record> records = readAll(reader);
    fuzzCheck(records.size() == lines.size() + 1,
              "one output row per input record, after the header");
    const std::size_t columns = expectedColumns(inputHeader);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record &r = records[i];
        fuzzCheck(r.error.empty() && r.fields.size() == columns,
                  "every output row has the columns its input header asks for");
        if (i == 0)
            continue;
        fuzzCheck(r.fields[0] == std::to_string(lines[i - 1]),
                  "each output row names the line of its input record, in order");
        // Every column but the label, the well's type, the unit and the message holds a number.
        for (std::size_t f = 0; f < r.fields.size(); ++f) {
            const std::string &name = records[0].fields[f];
            if (name == "line" || name == "well" || name == "well-type" || name == "unit"
                || name == "message")
                continue;
            fuzzCheck(r.fields[f].empty() || isFiniteNumber(r.fields[f]),
                      "percent penetration, rates and penetrations are finite numbers or empty");
        }
    }
}

void checkJsonNumbers(const nlohmann::json &value)
{
    if (value.is_number_float())
        fuzzCheck(std::isfinite(value.get<double>()), "every JSON number is finite");
    if (value.is_structured()) {
        for (const auto &item : value)
            checkJsonNumbers(item);
    }
}

void checkJsonOutput(const std::string &out, const std::vector<long> &lines)
{
    const nlohmann::json parsed = nlohmann::json::parse(out, nullptr, false);
    fuzzCheck(!parsed.is_discarded(), "the JSON output parses");
    fuzzCheck(parsed.is_array() && parsed.size() == lines.size(),
              "one JSON object per input record");
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        const auto &row = parsed[i];
        fuzzCheck(row.is_object() && row.contains("line") && row["line"] == lines[i],
                  "each object names the line of its input record, in order");
    }
    checkJsonNumbers(parsed);
}

} // namespace

// A simulate-rate column must not start the simulator: named as a program that does not exist,
// it makes the batch a usage error instead.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    ::setenv("CONING_FLOW", "/nonexistent/flow", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    std::string file((flags & 1) ? fullHeader : std::string_view());
    file.append(reinterpret_cast<const char *>(data + 1), size - 1);
    const bool json = (flags & 2) != 0;

    checkReader(file, (flags >> 2) + 1);

    std::istringstream in(file);
    std::ostringstream out;
    std::ostringstream err;
    const int status = coning::cli::runBatch(in,
                                             out,
                                             err,
                                             json ? coning::cli::BatchFormat::Json
                                                  : coning::cli::BatchFormat::Csv);
    fuzzCheck(status == 0 || status == 1 || status == 2, "the exit status is 0, 1 or 2");
    if (status == 2) {
        fuzzCheck(out.str().empty(), "a usage error writes nothing on standard output");
        fuzzCheck(!err.str().empty(), "a usage error says why");
        return 0;
    }

    // The records after the header, each of which must give one result.
    std::vector<long> lines;
    std::vector<std::string> inputHeader;
    coning::cli::readCsv(file, [&](const CsvRecord &r) {
        if (lines.empty() && inputHeader.empty())
            inputHeader.assign(r.fields().begin(), r.fields().end());
        lines.push_back(r.line());
    });
    lines.erase(lines.begin());
    if (json)
        checkJsonOutput(out.str(), lines);
    else
        checkCsvOutput(out.str(), lines, inputHeader);
    return 0;
}
