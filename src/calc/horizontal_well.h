#pragma once

#include "run_result.h"
#include "well_input.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning {

// The four critical-rate correlations of a horizontal well, in the order they are reported.
enum class HorizontalCorrelation { Chaperon, Efros, Joshi, GigerKarcher };

inline constexpr int horizontalCorrelationCount = 4;

inline constexpr std::array<HorizontalCorrelation, horizontalCorrelationCount> horizontalOrder = {
    HorizontalCorrelation::Chaperon,
    HorizontalCorrelation::Efros,
    HorizontalCorrelation::Joshi,
    HorizontalCorrelation::GigerKarcher,
};

// "Chaperon", "Efros", "Joshi", "Giger-Karcher": the report's and the outputs' names.
std::string_view horizontalCorrelationName(HorizontalCorrelation c);

// What kind of well a front end calculates; "--well vertical|horizontal".
inline constexpr std::string_view wellTypeName = "well";
inline constexpr std::string_view verticalWellText = "vertical";
inline constexpr std::string_view horizontalWellText = "horizontal";

// A horizontal well as typed: a well of length L parallel to the contact with the coning phase,
// at a standoff z_w from it, in a zone of thickness h, with a constant-pressure boundary at y_e
// on each side (half the spacing of parallel wells). The same inputs describe the well to a
// cross-section simulation.
struct HorizontalWell
{
    std::string_view fluidSystem;   // "Oil-Water", "Gas-Water" or "Gas-Oil"
    double permeability = 0.0;      // k_h, md
    double kvKh = 0.0;              // k_v / k_h
    double viscosity = 0.0;         // cp
    double fvf = 0.0;               // RVB/STB, or RVB/MCF for Gas-Water
    double densityDifference = 0.0; // g/cc
    double zoneThickness = 0.0;     // h, ft
    double wellLength = 0.0;        // L, ft
    double standoff = 0.0;          // z_w, ft: above the oil-water contact, below the gas-oil one
    double boundaryDistance = 0.0;  // y_e, ft
    double wellRadius = 0.0;        // r_w, inches as typed
};

// One numeric input of a horizontal well: its option name (also its batch column), what it
// holds, and whether a vertical well has the same input.
struct HorizontalField
{
    std::string_view name;
    std::string_view valueName;
    std::string_view description;
    double HorizontalWell::*value;
    bool sharedWithVertical;
};

inline constexpr std::size_t horizontalFieldCount = 10;
const std::array<HorizontalField, horizontalFieldCount> &horizontalFields();

// The inputs of a vertical well that a horizontal one does not have, by option name.
bool verticalOnlyField(std::string_view name);

// A horizontal well as the user gave it; absent values are nullopt.
struct HorizontalWellInput
{
    std::optional<std::string_view> fluidSystem;
    std::array<std::optional<std::string_view>, horizontalFieldCount> values;
};

// Checks every value strictly, as for a vertical well, and fills `well`; every value is required.
std::vector<InputProblem> checkHorizontalWell(const HorizontalWellInput &input,
                                              HorizontalWell &well);

struct HorizontalResult
{
    std::int16_t fluidSystem = 0; // 1 Oil-Water, 2 Gas-Water, 3 Gas-Oil, as for vertical wells
    std::array<CorrelationOutcome, horizontalCorrelationCount> outcomes;
    std::vector<std::string> warnings; // implausible inputs and negative rates

    const CorrelationOutcome &outcome(HorizontalCorrelation c) const
    {
        return outcomes[static_cast<std::size_t>(c)];
    }
    bool anyFailure() const;
};

// The four correlations at the well; an arithmetic failure of one is reported in its outcome.
HorizontalResult calculateHorizontalWell(const HorizontalWell &well);

} // namespace coning
