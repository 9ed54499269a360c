#pragma once

// The model of a horizontal well: a vertical cross-section across the well, one cell of the
// well's length along it. By symmetry only the side y >= 0 is modelled: half the rate through
// half the connection factor.

#include "reservoir_model.h"

#include "calc/horizontal_well.h"

#include <vector>

namespace coning::sim {

inline constexpr std::size_t defaultCrossSectionColumns = 30;

// The grids of the search: the accurate one (refined by settings.refinement) and a cheap one.
// The layer thickness is that of a zone up to 50 ft thick; a thicker zone's layers are
// thicker by its thickness over 50 ft, rounded up.
GridSize accurateCrossSectionGrid(const SimulationSettings &settings);
GridSize coarseCrossSectionGrid();

// The half width of the well's cell (ft): half a layer times sqrt(kh / kv), a square cell to
// the flow, widened until its Peaceman radius is at least twice the well's effective radius.
double wellCellHalfWidth(const HorizontalWell &well, const GridSize &grid);

// The model of `well` producing `rate` (STB/day, Mscf/day for Gas-Water) under `settings`,
// which checkSimulation accepted; kv/kh is the well's. The well lies at its standoff from the
// contact, at the centre of a layer of its own (kept inside the zone), its column 0.
ReservoirModel buildModel(const HorizontalWell &well,
                          const SimulationSettings &settings,
                          double rate,
                          const GridSize &grid);

// What the cross-section cannot take of the well and the settings (option names as for the
// command line: "standoff", "boundary-distance", ...). Empty when it can be simulated.
std::vector<SettingProblem> checkSimulation(const HorizontalWell &well,
                                            const SimulationSettings &settings);

} // namespace coning::sim
