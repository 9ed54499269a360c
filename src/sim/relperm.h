#pragma once

#include "settings.h"

#include <optional>
#include <string>

namespace coning::sim {

// Reads an engineer's saturation table: rows of four numbers in the simulator's SWOF or SGOF
// layout, "--" comments, blank lines, the keyword on a line of its own and a closing "/" allowed.
// Each row's values are checked here (numbers, within [0, 1], saturations increasing); returns
// what is wrong, naming the file and its line, or nothing.
std::optional<std::string> readRelpermTable(const std::string &file, RelpermTable &table);

// What a read table lacks for `system` (SWOF for Oil-Water, SGOF for Gas-Oil, none for
// Gas-Water): monotone permeabilities and capillary pressure, the end points; names the line.
std::optional<std::string> checkRelpermTable(const RelpermTable &table, FluidSystem system);

} // namespace coning::sim
