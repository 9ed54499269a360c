#pragma once

#include "radial_model.h"

#include <string>
#include <vector>

namespace coning::sim {

// The input deck of a model, one function per section so that each can be checked alone.
// Identical models give identical bytes: numbers in shortest round-trip form, no locale, no
// dates or paths. Every keyword carries a comment saying what it assumes, in which unit.
std::string runspecSection(const RadialModel &model);
std::string gridSection(const RadialModel &model);
std::string editSection(const RadialModel &model);
std::string propsSection(const RadialModel &model);
std::string solutionSection(const RadialModel &model);
std::string summarySection(const RadialModel &model);
std::string scheduleSection(const RadialModel &model);

// All sections in their order, then END.
std::string writeDeck(const RadialModel &model);

// The name of the well in the deck (and in its summary vectors).
inline constexpr const char *wellName = "PROD";

// A number in shortest round-trip form ("0.5", "1e+12").
std::string deckNumber(double value);

// Values as a deck array: runs of equal values as N*value, a few per line, ended by " /".
std::string deckArray(const std::vector<double> &values);

} // namespace coning::sim
