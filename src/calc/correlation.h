#pragma once

#include <array>
#include <string_view>

namespace coning {

// The six correlations, numbered in the order the calculation run calls them.
enum class Correlation { Sobocinski = 1, Muskat, MeyerGarder, Chaney, Schols, GuoLee };

inline constexpr int correlationCount = 6;

inline constexpr std::array<Correlation, correlationCount> callOrder = {
    Correlation::Sobocinski,
    Correlation::Muskat,
    Correlation::MeyerGarder,
    Correlation::Chaney,
    Correlation::Schols,
    Correlation::GuoLee,
};

constexpr int indexOf(Correlation c)
{
    return static_cast<int>(c) - 1;
}

// Short name used in messages and machine-readable output ("Chaney-Noble", "Meyer-Garder", ...).
std::string_view correlationName(Correlation c);

} // namespace coning
