"""Critical coning rate of a vertical well by six published correlations.

The calculation core of the ``coning-rate`` window and the ``coning-calc`` headless calculator,
bit for bit, for notebooks and scripts:

- :func:`calculate` -- one well, as a dict with the keys of ``coning-calc --format json``;
- :func:`calculate_many` -- NumPy arrays of wells at the design point, calculated in C++;
- :func:`calculate_frame` -- a pandas DataFrame with the columns of a ``coning-calc --batch`` file;
- :func:`target_penetration` -- how far a well may penetrate for a target rate (``--target-rate``);
- :func:`sensitivity` -- the rates with each input lowered and raised (``--sensitivity``);
- :func:`plot_sweep` -- a well's rate against percent penetration with matplotlib;
- :func:`simulate` -- the well in the reservoir simulator flow (``--simulate-rate``,
  ``--simulate-critical``, ``--simulate-rates``);
- :func:`plot_simulation` -- a simulation's cut against time, or its critical rate;
- :func:`plot_rate_study` -- a rate study's produced oil and water against the rate;
- :func:`simulate_frame` -- the wells of a DataFrame in flow, here or on a Dask cluster, as
  ``coning-calc --batch`` simulates them.

Units are those of the window's fields: permeability in md, viscosity in cp, formation volume
factor in RVB/STB (oil) or RVB/MCF (gas), density difference in g/cc, drainage radius, zone
thickness, penetration and distance to top of completion in ft, well radius in inches, bottom-hole
pressure in psia. Rates are in STB/day for Oil-Water and Gas-Oil, MCF/day for Gas-Water.

Input that ``coning-calc`` refuses with a usage error (exit status 2) raises :class:`UsageError`,
a ValueError, with the command line's message; an argument of the wrong type raises TypeError.
A simulation that fails where the command line exits with status 1 raises
:class:`SimulationError`, a RuntimeError; without the simulator, :func:`simulate` raises its
subclass :class:`SimulatorNotFoundError`.
"""

from ._core import SimulationError, SimulatorNotFoundError, UsageError, __version__
from ._wells import (
    CORRELATIONS,
    FLUID_SYSTEMS,
    COMPLETIONS,
    calculate,
    calculate_many,
)
from ._design import sensitivity, target_penetration
from ._frame import calculate_frame
from ._plot import plot_sweep
from ._simulation import plot_rate_study, plot_simulation, simulate
from ._field import simulate_frame

for _error in (UsageError, SimulationError, SimulatorNotFoundError):
    _error.__module__ = __name__  # raised as coning.UsageError, ...
del _error

__all__ = [
    "__version__",
    "UsageError",
    "SimulationError",
    "SimulatorNotFoundError",
    "CORRELATIONS",
    "FLUID_SYSTEMS",
    "COMPLETIONS",
    "calculate",
    "calculate_many",
    "calculate_frame",
    "target_penetration",
    "sensitivity",
    "plot_sweep",
    "simulate",
    "plot_rate_study",
    "plot_simulation",
    "simulate_frame",
]
