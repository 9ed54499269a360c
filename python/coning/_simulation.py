"""Simulating a well in the reservoir simulator flow, and drawing what it gave."""

from __future__ import annotations

import json
import math
import numbers
import os
from typing import TYPE_CHECKING, Any, Optional, Union

import numpy as np

from . import _core
from ._design import _well
from ._plot import _COLOURS
from ._wells import (CORRELATIONS, _HORIZONTAL, _HORIZONTAL_ONLY, _VERTICAL_ONLY, _choice,
                     _number, _option)

if TYPE_CHECKING:
    from matplotlib.axes import Axes

# Keyword and option names of the settings, in the command line's order.
_SETTINGS = (("kv_kh", "kv-kh"), ("porosity", "porosity"),
             ("displacing_viscosity", "displacing-viscosity"), ("years", "years"),
             ("breakthrough_cut", "breakthrough-cut"), ("time_limit", "time-limit"),
             ("connate_water", "connate-water"), ("residual_saturation", "residual-saturation"),
             ("corey_exponents", "corey-exponents"),
             ("endpoint_permeabilities", "endpoint-permeabilities"),
             ("relperm_table", "relperm-table"), ("aquifer_thickness", "aquifer-thickness"),
             ("outer_boundary", "outer-boundary"), ("initial_pressure", "initial-pressure"),
             ("minimum_bhp", "minimum-bhp"))

# The settings that are not a number: two numbers, a file, a word.
_PAIRS = ("corey_exponents", "endpoint_permeabilities")


def _setting(name: str, value: Any) -> Union[float, str]:
    """A setting as the binding takes it: a float, or the command line's text."""
    if name in _PAIRS:
        if isinstance(value, (str, bytes)) or not hasattr(value, "__len__") or len(value) != 2:
            raise TypeError(f"{name} must be a pair of numbers, not {type(value).__name__}")
        # The command line's text: shortest round-trip numbers, 2 rather than 2.0.
        texts = [repr(_number(name, v)) for v in value]
        return ",".join(text[:-2] if text.endswith(".0") else text for text in texts)
    if name == "relperm_table":
        path = os.fspath(value)
        if not isinstance(path, str):
            raise TypeError(f"relperm_table must be a str or a path, not {type(value).__name__}")
        return path
    if name == "outer_boundary":
        return _choice(name, value)
    return _number(name, value)


def _settings(values: dict) -> list:
    """The (option, value) pairs of the settings given (not None), in the command line's order."""
    return [(option, _setting(name, values[name]))
            for name, option in _SETTINGS if values[name] is not None]


