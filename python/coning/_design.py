"""Completion design of one well: the penetration for a target rate and the sensitivity of the
design-point rates to each input."""

from __future__ import annotations

from typing import Optional

from . import _core
from ._wells import _FIELDS, _choice, _number


def _well(values: dict) -> list:
    return [_number(name, values[name]) for name in _FIELDS]


def _given(name: str, value) -> float:
    if value is None:
        raise TypeError(f"{name} must be a real number, not NoneType")
    return _number(name, value)


def target_penetration(
    fluid_system: str,
    *,
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
    target_rate: float,
) -> dict:
    """How far a partially penetrating well may be completed and still make a target rate, as
    the ``"design"`` member of ``coning-calc --format json --target-rate Q``.

    The well is given as to :func:`calculate` (same keywords and units, without ``sweep``). For
    each correlation the run evaluates (Meyer-Garder only under its condition), the penetration D
    is scanned from 0 to the working zone thickness h in 1000 steps and the last crossing of the
    target bisected to within 1e-9 * h; a penetration where the correlation fails counts as
    below the target.

    Parameters
    ----------
    target_rate : float
        The rate the well must make, in the unit of its report: STB/day for Oil-Water and
        Gas-Oil, MCF/day for Gas-Water. Keyword only and required.

    Returns
    -------
    dict
        Correlation name to a dict of ``"maxPenetration"`` (ft, the largest D at which the
        critical rate is at least the target; :func:`calculate` with this penetration gives at
        least the target), ``"maxPercent"`` (that D as percent of h), ``"minCompletionTop"``
        (Gas-Oil only, ft: h - maxPenetration, raised to the first double at which
        :func:`calculate` with this completion top gives at least the target; maxPenetration
        is then the penetration of that run), ``"peakRate"`` (the highest rate of the scan)
        and ``"peakPenetration"`` (ft, the first D giving it); None
        where the JSON has null (the rate is below the target at every D, or every point
        fails). The target rate itself is not repeated: the caller gave it, and the keys are
        then exactly the correlation names. When the well's run cannot start,
        ``{"error": message}``.

    Raises
    ------
    ValueError
        For what ``coning-calc`` refuses, with its message: the usage errors of
        :func:`calculate`, a target rate that is not a positive number, and partial-completion.
    """
    values = locals()
    return _core.target_penetration(
        _choice("fluid_system", fluid_system),
        _choice("completion", completion),
        _well(values),
        _given("target_rate", target_rate),
    )


def sensitivity(
    fluid_system: str,
    *,
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
    percent: float,
) -> dict:
    """The design-point rates with each input in turn lowered and raised by a percentage, as
    the ``"sensitivity"`` member of ``coning-calc --format json --sensitivity PCT``.

    The well is given as to :func:`calculate` (same keywords and units, without ``sweep``);
    both completion types.

    Parameters
    ----------
    percent : float
        The change, in percent, greater than 0 and less than 100: each input is multiplied by
        1 - percent / 100 and by 1 + percent / 100, the factor applied to the number as given
        (the well radius in inches). Keyword only and required.

    Returns
    -------
    dict
        ``{"percent": percent, "inputs": [...]}``, one entry per input the run uses, in this
        order: permeability, viscosity, fvf, density-difference, drainage-radius, well-radius,
        zone-thickness, then penetration and completion-top where the run uses them and
        bottom-hole-pressure for Gas-Water. Each entry is ``{"input": name, "low": rates,
        "high": rates}``, the name as the command line's option (with dashes) and ``rates``
        correlation name to the reported rate (STB/day, or MCF/day for Gas-Water), None where
        that rate is not shown or fails; Meyer-Garder only when the unvaried well meets its
        condition. A varied well outside the physical range adds ``"warnings": {"low": [...],
        "high": [...]}`` (only the sides that have any: the warnings the unvaried well does not
        give). An input the run uses that is 0 is not varied: it is listed in ``"notVaried"``
        (present only when there is one). When the well's run cannot start,
        ``{"error": message}``.

    Raises
    ------
    ValueError
        For what ``coning-calc`` refuses, with its message: the usage errors of
        :func:`calculate`, a percentage not between 0 and 100, and one so small that
        1 - percent / 100 and 1 + percent / 100 both round to 1.
    """
    values = locals()
    return _core.sensitivity(
        _choice("fluid_system", fluid_system),
        _choice("completion", completion),
        _well(values),
        _given("percent", percent),
    )
