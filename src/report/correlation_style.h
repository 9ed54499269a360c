#pragma once

#include "calc/correlation.h"
#include "drawing_surface.h"

#include <array>
#include <string_view>

namespace coning {

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb red{255, 0, 0};

// How a correlation appears in the report, the bar chart and the chart: its label and its colour.
struct CorrelationStyle
{
    Correlation correlation;
    std::string_view label;
    Rgb colour;
};

// Report lines, bars and chart series all follow this order; Meyer-Garder comes last although
// the run evaluates it third.
inline constexpr std::array<CorrelationStyle, correlationCount> reportOrder = {{
    {Correlation::Sobocinski, "Sobocinski = ", {0, 0, 255}},
    {Correlation::Muskat, "Muskat = ", {255, 0, 0}},
    {Correlation::Chaney, "Chaney-Noble = ", {0, 255, 0}},
    {Correlation::Schols, "Schols = ", {62, 0, 136}},
    {Correlation::GuoLee, "Guo-Lee = ", {230, 130, 92}},
    {Correlation::MeyerGarder, "Meyer-Garder  = ", {174, 174, 124}},
}};

} // namespace coning
