#pragma once

// The rate study: the well produced at several constant rates, each until its cut reaches the
// economic cut (the cut at which it stops paying) or to the horizon, to find the rate that
// recovers the most before the well stops paying, and what that costs in water (gas for
// Gas-Oil).

#include "simulation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace coning::sim {

inline constexpr std::string_view simulateRatesName = "simulate-rates";
inline constexpr std::string_view economicCutName = "economic-cut";

inline constexpr std::size_t automaticRateCount = 8;
inline constexpr std::size_t maximumStudyRates = 64;

// What to study: the rates given, or (automatic) rates chosen from the well.
struct RateStudyRequest
{
    std::vector<double> rates; // increasing, each once
    bool automatic = false;
    double economicCut = 0.95;
};

// Reads "auto" or "Q1,Q2,..." (positive numbers, each once, at most maximumStudyRates) into
// the request, sorted; returns what is wrong, or nothing.
std::optional<std::string> readStudyRates(std::string_view text, RateStudyRequest &request);

// Reads the economic cut, a fraction above the breakthrough cut and below 1; returns what is
// wrong, or nothing.
std::optional<std::string> readEconomicCut(std::string_view text, double &cut);
std::optional<std::string> checkEconomicCut(double economicCut, double breakthroughCut);

// One rate of the study. The volumes are those produced by `untilDays`: the last summary time
// at which the cut was still at or below the economic cut, or the horizon; never past the
// economic time, so that no oil produced at a cut above the economic one is counted.
struct StudyRow
{
    double rate = 0.0;
    bool held = true;
    std::optional<double> fellOffDays; // when the well could no longer hold the rate
    std::string fellOff;               // how, for a rate not held
    std::optional<double> breakthroughDays;
    std::optional<double> economicDays; // first time the cut exceeds the economic cut
    double untilDays = 0.0;
    double produced = 0.0; // STB of oil, or Mscf of gas for Gas-Water
    double coned = 0.0;    // STB of water, or Mscf of gas for Gas-Oil
    double recovery = 0.0; // produced / initially in place within the drainage radius
};

struct RateStudy
{
    Status status = Status::Failed; // RateNotHeld never: a rate not held is a row
    std::string message;
    std::string engine;
    double economicCut = 0.95;
    double inPlace = 0.0;       // STB, or Mscf for Gas-Water, within the drainage radius
    std::vector<StudyRow> rows; // increasing rate; all of them, or none
    int runs = 0;
};

// The oil (gas for Gas-Water) initially in place in the model's zone within the drainage
// radius: its cells' pore volume, less the connate water, over the formation volume factor.
double initiallyInPlace(const RadialModel &model);

// The study's row of one run.
StudyRow studyRow(const RateRun &run, double economicCut, double inPlace);

// About eight rates, log-spaced from half the lowest of `expected` (the correlations' rates)
// up to the well's steady-state deliverability at its minimum bottom-hole pressure (radial
// inflow of the completed interval from the drainage radius), rounded to three digits. The top
// ones may come out not held: the estimate ignores partial penetration and depletion.
std::vector<double> automaticRates(const Well &well,
                                   const SimulationSettings &settings,
                                   const std::vector<double> &expected);

// Runs every rate (the request's, or automaticRates from `expected`) at once over the control's
// jobs, each stopping at the economic cut.
RateStudy studyRates(const Well &well,
                     const SimulationSettings &settings,
                     const RateStudyRequest &request,
                     const std::vector<double> &expected,
                     const SimulationControl &control = {});

} // namespace coning::sim
