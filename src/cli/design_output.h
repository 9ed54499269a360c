#pragma once

#include "calc/design.h"
#include "calc/design_request.h"

#include <optional>
#include <string>
#include <string_view>

namespace coning::cli {

// JSON members to add to a single-well object, each starting with a comma:
// ,"targetRate":Q,"design":{"Sobocinski":{"maxPenetration":..,"maxPercent":..,"peakRate":..,
// "peakPenetration":..}, ...} (with "minCompletionTop" for Gas-Oil), and
// ,"sensitivity":{"percent":PCT,"inputs":[{"input":"permeability","low":{..},"high":{..}}, ...]}.
void appendTargetPenetrationJson(std::string &out, const TargetPenetration &design);
void appendSensitivityJson(std::string &out, const Sensitivity &sensitivity);

// The text tables that follow the report: the design of each correlation with the line naming
// the correlations that allow the target, and the tornado table of the inputs sorted by
// influence with the line naming the input that matters most.
void appendTargetPenetrationText(std::string &out,
                                 const TargetPenetration &design,
                                 std::string_view unit);
void appendSensitivityText(std::string &out, const Sensitivity &sensitivity);

// The design members of the well's JSON object, or its text tables, for what `request` asks.
std::string designJsonMembers(const Well &well, const DesignRequest &request);
void appendDesignText(std::string &out, const Well &well, const DesignRequest &request);

// Batch CSV: the max-penetration columns (",max-penetration:Sobocinski", ... in the order of the
// rate columns) and a row's cells, all empty without a design.
void appendTargetPenetrationCsvHeader(std::string &out);
void appendTargetPenetrationCsvCells(std::string &out, const TargetPenetration *design);

} // namespace coning::cli
