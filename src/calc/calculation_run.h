#pragma once

#include "model/parameter_set.h"
#include "run_result.h"

#include <string>

namespace coning {

// The three readings a run takes from the window: the text the fluid-system choice shows and the
// states of the two completion-type buttons. The window implements it; tests and the headless
// calculator supply fixed readings.
class RunChoices
{
public:
    virtual ~RunChoices() = default;
    virtual std::string fluidSystemText() const = 0;
    virtual bool partialPenetrationSelected() const = 0; // "Partial Penetration"
    virtual bool partialCompletionSelected() const = 0;  // "Partial Completion"
};

struct FixedChoices final : RunChoices
{
    std::string fluidSystem;
    bool partialPenetration = true;
    bool partialCompletion = false;

    FixedChoices(std::string system, bool penetration, bool completion)
        : fluidSystem(std::move(system))
        , partialPenetration(penetration)
        , partialCompletion(completion)
    {}

    std::string fluidSystemText() const override { return fluidSystem; }
    bool partialPenetrationSelected() const override { return partialPenetration; }
    bool partialCompletionSelected() const override { return partialCompletion; }
};

// The presentation steps of a run, in the order the run takes them. The results report fills
// them in; the default does nothing, for callers that only want the numbers.
class RunPresentation
{
public:
    virtual ~RunPresentation() = default;
    virtual void clearReportSurfaces() {}                        // first step: show and clear
    virtual void showRunFailure(const RunResult & /*result*/) {} // the run stopped early
    virtual void writeReport(const RunResult & /*result*/) {}    // text report and bar chart
    virtual void showChart() {}                                  // before the sweep
    virtual void drawChart(const RunResult & /*result*/) {}      // after the sweep
};

enum class Sweep { AsSelected, Skip };

// One calculation run: working geometry, percent penetration, radius ratio, the six correlations
// at the design point, the partial-completion rescaling, the report, and for a partially
// penetrating well the 5..95 percent sweep and its chart. Writes the working values of `m`.
// Sweep::Skip leaves out the sweep (and its chart) when only the design point is wanted.
RunResult runCalculation(ParameterSet &m,
                         const RunChoices &choices,
                         RunPresentation &presentation,
                         Sweep sweep = Sweep::AsSelected);

RunResult runCalculation(ParameterSet &m,
                         const RunChoices &choices,
                         Sweep sweep = Sweep::AsSelected);

} // namespace coning
