"""One well and arrays of wells."""

from __future__ import annotations

import math
import numbers
import sys
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


def _pandas_na() -> Any:
    pandas = sys.modules.get("pandas")
    return pandas.NA if pandas is not None else None


def _is_missing(value: Any, na: Any) -> bool:
    """None, NaN, a masked element or pandas' NA: a value a well does not have."""
    return (value is None or value is na or value is np.ma.masked
            or (isinstance(value, float) and math.isnan(value)))


def _option(name: str) -> str:
    return {"percent": "sensitivity", "rate": "simulate-rate"}.get(name, name.replace("_", "-"))


def _too_large(name: str, value: numbers.Real) -> _core.UsageError:
    """The command line's usage error for a number beyond the range of double, as if typed."""
    try:
        text = str(value)
    except ValueError:  # more digits than str() writes; the message quotes only the first ones
        drop = int(value.bit_length() * 0.30103) - 60
        text = ("-" if value < 0 else "") + str(abs(value) // 10**drop) + "0" * drop
    option = _option(name)
    return _core.UsageError(_core.number_problem(option, text)
                            or f"--{option}: {text} is beyond the range of double precision")


def _number(name: str, value: Any) -> Optional[float]:
    if value is None:
        return None
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise TypeError(f"{name} must be a real number, not {type(value).__name__}")
    try:
        return float(value)
    except OverflowError:
        raise _too_large(name, value) from None


def _choice(name: str, value: Any) -> Optional[str]:
    if value is None:
        return None
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a str, not {type(value).__name__}")
    return value


_KINDS = {"b": "bool", "U": "str", "S": "bytes", "c": "complex", "M": "dates",
          "m": "time spans", "V": "a structured array"}


def _as_array(value: Any) -> tuple[np.ndarray, Optional[np.ndarray]]:
    """An argument as an array and its mask (None when it has none). Lists and scalars become
    object arrays, so that each element's type can be checked."""
    if np.ma.isMaskedArray(value):
        mask = np.ma.getmaskarray(value)
        data = np.ma.getdata(value)
        # What lies under a mask is no value, whatever its type.
        return (np.where(mask, None, data) if data.dtype.kind == "O" else data), mask
    if isinstance(value, np.ndarray) or hasattr(value, "__array__"):
        return np.asarray(value), None
    return np.asarray(value, dtype=object), None


def _reals(name: str, value: Any) -> np.ndarray:
    """A numeric argument as float64, NaN where a well has no value."""
    array, mask = _as_array(value)
    kind = array.dtype.kind
    if kind in "iuf":
        out = array.astype(np.float64, copy=False)
    elif kind == "O":
        flat = array.ravel()
        out = None
        if set(map(type, flat)) <= {float, int}:
            try:
                out = flat.astype(np.float64)
            except OverflowError:
                pass  # the loop names the value
        if out is None:
            na = _pandas_na()
            out = np.array([math.nan if _is_missing(v, na) else _number(name, v) for v in flat],
                           dtype=np.float64)
        out = out.reshape(array.shape)
    else:
        raise TypeError(f"{name} must be real numbers, not {_KINDS.get(kind, array.dtype)}")
    if mask is not None and mask.any():
        out = np.where(mask, math.nan, out)
    return out


def _texts(name: str, value: Any) -> tuple[np.ndarray, Optional[np.ndarray]]:
    """A choice argument as an array of str and where a well has none (None when every well
    has one)."""
    array, mask = _as_array(value)
    if array.dtype.kind == "O":
        flat = array.ravel()
        if not set(map(type, flat)) <= {str}:
            na = _pandas_na()
            missing = np.fromiter((_is_missing(v, na) for v in flat), bool, flat.size)
            for v in flat[~missing]:
                _choice(name, v)
            flat = np.where(missing, "", flat)
            missing = missing.reshape(array.shape)
            mask = missing if mask is None else mask | missing
        array = flat.astype(str).reshape(array.shape)
    elif array.dtype.kind != "U":
        raise TypeError(f"{name} must be a str or an array of str, "
                        f"not {_KINDS.get(array.dtype.kind, array.dtype)}")
    return array, (mask if mask is not None and mask.any() else None)


_HORIZONTAL = tuple(name.replace("-", "_") for name in _core.HORIZONTAL_FIELDS)
_HORIZONTAL_ONLY = ("kv_kh", "well_length", "standoff", "boundary_distance")
_VERTICAL_ONLY = ("drainage_radius", "penetration", "completion_top", "bottom_hole_pressure")


def _calculate_horizontal(values: dict) -> dict:
    """One horizontal well, with the command line's usage errors for the vertical well's inputs."""
    problems = [f"--{_option(name)} is only for vertical wells, not with --well horizontal"
                for name in _VERTICAL_ONLY if values[name] is not None]
    if values["completion"] != "partial-penetration":
        problems.insert(0, "--completion is only for vertical wells, not with --well horizontal")
    if values["sweep"]:
        problems.append("--sweep is only for vertical wells, not with --well horizontal")
    numbers_ = [_number(name, values[name]) for name in _HORIZONTAL]
    try:
        result = _core.calculate_horizontal(_choice("fluid_system", values["fluid_system"]),
                                            numbers_)
    except _core.UsageError as error:
        problems.append(str(error))
    if problems:
        raise _core.UsageError("\n".join(problems))
    return result


def calculate(
    fluid_system: str,
    *,
    well: str = "vertical",
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
    kv_kh: Optional[float] = None,
    well_length: Optional[float] = None,
    standoff: Optional[float] = None,
    boundary_distance: Optional[float] = None,
    sweep: bool = False,
) -> dict:
    """Critical coning rates of one well, as ``coning-calc --format json`` gives them.

    Parameters
    ----------
    fluid_system : str
        "Oil-Water", "Gas-Water" or "Gas-Oil".
    well : str
        "vertical" (default) or "horizontal" (``coning-calc --well horizontal``). A horizontal
        well takes ``kv_kh``, ``well_length``, ``standoff`` (ft from the contact with the coning
        phase: above the oil-water contact, below the gas-oil contact) and ``boundary_distance``
        (ft to the constant-pressure boundary on each side) besides permeability, viscosity, fvf,
        density difference, zone thickness and well radius, all required; it returns
        ``"wellType"``, ``"fluidSystem"``, ``"unit"``, ``"rates"`` (Chaperon, Efros, Joshi,
        Giger-Karcher), ``"failures"`` and ``"warnings"`` as ``coning-calc --format json``.
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
    if not isinstance(well, str):
        raise TypeError(f"well must be a str, not {type(well).__name__}")
    if well == "horizontal":
        return _calculate_horizontal(values)
    if well != "vertical":
        raise _core.UsageError(f"--well: {_core.quoted_for_message(well)} is not a well type: "
                               "use vertical or horizontal")
    for name in _HORIZONTAL_ONLY:
        if values[name] is not None:
            raise _core.UsageError(
                f"--{_option(name)} is only for horizontal wells: add --well horizontal")
    numbers_ = [_number(name, values[name]) for name in _FIELDS]
    if not isinstance(sweep, (bool, np.bool_)):
        raise TypeError(f"sweep must be a bool, not {type(sweep).__name__}")
    return _core.calculate(
        _choice("fluid_system", fluid_system),
        _choice("completion", completion),
        numbers_,
        bool(sweep),
    )


def _choice_column(texts: np.ndarray, missing: Optional[np.ndarray], shape: tuple,
                   size: int, known: tuple):
    """The distinct texts of a choice argument and, unless it is one text or none, each well's
    index into them (-1 for none)."""
    if texts.ndim == 0:
        return ([] if missing is not None else [str(texts)]), None
    flat = np.broadcast_to(texts, shape).ravel()
    names = list(known)
    index = np.full(size, -1, np.int32)
    for i, text in enumerate(known):
        index[flat == text] = i
    rest = index < 0
    if rest.any():
        others, inverse = np.unique(flat[rest], return_inverse=True)
        index[rest] = inverse + len(names)
        names.extend(str(t) for t in others)
    if missing is not None:
        index[np.broadcast_to(missing, shape).ravel()] = -1
    return names, index


def _value_column(array: Optional[np.ndarray], shape: tuple) -> Optional[np.ndarray]:
    if array is None:
        return None
    if array.size == 1:
        return array.reshape(1)
    return np.ascontiguousarray(np.broadcast_to(array, shape)).reshape(-1)


def _messages(raw: dict) -> np.ndarray:
    """Each well's message; wells with the same message share one str."""
    return np.array(raw["messageTexts"], dtype=object)[raw["messageIds"]]


def _results(raw: dict, shape: tuple) -> dict:
    out = {"percentPenetration": raw["percentPenetration"].reshape(shape)}
    for name in _core.CALL_ORDER:
        out[name] = raw[name].reshape(shape)
    if "maxPenetration" in raw:
        out["maxPenetration"] = {name: a.reshape(shape) for name, a in raw["maxPenetration"].items()}
    out["message"] = _messages(raw).reshape(shape)
    return out


def _calculate_columns(fluid_system, completion, numbers_, target_rate, text_cells, first_line):
    """Calculates wells given as checked columns: (texts, missing) for the choices, float arrays
    or None for the numbers; returns the core's dict and the broadcast shape."""
    columns = [fluid_system[0], completion[0], target_rate, *numbers_]
    shape = np.broadcast_shapes(*(np.shape(c) for c in columns if c is not None))
    size = int(np.prod(shape, dtype=np.int64))
    system_names, system_index = _choice_column(*fluid_system, shape, size, FLUID_SYSTEMS)
    completion_names, completion_index = _choice_column(*completion, shape, size, COMPLETIONS)
    raw = _core.calculate_wells(
        size,
        system_names,
        system_index,
        completion_names,
        completion_index,
        [_value_column(v, shape) for v in numbers_],
        _value_column(target_rate, shape),
        text_cells,
        first_line,
    )
    return raw, shape


def calculate_many(
    fluid_system: Any,
    *,
    completion: Any = "partial-penetration",
    permeability: Any = None,
    viscosity: Any = None,
    fvf: Any = None,
    density_difference: Any = None,
    drainage_radius: Any = None,
    well_radius: Any = None,
    zone_thickness: Any = None,
    penetration: Any = None,
    completion_top: Any = None,
    bottom_hole_pressure: Any = None,
    target_rate: Any = None,
) -> dict[str, Any]:
    """Critical coning rates of many wells at their design point.

    Every argument is a scalar or an array-like; they are broadcast together as NumPy broadcasts
    them, and the wells are calculated in C++ without the interpreter lock, on all processors for
    long arrays. The units and meanings are those of :func:`calculate` (well radius in inches).
    Ctrl-C (KeyboardInterrupt) stops the calculation within a few hundredths of a second.

    ``fluid_system`` and ``completion`` are a str or an array of str; the numbers are real
    numbers or arrays of them (of int or float dtype, or objects that are real numbers). A well
    without a value (None, NaN, a masked element of a ``numpy.ma`` array or ``pandas.NA``) is
    treated as an empty cell of a batch file: a well that needs the value gets the message
    "penetration: a value is required for Oil-Water with partial-penetration" and NaN rates; one
    that does not (``bottom_hole_pressure``, ``penetration`` for Gas-Oil with
    partial-penetration, ``completion_top`` outside Gas-Oil and partial-completion) takes 0, as
    an empty field of the window. A completion of None is partial-penetration; an empty text is
    refused like any other unknown one.

    ``target_rate`` adds the penetration design of :func:`target_penetration` for each well that
    has one: the result then has ``"maxPenetration"``, a dict of one array per correlation (NaN
    where no penetration gives the target, the well cannot be designed or it has no target).

    Returns
    -------
    dict of numpy.ndarray, each of the broadcast shape
        ``"percentPenetration"`` and one float array per correlation under the names of the JSON
        ``"rates"`` ("Sobocinski", "Muskat", "Meyer-Garder", "Chaney-Noble", "Schols",
        "Guo-Lee"), NaN where the rate is not shown or failed; ``"message"``, an object array of
        str: each well's input problems or run error, the failures of its correlations and its
        warnings (each after "warning: "), joined with "; ", empty when there are none (wells
        with the same message share one str object). The numbers are those :func:`calculate`
        gives for the same well.

    Raises
    ------
    TypeError
        For an argument of the wrong type (a bool, str, date, complex number or structured
        array where numbers are expected), naming it.
    UsageError
        (a ValueError) When ``fluid_system`` or a required number is not given at all, or an
        int is too large for a double.
    ValueError
        When the arguments do not broadcast.
    """
    given = locals()
    if fluid_system is None:
        raise _core.UsageError("--fluid-system is required")
    for name in _FIELDS:
        if name not in _OPTIONAL and given[name] is None:
            raise _core.UsageError(f"--{_option(name)} is required")
    numbers_ = [None if given[name] is None else _reals(name, given[name]) for name in _FIELDS]
    raw, shape = _calculate_columns(
        _texts("fluid_system", fluid_system),
        _texts("completion", completion),
        numbers_,
        None if target_rate is None else _reals("target_rate", target_rate),
        [],
        0,
    )
    return _results(raw, shape)
