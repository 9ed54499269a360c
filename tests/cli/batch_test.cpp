#include "process.h"

#include "cli/csv_reader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace {

using coning::testing::ProcessResult;
using coning::testing::runProgram;
using Json = nlohmann::json;

// The columns in an order of their own, as a spreadsheet might export them.
const std::vector<std::string> columns = {"zone-thickness",
                                          "well",
                                          "fluid-system",
                                          "permeability",
                                          "completion",
                                          "viscosity",
                                          "fvf",
                                          "density-difference",
                                          "drainage-radius",
                                          "well-radius",
                                          "penetration",
                                          "completion-top",
                                          "bottom-hole-pressure"};

std::size_t columnIndex(const std::string &name)
{
    return static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name)
                                    - columns.begin());
}

std::string csvField(const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

struct Row
{
    long line = 0;
    std::vector<std::string> values; // by column
    std::string raw;                 // the row's text when it is malformed on purpose
    std::string badColumn;           // what its message must name; empty for a good row
};

// A few hundred wells over every fluid system and both completion types, with some bad rows.
std::vector<Row> mixedRows(int count)
{
    std::uint32_t seed = 12345;
    const auto pick = [&](const std::vector<std::string> &from) {
        seed = seed * 1664525u + 1013904223u;
        return from[(seed >> 16) % from.size()];
    };
    const std::vector<std::string> systems = {"Oil-Water", "Gas-Water", "Gas-Oil"};
    std::vector<Row> rows;
    for (int i = 0; i < count; ++i) {
        Row row;
        row.values.resize(columns.size());
        auto set = [&](const std::string &name, const std::string &value) {
            row.values[columnIndex(name)] = value;
        };
        const bool completion = (i / 3) % 2 == 1;
        set("fluid-system", systems[i % 3]);
        set("completion",
            completion ? "partial-completion" : (i % 5 == 0 ? "" : "partial-penetration"));
        set("well",
            i % 7 == 0 ? "W, \"" + std::to_string(i) + "\"\nnorth" : "W-" + std::to_string(i));
        set("permeability", pick({"100", "55.5", "1e3", "250", "0.5"}));
        set("viscosity", pick({"1", "0.8", "2.5", "+1.1"}));
        set("fvf", pick({"1.2", "1.05", "0.9"}));
        set("density-difference", pick({"0.3", "0.15", "4.5E-1"}));
        set("drainage-radius", pick({"1000", "745", "1500"}));
        set("well-radius", pick({"3", "4.5", "6", "3.25"}));
        set("zone-thickness", pick({"50", "100", "37.5", "2000"}));
        set("penetration", pick({"15", "20", "30.5", "1.1"}));
        set("completion-top",
            completion || i % 3 == 2 ? pick({"5", "10", "0.75"}) : pick({"", "3"}));
        set("bottom-hole-pressure", pick({"", "", "1500", "2e3"}));
        if (i % 17 == 5) {
            static const std::vector<std::pair<std::string, std::string>> bad = {
                {"permeability", "abc"},
                {"viscosity", ""},
                {"fluid-system", "Water-Oil"},
                {"well-radius", "3 in"},
                {"zone-thickness", "1e999"}};
            const auto &[name, value] = bad[(i / 17) % bad.size()];
            set(name, value);
            row.badColumn = name;
        } else if (i % 41 == 40) {
            row.raw = "\"W-" + std::to_string(i) + "\"x,Oil-Water"; // text after a quote
            row.badColumn = "closing quote";
        } else if (i % 43 == 42) {
            row.raw = "12,W-" + std::to_string(i) + ",Oil-Water"; // too few fields
            row.badColumn = "fields";
        }
        rows.push_back(row);
    }
    return rows;
}

// Writes the file, noting the line on which each row starts.
std::string csvFile(std::vector<Row> &rows)
{
    std::string text;
    for (std::size_t c = 0; c < columns.size(); ++c)
        text += (c ? "," : "") + columns[c];
    text += "\r\n";
    long line = 2;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Row &row = rows[i];
        row.line = line;
        std::string record = row.raw;
        if (record.empty()) {
            for (std::size_t c = 0; c < columns.size(); ++c)
                record += (c ? "," : "") + csvField(row.values[c]);
        }
        line += 1 + static_cast<long>(std::count(record.begin(), record.end(), '\n'));
        text += record + (i % 2 ? "\n" : "\r\n");
    }
    return text;
}

