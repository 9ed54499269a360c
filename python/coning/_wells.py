"""One well and arrays of wells."""

from __future__ import annotations

import numbers
from typing import Any, Optional

import numpy as np

from . import _core

#: The correlations in the order of the report, its bar chart and its chart legend.
CORRELATIONS = ("Sobocinski", "Muskat", "Chaney-Noble", "Schols", "Guo-Lee", "Meyer-Garder")
FLUID_SYSTEMS = ("Oil-Water", "Gas-Water", "Gas-Oil")
COMPLETIONS = ("partial-penetration", "partial-completion")

# Keyword names in the order the core numbers its fields; the core's names use dashes.
_FIELDS = tuple(name.replace("-", "_") for name in _core.NUMERIC_FIELDS)
_OPTIONAL = ("penetration", "completion_top", "bottom_hole_pressure")


def _number(name: str, value: Any) -> Optional[float]:
    if value is None:
        return None
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be a real number, not {type(value).__name__}")
    return float(value)


def _choice(name: str, value: Any) -> Optional[str]:
    if value is None:
        return None
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a str, not {type(value).__name__}")
    return value


def calculate(
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
    sweep: bool = False,
) -> dict:
    """Critical coning rates of one well, as ``coning-calc --format json`` gives them.

    Parameters
    ----------
    fluid_system : str
        "Oil-Water", "Gas-Water" or "Gas-Oil".
    completion : str
        "partial-penetration" (default) or "partial-completion".
    permeability : float
        Permeability, md.
    viscosity : float
        Oil or gas viscosity, cp.
    fvf : float
        Formation volume factor, RVB/STB (oil) or RVB/MCF (gas).
    density_difference : float
        Density difference, g/cc.
    drainage_radius : float
        Drainage radius, ft.
    well_radius : float
        Well radius, inches (like the window's field).
    zone_thickness : float
        Zone thickness, ft.
    penetration : float, optional
        Penetration thickness, ft; required except for Gas-Oil with partial-penetration, which
        does not use it.
    completion_top : float, optional
        Distance to top of completion, ft; required for Gas-Oil and for partial-completion.
    bottom_hole_pressure : float, optional
        Bottom-hole pressure, psia; Gas-Water needs a positive one for the Meyer-Garder rate.
    sweep : bool
        Add the 5 to 95 % penetration sweep (partial-penetration only).

    Returns
    -------
    dict
        ``"fluidSystem"``, ``"completion"``, ``"unit"`` ("STB/DAY" or "MCF/DAY"),
        ``"percentPenetration"``, ``"rates"`` (correlation name to rate, only the rates shown),
        ``"failures"`` (correlation name to what failed, only when one failed), ``"sweep"``
        (with ``sweep=True``: ``"percent"`` 5..95 and one list per correlation, None at a failed
        point), ``"sweepFailures"`` (only when sweep points failed: correlation name to
        ``{"points": n, "firstPercent": p, "message": what failed at p}``) and ``"warnings"``
        (implausible inputs or negative rates, only when there are any). When the run cannot start, ``{"error": message}`` (with any ``"warnings"``).
        The numbers are the doubles ``coning-calc`` prints for the same decimal inputs.

    Raises
    ------
    ValueError
        For input ``coning-calc`` refuses as a usage error: a missing required value, an unknown
        fluid system or completion, a value that is not finite, or ``sweep`` for
        partial-completion. The message is the command line's. A calculation that fails is
        never an exception: it is reported in the result.
    """
    values = locals()
    numbers_ = [_number(name, values[name]) for name in _FIELDS]
    return _core.calculate(
        _choice("fluid_system", fluid_system),
        _choice("completion", completion),
        numbers_,
        bool(sweep),
    )


def _choice_column(name: str, value: Any, shape: tuple, size: int, known: tuple):
    """The texts of a choice argument and, unless it is one text, each well's index into them.
    An empty text is a well without the choice."""
    array = np.asarray(value)
    if array.ndim == 0:
        return [_choice(name, value if value is not None else "")], None
    flat = np.broadcast_to(array, shape).ravel()
    if flat.dtype.kind == "O":
        for v in flat:
            _choice(name, v)
        flat = flat.astype(str)
    elif flat.dtype.kind != "U":
        raise TypeError(f"{name} must be a str or an array of str, not {flat.dtype}")
    texts = list(known)
    index = np.full(size, -1, np.int32)
    for i, text in enumerate(known):
        index[flat == text] = i
    rest = index < 0
    if rest.any():
        others, inverse = np.unique(flat[rest], return_inverse=True)
        index[rest] = inverse + len(texts)
        texts.extend(str(t) for t in others)
    return texts, index