def simulate(
    fluid_system: str,
    *,
    rate: Optional[float] = None,
    critical: bool = False,
    rates: Union[str, list, tuple, None] = None,
    economic_cut: Optional[float] = None,
    well: str = "vertical",
    years: float = 10,
    breakthrough_cut: float = 0.01,
    kv_kh: Optional[float] = None,
    porosity: float = 0.2,
    displacing_viscosity: Optional[float] = None,
    time_limit: float = 600,
    connate_water: Optional[float] = None,
    residual_saturation: Optional[float] = None,
    corey_exponents: Optional[tuple] = None,
    endpoint_permeabilities: Optional[tuple] = None,
    relperm_table: Union[str, os.PathLike, None] = None,
    aquifer_thickness: Optional[float] = None,
    outer_boundary: Optional[str] = None,
    initial_pressure: Optional[float] = None,
    minimum_bhp: Optional[float] = None,
    jobs: Optional[int] = None,
    keep_deck: Union[str, os.PathLike, None] = None,
    completion: str = "partial-penetration",
    permeability: float = None,
    viscosity: float = None,
    fvf: float = None,
    density_difference: float = None,
    drainage_radius: float = None,
    well_radius: float = None,
    zone_thickness: float = None,
    penetration: Optional[float] = None,
    completion_top: Optional[float] = None,
    bottom_hole_pressure: Optional[float] = None,
    well_length: Optional[float] = None,
    standoff: Optional[float] = None,
    boundary_distance: Optional[float] = None,
) -> dict:
    """Simulates the well in the reservoir simulator flow, as ``coning-calc --format json
    --simulate-rate Q``, ``--simulate-critical`` and ``--simulate-rates`` do, and returns their ``"simulation"``
    member: the same numbers, bit for bit.

    The well is given as to :func:`calculate` (same keywords and units, without ``sweep``).
    flow runs in a private temporary folder, removed afterwards; the interpreter lock is
    released meanwhile, and Ctrl-C (KeyboardInterrupt) stops it within a fraction of a second,
    killing the simulator and removing its folder. The simulator and its folder go as quickly
    when the interpreter ends while it runs (SIGTERM, SIGKILL, or an exit that leaves it in a
    daemon thread). The model's assumptions are those of docs/simulation.md, "What the model
    assumes".

    Parameters
    ----------
    rate : float, optional
        Production at this constant rate (STB/day, or MCF/day for Gas-Water) for the horizon.
    critical : bool
        The critical rate: the highest rate whose cut stays at or below ``breakthrough_cut``
        over the whole horizon, as a bracket.
    rates : list of float, or "auto"
        A rate study (``--simulate-rates``): each rate run until its cut exceeds
        ``economic_cut`` or to the horizon; "auto" chooses about eight rates. At least one of
        ``rate``, ``critical`` and ``rates`` is needed; any of them may be combined.
    economic_cut : float, optional
        ``--economic-cut``: the cut at which the well stops paying (None: 0.95), above
        ``breakthrough_cut``; only with ``rates``.
    well : str
        "vertical" (default) or "horizontal": a horizontal well is given as to
        :func:`calculate` with ``well="horizontal"`` (``kv_kh``, ``well_length``, ``standoff``,
        ``boundary_distance`` and the shared inputs, all required) and simulated in a vertical
        cross-section across it (docs/horizontal.md); the result's ``"model"`` then starts with
        ``"geometry": "cross-section"``.
    years, breakthrough_cut, kv_kh, porosity, displacing_viscosity, time_limit : float
        The settings of ``--years`` (the horizon, at most 1000), ``--breakthrough-cut``,
        ``--kv-kh`` (None: 1; a horizontal well's own), ``--porosity``, ``--displacing-viscosity`` (cp, the water's or for Gas-Oil
        the gas's; None: 0.5, or 0.02 for Gas-Oil) and ``--time-limit`` (seconds per simulator
        run).
    connate_water, residual_saturation, aquifer_thickness, initial_pressure, minimum_bhp : float
        The rock and aquifer settings ``--connate-water``, ``--residual-saturation``,
        ``--aquifer-thickness`` (ft), ``--initial-pressure`` and ``--minimum-bhp`` (psia); None:
        the command line's default.
    corey_exponents, endpoint_permeabilities : pair of float
        ``--corey-exponents`` and ``--endpoint-permeabilities``: (displacing, produced).
    relperm_table : str or path
        ``--relperm-table``: a SWOF (SGOF for Gas-Oil) table in place of the Corey curves.
    outer_boundary : str
        ``--outer-boundary``: "constant-pressure" or "closed".
    jobs : int, optional
        Simulator processes at once in the critical-rate search (``--jobs``); None: one per
        core, as the command line.
    keep_deck : str or path, optional
        A folder to write the deck and its summary files into (``--keep-deck``).

    Returns
    -------
    dict
        ``"engine"``, ``"years"``, ``"breakthroughCut"``, ``"model"`` (every setting used,
        defaults included); with ``rate``: ``"rate"``,
        ``"rateHeld"`` (True), ``"breakthroughDays"`` (None without breakthrough) and
        ``"series"`` (lists ``"days"``, ``"cut"``, ``"rate"``, ``"conedRate"``,
        ``"bottomHolePressure"`` at every summary time); with ``critical``:
        ``"criticalRate"`` (``{"low": L, "high": H}``), ``"runs"`` and ``"comparison"``
        (correlation name to its percent above the simulated critical rate L, negative below);
        with ``rates``: ``"economicCut"``, ``"inPlace"`` (oil, or gas for Gas-Water, initially in
        place within the drainage radius), ``"studyRuns"`` and ``"rateStudy"``, one dict per rate
        in increasing order (``"rate"``, ``"rateHeld"``, ``"fellOffDays"``,
        ``"breakthroughDays"``, ``"economicDays"``, ``"untilDays"``, ``"produced"``,
        ``"coningPhaseProduced"``, ``"recovery"``; None for what was not reached).

    Raises
    ------
    UsageError
        For what ``coning-calc`` refuses, with its messages: the usage errors of
        :func:`calculate`, a setting out of its range, a well the model cannot take (a Gas-Oil
        density difference of 0.7 g/cc or more, an empty completed interval, a completion
        outside the zone, ...), and neither ``rate`` nor ``critical``.
    SimulatorNotFoundError
        When flow is not installed (the message names the Debian package).
    SimulationError
        When what was asked failed, where the command line exits with status 1: a rate the well
        cannot hold (a failure, not a result: it says when the well fell short and what it
        still made), a simulator run that failed or timed out. Its ``result`` is the member
        with ``"error"`` (and ``"rateHeld": False`` for a rate not held).
    TypeError
        For an argument of the wrong type.
    """
    values = locals()
    if not isinstance(critical, (bool, np.bool_)):
        raise TypeError(f"critical must be a bool, not {type(critical).__name__}")
    if not isinstance(well, str):
        raise TypeError(f"well must be a str, not {type(well).__name__}")
    if well not in ("vertical", "horizontal"):
        raise _core.UsageError(f"--well: {_core.quoted_for_message(well)} is not a well type: "
                               "use vertical or horizontal")
    horizontal = well == "horizontal"
    problems = _misplaced(values, horizontal)
    if problems:
        raise _core.UsageError("\n".join(problems))
    if rate is None and not critical and rates is None:
        raise _core.UsageError("nothing to simulate: give rate=, critical=True or rates=")
    if horizontal and (rates is not None or economic_cut is not None):
        option = "--simulate-rates" if rates is not None else "--economic-cut"
        raise _core.UsageError(f"{option}: the rate study is not yet for horizontal wells")
    settings = _settings(values)
    if horizontal:  # kv_kh is the well's
        settings = [(option, value) for option, value in settings if option != "kv-kh"]
    if jobs is not None:
        if isinstance(jobs, (bool, np.bool_)) or not isinstance(jobs, numbers.Integral):
            raise TypeError(f"jobs must be an int, not {type(jobs).__name__}")
        jobs = str(int(jobs))
    if keep_deck is not None:
        folder = os.fspath(keep_deck)
        if not isinstance(folder, str):
            raise TypeError(f"keep_deck must be a str or a path, not {type(keep_deck).__name__}")
        keep_deck = folder
    if horizontal:
        text = _core.horizontal_simulation(
            _choice("fluid_system", fluid_system),
            [_number(name, values[name]) for name in _HORIZONTAL],
            _number("rate", rate),
            bool(critical),
            settings,
            jobs,
            keep_deck,
        )
    else:
        text = _core.simulation(
            _choice("fluid_system", fluid_system),
            _choice("completion", completion),
            _well(values),
            _number("rate", rate),
            bool(critical),
            _rates_text(rates),
            _number("economic_cut", economic_cut),
            settings,
            jobs,
            keep_deck,
        )
    result = json.loads(text)
    if "error" in result:
        error = _core.SimulationError(result["error"])
        error.result = result
        raise error
    return result


