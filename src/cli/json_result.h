#pragma once

#include "calc/json_text.h"
#include "calc/run_result.h"
#include "calc/well_input.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning::cli {

// Where a batch row came from; written first in its object.
struct RowLabel
{
    long line = 0;
    std::string_view well;
    std::string_view wellType; // "vertical" or "horizontal" once known; CSV only
};

// `"line":N,"well":"..",` of a batch row; nothing for a single well.
void appendLabel(std::string &out, const std::optional<RowLabel> &label);

// `,"warnings":[..]`, only when there are any (last in an object).
void appendWarnings(std::string &out, const std::vector<std::string> &warnings);

// `,"failures":{"name":"message",..}` over the failed outcomes of `order`, only when any failed.
template<class Result, class Order, class Name>
void appendFailures(std::string &out, const Result &result, const Order &order, Name name)
{
    bool first = true;
    for (const auto c : order) {
        const auto &outcome = result.outcome(c);
        if (!outcome.failed())
            continue;
        out.append(first ? ",\"failures\":{" : ",");
        first = false;
        appendKey(out, name(c));
        appendJsonString(out, outcome.failure);
    }
    if (!first)
        out.push_back('}');
}

// The single-well object: fluidSystem, completion, unit, percentPenetration, rates, failures
// (only when a correlation failed at the design point), sweep (only when the run swept),
// sweepFailures (only when sweep points failed: per correlation "points", "firstPercent" and the
// "message" of the first), warnings (only when there are plausibility warnings, last); or
// {"error": ...} and any warnings when the run failed before any correlation. Numbers are shortest round-trip; a failed sweep point is
// null. `extraMembers` (each starting with a comma) are added before the warnings, of a failed run too
// (a simulation that ran keeps its result). No line break at the end.
void appendResultJson(std::string &out,
                      const Well &well,
                      const RunResult &result,
                      const std::optional<RowLabel> &label = std::nullopt,
                      std::string_view extraMembers = {});

// {"error": ...}, after the row's label when there is one.
void appendErrorJson(std::string &out,
                     std::string_view message,
                     const std::optional<RowLabel> &label = std::nullopt);

} // namespace coning::cli
