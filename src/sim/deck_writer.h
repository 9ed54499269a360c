#pragma once

#include "radial_model.h"

#include <string>
#include <vector>

namespace coning::sim {

// The input deck of a model, one function per section so that each can be checked alone.
// Identical models give identical bytes: numbers in shortest round-trip form, no locale, no
// dates or paths. Every keyword carries a comment saying what it assumes, in which unit.
std::string runspecSection(const ReservoirModel &model);
std::string gridSection(const ReservoirModel &model);
std::string editSection(const ReservoirModel &model);
std::string propsSection(const ReservoirModel &model);
std::string solutionSection(const ReservoirModel &model);
std::string summarySection(const ReservoirModel &model);
std::string scheduleSection(const ReservoirModel &model);

// All sections in their order, then END.
std::string writeDeck(const ReservoirModel &model);

// The name of the well in the deck (and in its summary vectors).
inline constexpr const char *wellName = "PROD";

// The rate the deck's well produces: the model's share of the whole well's.
double deckRate(const ReservoirModel &model);

// A number in shortest round-trip form ("0.5", "1e+12").
std::string deckNumber(double value);

// Values as a deck array: runs of equal values as N*value, a few per line, ended by " /".
std::string deckArray(const std::vector<double> &values);

} // namespace coning::sim
