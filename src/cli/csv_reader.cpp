#include "csv_reader.h"

#include <algorithm>

namespace coning::cli {

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
    if (!m_in)
        return false;
    m_in->read(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    const std::streamsize count = m_in->gcount();
    if (count <= 0)
        return false;
    m_next = m_buffer.data();
    m_end = m_next + count;
    return true;
}

int CsvReader::get()
{
    if (m_next == m_end && !refill())
        return -1;
    return static_cast<unsigned char>(*m_next++);
}

int CsvReader::peek()
{
    if (m_next == m_end && !refill())
        return -1;
    return static_cast<unsigned char>(*m_next);
}

void CsvReader::endOfLine(int c)
{
    if (c == '\r' && peek() == '\n')
        get();
    ++m_line;
}

void CsvReader::fail(CsvRecord &record, std::string message)
{
    if (record.m_error.empty())
        record.m_error = std::move(message);
}

void CsvReader::newField(CsvRecord &record)
{
    if (!record.ok())
        return;
    if (record.m_count == maxFields) {
        fail(record, "more than " + std::to_string(maxFields) + " fields");
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
    if (!record.ok())
        return; // a malformed record is read to its end but not kept
    if (++m_recordBytes > maxRecordBytes) {
        fail(record, "the row is longer than " + std::to_string(maxRecordBytes) + " bytes");
        return;
    }
    record.m_fields[record.m_count - 1].push_back(static_cast<char>(c));
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

bool CsvReader::next(CsvRecord &record)
{
    if (m_atStart) {
        m_atStart = false;
        if (peek() == 0xEF && m_end - m_next >= 3 && static_cast<unsigned char>(m_next[1]) == 0xBB
            && static_cast<unsigned char>(m_next[2]) == 0xBF)
            m_next += 3;
    }
    for (;;) {
        record.m_count = 0;
        record.m_error.clear();
        record.m_line = m_line;
        m_recordBytes = 0;
        if (peek() == -1)
            return false;
        newField(record);

        bool quoted = false;
        for (;;) {
            int c = get();
            if (c == '"') {
                quoted = true;
                const long openedOn = m_line;
                for (;;) {
                    c = get();
                    if (c == -1) {
                        fail(record,
                             "the quoted field opened on line " + std::to_string(openedOn)
                                 + " is never closed");
                        return true;
                    }
                    if (c == '"') {
                        if (peek() != '"')
                            break;
                        get();
                    } else if (c == '\n' || (c == '\r' && peek() != '\n')) {
                        ++m_line;
                    }
                    append(record, c);
                }
                c = get();
                if (c == ',') {
                    newField(record);
                    continue;
                }
                if (c == '\r' || c == '\n')
                    endOfLine(c);
                else if (c != -1) {
                    fail(record,
                         "text after the closing quote of field " + std::to_string(record.m_count));
                    skipRestOfLine();
                }
                break;
            }
            while (c != ',' && c != '\r' && c != '\n' && c != -1) {
                append(record, c);
                c = get();
            }
            if (c == ',') {
                newField(record);
                continue;
            }
            if (c != -1)
                endOfLine(c);
            break;
        }
        const bool blankLine = record.ok() && !quoted && record.m_count == 1
                               && record.m_fields[0].empty();
        if (!blankLine)
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
