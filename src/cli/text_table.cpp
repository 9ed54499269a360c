#include "text_table.h"

#include <algorithm>

namespace coning::cli {

TextTable::TextTable(std::vector<std::size_t> widths)
    : m_widths(std::move(widths))
{}

void TextTable::addRow(std::vector<std::string> cells)
{
    const std::size_t gap = m_rows.empty() ? 1 : 2;
    for (std::size_t i = 0; i < cells.size() && i < m_widths.size(); ++i)
        m_widths[i] = std::max(m_widths[i], cells[i].size() + (i == 0 ? 1 : gap));
    m_rows.push_back(std::move(cells));
}

void TextTable::appendTo(std::string &out) const
{
    for (const std::vector<std::string> &row : m_rows) {
        std::string line = "  ";
        for (std::size_t i = 0; i < row.size() && i < m_widths.size(); ++i) {
            const std::size_t pad = m_widths[i] - row[i].size();
            if (i > 0)
                line.append(pad, ' ');
            line.append(row[i]);
            if (i == 0)
                line.append(pad, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        out.append(line).push_back('\n');
    }
}

} // namespace coning::cli
