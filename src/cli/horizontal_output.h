#pragma once

#include "json_result.h"

#include "calc/horizontal_well.h"

#include <optional>
#include <string>

namespace coning::cli {

// The text report of a horizontal well: the heading, one line per correlation with its rate and
// unit ("failed" for one that failed), then what failed and a "warning: " line per warning.
void appendHorizontalText(std::string &out, const HorizontalResult &result);

// The single-well object of a horizontal well: wellType, fluidSystem, unit, rates (by
// correlation name, only those shown), failures (only when one failed) and warnings (only when
// there are any, last), after the row's label when there is one. No line break at the end.
// `extraMembers` (",\"simulation\":{...}") go before the warnings.
void appendHorizontalJson(std::string &out,
                          const HorizontalWell &well,
                          const HorizontalResult &result,
                          const std::optional<RowLabel> &label = std::nullopt,
                          std::string_view extraMembers = {});

} // namespace coning::cli
