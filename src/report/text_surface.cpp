#include "text_surface.h"

#include <algorithm>

namespace coning {

TextSurface::TextSurface(int columnsAcross)
    : NullSurface(columnsAcross)
{}

std::string TextSurface::text() const
{
    std::string all;
    for (const std::string &line : m_lines) {
        all += line;
        all += '\n';
    }
    return all;
}

void TextSurface::clear()
{
    m_lines.clear();
}

void TextSurface::print(const std::vector<PrintItem> &items)
{
    std::string line;
    for (const PrintItem &item : items) {
        if (item.kind == PrintItem::Kind::Text) {
            line += item.text;
            continue;
        }
        // Columns count from 1; the line so far ends in column line.size().
        const std::size_t before = static_cast<std::size_t>(std::max(item.column, 1) - 1);
        if (line.size() > before) {
            m_lines.push_back(std::move(line));
            line.clear();
        }
        line.resize(before, ' ');
    }
    m_lines.push_back(std::move(line));
}

} // namespace coning
