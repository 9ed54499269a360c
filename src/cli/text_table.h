#pragma once

#include <string>
#include <vector>

namespace coning::cli {

// Rows of cells in columns at least as wide as given, widened where a cell needs it so that no
// two cells run together; the first column left-aligned, the others right-aligned, each row
// indented by two blanks.
class TextTable
{
public:
    explicit TextTable(std::vector<std::size_t> widths);

    // The first row is the header, whose cells may come within one blank of each other; the
    // others keep two blanks between columns.
    void addRow(std::vector<std::string> cells);
    void appendTo(std::string &out) const;

private:
    std::vector<std::size_t> m_widths;
    std::vector<std::vector<std::string>> m_rows;
};

} // namespace coning::cli
