#include "horizontal_well.h"

#include "horizontal_correlations.h"
#include "horizontal_plausibility.h"
#include "model/arithmetic_error.h"
#include "strict_number.h"

#include <algorithm>

namespace coning {

std::string_view horizontalCorrelationName(HorizontalCorrelation c)
{
    switch (c) {
    case HorizontalCorrelation::Chaperon:
        return "Chaperon";
    case HorizontalCorrelation::Efros:
        return "Efros";
    case HorizontalCorrelation::Joshi:
        return "Joshi";
    case HorizontalCorrelation::GigerKarcher:
        return "Giger-Karcher";
    }
    return "";
}

const std::array<HorizontalField, horizontalFieldCount> &horizontalFields()
{
    using W = HorizontalWell;
    static const std::array<HorizontalField, horizontalFieldCount> fields = {{
        {"permeability", "MD", "Permeability, md (horizontal)", &W::permeability, true},
        {"kv-kh", "RATIO", "Vertical / horizontal permeability (horizontal wells)", &W::kvKh, false},
        {"viscosity", "CP", "Oil or gas viscosity, cp", &W::viscosity, true},
        {"fvf", "B", "Formation volume factor, RVB/STB (oil) or RVB/MCF (gas)", &W::fvf, true},
        {"density-difference", "GCC", "Density difference, g/cc", &W::densityDifference, true},
        {"zone-thickness", "FT", "Zone thickness, ft", &W::zoneThickness, true},
        {"well-length", "FT", "Length of the horizontal well, ft", &W::wellLength, false},
        {"standoff",
         "FT",
         "Distance from the well to the contact with the coning phase, ft: above the oil-water "
         "contact, below the gas-oil contact (horizontal wells)",
         &W::standoff,
         false},
        {"boundary-distance",
         "FT",
         "Distance from the well to the constant-pressure boundary on each side, ft: half the "
         "spacing of parallel wells (horizontal wells)",
         &W::boundaryDistance,
         false},
        {"well-radius", "INCHES", "Well radius, inches", &W::wellRadius, true},
    }};
    return fields;
}

bool verticalOnlyField(std::string_view name)
{
    const auto &fields = horizontalFields();
    return std::none_of(fields.begin(), fields.end(), [&](const HorizontalField &f) {
        return f.name == name;
    });
}

std::vector<InputProblem> checkHorizontalWell(const HorizontalWellInput &input, HorizontalWell &well)
{
    std::vector<InputProblem> problems;
    well = HorizontalWell();
    if (std::optional<InputProblem> problem = checkFluidSystem(input.fluidSystem, well.fluidSystem))
        problems.push_back(std::move(*problem));
    const auto &fields = horizontalFields();
    for (std::size_t i = 0; i < horizontalFieldCount; ++i) {
        const std::optional<std::string_view> &value = input.values[i];
        if (!value) {
            problems.push_back(
                {InputProblem::Kind::Missing, fields[i].name, " for horizontal wells"});
            continue;
        }
        double typed = 0.0;
        if (auto problem = readStrictNumber(*value, typed))
            problems.push_back({InputProblem::Kind::Invalid, fields[i].name, std::move(*problem)});
        else
            well.*fields[i].value = typed;
    }
    return problems;
}

bool HorizontalResult::anyFailure() const
{
    return std::any_of(outcomes.begin(), outcomes.end(), [](const CorrelationOutcome &o) {
        return o.failed();
    });
}

namespace {

// The inputs each correlation divides by, takes a root of or a logarithm of.
std::string_view inputsOf(HorizontalCorrelation c)
{
    switch (c) {
    case HorizontalCorrelation::Chaperon:
        return "the viscosity, formation volume factor, zone thickness, boundary distance and "
               "kv/kh";
    case HorizontalCorrelation::Efros:
        return "the viscosity, formation volume factor, zone thickness and boundary distance";
    case HorizontalCorrelation::Joshi:
        return "the viscosity, formation volume factor, zone thickness, well length, boundary "
               "distance, well radius and kv/kh";
    case HorizontalCorrelation::GigerKarcher:
        return "the viscosity, formation volume factor and boundary distance";
    }
    return "the inputs";
}

std::string failureText(HorizontalCorrelation c, Fault fault)
{
    switch (fault) {
    case Fault::DivisionByZero:
        return "division by zero: check " + std::string(inputsOf(c)) + " for zero values";
    case Fault::InvalidArgument:
        return "square root or logarithm of a negative number: check " + std::string(inputsOf(c))
               + " for negative values";
    case Fault::Overflow:
        break;
    }
    return "overflow: a value is beyond the double range; check " + std::string(inputsOf(c))
           + " for extreme values";
}

double evaluate(HorizontalCorrelation c, const HorizontalWell &w)
{
    switch (c) {
    case HorizontalCorrelation::Chaperon:
        return chaperon(w);
    case HorizontalCorrelation::Efros:
        return efros(w);
    case HorizontalCorrelation::Joshi:
        return joshi(w);
    case HorizontalCorrelation::GigerKarcher:
        return gigerKarcher(w);
    }
    return 0.0;
}

} // namespace

HorizontalResult calculateHorizontalWell(const HorizontalWell &well)
{
    HorizontalResult result;
    if (well.fluidSystem == "Oil-Water")
        result.fluidSystem = 1;
    else if (well.fluidSystem == "Gas-Water")
        result.fluidSystem = 2;
    else if (well.fluidSystem == "Gas-Oil")
        result.fluidSystem = 3;
    for (HorizontalCorrelation c : horizontalOrder) {
        CorrelationOutcome &outcome = result.outcomes[static_cast<std::size_t>(c)];
        outcome.evaluated = true;
        try {
            outcome.rate = evaluate(c, well);
        } catch (const ArithmeticError &e) {
            outcome.failure = failureText(c, e.fault());
        }
    }
    result.warnings = horizontalWarnings(well, result);
    return result;
}

} // namespace coning
