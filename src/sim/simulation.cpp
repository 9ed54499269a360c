#include "simulation.h"

#include "calc/message_text.h"

#include "model_run.h"

#include <cmath>
#include <exception>

namespace coning::sim {

std::vector<double> correlationRates(const RunResult &result)
{
    std::vector<double> rates;
    if (result.failed())
        return rates;
    for (const CorrelationOutcome &outcome : result.outcomes) {
        if (outcome.shown() && outcome.rate > 0.0 && std::isfinite(outcome.rate))
            rates.push_back(outcome.rate);
    }
    return rates;
}

RateSimulation simulateModel(const ReservoirModel &model,
                             const SimulationSettings &settings,
                             const SimulationControl &control)
{
    RateSimulation result;
    const std::optional<std::filesystem::path> flow = findFlow(result.message);
    if (!flow) {
        result.message = escapedForMessage(result.message);
        result.status = Status::NoEngine;
        return result;
    }
    result.engine = flowVersion(*flow, probeOptions(settings, control)).line;
    Attempt attempt = runModel(
        model, *flow, settings, control, std::nullopt, control.keepDeck.has_value());
    result.status = attempt.status;
    result.message = attempt.message;
    if (attempt.run)
        result.run = std::move(*attempt.run);
    if (control.keepDeck && !attempt.deck.empty()) {
        if (auto problem = keepFiles(*control.keepDeck, attempt)) {
            result.status = Status::Failed;
            result.message = *problem;
        }
    }
    return result;
}

ModelSource modelSource(const Well &well, const SimulationSettings &settings)
{
    ModelSource source;
    source.system = fluidSystemOf(well);
    source.problems = checkSimulation(well, settings);
    source.build = [well, settings](double rate, const GridSize &grid) {
        return buildModel(well, settings, rate, grid);
    };
    source.accurate = accurateGrid(settings);
    source.coarse = coarseGrid();
    return source;
}

ModelSource modelSource(const HorizontalWell &well, const SimulationSettings &settings)
{
    ModelSource source;
    source.system = fluidSystemOf(well.fluidSystem);
    source.problems = checkSimulation(well, settings);
    source.build = [well, settings](double rate, const GridSize &grid) {
        return buildModel(well, settings, rate, grid);
    };
    source.accurate = accurateCrossSectionGrid(settings);
    source.coarse = coarseCrossSectionGrid();
    return source;
}

RateSimulation simulateRate(const Well &well,
                            const SimulationSettings &settings,
                            double rate,
                            const SimulationControl &control)
{
    return simulateRate(modelSource(well, settings), settings, rate, control);
}

RateSimulation simulateRate(const ModelSource &source,
                            const SimulationSettings &settings,
                            double rate,
                            const SimulationControl &control)
{
    RateSimulation result;
    std::filesystem::path flow;
    result.status = prepare(source.problems, settings, control, flow, result.engine, result.message);
    if (result.status != Status::Done)
        return result;
    if (!(rate > 0.0 && std::isfinite(rate))) {
        result.status = Status::Failed;
        result.message = "the rate to simulate must be positive";
        return result;
    }
    try {
        return simulateModel(source.build(rate, source.accurate), settings, control);
    } catch (const std::exception &error) { // an arithmetic fault of the geometry
        result.status = Status::Failed;
        result.message = std::string("the model cannot be built: ") + error.what();
        return result;
    }
}

} // namespace coning::sim
