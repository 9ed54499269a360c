#pragma once

#include "horizontal_well.h"

namespace coning {

// The critical cresting rates of a horizontal well, STB/day (MCF/day for Gas-Water). Each reads
// the well as typed; an arithmetic failure throws ArithmeticError.
double chaperon(const HorizontalWell &w);
double efros(const HorizontalWell &w);
double joshi(const HorizontalWell &w);
double gigerKarcher(const HorizontalWell &w);

} // namespace coning
