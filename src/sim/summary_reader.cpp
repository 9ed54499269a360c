#include "summary_reader.h"

#include "calc/message_text.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace coning::sim {
namespace {

// One array of a file: its name and its items, numbers widened to double, strings trimmed.
struct Array
{
    std::string name;
    std::vector<double> numbers;
    std::vector<std::string> strings;
};

std::uint32_t bigEndian(const unsigned char *p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8)
           | std::uint32_t(p[3]);
}

std::string trimmed(const unsigned char *p, std::size_t size)
{
    std::string text(reinterpret_cast<const char *>(p), size);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

class RecordReader
{
public:
    explicit RecordReader(std::vector<unsigned char> bytes)
        : m_bytes(std::move(bytes))
    {}

    bool atEnd() const { return m_at == m_bytes.size(); }

    // The next record's payload; false when the file ends inside it.
    bool record(const unsigned char *&data, std::size_t &size)
    {
        if (m_bytes.size() - m_at < 4)
            return false;
        size = bigEndian(&m_bytes[m_at]);
        if (m_bytes.size() - m_at < size + 8 || bigEndian(&m_bytes[m_at + 4 + size]) != size)
            return false;
        data = &m_bytes[m_at + 4];
        m_at += size + 8;
        return true;
    }

    // The next whole array; false at the end, or when the file ends inside it.
    bool array(Array &array)
    {
        const unsigned char *header = nullptr;
        std::size_t size = 0;
        if (!record(header, size) || size != 16)
            return false;
        array = Array{trimmed(header, 8), {}, {}};
        const std::size_t count = bigEndian(header + 8);
        const std::string type(reinterpret_cast<const char *>(header + 12), 4);
        std::size_t width = 4;
        if (type == "DOUB")
            width = 8;
        else if (type == "CHAR")
            width = 8;
        else if (type[0] == 'C' && type != "CHAR")
            width = static_cast<std::size_t>(std::atoi(type.c_str() + 1));
        else if (type == "MESS")
            width = 0;
        while (array.numbers.size() + array.strings.size() < count && width > 0) {
            const unsigned char *data = nullptr;
            if (!record(data, size) || size % width != 0)
                return false;
            for (std::size_t at = 0; at < size; at += width) {
                const unsigned char *item = data + at;
                if (type == "REAL") {
                    const std::uint32_t bits = bigEndian(item);
                    float value;
                    std::memcpy(&value, &bits, sizeof value);
                    array.numbers.push_back(value);
                } else if (type == "DOUB") {
                    const std::uint64_t bits = (std::uint64_t(bigEndian(item)) << 32)
                                               | bigEndian(item + 4);
                    double value;
                    std::memcpy(&value, &bits, sizeof value);
                    array.numbers.push_back(value);
                } else if (type == "INTE" || type == "LOGI") {
                    array.numbers.push_back(static_cast<std::int32_t>(bigEndian(item)));
                } else {
                    array.strings.push_back(trimmed(item, width));
                }
            }
        }
        return true;
    }

private:
    std::vector<unsigned char> m_bytes;
    std::size_t m_at = 0;
};

bool readFile(const std::filesystem::path &path, std::vector<unsigned char> &bytes)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

} // namespace

const std::vector<double> *Summary::find(std::string_view keyword, std::string_view well) const
{
    std::string name(keyword);
    if (!well.empty())
        name.append(":").append(well);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name)
            return &values[i];
    }
    return nullptr;
}

std::optional<Summary> readSummary(const std::filesystem::path &smspec,
                                   const std::filesystem::path &unsmry,
                                   std::string &problem)
{
    std::vector<unsigned char> bytes;
    if (!readFile(smspec, bytes)) {
        problem = "cannot read " + smspec.filename().string();
        return std::nullopt;
    }
    std::vector<std::string> keywords, wells;
    RecordReader vectorIndex(std::move(bytes));
    Array array;
    while (vectorIndex.array(array)) {
        if (array.name == "KEYWORDS")
            keywords = array.strings;
        else if (array.name == "WGNAMES" || array.name == "NAMES")
            wells = array.strings;
    }
    if (keywords.empty() || wells.size() != keywords.size()) {
        problem = smspec.filename().string() + " names no summary vectors";
        return std::nullopt;
    }
    Summary summary;
    for (std::size_t i = 0; i < keywords.size(); ++i) {
        const bool wellVector = keywords[i].starts_with('W') && !wells[i].empty()
                                && wells[i] != ":+:+:+:+";
        summary.names.push_back(wellVector ? keywords[i] + ":" + wells[i] : keywords[i]);
    }
    summary.values.resize(keywords.size());

    if (!readFile(unsmry, bytes)) {
        problem = "cannot read " + unsmry.filename().string();
        return std::nullopt;
    }
    RecordReader steps(std::move(bytes));
    while (steps.array(array)) {
        if (array.name != "PARAMS")
            continue;
        if (array.numbers.size() != keywords.size())
            break; // the last step, still being written
        for (std::size_t i = 0; i < keywords.size(); ++i)
            summary.values[i].push_back(array.numbers[i]);
    }
    return summary;
}

std::optional<std::string> summaryProblem(const Summary &summary)
{
    const std::vector<double> *time = summary.find("TIME");
    if (!time)
        return "the simulator's summary has no times";
    for (std::size_t i = 0; i < time->size(); ++i) {
        const double day = (*time)[i];
        if (!std::isfinite(day))
            return "the simulator's summary holds a time that is not a finite number, after day "
                   + numberForMessage(i > 0 ? (*time)[i - 1] : 0.0);
        if (i > 0 && !(day > (*time)[i - 1]))
            return "the simulator's summary times do not increase: day " + numberForMessage(day)
                   + " after day " + numberForMessage((*time)[i - 1]);
    }
    for (std::size_t v = 0; v < summary.names.size(); ++v) {
        const std::vector<double> &values = summary.values[v];
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (!std::isfinite(values[i]))
                return "the simulator's summary holds a value that is not a finite number: "
                       + escapedForMessage(summary.names[v]) + " at day "
                       + numberForMessage(i < time->size() ? (*time)[i] : 0.0);
        }
    }
    return std::nullopt;
}

} // namespace coning::sim