def _rates_text(rates: Any) -> Optional[str]:
    """The rates of a study as ``--simulate-rates`` takes them: "auto", or "Q1,Q2,..."."""
    if rates is None or (isinstance(rates, str) and rates == "auto"):
        return rates
    if isinstance(rates, (str, bytes)) or not hasattr(rates, "__iter__"):
        raise TypeError(f"rates must be a list of numbers or \"auto\", "
                        f"not {type(rates).__name__}")
    texts = [repr(_number("rates", r)) for r in rates]
    if not texts:
        raise _core.UsageError("--simulate-rates: no rate given")
    return ",".join(text[:-2] if text.endswith(".0") else text for text in texts)


def plot_rate_study(result: dict[str, Any], ax: Optional[Axes] = None) -> Axes:
    """Draws a rate study with matplotlib: the oil (gas for Gas-Water) and the water (gas for
    Gas-Oil) produced before the economic cut or by the horizon, against the rate, with the
    simulated critical rate (when the result has one) and the correlations' rates (with a whole
    ``coning-calc --format json`` object) marked. Rates the well could not hold are drawn
    hollow. matplotlib is imported only here.

    Raises
    ------
    ValueError
        When the result has no rate study (simulate with rates=) or its study failed.
    """
    simulation = result.get("simulation", result)
    whole = simulation is not result
    if "rateStudy" not in simulation:
        if "error" in simulation:
            raise ValueError(f"the simulation failed, so there is nothing to draw: "
                             f"{simulation['error']}")
        raise ValueError("the result has no rate study to draw: simulate it with rates=")
    if ax is None:
        import matplotlib.pyplot as plt

        ax = plt.gca()
    system = result.get("fluidSystem") if whole else None
    unit = result.get("unit") if whole else None
    rows = simulation["rateStudy"]
    rates = [row["rate"] for row in rows]
    produced = "gas" if system == "Gas-Water" else "oil"
    coned = "gas" if system == "Gas-Oil" else "water"
    for key, name, colour in (("produced", produced, "tab:green"),
                              ("coningPhaseProduced", coned, "tab:blue")):
        values = [row[key] for row in rows]
        ax.plot(rates, values, color=colour, label=f"{name} produced")
        held = [row["rateHeld"] for row in rows]
        ax.scatter([r for r, h in zip(rates, held) if h], [v for v, h in zip(values, held) if h],
                   color=colour, zorder=3)
        ax.scatter([r for r, h in zip(rates, held) if not h],
                   [v for v, h in zip(values, held) if not h],
                   facecolors="none", edgecolors=colour, zorder=3)
    if "criticalRate" in simulation:
        low = simulation["criticalRate"]["low"]
        ax.axvline(low, color="tab:red", linestyle="--", linewidth=1,
                   label=f"simulated critical rate {_floored(low, 2)}")
    # The correlations' rates: a whole result has them; a simulation's comparison gives them
    # as percent of the simulated critical rate.
    shown = result.get("rates", {}) if whole else {}
    if not shown and "comparison" in simulation:
        low = simulation["criticalRate"]["low"]
        shown = {name: low * (1 + percent / 100)
                 for name, percent in simulation["comparison"].items()}
    for name in CORRELATIONS:
        rate = shown.get(name)
        if isinstance(rate, (int, float)) and not isinstance(rate, bool):
            ax.axvline(rate, color=tuple(c / 255 for c in _COLOURS[name]), linestyle=":",
                       linewidth=1, label=name)
    ax.set_xscale("log")
    # The studied rates as the ticks, as typed: a log axis would label them 2x10^1.
    from matplotlib.ticker import NullFormatter
    ax.set_xticks(rates, [f"{rate:g}" for rate in rates])
    ax.xaxis.set_minor_formatter(NullFormatter())
    ax.set_xlabel("Rate" + (f", {unit}" if unit else ""))
    units = {"Gas-Oil": "oil STB, gas MCF", "Gas-Water": "gas MCF, water STB"}
    ax.set_ylabel("Produced, " + units.get(system, "STB"))
    ax.set_title(f"Produced before a cut of {simulation['economicCut']:g} or by "
                 f"{simulation['years']:g} years ({simulation['engine']})")
    ax.grid(alpha=0.3)
    ax.legend(loc="upper left", fontsize="small")
    return ax


