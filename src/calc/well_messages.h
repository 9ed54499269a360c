#pragma once

#include "horizontal_well.h"
#include "run_result.h"
#include "well_input.h"

#include <string>
#include <string_view>
#include <vector>

namespace coning {

// How every front end words the problems of a well's input and the failures of its run, so the
// command line, batch files and the Python module say the same.

// One problem as an option error: "--penetration is required for Oil-Water with
// partial-penetration", "--permeability: \"abc\" is not a decimal number".
std::string optionProblemText(const InputProblem &problem);

// The usage error of a sweep asked for a partially completed well.
inline constexpr std::string_view sweepCompletionProblemText
    = "--sweep: the penetration sweep is only for partial-penetration, not for "
      "partial-completion";

// The problems of one batch row: "line 5, column permeability: ...", joined with "; ".
std::string rowProblemsText(long line, const std::vector<InputProblem> &problems);

// The correlations that failed at the design point: "Guo-Lee: square root of ...", joined with
// "; "; empty when none failed.
std::string correlationFailuresText(const RunResult &result);

// A calculated row's message: the run's error or its correlations' failures, then any
// `moreFailures` (of what was asked beyond the run), then each warning prefixed "warning: ",
// joined with "; "; empty when there is nothing to say.
std::string runMessageText(const RunResult &result,
                           const std::vector<std::string> &moreFailures = {});

// A horizontal row's message: its correlations' failures ("Joshi: division by zero: ..."), then
// `moreFailures` (its simulation's), then each warning prefixed "warning: ", joined with "; ";
// empty when there is nothing to say.
std::string horizontalMessageText(const HorizontalResult &result,
                                  const std::vector<std::string> &moreFailures = {});

// The usage errors of mixing the inputs of vertical and horizontal wells, naming the option
// ("--penetration", "--well-length").
std::string verticalOnlyProblemText(std::string_view option);
std::string horizontalOnlyProblemText(std::string_view option);
// "--well: \"x\" is not a well type: use vertical or horizontal".
std::string wellTypeProblemText(std::string_view option, std::string_view text);

} // namespace coning