std::string writeTemp(const std::string &name, const std::string &text)
{
    const std::string path = ::testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

Json withoutLabel(Json object)
{
    object.erase("line");
    object.erase("well");
    return object;
}

TEST(Batch, MixedFileEqualsTheSameWellsRunOneByOne)
{
    std::vector<Row> rows = mixedRows(240);
    const std::string path = writeTemp("mixed-wells.csv", csvFile(rows));

    const ProcessResult json = runProgram({"--batch", path, "--format", "json"});
    ASSERT_EQ(json.exitCode, 1) << json.err;
    const Json results = Json::parse(json.out);
    ASSERT_EQ(results.size(), rows.size());

    int good = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row &row = rows[i];
        const Json &result = results[i];
        EXPECT_EQ(result["line"], row.line) << i;
        if (!row.badColumn.empty()) {
            ASSERT_TRUE(result.contains("error")) << result;
            const std::string error = result["error"];
            EXPECT_NE(error.find("line " + std::to_string(row.line)), std::string::npos) << error;
            EXPECT_NE(error.find(row.badColumn), std::string::npos) << error;
            EXPECT_NE(json.err.find(error), std::string::npos) << error;
            continue;
        }
        EXPECT_EQ(result["well"], row.values[columnIndex("well")]);
        std::vector<std::string> args = {"--format", "json"};
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (columns[c] != "well" && !row.values[c].empty())
                args.push_back("--" + columns[c] + "=" + row.values[c]);
        }
        const ProcessResult single = runProgram(args);
        ASSERT_NE(single.exitCode, 2) << single.err;
        // Same structure, same messages and the same doubles, compared exactly.
        EXPECT_EQ(withoutLabel(result), Json::parse(single.out)) << "line " << row.line;
        ++good;
    }
    EXPECT_GT(good, 200);

    // The CSV table holds the same numbers as the JSON array, row by row.
    const ProcessResult csv = runProgram({"--batch", "-"}, csvFile(rows));
    EXPECT_EQ(csv.exitCode, 1);
    std::vector<std::vector<std::string>> table;
    coning::cli::readCsv(csv.out, [&](const coning::cli::CsvRecord &r) {
        table.emplace_back(r.fields().begin(), r.fields().end());
    });
    ASSERT_EQ(table.size(), rows.size() + 1);
    const std::vector<std::string> &header = table[0];
    ASSERT_EQ(header.size(), 11u);
    EXPECT_EQ(header.back(), "message");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string> &cells = table[i + 1];
        const Json &result = results[i];
        ASSERT_EQ(cells.size(), header.size());
        EXPECT_EQ(cells[0], std::to_string(rows[i].line));
        for (std::size_t c = 4; c < 10; ++c) {
            if (!result.contains("rates") || !result["rates"].contains(header[c])) {
                EXPECT_EQ(cells[c], "") << "line " << rows[i].line << ' ' << header[c];
                continue;
            }
            double value = 0.0;
            std::from_chars(cells[c].data(), cells[c].data() + cells[c].size(), value);
            EXPECT_EQ(value, result["rates"][header[c]].get<double>()) << header[c];
        }
        const bool failed = result.contains("error") || result.contains("failures");
        const bool warned = result.contains("warnings");
        EXPECT_EQ(cells[10].empty(), !failed && !warned) << "line " << rows[i].line;
        EXPECT_EQ(cells[10].find("warning: ") != std::string::npos, warned) << cells[10];
    }
}

TEST(Batch, AllGoodRowsExitZeroAndOptionalColumnsMayBeAbsent)
{
    const std::string input = "\xEF\xBB\xBF"
                              "fluid-system,permeability,viscosity,fvf,density-difference,"
                              "drainage-radius,well-radius,zone-thickness,penetration\r\n"
                              "Oil-Water,100,1,1.2,0.3,1000,3,50,15\r\n"
                              "\r\n"
                              "Gas-Water, 100 ,1,1.2,0.3,1000,3,50,15\r\n";
    const ProcessResult r = runProgram({"--batch", "-"}, input);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "line,well,unit,percent-penetration,Sobocinski,Muskat,Meyer-Garder,Chaney-Noble,"
              "Schols,Guo-Lee,message\r\n"
              "2,,STB/DAY,30,21.11192938299091,22.629923053058135,10.526680727573508,"
              "21.838401565350868,14.806208757409987,19.928930424324463,\r\n"
              "4,,MCF/DAY,30,21.11192938299091,22.629923053058135,,21.838401565350868,"
              "14.806208757409987,19.928930424324463,warning: Bottom-hole pressure is missing or "
              "zero: Meyer-Garder needs a positive bottom-hole pressure for Gas-Water and is left "
              "out\r\n");
}

TEST(Batch, AHeaderOnlyFileGivesAnEmptyResult)
{
    const std::string header = "fluid-system,permeability,viscosity,fvf,density-difference,"
                               "drainage-radius,well-radius,zone-thickness\n";
    const ProcessResult r = runProgram({"--batch", "-", "--format", "json"}, header);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Json::parse(r.out), Json::array());
}

struct HeaderCase
{
    const char *name;
    std::string input;
    const char *named;
};

TEST(Batch, UnusableHeadersAreUsageErrors)
{
    const std::string required = "fluid-system,permeability,viscosity,fvf,density-difference,"
                                 "drainage-radius,well-radius,zone-thickness";
    const std::vector<HeaderCase> cases = {
        {"Empty", "", "empty"},
        {"Unknown", required + ",porosity\n", "porosity"},
        {"Duplicate", required + ",well,viscosity\n", "viscosity"},
        {"MissingRequired",
         "fluid-system,permeability,viscosity,fvf,density-difference,"
         "drainage-radius,zone-thickness\n",
         "well-radius"},
        {"Malformed", "\"fluid-system\"x," + required + "\n", "closing quote"},
        {"WrongCase", "Fluid-System" + required.substr(12) + "\n", "Fluid-System"},
    };
    for (const HeaderCase &c : cases) {
        const ProcessResult r = runProgram({"--batch", "-"}, c.input);
        EXPECT_EQ(r.exitCode, 2) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_NE(r.err.find(c.named), std::string::npos) << c.name << ": " << r.err;
    }
}

} // namespace
