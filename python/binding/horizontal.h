#pragma once

#include "calc/horizontal_well.h"

#include <pybind11/pybind11.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace coning::python {

// Reads a horizontal well given as Python numbers (values in horizontalFields() order) as the
// command line reads its options; the problems, one per input.
std::vector<InputProblem> readHorizontalWell(const std::optional<std::string> &fluidSystem,
                                             const std::array<std::optional<double>,
                                                              horizontalFieldCount> &values,
                                             HorizontalWell &well);

// One horizontal well as the command line's JSON object; values in horizontalFields() order.
// Input coning-calc refuses raises UsageError with its messages.
pybind11::dict calculateHorizontal(
    std::optional<std::string> fluidSystem,
    const std::array<std::optional<double>, horizontalFieldCount> &values);

// One horizontal row of a table, as batch mode reads it: the cells' texts (None when empty) in
// horizontalFields() order and the columns of the vertical well's inputs that hold a value.
// Returns the rates (None where not shown), the unit and the row's message.
pybind11::tuple horizontalRow(
    long line,
    std::optional<std::string> fluidSystem,
    const std::array<std::optional<std::string>, horizontalFieldCount> &cells,
    const std::vector<std::string> &verticalColumns);

} // namespace coning::python
