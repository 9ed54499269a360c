#include "process.h"

#include "cli/csv_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using coning::cli::CsvReader;
using coning::cli::CsvRecord;
using coning::testing::ProcessResult;
using coning::testing::runProgram;

const std::string header = "well,fluid-system,permeability,viscosity,fvf,density-difference,"
                           "drainage-radius,well-radius,zone-thickness,penetration\n";

std::string wellRow(const std::string &well)
{
    return well + ",Oil-Water,100,1,1.2,0.3,1000,3,50,15\n";
}

// The text with its "@" made a NUL byte.
std::string withNul(std::string text)
{
    for (char &c : text) {
        if (c == '@')
            c = '\0';
    }
    return text;
}

// The output table: line and message of each row, and whether it has rates.
struct OutputRow
{
    std::string line;
    std::string well;
    bool rates = false;
    std::string message;
};

std::vector<OutputRow> outputRows(const std::string &csv)
{
    std::vector<OutputRow> rows;
    coning::cli::readCsv(csv, [&](const CsvRecord &r) {
        EXPECT_TRUE(r.ok() && r.fields().size() == 11) << r.error();
        if (r.ok() && r.fields().size() == 11 && r.fields()[0] != "line")
            rows.push_back({r.fields()[0], r.fields()[1], !r.fields()[4].empty(), r.fields()[10]});
    });
    return rows;
}

// One quote never closed in a file longer than the row limit costs its own row only.
TEST(BatchRecovery, AnUnclosedQuoteLosesOnlyItsRow)
{
    std::string input = header;
    const int count = 30000; // over a mebibyte after the bad row
    for (int i = 0; i < count; ++i)
        input += wellRow((i == 1 ? "\"X-" : "X-") + std::to_string(i));
    const ProcessResult r = runProgram({"--batch", "-"}, input);
    EXPECT_EQ(r.exitCode, 1);
    const std::string message = "line 3: the quote opened in column well is never closed";
    EXPECT_EQ(r.err, "coning-calc: " + message + "\n");
    const std::vector<OutputRow> rows = outputRows(r.out);
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const OutputRow &row = rows[static_cast<std::size_t>(i)];
        ASSERT_EQ(row.line, std::to_string(i + 2));
        if (i == 1) {
            EXPECT_EQ(row.message, message);
            EXPECT_EQ(row.well, "");
        } else {
            ASSERT_TRUE(row.rates && row.message.empty()) << row.line << ": " << row.message;
            ASSERT_EQ(row.well, "X-" + std::to_string(i));
        }
    }
}

struct RecoveryCase
{
    const char *name;
    std::string input;
    std::vector<std::string> messages; // per output row, empty for a calculated one
    int exitCode;
};

TEST(BatchRecovery, EveryRecordGivesExactlyOneRow)
{
    const std::string overlong = "W," + std::string(CsvReader::maxRecordBytes + 10, 'x') + "\n";
    const std::vector<RecoveryCase> cases = {
        {"TextAfterQuoteThenAQuotedLineBreak",
         header + "\"A\"x,Oil-Water,\"1\n2\",1,1.2,0.3,1000,3,50,15\n" + wellRow("B"),
         {"line 2: text after the closing quote in column well", ""},
         1},
        {"UnclosedAtTheEnd",
         header + wellRow("A") + "\"B,Oil-Water\n" + wellRow("C"),
         {"", "line 3: the quote opened in column well is never closed", ""},
         1},
        {"NulByte",
         header + withNul("A,Oil-Water,1@0,1,1.2,0.3,1000,3,50,15\n") + wellRow("B"),
         {"line 2: a NUL byte in column permeability, which a CSV text file never holds", ""},
         1},
        {"OverlongRow",
         header + overlong + wellRow("B"),
         {"line 2: the row is longer than 1048576 bytes", ""},
         1},
        {"BlankLinesAndTrimmedNames", header + "  \t \r\n" + wellRow("  A \t") + " \n", {""}, 0},
    };
    for (const RecoveryCase &c : cases) {
        const ProcessResult r = runProgram({"--batch", "-"}, c.input);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.name << ": " << r.err;
        const std::vector<OutputRow> rows = outputRows(r.out);
        ASSERT_EQ(rows.size(), c.messages.size()) << c.name << ": " << r.out;
        std::string errors;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].message, c.messages[i]) << c.name;
            EXPECT_EQ(rows[i].rates, c.messages[i].empty()) << c.name;
            if (!c.messages[i].empty())
                errors += "coning-calc: " + c.messages[i] + "\n";
        }
        EXPECT_EQ(r.err, errors) << c.name;
    }
    const ProcessResult trimmed = runProgram({"--batch", "-"}, header + wellRow("  A \t"));
    EXPECT_EQ(outputRows(trimmed.out).at(0).well, "A");
}

// Input that is not a CSV text file is refused at once, never read to its end.
TEST(BatchRecovery, BinaryOrEndlessInputIsAUsageError)
{
    const std::string notText = "coning-calc: line 1: this is not a CSV text file: the first line ";
    const ProcessResult zeros = runProgram({"--batch", "/dev/zero"});
    EXPECT_EQ(zeros.exitCode, 2);
    EXPECT_EQ(zeros.out, "");
    EXPECT_EQ(zeros.err, notText + "holds a NUL byte\n");

    const ProcessResult nul = runProgram({"--batch", "-"}, withNul("well@,x\n"));
    EXPECT_EQ(nul.exitCode, 2);
    EXPECT_EQ(nul.err, notText + "holds a NUL byte\n");

    const std::string endless = std::string(CsvReader::maxRecordBytes + 1, 'a');
    const ProcessResult longHeader = runProgram({"--batch", "-"}, endless);
    EXPECT_EQ(longHeader.exitCode, 2);
    EXPECT_EQ(longHeader.err, notText + "is longer than 1048576 bytes\n");
}

} // namespace
