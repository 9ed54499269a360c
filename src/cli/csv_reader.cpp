#include "csv_reader.h"

#include <algorithm>

namespace coning::cli {

std::string CsvRecord::describe(std::string_view where) const
{
    const std::string place(where);
    switch (m_problem) {
    case CsvProblem::None:
        return {};
    case CsvProblem::TextAfterQuote:
        return "text after the closing quote in " + place;
    case CsvProblem::UnclosedQuote:
        return "the quote opened in " + place + " is never closed";
    case CsvProblem::TooLong:
        return "the row is longer than " + std::to_string(CsvReader::maxRecordBytes) + " bytes";
    case CsvProblem::TooManyFields:
        return "more than " + std::to_string(CsvReader::maxFields) + " fields";
    case CsvProblem::NulByte:
        return "a NUL byte in " + place + ", which a CSV text file never holds";
    }
    return {};
}

std::string CsvRecord::error() const
{
    return describe("field " + std::to_string(m_problemField));
}

CsvReader::CsvReader(std::istream &in, std::size_t chunkSize)
    : m_in(&in)
    , m_buffer(std::max<std::size_t>(chunkSize, 4)) // room for the byte-order mark
{}

CsvReader::CsvReader(std::string_view bytes)
    : m_next(bytes.data())
    , m_end(bytes.data() + bytes.size())
{}

bool CsvReader::readFailed() const
{
    return m_in && m_in->bad();
}

bool CsvReader::refill()
{
    if (m_inPending) {
        m_inPending = false;
        m_next = m_streamNext;
        m_end = m_streamEnd;
        if (m_next != m_end)
            return true;
    }
    if (!m_in)
        return false;
    // Whatever is at hand, so that rows arriving slowly through a pipe are read as they come.
    std::streamsize count = m_in->readsome(m_buffer.data(),
                                           static_cast<std::streamsize>(m_buffer.size()));
    if (count <= 0) {
        m_in->read(m_buffer.data(), 1);
        count = m_in->gcount();
    }
    if (count <= 0)
        return false;
    m_next = m_buffer.data();
    m_end = m_next + count;
    return true;
}

void CsvReader::readAgain(std::string &bytes)
{
    if (m_inPending) {
        bytes.append(m_next, m_end); // what was still to be read again follows
    } else {
        m_streamNext = m_next;
        m_streamEnd = m_end;
    }
    m_pending.swap(bytes);
    bytes.clear();
    m_inPending = true;
    m_next = m_pending.data();
    m_end = m_next + m_pending.size();
}

int CsvReader::get()
{
    if (m_next == m_end && !refill())
        return -1;
    const int c = static_cast<unsigned char>(*m_next++);
    ++m_recordBytes;
    if (m_recording)
        m_replay.push_back(static_cast<char>(c));
    return c;
}

int CsvReader::peek()
{
    if (m_next == m_end && !refill())
        return -1;
    return static_cast<unsigned char>(*m_next);
}

void CsvReader::skipByteOrderMark()
{
    if (!m_atStart)
        return;
    m_atStart = false;
    // Byte by byte: a pipe may deliver the mark in pieces.
    constexpr std::string_view mark = "\xEF\xBB\xBF";
    std::string start;
    while (start.size() < mark.size() && peek() == static_cast<unsigned char>(mark[start.size()]))
        start.push_back(static_cast<char>(get()));
    if (start != mark)
        readAgain(start);
}

void CsvReader::endOfLine(int c)
{
    if (c == '\r' && peek() == '\n')
        get();
    ++m_line;
}

void CsvReader::skipRestOfLine()
{
    for (int c = get(); c != -1; c = get()) {
        if (c == '\r' || c == '\n') {
            endOfLine(c);
            return;
        }
    }
}

void CsvReader::fail(CsvRecord &record, CsvProblem problem)
{
    if (!record.ok())
        return;
    record.m_problem = problem;
    record.m_problemField = record.m_count;
}

void CsvReader::newField(CsvRecord &record)
{
    if (!record.ok())
        return;
    if (record.m_count == maxFields) {
        fail(record, CsvProblem::TooManyFields);
        return;
    }
    if (record.m_count == record.m_fields.size())
        record.m_fields.emplace_back();
    else
        record.m_fields[record.m_count].clear();
    ++record.m_count;
}

void CsvReader::append(CsvRecord &record, int c)
{
    if (c == 0)
        fail(record, CsvProblem::NulByte);
    if (overLimit())
        fail(record, CsvProblem::TooLong);
    if (record.ok()) // a malformed record is read to its end but not kept
        record.m_fields[record.m_count - 1].push_back(static_cast<char>(c));
}

bool CsvReader::readQuoted(CsvRecord &record)
{
    const long openedOn = m_line;
    // The row limit; while the rest of a row already reported is skipped, the quote's own.
    const std::size_t limit = m_cutShort ? m_recordBytes + maxRecordBytes : maxRecordBytes;
    const std::size_t field = record.m_count;
    bool lineBreak = false;
    m_replay.clear();
    m_recording = false;
    for (;;) {
        const int c = get();
        if (c == -1 || m_recordBytes > limit) {
            // Given up: this record ends here, and reading resumes on the line after the quote,
            // which is what its writer most likely meant to be the next record.
            m_recording = false;
            if (record.ok()) {
                record.m_problem = CsvProblem::UnclosedQuote;
                record.m_problemField = field;
            }
            if (lineBreak) {
                readAgain(m_replay);
                m_line = openedOn + 1;
            } else if (c != -1) {
                m_skip = Skip::Line;
            }
            return false;
        }
        if (c == '"') {
            if (peek() != '"')
                break;
            get();
        } else if (c == '\n' || (c == '\r' && peek() != '\n')) {
            ++m_line;
            if (!lineBreak) {
                lineBreak = true;
                m_recording = true;
            }
        }
        append(record, c);
    }
    m_recording = false;
    m_replay.clear();
    return true;
}

CsvReader::Ending CsvReader::readFields(CsvRecord &record, bool inField)
{
    bool quoted = false;
    bool blank = !inField;
    const auto cutShort = [&](bool midField) {
        if (!overLimit() || m_cutShort)
            return false;
        // Reported at once, so that a stream without line breaks is not read to its end first.
        m_cutShort = true;
        fail(record, CsvProblem::TooLong);
        m_skip = midField ? Skip::Field : Skip::Record;
        return true;
    };
    for (;;) {
        int c = get();
        if (!inField && c == '"') {
            quoted = true;
            if (!readQuoted(record))
                return Ending::Record;
            c = get();
            // The rest of the field is read as text and dropped, so the quotes of the following
            // fields still count.
            if (c != ',' && c != '\r' && c != '\n' && c != -1)
                fail(record, CsvProblem::TextAfterQuote);
        }
        inField = false;
        while (c != ',' && c != '\r' && c != '\n' && c != -1) {
            if (c != ' ' && c != '\t')
                blank = false;
            append(record, c);
            if (cutShort(true))
                return Ending::Record;
            c = get();
        }
        if (c == ',') {
            blank = false;
            newField(record);
            if (cutShort(false))
                return Ending::Record;
            continue;
        }
        if (c != -1)
            endOfLine(c);
        break;
    }
    if (overLimit())
        fail(record, CsvProblem::TooLong);
    return blank && !quoted && record.ok() && record.m_count == 1 ? Ending::BlankLine
                                                                  : Ending::Record;
}

bool CsvReader::next(CsvRecord &record)
{
    skipByteOrderMark();
    while (m_skip != Skip::None) {
        const Skip skip = m_skip;
        m_skip = Skip::None;
        if (skip == Skip::Line) {
            skipRestOfLine();
        } else {
            m_skipped.m_problem = CsvProblem::TooLong; // nothing of it is kept
            readFields(m_skipped, skip == Skip::Field);
        }
    }
    for (;;) {
        record.m_count = 0;
        record.m_problem = CsvProblem::None;
        record.m_problemField = 0;
        record.m_line = m_line;
        m_recordBytes = 0;
        m_cutShort = false;
        if (peek() == -1)
            return false;
        newField(record);
        if (readFields(record, false) == Ending::Record)
            return true;
    }
}

std::size_t readCsv(std::string_view bytes, const std::function<void(const CsvRecord &)> &onRecord)
{
    CsvReader reader(bytes);
    CsvRecord record;
    std::size_t count = 0;
    while (reader.next(record)) {
        onRecord(record);
        ++count;
    }
    return count;
}

} // namespace coning::cli
