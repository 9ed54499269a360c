#include "well_input.h"

#include "message_text.h"
#include "strict_number.h"

#include <algorithm>

namespace coning {

const std::array<NumericField, numericFieldCount> &numericFields()
{
    static const std::array<NumericField, numericFieldCount> fields = {{
        {"permeability", "MD", "Permeability, md", permin_Change, Requirement::Always},
        {"viscosity", "CP", "Oil or gas viscosity, cp", vin_Change, Requirement::Always},
        {"fvf",
         "B",
         "Formation volume factor, RVB/STB (oil) or RVB/MCF (gas)",
         bin_Change,
         Requirement::Always},
        {"density-difference", "GCC", "Density difference, g/cc", rhoin_Change, Requirement::Always},
        {"drainage-radius", "FT", "Drainage radius, ft", rein_Change, Requirement::Always},
        {"well-radius", "INCHES", "Well radius, inches", rwin_Change, Requirement::Always},
        {"zone-thickness", "FT", "Zone thickness, ft", hin_Change, Requirement::Always},
        {"penetration",
         "FT",
         "Penetration thickness, ft (not used for Gas-Oil with partial-penetration)",
         din_Change,
         Requirement::Penetration},
        {"completion-top",
         "FT",
         "Distance to top of completion, ft (for Gas-Oil or partial-completion)",
         topin_Change,
         Requirement::CompletionTop},
        {"bottom-hole-pressure",
         "PSIA",
         "Bottom-hole pressure, psia (optional)",
         bhpin_Change,
         Requirement::Optional},
    }};
    return fields;
}

std::string_view completionText(Completion completion)
{
    return completion == Completion::PartialCompletion ? "partial-completion"
                                                       : "partial-penetration";
}

namespace {

constexpr std::array<std::string_view, 3> fluidSystems = {"Oil-Water", "Gas-Water", "Gas-Oil"};

// The condition under which a conditional value is required, as it reads after "required".
std::optional<std::string> requiredCondition(Requirement requirement,
                                             std::string_view fluidSystem,
                                             Completion completion)
{
    const bool gasOil = fluidSystem == "Gas-Oil";
    const bool partialCompletion = completion == Completion::PartialCompletion;
    switch (requirement) {
    case Requirement::Always:
        return std::string();
    case Requirement::Penetration:
        if (gasOil && !partialCompletion)
            return std::nullopt;
        return " for " + std::string(fluidSystem) + " with "
               + std::string(completionText(completion));
    case Requirement::CompletionTop:
        if (gasOil)
            return std::string(" for Gas-Oil");
        if (partialCompletion)
            return std::string(" for partial-completion");
        return std::nullopt;
    case Requirement::Optional:
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

std::optional<InputProblem> checkFluidSystem(std::optional<std::string_view> text,
                                             std::string_view &system)
{
    if (!text)
        return InputProblem{InputProblem::Kind::Missing, fluidSystemName, {}};
    const auto found = std::find(fluidSystems.begin(), fluidSystems.end(), *text);
    if (found == fluidSystems.end())
        return InputProblem{InputProblem::Kind::Invalid,
                            fluidSystemName,
                            quotedForMessage(*text)
                                + " is not a fluid system: use Oil-Water, Gas-Water or Gas-Oil"};
    system = *found;
    return std::nullopt;
}

std::vector<InputProblem> checkWell(const WellInput &input, Well &well)
{
    std::vector<InputProblem> problems;
    well = Well();

    std::optional<InputProblem> systemProblem = checkFluidSystem(input.fluidSystem,
                                                                 well.fluidSystem);
    const bool systemKnown = !systemProblem;
    if (systemProblem)
        problems.push_back(std::move(*systemProblem));

    bool completionKnown = true;
    if (input.completion) {
        if (*input.completion == "partial-completion") {
            well.completion = Completion::PartialCompletion;
        } else if (*input.completion != "partial-penetration") {
            completionKnown = false;
            problems.push_back({InputProblem::Kind::Invalid,
                                completionName,
                                quotedForMessage(*input.completion)
                                    + " is not a completion type: use partial-penetration or "
                                      "partial-completion"});
        }
    }

    const auto &fields = numericFields();
    for (std::size_t i = 0; i < numericFieldCount; ++i) {
        const NumericField &field = fields[i];
        const std::optional<std::string_view> &value = input.values[i];
        if (!value) {
            // A conditional value can only be asked for once the choices are known.
            if (field.requirement == Requirement::Always || (systemKnown && completionKnown)) {
                if (auto condition = requiredCondition(field.requirement,
                                                       well.fluidSystem,
                                                       well.completion)) {
                    problems.push_back(
                        {InputProblem::Kind::Missing, field.name, std::move(*condition)});
                }
            }
            continue;
        }
        double typed = 0.0;
        if (auto problem = readStrictNumber(*value, typed)) {
            problems.push_back({InputProblem::Kind::Invalid, field.name, std::move(*problem)});
        } else {
            field.store(well.parameters, *value);
            well.typed[i] = typed;
        }
    }
    return problems;
}

void setTypedValue(Well &well, std::size_t field, double value)
{
    // The same conversions as the field handlers, in numericFields() order.
    ParameterSet &m = well.parameters;
    double *const stored[numericFieldCount] = {
        &m.permeability,
        &m.viscosity,
        &m.formationVolumeFactor,
        &m.densityDifference,
        &m.drainageRadius,
        &m.wellRadius,
        &m.zoneThicknessInput,
        &m.penetrationInput,
        &m.completionTop,
        &m.bottomHolePressure,
    };
    well.typed.at(field) = value;
    *stored[field] = &m.wellRadius == stored[field] ? value / 12.0 : value;
}

RunResult calculateWell(Well &well, RunPresentation &presentation, Sweep sweep)
{
    const FixedChoices choices(std::string(well.fluidSystem),
                               well.completion == Completion::PartialPenetration,
                               well.completion == Completion::PartialCompletion);
    return runCalculation(well.parameters, choices, presentation, sweep);
}

RunResult calculateWell(Well &well, Sweep sweep)
{
    RunPresentation none;
    return calculateWell(well, none, sweep);
}

} // namespace coning
