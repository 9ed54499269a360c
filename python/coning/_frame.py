"""A pandas DataFrame of wells, with the columns of a batch file."""

from __future__ import annotations

import math
import numbers

import numpy as np

from . import _core
from ._wells import _FIELDS, _calculate_columns

_WELL = "well"
_SYSTEM = "fluid-system"
_COMPLETION = "completion"
_KNOWN = (_WELL, _SYSTEM, _COMPLETION) + _core.NUMERIC_FIELDS
_REQUIRED = (_SYSTEM,) + _core.NUMERIC_FIELDS[:7]


def _texts(column, pd) -> np.ndarray:
    """A column of texts, blanks around them removed, "" where a cell is empty."""
    return column.astype(object).where(column.notna(), "").astype(str).str.strip().to_numpy()


def _numbers(column, field: int, cells: list) -> np.ndarray:
    """A column of numbers, NaN where a cell is empty. Text cells that are not a plain decimal
    number go to `cells`, to be checked as the batch file's reader checks them."""
    if column.dtype.kind in "biuf":
        return column.to_numpy(dtype=np.float64)
    values = np.full(len(column), np.nan)
    for row, cell in enumerate(column.to_numpy(dtype=object)):
        if cell is None or (isinstance(cell, float) and math.isnan(cell)):
            continue
        if isinstance(cell, numbers.Real) and not isinstance(cell, bool):
            values[row] = float(cell)
            continue
        text = str(cell).strip()
        if not text:
            continue
        if _core.is_decimal_number(text):
            values[row] = float(text)
        else:
            cells.append((row, field, text))
    return values


def calculate_frame(frame):
    """Critical coning rates of the wells of a pandas DataFrame, as ``coning-calc --batch``.

    The columns carry the batch file's names: "fluid-system", "permeability", "viscosity",
    "fvf", "density-difference", "drainage-radius", "well-radius" (inches), "zone-thickness"
    (all required), and optionally "completion", "penetration", "completion-top",
    "bottom-hole-pressure" and "well" (a label). An empty cell (NaN, None or blank text) is an
    absent value, so "penetration" and "completion-top" are required where the run uses them,
    as in a batch file. Text cells are read as the batch file's are, so a DataFrame read with
    ``pandas.read_csv(path, float_precision="round_trip")`` gives the batch file's numbers.

    Returns
    -------
    pandas.DataFrame
        One row per well, with the input's index and the batch CSV's output columns: "line"
        (the row's line in a CSV file with one header line), "well", "unit",
        "percent-penetration", one column per correlation ("Sobocinski", "Muskat",
        "Meyer-Garder", "Chaney-Noble", "Schols", "Guo-Lee"; NaN where not shown or failed) and
        "message" (the row's problem, or the failures of its correlations, then its warnings, each after "warning: ";
        empty when there are none).

    Raises
    ------
    ValueError
        For an unknown or missing required column.
    """
    import pandas as pd

    names = {str(c).strip(): c for c in frame.columns}
    if len(names) != len(frame.columns):
        raise ValueError("a column appears twice")
    for name in names:
        if name not in _KNOWN:
            raise ValueError(
                f'unknown column "{name}"; the columns are ' + ", ".join(_KNOWN)
            )
    for name in _REQUIRED:
        if name not in names:
            raise ValueError(f'the required column "{name}" is missing')

    count = len(frame)
    cells: list = []
    numbers_ = []
    for field, name in enumerate(_core.NUMERIC_FIELDS):
        column = frame[names[name]] if name in names else None
        numbers_.append(None if column is None else _numbers(column, field, cells))
    systems = _texts(frame[names[_SYSTEM]], pd)
    completions = _texts(frame[names[_COMPLETION]], pd) if _COMPLETION in names else ""
    raw, _ = _calculate_columns(
        systems,
        completions,
        [np.full(count, np.nan) if v is None else v for v in numbers_],
        [False] * len(_FIELDS),
        cells,
        2,
    )

    system = raw["fluidSystem"]
    unit = np.where(system == 0, "", np.where(system == 2, "MCF/DAY", "STB/DAY")).astype(object)
    message = np.full(count, "", dtype=object)
    if raw["messageTexts"]:
        message[raw["messageRows"]] = np.array(raw["messageTexts"], dtype=object)
    out = {
        "line": np.arange(2, count + 2, dtype=np.int64),
        "well": _texts(frame[names[_WELL]], pd) if _WELL in names else np.full(count, "", object),
        "unit": unit,
        "percent-penetration": raw["percentPenetration"],
    }
    for name in _core.CALL_ORDER:
        out[name] = raw[name]
    out["message"] = message
    return pd.DataFrame(out, index=frame.index)
