"""A pandas DataFrame of wells, with the columns of a batch file."""

from __future__ import annotations

import numbers
from typing import Any

import numpy as np

from . import _core
from ._wells import _calculate_columns, _messages

_WELL = "well"
_SYSTEM = "fluid-system"
_COMPLETION = "completion"
_TARGET = "target-rate"
_TYPE = "well-type"
_KV_KH = "kv-kh"
_HORIZONTAL_ONLY = tuple(name for name in _core.HORIZONTAL_FIELDS
                         if name not in _core.NUMERIC_FIELDS and name != _KV_KH)
_KNOWN = (_WELL, _SYSTEM, _COMPLETION) + _core.NUMERIC_FIELDS + (_TYPE,) + _HORIZONTAL_ONLY \
    + (_TARGET,) + _core.SIMULATION_COLUMNS
_REQUIRED = (_SYSTEM,) + _core.NUMERIC_FIELDS[:7]


def _trimmed(text: str) -> str:
    return text.strip(" \t")  # the blanks the batch file's reader removes


def _texts(column, pd) -> np.ndarray:
    """A column of texts, blanks around them removed, None where a cell is empty."""
    texts = column.astype(object).where(column.notna(), "").astype(str).map(_trimmed)
    return texts.where(texts != "", None).to_numpy(dtype=object)


def _numbers(column, field: int, cells: list, pd) -> np.ndarray:
    """A column of numbers, NaN where a cell is empty. Cells that are not a plain decimal number
    (text, bool and any other object) go to `cells` as text, to be checked as the batch file's
    reader checks them."""
    dtype = column.dtype
    if pd.api.types.is_numeric_dtype(dtype) and not pd.api.types.is_bool_dtype(dtype) \
            and not pd.api.types.is_complex_dtype(dtype):
        return column.to_numpy(dtype=np.float64, na_value=np.nan)
    values = np.full(len(column), np.nan)
    for row, cell in enumerate(column.to_numpy(dtype=object)):
        if pd.api.types.is_scalar(cell) and pd.isna(cell):
            continue
        if isinstance(cell, numbers.Real) and not isinstance(cell, (bool, np.bool_)):
            try:
                values[row] = float(cell)
                continue
            except OverflowError:
                pass  # checked as its digits, which are beyond the range of double
        text = _trimmed(str(cell))
        if not text:
            continue
        if _core.is_decimal_number(text):
            values[row] = float(text)
        else:
            cells.append((row, field, text))
    return values


def _has_type(frame) -> bool:
    return any(_trimmed(str(column)) == _TYPE for column in frame.columns)


def _cell_text(cell) -> "str | None":
    """A cell as the batch file's reader sees its text; None when empty."""
    import pandas as pd
    if pd.api.types.is_scalar(cell) and pd.isna(cell):
        return None
    if isinstance(cell, numbers.Real) and not isinstance(cell, (bool, np.bool_)):
        try:
            return repr(float(cell))
        except OverflowError:
            return str(cell)
    text = _trimmed(str(cell))
    return text or None


def _horizontal_rows(frame, names: dict, out: dict, types: np.ndarray) -> None:
    """Calculates the horizontal rows one by one and the vertical rows' misplaced horizontal
    values, into the output columns, as batch mode does."""
    horizontal = np.flatnonzero(types == "horizontal")
    rates = {name: np.full(len(frame), np.nan) for name in _core.HORIZONTAL_CORRELATIONS}
    vertical_columns = [name for name in names
                        if name not in _core.HORIZONTAL_FIELDS
                        and name not in (_WELL, _SYSTEM, _TYPE)]
    for row in horizontal:
        record = frame.iloc[row]
        system = _cell_text(record[names[_SYSTEM]])
        cells = [(_cell_text(record[names[name]]) if name in names else None)
                 for name in _core.HORIZONTAL_FIELDS]
        misplaced = [name for name in vertical_columns
                     if _cell_text(record[names[name]]) is not None]
        found, unit, message = _core.horizontal_row(int(out["line"][row]), system, cells,
                                                    misplaced)
        for name, rate in zip(_core.HORIZONTAL_CORRELATIONS, found):
            rates[name][row] = np.nan if rate is None else rate
        out["unit"][row] = unit
        out["message"][row] = message
    for row in horizontal:
        out["percent-penetration"][row] = np.nan
        for name in _core.CALL_ORDER:
            out[name][row] = np.nan
    vertical = types != "horizontal"
    checked = [name for name in _HORIZONTAL_ONLY + (_KV_KH,) if name in names]
    for row in np.flatnonzero(vertical):
        record = frame.iloc[row]
        line = int(out["line"][row])
        problems = [f"line {line}, column {name}: "
                    + ("only for simulating or for a horizontal row" if name == _KV_KH
                       else "only for horizontal wells, not for a vertical row")
                    for name in checked if _cell_text(record[names[name]]) is not None]
        if types[row] not in ("vertical", ""):
            problems = [f"line {line}, column {_TYPE}: "
                        f"{_core.quoted_for_message(types[row])} is not a well type: "
                        "use vertical or horizontal"]
        if not problems:
            continue
        own = out["message"][row]
        if not own.startswith(f"line {line}, column") or types[row] not in ("vertical", ""):
            own = ""
        out["message"][row] = "; ".join(([own] if own else []) + problems)
        out["unit"][row] = ""
        out["percent-penetration"][row] = np.nan
        for name in _core.CALL_ORDER:
            out[name][row] = np.nan
    return rates


