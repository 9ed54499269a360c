#include "relperm.h"

#include "calc/message_text.h"
#include "calc/strict_number.h"

#include <fstream>
#include <sstream>

namespace coning::sim {
namespace {

constexpr std::size_t maximumRows = 10000; // a measured table has tens

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string at(const RelpermTable &table, std::size_t row)
{
    return quotedForMessage(table.file) + " line " + std::to_string(table.lines[row]) + ": ";
}

} // namespace

std::optional<std::string> readRelpermTable(const std::string &file, RelpermTable &table)
{
    table = RelpermTable{};
    table.file = file;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return "cannot read " + quotedForMessage(file);
    std::string raw;
    std::size_t number = 0;
    bool closed = false;
    while (std::getline(in, raw)) {
        ++number;
        std::string_view text = raw;
        if (const auto comment = text.find("--"); comment != std::string_view::npos)
            text = text.substr(0, comment);
        text = trimmed(text);
        const std::string where = quotedForMessage(file) + " line " + std::to_string(number) + ": ";
        if (text.empty())
            continue;
        if (closed)
            return where + "nothing may follow the closing /";
        if (table.rows.empty() && table.keyword.empty() && (text == "SWOF" || text == "SGOF")) {
            table.keyword = std::string(text);
            continue;
        }
        if (text.back() == '/') {
            closed = true;
            text = trimmed(text.substr(0, text.size() - 1));
            if (text.empty())
                continue;
        }
        std::array<double, 4> row{};
        std::size_t count = 0;
        std::istringstream words{std::string(text)};
        std::string word;
        while (words >> word) {
            double value = 0.0;
            if (count == 4)
                return where
                       + "a row holds four numbers: saturation, two relative "
                         "permeabilities, capillary pressure";
            if (readStrictNumber(word, value))
                return where + quotedForMessage(word) + " is not a number";
            row[count++] = value;
        }
        if (count != 4)
            return where
                   + "a row holds four numbers: saturation, two relative permeabilities, "
                     "capillary pressure";
        if (!(row[0] >= 0.0 && row[0] <= 1.0))
            return where + "the saturation must be within 0 and 1";
        if (!(row[1] >= 0.0 && row[1] <= 1.0 && row[2] >= 0.0 && row[2] <= 1.0))
            return where + "relative permeabilities must be within 0 and 1";
        if (!(row[3] >= 0.0 && row[3] <= 1000.0))
            return where + "the capillary pressure must be from 0 to 1000 psi";
        if (!table.rows.empty() && !(row[0] > table.rows.back()[0]))
            return where + "saturations must increase from row to row";
        if (table.rows.size() == maximumRows)
            return where + "a table holds at most " + std::to_string(maximumRows) + " rows";
        table.rows.push_back(row);
        table.lines.push_back(number);
    }
    if (in.bad())
        return "cannot read " + quotedForMessage(file);
    if (table.rows.size() < 2)
        return quotedForMessage(file) + " holds " + std::to_string(table.rows.size())
               + (table.rows.size() == 1 ? " row" : " rows") + ": a table needs at least two";
    return std::nullopt;
}

std::optional<std::string> checkRelpermTable(const RelpermTable &table, FluidSystem system)
{
    if (system == FluidSystem::GasWater)
        return "Gas-Water takes Corey curves only (--connate-water, --residual-saturation, "
               "--corey-exponents, --endpoint-permeabilities)";
    const bool gasOil = system == FluidSystem::GasOil;
    const std::string layout = gasOil ? "SGOF" : "SWOF";
    if (!table.keyword.empty() && table.keyword != layout)
        return at(table, 0) + "the table is " + table.keyword + ": "
               + (gasOil ? "Gas-Oil" : "Oil-Water") + " takes " + layout;
    const auto &rows = table.rows;
    const std::size_t last = rows.size() - 1;
    // Both layouts: the displacing phase's permeability rises from 0, the produced phase's
    // falls to 0; capillary pressure falls with water (SWOF) and rises with gas (SGOF).
    if (rows[0][1] != 0.0)
        return at(table, 0) + (gasOil ? "gas" : "water")
               + " must be immobile at the first saturation (0 in the second column)";
    if (gasOil && rows[0][0] != 0.0)
        return at(table, 0) + "an SGOF table starts at a gas saturation of 0";
    if (!gasOil && rows[last][0] != 1.0)
        return at(table, last) + "an SWOF table ends at a water saturation of 1";
    if (rows[last][2] != 0.0)
        return at(table, last)
               + "oil must be immobile at the last saturation (0 in the third "
                 "column)";
    if (!(rows[0][2] > 0.0))
        return at(table, 0) + "oil must flow at the first saturation";
    if (!(rows[last][1] > 0.0))
        return at(table, last) + "the displacing phase must flow at the last saturation";
    for (std::size_t i = 1; i < rows.size(); ++i) {
        if (rows[i][1] < rows[i - 1][1])
            return at(table, i) + "the second column's permeability must not fall";
        if (rows[i][2] > rows[i - 1][2])
            return at(table, i) + "the third column's permeability must not rise";
        if (gasOil ? rows[i][3] < rows[i - 1][3] : rows[i][3] > rows[i - 1][3])
            return at(table, i) + "the capillary pressure must "
                   + (gasOil ? "not fall" : "not rise") + " from row to row";
    }
    // Connate water in an SGOF table is held as liquid: it must leave oil room to flow.
    if (gasOil && !(rows[last][0] > 0.0))
        return at(table, last) + "the gas saturation must reach above 0";
    return std::nullopt;
}

} // namespace coning::sim
