#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace coning::cli {

// One record of a CSV file. Its strings are reused from record to record, so reading a long file
// allocates only while the rows grow.
class CsvRecord
{
public:
    std::span<const std::string> fields() const { return {m_fields.data(), m_count}; }
    long line() const { return m_line; } // the line on which the record starts, from 1
    const std::string &error() const { return m_error; } // a syntax error; fields are incomplete
    bool ok() const { return m_error.empty(); }

private:
    friend class CsvReader;
    std::vector<std::string> m_fields;
    std::size_t m_count = 0;
    long m_line = 0;
    std::string m_error;
};

// Reads RFC 4180 CSV one record at a time: fields separated by commas, quoted fields with
// doubled quotes and embedded commas and line breaks, records ended by CRLF, LF or CR. Also
// takes what spreadsheets write around that: a UTF-8 byte-order mark at the start, blank lines
// (skipped), a last record without a line break, and a quote inside an unquoted field (kept as
// text). A malformed record (text after a closing quote, a quote never closed, an overlong row)
// is returned with an error and reading goes on with the next line.
class CsvReader
{
public:
    static constexpr std::size_t maxRecordBytes = 1 << 20;
    static constexpr std::size_t maxFields = 256;

    explicit CsvReader(std::istream &in, std::size_t chunkSize = 1 << 16);
    explicit CsvReader(std::string_view bytes);

    // The next record, skipping blank lines; false at the end of the input.
    bool next(CsvRecord &record);
    // True when the stream failed other than by reaching its end.
    bool readFailed() const;

private:
    int get();
    int peek();
    bool refill();
    void endOfLine(int c); // after a CR or LF: a CRLF pair is one line break
    void append(CsvRecord &record, int c);
    void newField(CsvRecord &record);
    void fail(CsvRecord &record, std::string message);
    void skipRestOfLine();

    std::istream *m_in = nullptr;
    std::vector<char> m_buffer;
    const char *m_next = nullptr;
    const char *m_end = nullptr;
    long m_line = 1;
    std::size_t m_recordBytes = 0;
    bool m_atStart = true;
};

// Reads every record of `bytes`, calling `onRecord` for each; returns how many there were. For
// tests and fuzzing: any bytes at all must be read without a crash.
std::size_t readCsv(std::string_view bytes, const std::function<void(const CsvRecord &)> &onRecord);

} // namespace coning::cli