def _value_column(value: Any, shape: tuple):
    if value is None:
        return None
    array = np.asarray(value, dtype=np.float64)
    if array.size == 1:
        return array.reshape(1)
    return np.ascontiguousarray(np.broadcast_to(array, shape)).reshape(-1)


def _shape_of(value: Any) -> tuple:
    return () if value is None else np.shape(value)


def _results(raw: dict, shape: tuple) -> dict:
    out = {"percentPenetration": raw["percentPenetration"].reshape(shape)}
    for name in _core.CALL_ORDER:
        out[name] = raw[name].reshape(shape)
    message = np.full(raw["percentPenetration"].size, "", dtype=object)
    texts = raw["messageTexts"]
    if texts:
        message[raw["messageRows"]] = np.array(texts, dtype=object)
    out["message"] = message.reshape(shape)
    return out


def _calculate_columns(fluid_system, completion, numbers_, nan_as_zero, text_cells, first_line):
    shape = np.broadcast_shapes(
        np.shape(fluid_system), np.shape(completion), *(_shape_of(v) for v in numbers_)
    )
    size = int(np.prod(shape, dtype=np.int64))
    system_names, system_index = _choice_column(
        "fluid_system", fluid_system, shape, size, FLUID_SYSTEMS
    )
    completion_names, completion_index = _choice_column(
        "completion", completion, shape, size, COMPLETIONS
    )
    raw = _core.calculate_wells(
        size,
        system_names,
        system_index,
        completion_names,
        completion_index,
        [_value_column(v, shape) for v in numbers_],
        nan_as_zero,
        text_cells,
        first_line,
    )
    return raw, shape


def calculate_many(
    fluid_system,
    *,
    completion="partial-penetration",
    permeability=None,
    viscosity=None,
    fvf=None,
    density_difference=None,
    drainage_radius=None,
    well_radius=None,
    zone_thickness=None,
    penetration=None,
    completion_top=None,
    bottom_hole_pressure=None,
) -> dict:
    """Critical coning rates of many wells at their design point.

    Every argument is a scalar or an array-like; they are broadcast together as NumPy broadcasts
    them, and the wells are calculated in C++ without the interpreter lock, on all processors for
    long arrays. The units and meanings are those of :func:`calculate` (well radius in inches).

    ``fluid_system`` and ``completion`` are a str or an array of str. The seven required numbers
    must be given; a NaN in one of them is a well without that value. ``penetration``,
    ``completion_top`` and ``bottom_hole_pressure`` take 0 where a well has none (None, or NaN
    in that well), like an empty field of the window, and ``penetration`` and
    ``completion_top`` are ignored where the run does not use them.

    Returns
    -------
    dict of numpy.ndarray, each of the broadcast shape
        ``"percentPenetration"`` and one float array per correlation under the names of the JSON
        ``"rates"`` ("Sobocinski", "Muskat", "Meyer-Garder", "Chaney-Noble", "Schols",
        "Guo-Lee"), NaN where the rate is not shown or failed; ``"message"``, an object array of
        str: each well's input problems or run error, the failures of its correlations and its
        warnings (each after "warning: "), joined with "; ", empty when there are none. The numbers are those
        :func:`calculate` gives for the same well.

    Raises
    ------
    ValueError
        When a required number is not given at all, or the arguments do not broadcast.
    """
    given = locals()
    if fluid_system is None:
        raise ValueError("--fluid-system is required")
    for name in _FIELDS:
        if name not in _OPTIONAL and given[name] is None:
            raise ValueError(f"--{name.replace('_', '-')} is required")
    numbers_ = [given[name] for name in _FIELDS]
    nan_as_zero = [name in _OPTIONAL for name in _FIELDS]
    raw, shape = _calculate_columns(
        fluid_system, "" if completion is None else completion, numbers_, nan_as_zero, [], 0
    )
    return _results(raw, shape)
