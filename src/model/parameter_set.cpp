#include "parameter_set.h"

#include "parse_leading_number.h"

namespace coning {

void permin_Change(ParameterSet &m, std::string_view text)
{
    m.permeability = ParseLeadingNumber(text);
}

void vin_Change(ParameterSet &m, std::string_view text)
{
    m.viscosity = ParseLeadingNumber(text);
}

void bin_Change(ParameterSet &m, std::string_view text)
{
    m.formationVolumeFactor = ParseLeadingNumber(text);
}

void rhoin_Change(ParameterSet &m, std::string_view text)
{
    m.densityDifference = ParseLeadingNumber(text);
}

void rein_Change(ParameterSet &m, std::string_view text)
{
    m.drainageRadius = ParseLeadingNumber(text);
}

void rwin_Change(ParameterSet &m, std::string_view text)
{
    m.wellRadius = ParseLeadingNumber(text) / 12.0;
}

void bhpin_Change(ParameterSet &m, std::string_view text)
{
    m.bottomHolePressure = ParseLeadingNumber(text);
}

void topin_Change(ParameterSet &m, std::string_view text)
{
    m.completionTop = ParseLeadingNumber(text);
}

void hin_Change(ParameterSet &m, std::string_view text)
{
    m.zoneThicknessInput = ParseLeadingNumber(text);
}

void din_Change(ParameterSet &m, std::string_view text)
{
    m.penetrationInput = ParseLeadingNumber(text);
}

} // namespace coning
