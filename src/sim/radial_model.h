#pragma once

#include "reservoir_model.h"

namespace coning::sim {

// Older name of the model, from when it only had rings.
using RadialModel = ReservoirModel;

// The accurate grid: the default refined by settings.refinement in both directions.
GridSize accurateGrid(const SimulationSettings &settings);
// A cheap grid, to place the accurate runs of the critical-rate search (never its answer).
GridSize coarseGrid();

// The model of `well` producing `rate` (the report's unit) under `settings`, which
// checkSimulation accepted. For a partial completion the completed interval is the typed one
// (completion top down to the penetration), not the calculation run's equivalent well.
ReservoirModel buildModel(const Well &well,
                          const SimulationSettings &settings,
                          double rate,
                          const GridSize &grid);

} // namespace coning::sim
