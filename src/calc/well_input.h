#pragma once

#include "calculation_run.h"
#include "message_text.h"
#include "model/parameter_set.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning {

// When a numeric value must be given.
enum class Requirement {
    Always,
    Penetration,   // except for Gas-Oil with partial-penetration, where the run ignores it
    CompletionTop, // for Gas-Oil, and for partial-completion
    Optional,
};

// One numeric input: its option name (also its batch column), the window field handler that
// converts and stores it, and when it is required.
struct NumericField
{
    std::string_view name;
    std::string_view valueName;
    std::string_view description;
    void (*store)(ParameterSet &, std::string_view);
    Requirement requirement;
};

inline constexpr std::size_t numericFieldCount = 10;
const std::array<NumericField, numericFieldCount> &numericFields();

inline constexpr std::string_view fluidSystemName = "fluid-system";
inline constexpr std::string_view completionName = "completion";

enum class Completion { PartialPenetration, PartialCompletion };
std::string_view completionText(Completion completion);

// A well as the user gave it, before any checking. The views point into the command line or
// the current batch row; an absent value is nullopt.
struct WellInput
{
    std::optional<std::string_view> fluidSystem;
    std::optional<std::string_view> completion; // partial-penetration when absent
    std::array<std::optional<std::string_view>, numericFieldCount> values;
};

struct InputProblem
{
    enum class Kind { Missing, Invalid };
    Kind kind = Kind::Invalid;
    std::string_view field; // option name without dashes, or batch column
    std::string text;       // for Missing: the condition (" for Gas-Oil"), else what is wrong
};

// A checked well: the parameter set filled through the window's field handlers, so every value
// is converted exactly as typing it into the window would.
struct Well
{
    std::string_view fluidSystem; // one of the three names
    Completion completion = Completion::PartialPenetration;
    ParameterSet parameters;
    // The numbers as typed, in numericFields() order (the well radius in inches); 0 where absent.
    // Kept beside the parameter set so that a value can be varied before its conversion.
    std::array<double, numericFieldCount> typed{};
};

// Sets one numeric value of `well` as if `value` had been typed into its field: the typed number
// and the parameter-set value it converts to (the well radius divided by 12). `field` indexes
// numericFields().
void setTypedValue(Well &well, std::size_t field, double value);

// Checks the fluid system's name; on success `system` views one of the three names.
std::optional<InputProblem> checkFluidSystem(std::optional<std::string_view> text,
                                             std::string_view &system);

// Checks every value strictly and fills `well`; returns the problems found, none when the well
// can be calculated.
std::vector<InputProblem> checkWell(const WellInput &input, Well &well);

// The calculation run of the window's calculate button, with the well's fixed choices.
RunResult calculateWell(Well &well, RunPresentation &presentation, Sweep sweep);
RunResult calculateWell(Well &well, Sweep sweep);

} // namespace coning
