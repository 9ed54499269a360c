#pragma once

#include <cstdint>
#include <string_view>

namespace coning {

// The one shared record of reservoir and well data. Ten values mirror the input fields and are
// overwritten on every change of the field's text; the four working values are written only by a
// calculation run. Everything starts at 0 and nothing ever clears it.
struct ParameterSet
{
    // Input values.
    double permeability = 0.0;          // md
    double viscosity = 0.0;             // cp
    double formationVolumeFactor = 0.0; // RVB/STB (oil) or RVB/MCF (gas)
    double densityDifference = 0.0;     // g/cc
    double drainageRadius = 0.0;        // ft
    double wellRadius = 0.0;            // ft (typed in inches)
    double bottomHolePressure = 0.0;    // psia
    double completionTop = 0.0;         // ft
    double zoneThicknessInput = 0.0;    // ft
    double penetrationInput = 0.0;      // ft

    // Working values of the last calculation run.
    double zoneThickness = 0.0;   // ft
    double penetration = 0.0;     // ft
    double logRadiusRatio = 0.0;  // log10(drainageRadius / wellRadius)
    std::int16_t fluidSystem = 0; // 1 Oil-Water, 2 Gas-Water, 3 Gas-Oil, 0 before any match
};

// Field handlers: each converts the field's whole text and overwrites its value, nothing more.
void permin_Change(ParameterSet &m, std::string_view text);
void vin_Change(ParameterSet &m, std::string_view text);
void bin_Change(ParameterSet &m, std::string_view text);
void rhoin_Change(ParameterSet &m, std::string_view text);
void rein_Change(ParameterSet &m, std::string_view text);
void rwin_Change(ParameterSet &m, std::string_view text); // inches in the field, feet stored
void bhpin_Change(ParameterSet &m, std::string_view text);
void topin_Change(ParameterSet &m, std::string_view text);
void hin_Change(ParameterSet &m, std::string_view text);
void din_Change(ParameterSet &m, std::string_view text);

} // namespace coning
