#pragma once

#include "radial_model.h"
#include "summary_reader.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace coning::sim {

// How the well kept its target rate.
enum class RateVerdict {
    Held,
    // Physics: the well at its bottom-hole pressure limit below the rate, or shut for good.
    NotHeld,
    // The simulator reports the well off its rate with the pressure far from the limit, or shut
    // and reopened: its solution is not converged there, and the run cannot be trusted.
    Unsound,
};

struct RateCheck
{
    RateVerdict verdict = RateVerdict::Held;
    std::string problem; // when and how, for anything but Held
    double days = 0.0;   // the summary time it happened at, for anything but Held
};

// What one run at a constant rate gave, at every summary time.
struct RateRun
{
    double rate = 0.0; // the target, in the report's unit
    RateCheck rateCheck;

    std::vector<double> days;
    std::vector<double> cut;                // fraction, see cutOf
    std::vector<double> producedRate;       // STB/day, or Mscf/day for Gas-Water
    std::vector<double> conedRate;          // water STB/day, or gas Mscf/day for Gas-Oil
    std::vector<double> bottomHolePressure; // psia
    std::vector<double> producedTotal;      // cumulative STB, or Mscf for Gas-Water
    std::vector<double> conedTotal;         // cumulative water STB, or gas Mscf for Gas-Oil
    double cumulativeProduced = 0.0;        // STB or Mscf at the end
    double cumulativeConed = 0.0;

    std::optional<double> breakthroughDays; // first time the cut exceeds the threshold
    // The cut at 1, 5 and 10 years (nothing beyond the run's end) and at the end.
    std::array<std::optional<double>, 3> cutAtYears;
    double finalCut = 0.0;
};

inline constexpr std::array<double, 3> cutReportYears = {1.0, 5.0, 10.0};

// The cut: water / (oil + water) at the surface for Oil-Water; the coning phase's share of the
// produced reservoir volume for Gas-Oil and Gas-Water (surface rates times the model's
// formation volume factors, which the slight compressibility changes by a fraction of a percent).
double cutOf(const ReservoirModel &model, const Summary &summary, std::size_t step);

// The first summary point whose cut exceeds `threshold`.
std::optional<std::size_t> firstCutAbove(const std::vector<double> &cut, double threshold);

// The first time the cut exceeds `threshold`, linear between the summary times around it.
std::optional<double> breakthroughTime(const std::vector<double> &days,
                                       const std::vector<double> &cut,
                                       double threshold);

// How the well kept its rate at the run's summary points before `end`.
RateCheck checkRate(const ReservoirModel &model, const RateRun &run, std::size_t end);

// Reads a run's summary for the model. The rate is checked over the whole run, or with
// `checkUntilCut` only up to the first point whose cut exceeds it (all that a run stopped there
// shows, so that the verdict is the same however soon it was stopped). Returns nothing, and
// says why in `problem`, when the summary lacks what the model needs.
std::optional<RateRun> analyseRun(const ReservoirModel &model,
                                  const Summary &summary,
                                  double threshold,
                                  std::optional<double> checkUntilCut,
                                  std::string &problem);

} // namespace coning::sim