def _misplaced(values: dict, horizontal: bool) -> list:
    """The command line's usage errors for inputs of the other kind of well."""
    if not horizontal:
        return [f"--{_option(name)} is only for horizontal wells: add --well horizontal"
                for name in _HORIZONTAL_ONLY if name != "kv_kh" and values[name] is not None]
    problems = [f"--{_option(name)} is only for vertical wells, not with --well horizontal"
                for name in _VERTICAL_ONLY if values[name] is not None]
    if values["completion"] != "partial-penetration":
        problems.insert(0, "--completion is only for vertical wells, not with --well horizontal")
    return problems


def plot_simulation(result: dict[str, Any], ax: Optional[Axes] = None, *,
                    kind: Optional[str] = None) -> Axes:
    """Draws a simulation with matplotlib: the cut against time, or the critical rate.

    ``kind="cut"`` (the default when the result has a series): the cut against years, the
    breakthrough cut as a dotted line and the breakthrough as a dashed red line.
    ``kind="critical"`` (the default otherwise): each correlation's rate as a bar in the
    report's colours against the simulated critical bracket, a green band from its low to its
    high end. matplotlib is imported only here.

    Parameters
    ----------
    result : dict
        What :func:`simulate` returned, or a whole ``coning-calc --format json`` object with a
        ``"simulation"`` member (whose fluid system and unit then label the axes).
    ax : matplotlib.axes.Axes, optional
        Where to draw; the current Axes of pyplot when None.
    kind : str, optional
        "cut" or "critical".

    Returns
    -------
    matplotlib.axes.Axes

    Raises
    ------
    ValueError
        When the result lacks what ``kind`` draws (a rate run for "cut", a critical rate for
        "critical"), or holds a failed simulation (the message says what failed).
    """
    simulation = result.get("simulation", result)
    whole = simulation is not result
    system = result.get("fluidSystem") if whole else None
    unit = result.get("unit") if whole else None
    if kind is None:
        kind = "cut" if "series" in simulation else "critical"
    needed = {"cut": ("series", "rate="), "critical": ("criticalRate", "critical=True")}
    if kind not in needed:
        raise ValueError(f"kind must be 'cut' or 'critical', not {kind!r}")
    member, argument = needed[kind]
    if member not in simulation:
        if "error" in simulation:
            raise ValueError(f"the simulation failed, so there is nothing to draw: "
                             f"{simulation['error']}")
        raise ValueError(f"the result has no {kind} to draw: simulate it with {argument}")
    if ax is None:
        import matplotlib.pyplot as plt

        ax = plt.gca()
    if kind == "cut":
        _plot_cut(ax, simulation, system, unit)
    else:
        _plot_critical(ax, simulation, unit)
    return ax