def _columns(frame, simulating: bool = False) -> dict:
    """The frame's columns by their batch file name, checked as the batch file's header."""
    names: dict = {}
    for column in frame.columns:
        name = _trimmed(str(column))
        quoted = _core.quoted_for_message(name)
        if name not in _KNOWN:
            raise _core.UsageError(f"unknown column {quoted}; the columns are " + ", ".join(_KNOWN))
        if name in names:
            raise _core.UsageError(f"the column {quoted} appears twice")
        if name in _core.SIMULATION_COLUMNS and not simulating \
                and not (name == _KV_KH and _has_type(frame)):
            raise _core.UsageError(f"the column {quoted} is for simulating, which "
                                   "calculate_frame does not do: coning.simulate_frame does")
        names[name] = column
    typed = _TYPE in names
    for name in _HORIZONTAL_ONLY:
        if name in names and not typed:
            raise _core.UsageError(f"the column {_core.quoted_for_message(name)} is only for "
                                   "horizontal wells: add a well-type column")
    for name in _REQUIRED:
        if typed and name not in _core.HORIZONTAL_FIELDS and name != _SYSTEM:
            continue  # each row says what it lacks
        if name not in names:
            raise _core.UsageError(
                f"the required column {_core.quoted_for_message(name)} is missing")
    return names


def calculate_frame(frame: Any) -> Any:
    """Critical coning rates of the wells of a pandas DataFrame, as ``coning-calc --batch``.

    The columns carry the batch file's names: "fluid-system", "permeability", "viscosity",
    "fvf", "density-difference", "drainage-radius", "well-radius" (inches), "zone-thickness"
    (all required), and optionally "completion", "penetration", "completion-top",
    "bottom-hole-pressure", "target-rate" and "well" (a label). An empty cell (NaN, None,
    ``pandas.NA`` or blank text) is an absent value, so "penetration" and "completion-top" are
    required where the run uses them, as in a batch file. Text cells are read as the batch
    file's are, so a DataFrame read with ``pandas.read_csv(path, float_precision="round_trip")``
    gives the batch file's numbers; a cell that is neither a real number nor such a text (a bool,
    a date) is a bad value of its row.

    Returns
    -------
    pandas.DataFrame
        One row per well, with the input's index and the batch CSV's output columns: "line"
        (the row's line in a CSV file with one header line), "well", "unit",
        "percent-penetration", one column per correlation ("Sobocinski", "Muskat",
        "Meyer-Garder", "Chaney-Noble", "Schols", "Guo-Lee"; NaN where not shown or failed),
        with a "target-rate" column the "max-penetration:" column of each correlation (NaN
        where the row has no target rate or no penetration gives it), and "message" (the row's
        problem, or the failures of its correlations, then its warnings, each after
        "warning: "; empty when there are none).

    Raises
    ------
    TypeError
        When ``frame`` is not a DataFrame.
    UsageError
        (a ValueError) For an unknown, doubled or missing required column, in the batch file's
        words.
    """
    import pandas as pd

    if not isinstance(frame, pd.DataFrame):
        raise TypeError("calculate_frame needs a pandas DataFrame with the batch file's columns, "
                        f"not {type(frame).__name__} (pandas.DataFrame(...) makes one)")
    names = _columns(frame)
    count = len(frame)
    cells: list = []

    def numbers_of(name: str, field: int):
        if name not in names:
            return None
        return _numbers(frame[names[name]], field, cells, pd)

    numbers_ = [numbers_of(name, f) for f, name in enumerate(_core.NUMERIC_FIELDS)]
    target = numbers_of(_TARGET, len(_core.NUMERIC_FIELDS))
    systems = _texts(frame[names[_SYSTEM]], pd)
    completions = (_texts(frame[names[_COMPLETION]], pd) if _COMPLETION in names
                   else np.full(count, None, dtype=object))
    raw, _ = _calculate_columns(
        (systems.astype(str), systems == None),  # noqa: E711 (element-wise)
        (completions.astype(str), completions == None),  # noqa: E711
        numbers_,
        target,
        cells,
        2,
    )

    labels = np.full(count, "", dtype=object)
    if _WELL in names:
        given = _texts(frame[names[_WELL]], pd)
        labels[given != None] = given[given != None]  # noqa: E711 (element-wise)
    system = raw["fluidSystem"]
    unit = np.where(system == 0, "", np.where(system == 2, "MCF/DAY", "STB/DAY")).astype(object)
    out = {
        "line": np.arange(2, count + 2, dtype=np.int64),
        "well": labels,
        "unit": unit,
        "percent-penetration": raw["percentPenetration"],
    }
    for name in _core.CALL_ORDER:
        out[name] = raw[name]
    message = _messages(raw)
    if _TYPE in names:
        out["message"] = message
        # Rows of either well: the type and the horizontal rates in columns of their own.
        given = _texts(frame[names[_TYPE]], pd)
        types = np.where(given == None, "", given).astype(object)  # noqa: E711
        for key in ("percent-penetration",) + tuple(_core.CALL_ORDER):
            out[key] = np.array(out[key], dtype=np.float64)
        out["message"] = np.array(out["message"], dtype=object)
        horizontal_rates = _horizontal_rows(frame, names, out, types)
        shown = np.where(types == "horizontal", "horizontal",
                         np.where((types == "") | (types == "vertical"), "vertical", ""))
        ordered = {"line": out["line"], "well": out["well"], "well-type": shown.astype(object)}
        for key in ("unit", "percent-penetration") + tuple(_core.CALL_ORDER):
            ordered[key] = out[key]
        ordered.update(horizontal_rates)
        message = out["message"]
        out = ordered
        failed = (types == "horizontal") | (shown == "") | (message != _messages(raw))
    if target is not None:
        for name in _core.CALL_ORDER:
            column = np.array(raw["maxPenetration"][name], dtype=np.float64)
            if _TYPE in names:
                column[failed] = np.nan
            out["max-penetration:" + name] = column
    out["message"] = message
    return pd.DataFrame(out, index=frame.index)
