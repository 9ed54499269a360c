#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace coning::cli {

// What makes a record malformed; the first one found is kept.
enum class CsvProblem { None, TextAfterQuote, UnclosedQuote, TooLong, TooManyFields, NulByte };

// One record of a CSV file. Its strings are reused from record to record, so reading a long file
// allocates only while the rows grow.
class CsvRecord
{
public:
    std::span<const std::string> fields() const { return {m_fields.data(), m_count}; }
    long line() const { return m_line; } // the line on which the record starts, from 1
    bool ok() const { return m_problem == CsvProblem::None; }
    CsvProblem problem() const { return m_problem; }
    // The field, from 1, in which the problem was found.
    std::size_t problemField() const { return m_problemField; }
    // What is wrong, with the field given as `where` ("column well"); empty when ok.
    std::string describe(std::string_view where) const;
    // What is wrong, naming the field by its number; the fields are incomplete then.
    std::string error() const;

private:
    friend class CsvReader;
    std::vector<std::string> m_fields;
    std::size_t m_count = 0;
    long m_line = 0;
    CsvProblem m_problem = CsvProblem::None;
    std::size_t m_problemField = 0;
};

// Reads RFC 4180 CSV one record at a time: fields separated by commas, quoted fields with
// doubled quotes and embedded commas and line breaks, records ended by CRLF, LF or CR. Also
// takes what spreadsheets write around that: a UTF-8 byte-order mark at the start, blank lines
// and lines of blanks (skipped), a last record without a line break, and a quote inside an
// unquoted field (kept as text).
//
// A malformed record is returned with its problem and the reader goes on so that one bad record
// costs only itself: after text following a closing quote it reads on to the end of the record,
// honouring quotes; a quote that is not closed within maxRecordBytes or before the end of the
// input is given up, and reading resumes on the line after the one where it opened; a row longer
// than maxRecordBytes is returned as soon as that is known, and its rest is skipped. Memory stays
// bounded by maxRecordBytes whatever the input.
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
    enum class Ending { Record, BlankLine };
    // What is left of a record returned early: the rest of its line, or of the record itself
    // (from inside a field or from the start of one).
    enum class Skip { None, Line, Field, Record };

    int get();
    int peek();
    bool refill();
    void readAgain(std::string &bytes); // takes `bytes`, leaving it empty
    void skipByteOrderMark();
    void endOfLine(int c); // after a CR or LF: a CRLF pair is one line break
    void skipRestOfLine();
    bool overLimit() const { return m_recordBytes > maxRecordBytes; }
    void fail(CsvRecord &record, CsvProblem problem);
    void newField(CsvRecord &record);
    void append(CsvRecord &record, int c);
    Ending readFields(CsvRecord &record, bool inField);
    bool readQuoted(CsvRecord &record); // false when the quote is given up

    std::istream *m_in = nullptr;
    std::vector<char> m_buffer;
    const char *m_next = nullptr;
    const char *m_end = nullptr;
    // Bytes read again after a quote was given up, read before the rest of the stream: while they
    // are, m_next and m_end point into m_pending and the stream's place is kept aside.
    std::string m_pending;
    bool m_inPending = false;
    const char *m_streamNext = nullptr;
    const char *m_streamEnd = nullptr;
    // The bytes after the first line break of an open quote, kept until it closes.
    std::string m_replay;
    bool m_recording = false;

    long m_line = 1;
    std::size_t m_recordBytes = 0;
    bool m_atStart = true;
    bool m_cutShort = false; // the current record was returned before its end
    Skip m_skip = Skip::None;
    CsvRecord m_skipped;
};

// Reads every record of `bytes`, calling `onRecord` for each; returns how many there were. For
// tests and fuzzing: any bytes at all must be read without a crash.
std::size_t readCsv(std::string_view bytes, const std::function<void(const CsvRecord &)> &onRecord);

} // namespace coning::cli
