#include "cli/csv_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using coning::cli::CsvReader;
using coning::cli::CsvRecord;

struct Record
{
    long line;
    std::vector<std::string> fields;
    std::string error; // empty, or a part of the expected message

    friend bool operator==(const Record &, const Record &) = default;
};

std::ostream &operator<<(std::ostream &out, const Record &r)
{
    out << "{line " << r.line << ", [";
    for (const std::string &f : r.fields)
        out << '"' << f << "\" ";
    return out << "], error \"" << r.error << "\"}";
}

// Reads everything, keeping only the start of an error so the table can name it.
std::vector<Record> readAll(CsvReader &reader, const std::vector<Record> &expected)
{
    std::vector<Record> records;
    CsvRecord record;
    while (reader.next(record)) {
        Record r{record.line(), {}, record.error()};
        if (record.ok())
            r.fields.assign(record.fields().begin(), record.fields().end());
        const std::size_t i = records.size();
        if (i < expected.size() && !expected[i].error.empty()
            && r.error.find(expected[i].error) != std::string::npos)
            r.error = expected[i].error;
        records.push_back(std::move(r));
    }
    return records;
}

struct CsvCase
{
    const char *name;
    std::string input;
    std::vector<Record> expected;
};

const std::vector<CsvCase> &csvCases()
{
    static const std::vector<CsvCase> cases = {
        {"PlainLf", "a,b\n1,2\n", {{1, {"a", "b"}, ""}, {2, {"1", "2"}, ""}}},
        {"Crlf", "a,b\r\n1,2\r\n", {{1, {"a", "b"}, ""}, {2, {"1", "2"}, ""}}},
        {"LoneCr", "a,b\r1,2\r", {{1, {"a", "b"}, ""}, {2, {"1", "2"}, ""}}},
        {"NoFinalLineBreak", "a,b\n1,2", {{1, {"a", "b"}, ""}, {2, {"1", "2"}, ""}}},
        {"EmptyFields", ",x,\n", {{1, {"", "x", ""}, ""}}},
        {"QuotedComma", "\"a,b\",c\n", {{1, {"a,b", "c"}, ""}}},
        {"DoubledQuotes", "\"say \"\"hi\"\"\",\"\"\"\"\n", {{1, {"say \"hi\"", "\""}, ""}}},
        {"QuotedEmpty", "\"\",x\n", {{1, {"", "x"}, ""}}},
        {"EmbeddedLineBreaks",
         "\"a\nb\",\"c\r\nd\"\nnext,row\n",
         {{1, {"a\nb", "c\r\nd"}, ""}, {4, {"next", "row"}, ""}}},
        {"BlankLinesSkipped", "a\n\n\r\nb\n", {{1, {"a"}, ""}, {4, {"b"}, ""}}},
        {"ByteOrderMark",
         "\xEF\xBB\xBF"
         "a,b\n",
         {{1, {"a", "b"}, ""}}},
        {"QuoteInsideUnquotedField", "5'6\",x\n", {{1, {"5'6\"", "x"}, ""}}},
        {"TextAfterClosingQuote",
         "\"a\"b,\"c\nd\"\nx,y\n",
         {{1, {}, "text after the closing quote in field 1"}, {3, {"x", "y"}, ""}}},
        {"UnclosedQuoteResumesAfterItsLine",
         "a\n\"open,\nrest\n",
         {{1, {"a"}, ""}, {2, {}, "the quote opened in field 1 is never closed"}, {3, {"rest"}, ""}}},
        {"BlanksOnlyLineSkipped", "a\n \t \nb\n", {{1, {"a"}, ""}, {3, {"b"}, ""}}},
        {"NulByte",
         std::string("a\n1,\0\n2\n", 8),
         {{1, {"a"}, ""}, {2, {}, "NUL byte in field 2"}, {3, {"2"}, ""}}},
        {"PartialByteOrderMark", "\xEF\xBB,x\n", {{1, {"\xEF\xBB", "x"}, ""}}},
        {"EmptyInput", "", {}},
    };
    return cases;
}

TEST(CsvReader, ReadsTheTable)
{
    for (const CsvCase &c : csvCases()) {
        CsvReader reader(c.input);
        EXPECT_EQ(readAll(reader, c.expected), c.expected) << c.name;
    }
}

// A stream is read in chunks; a record, a quote pair or a CRLF split across two chunks must read
// the same as in one piece.
TEST(CsvReader, ChunkBoundariesDoNotMatter)
{
    for (const CsvCase &c : csvCases()) {
        for (std::size_t chunk = 4; chunk <= 9; ++chunk) {
            std::istringstream in(c.input);
            CsvReader reader(in, chunk);
            EXPECT_EQ(readAll(reader, c.expected), c.expected) << c.name << ", chunk " << chunk;
        }
    }
}

// Whatever makes a row overlong, it costs that row only and memory stays bounded.
TEST(CsvReader, OverlongRowFailsAndTheNextIsRead)
{
    const std::string bytes(CsvReader::maxRecordBytes, 'a');
    const std::string commas(CsvReader::maxRecordBytes, ',');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"x,\"" + bytes + "\"\nok\n", "the quote opened in field 2 is never closed"},
        {"x," + bytes + "\nok\n", "longer than"},
        {"x," + bytes + ",\"a\n\"\nok\n", "longer than"}, // quotes in the rest still count
        {commas + "\nok\n", "more than 256 fields"},
    };
    for (const auto &[input, error] : cases) {
        std::istringstream in(input);
        CsvReader reader(in);
        CsvRecord record;
        ASSERT_TRUE(reader.next(record));
        EXPECT_NE(record.error().find(error), std::string::npos) << record.error();
        ASSERT_TRUE(reader.next(record));
        EXPECT_TRUE(record.ok());
        ASSERT_EQ(record.fields().size(), 1u);
        EXPECT_EQ(record.fields()[0], "ok");
        EXPECT_FALSE(reader.next(record));
    }
}

TEST(CsvReader, TooManyFieldsFails)
{
    const std::string input = std::string(CsvReader::maxFields, ',') + "\nok\n";
    std::vector<std::string> errors;
    coning::cli::readCsv(input, [&](const CsvRecord &r) { errors.push_back(r.error()); });
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("more than"), std::string::npos);
    EXPECT_EQ(errors[1], "");
}

} // namespace