def _plot_cut(ax: Axes, simulation: dict, system: Optional[str], unit: Optional[str]) -> None:
    series = simulation["series"]
    name = {"Gas-Oil": "gas cut", None: "cut"}.get(system, "water cut")
    ax.plot([d / 365.25 for d in series["days"]], series["cut"], color="tab:blue", label=name)
    threshold = simulation["breakthroughCut"]
    days = simulation["breakthroughDays"]
    ax.axhline(threshold, color="grey", linestyle=":", linewidth=1,
               label=f"breakthrough cut {threshold:g}"
               + ("" if days is not None else f", not reached in {simulation['years']:g} years"))
    if days is not None:
        ax.axvline(days / 365.25, color="tab:red", linestyle="--", linewidth=1,
                   label=f"breakthrough after {_floored(days, 1)} days")
    ax.set_xlabel("years")
    ax.set_ylabel(name)
    ax.set_xlim(0, simulation["years"])
    ax.set_ylim(0, max(max(series["cut"]) * 1.1, 0.05))
    at = f"{simulation['rate']:g}" + (f" {unit}" if unit else "")
    ax.set_title(f"{system + ' s' if system else 'S'}imulated at {at} ({simulation['engine']})")
    ax.grid(alpha=0.3)
    ax.legend(loc="lower right")


def _plot_critical(ax: Axes, simulation: dict, unit: Optional[str]) -> None:
    low = simulation["criticalRate"]["low"]
    high = simulation["criticalRate"]["high"]
    names = [name for name in CORRELATIONS if name in simulation.get("comparison", {})]
    rates = [low * (1 + simulation["comparison"][name] / 100) for name in names]
    ax.bar(names, rates, color=[tuple(c / 255 for c in _COLOURS[n]) for n in names])
    ax.axhspan(low, high, color="tab:green", alpha=0.3,
               label=f"simulated critical rate {_floored(low, 2)} to {_floored(high, 2)}")
    ax.axhline(low, color="tab:green", linewidth=1)
    ax.set_ylim(0, max(rates + [high]) * 1.3)
    ax.set_ylabel("Rate" + (f", {unit}" if unit else ""))
    ax.set_title(f"Critical rate over {simulation['years']:g} years "
                 f"({simulation['engine']}, {simulation['runs']} runs)")
    ax.tick_params(axis="x", labelrotation=20)
    ax.legend(loc="upper left")


def _floored(value: float, decimals: int) -> str:
    """A limit as the command line shows it: rounded down, never past what was simulated."""
    scale = 10 ** decimals
    return f"{math.floor(value * scale) / scale:.{decimals}f}"
