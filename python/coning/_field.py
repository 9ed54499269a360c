"""Simulating the wells of a DataFrame row by row: on this machine, or on a Dask cluster."""

from __future__ import annotations

import math
import numbers
import threading
import uuid
from typing import Any, Optional

import numpy as np

from . import _core
from ._frame import _TARGET, _TYPE, _WELL, _columns, _trimmed
from ._simulation import _rates_text, _settings
from ._wells import _number

_RATE = "simulate-rate"
# How often a row on a Dask worker asks whether the run was cancelled, in seconds.
_CANCEL_POLL = 0.25
# How long a cancelled distributed run waits for its running rows to stop their simulators.
_CANCEL_WAIT = 20.0

# The simulator slots of this process by `jobs`: the rows of one worker share them.
_slots: dict = {}
_slots_lock = threading.Lock()


def _process_slots(jobs: int):
    with _slots_lock:
        if jobs not in _slots:
            _slots[jobs] = _core.ProcessSlots(jobs)
        return _slots[jobs]


def _cell(value: Any, pd) -> Any:
    """A cell as the row function takes it: a float, a text, or None for an empty cell."""
    if isinstance(value, str):
        return value
    if isinstance(value, (bool, np.bool_)):
        return str(value)  # not a number: refused as its text
    if isinstance(value, numbers.Real):
        try:
            number = float(value)
        except OverflowError:
            return str(value)  # its digits, beyond the range of double
        return None if math.isnan(number) else number
    if value is None or (pd.api.types.is_scalar(value) and pd.isna(value)):
        return None
    return str(value)


def _rows(frame, names: dict, pd) -> list:
    """Each row as (line, well label, [(column, cell), ...]) with its line in the batch file."""
    columns = [(name, frame[column].to_numpy(dtype=object)) for name, column in names.items()
               if name != _WELL]
    labels = frame[names[_WELL]].to_numpy(dtype=object) if _WELL in names else None
    rows = []
    for i in range(len(frame)):
        cells = []
        for name, values in columns:
            cell = _cell(values[i], pd)
            if cell is not None:
                cells.append((name, cell))
        label = labels[i] if labels is not None else None
        label = "" if _cell(label, pd) is None else _trimmed(str(label))
        rows.append((i + 2, label, cells))
    return rows


def simulated_row(row: tuple, asked: tuple, settings: list, jobs: int,
                  cancel_event: Optional[str] = None) -> Optional[tuple]:
    """One row simulated as the batch file's row of its line (a Dask task: top level, so that
    it pickles by name); `asked` is (critical, the rates' text or None, the economic cut or
    None). With `cancel_event`, the name of a ``distributed.Event``, the row stops
    its simulators and returns None once the event is set."""
    line, _, cells = row
    slots = _process_slots(jobs)
    cancel = _core.RowCancel()
    if cancel_event is None:
        return _core.simulate_row(line, cells, *asked, settings, jobs, slots, cancel)
    from distributed import Event

    event = Event(cancel_event)
    if event.is_set():
        return None
    out: list = []
    runner = threading.Thread(target=lambda: out.append(
        _core.simulate_row(line, cells, *asked, settings, jobs, slots, cancel)))
    runner.start()
    while runner.is_alive():
        runner.join(_CANCEL_POLL)
        if runner.is_alive() and event.is_set():
            cancel.set()
    if cancel.is_set() or not out:
        return None
    return out[0]


def _run_here(rows: list, asked: tuple, settings: list, jobs: int) -> list:
    from concurrent.futures import ThreadPoolExecutor, TimeoutError

    slots = _core.ProcessSlots(jobs)
    cancel = _core.RowCancel()
    pool = ThreadPoolExecutor(max_workers=jobs)
    try:
        futures = [pool.submit(_core.simulate_row, line, cells, *asked, settings, jobs, slots,
                               cancel) for line, _, cells in rows]
        results = []
        for future in futures:
            while True:  # short waits, so that Ctrl-C is seen at once
                try:
                    results.append(future.result(timeout=0.1))
                    break
                except TimeoutError:
                    pass
        return results
    except BaseException:
        cancel.set()  # every running row kills its simulators
        raise
    finally:
        pool.shutdown(wait=True, cancel_futures=True)


def _lost_row(line: int, error: BaseException) -> tuple:
    """A row whose task failed outside the row function (its worker died, say)."""
    nan = math.nan
    message = f"line {line}: the simulation failed: {type(error).__name__}: {error}"
    return ("", nan, (nan,) * 6, (nan,) * 6, nan, nan, nan, message, True, [], (nan,) * 4)


def _run_on(client, rows: list, asked: tuple, settings: list, jobs: int) -> list:
    from distributed import Event, as_completed, wait

    name = f"coning-cancel-{uuid.uuid4().hex}"
    event = Event(name, client=client)
    futures = client.map(simulated_row, rows, asked=asked, settings=settings, jobs=jobs,
                         cancel_event=name, pure=False)
    place = {future.key: i for i, future in enumerate(futures)}
    results: list = [None] * len(rows)
    try:
        for future in as_completed(futures):
            i = place[future.key]
            try:
                results[i] = future.result()
            except Exception as error:  # the task, not the row, failed: the row says so
                results[i] = _lost_row(rows[i][0], error)
            future.release()
        return results
    except BaseException:
        # The running rows kill their simulators when they see the event; the others never
        # start. Wait for the running ones, so that no simulator outlives the run.
        event.set()
        busy = {key for keys in client.processing().values() for key in keys}
        client.cancel([f for f in futures if f.key not in busy])
        running = [f for f in futures if f.key in busy]
        try:
            wait(running, timeout=_CANCEL_WAIT)
        except Exception:
            pass
        client.cancel(futures)
        raise
    finally:
        try:
            event.clear()  # the scheduler forgets the event
        except Exception:
            pass


def simulate_frame(
    frame: Any,
    *,
    client: Any = None,
    critical: bool = False,
    rates: Any = None,
    economic_cut: Optional[float] = None,
    jobs: Optional[int] = None,
    years: Optional[float] = None,
    breakthrough_cut: Optional[float] = None,
    kv_kh: Optional[float] = None,
    porosity: Optional[float] = None,
    displacing_viscosity: Optional[float] = None,
    time_limit: Optional[float] = None,
    connate_water: Optional[float] = None,
    residual_saturation: Optional[float] = None,
    corey_exponents: Optional[tuple] = None,
    endpoint_permeabilities: Optional[tuple] = None,
    relperm_table: Any = None,
    aquifer_thickness: Optional[float] = None,
    outer_boundary: Optional[str] = None,
    initial_pressure: Optional[float] = None,
    minimum_bhp: Optional[float] = None,
) -> Any:
    """Simulates the wells of a pandas DataFrame in flow, as ``coning-calc --batch FILE
    [--simulate-critical] [--jobs N] [settings]`` does with the same rows: the same line
    numbers, numbers and messages, bit for bit.

    The columns are those of a batch file (see :func:`calculate_frame`) with "simulate-rate"
    (the rate to produce each well at; empty: none) and the per-row settings "kv-kh",
    "porosity", "displacing-viscosity", "years", "breakthrough-cut", "connate-water",
    "residual-saturation", "corey-exponents", "endpoint-permeabilities", "relperm-table",
    "aquifer-thickness", "outer-boundary", "initial-pressure" and "minimum-bhp", which override
    the keywords of the same names for their row.

    Parameters
    ----------
    client : distributed.Client, optional
        Runs the rows as tasks on the client's workers, each finding its own flow (on its
        PATH or in CONING_FLOW). None: on this machine.
    critical : bool
        Every row's critical rate (``--simulate-critical``).
    rates : list of float, or "auto"
        Every row's rate study (``--simulate-rates``), until ``economic_cut``
        (``--economic-cut``; None: 0.95). The output then has one row per well and rate.
    jobs : int, optional
        Simulator processes at once (``--jobs``): here, over all rows; on a cluster, in each
        worker process. A critical-rate search runs this many at once, so its bracket depends
        on it: the results equal ``coning-calc --batch --jobs N``. None: one per core of this
        machine, as ``coning-calc`` here.
    years, breakthrough_cut, kv_kh, porosity, displacing_viscosity, time_limit, ... : float
        The settings, as :func:`simulate` takes them (None: the command line's default),
        the rock and aquifer settings included.

    Returns
    -------
    pandas.DataFrame
        One row per well, with the input's index and the batch CSV's output columns: those of
        :func:`calculate_frame`, then "breakthrough-days" with a "simulate-rate" column and
        "simulated-critical-low" and "simulated-critical-high" with ``critical``, and with
        ``rates`` "rate", "rate-held", "rate-breakthrough-days", "economic-days", "until-days",
        "produced", "coning-phase-produced" and "recovery", the well's row repeated (its index
        too) once per rate, as the batch CSV, before "message" (NaN where a cell is empty). A row that fails (bad input, a rate the well
        cannot hold, a simulator failure, a lost worker) has its message and stops no other.

    Raises
    ------
    UsageError
        For an unknown, doubled or missing required column, a setting or ``jobs`` out of its
        range, or nothing to simulate (no "simulate-rate" column and not ``critical``).
    SimulatorNotFoundError
        Without a client, when flow is not installed here.
    KeyboardInterrupt
        On Ctrl-C: the rows not yet started never start, and the running ones kill their
        simulators first.
    """
    import pandas as pd

    if not isinstance(frame, pd.DataFrame):
        raise TypeError("simulate_frame needs a pandas DataFrame with the batch file's columns, "
                        f"not {type(frame).__name__} (pandas.DataFrame(...) makes one)")
    if not isinstance(critical, (bool, np.bool_)):
        raise TypeError(f"critical must be a bool, not {type(critical).__name__}")
    names = _columns(frame, simulating=True)
    if _RATE not in names and not critical and rates is None:
        raise _core.UsageError("nothing to simulate: add a simulate-rate column or give "
                               "critical=True")
    values = locals()
    settings = _settings(values)
    rates = _rates_text(rates)
    economic_cut = _number("economic_cut", economic_cut)
    _core.check_study(rates, economic_cut, settings)
    if jobs is not None and (isinstance(jobs, (bool, np.bool_))
                             or not isinstance(jobs, numbers.Integral)):
        raise TypeError(f"jobs must be an int, not {type(jobs).__name__}")
    _core.check_settings(settings, None if jobs is None else str(int(jobs)))
    jobs = _core.default_jobs() if jobs is None else int(jobs)
    asked = (bool(critical), rates, economic_cut)

    rows = _rows(frame, names, pd)
    if client is None:
        _core.check_simulator()
        results = _run_here(rows, asked, settings, jobs)
    else:
        results = _run_on(client, rows, asked, settings, jobs)

    out: dict = {
        "line": np.array([row[0] for row in rows], dtype=np.int64),
        "well": np.array([row[1] for row in rows], dtype=object),
    }
    if _TYPE in names:  # rows of either well, as batch mode writes them
        types = [_trimmed(str(dict(row[2]).get(_TYPE, ""))) for row in rows]
        out[_TYPE] = np.array([t if t == "horizontal" else "vertical" if t in ("", "vertical")
                               else "" for t in types], dtype=object)
    out["unit"] = np.array([r[0] for r in results], dtype=object)
    out["percent-penetration"] = np.array([r[1] for r in results], dtype=np.float64)
    for k, name in enumerate(_core.CALL_ORDER):
        out[name] = np.array([r[2][k] for r in results], dtype=np.float64)
    if _TYPE in names:
        for k, name in enumerate(_core.HORIZONTAL_CORRELATIONS):
            out[name] = np.array([r[10][k] for r in results], dtype=np.float64)
    if _TARGET in names:
        for k, name in enumerate(_core.CALL_ORDER):
            out["max-penetration:" + name] = np.array([r[3][k] for r in results],
                                                      dtype=np.float64)
    if _RATE in names:
        out["breakthrough-days"] = np.array([r[4] for r in results], dtype=np.float64)
    if critical:
        out["simulated-critical-low"] = np.array([r[5] for r in results], dtype=np.float64)
        out["simulated-critical-high"] = np.array([r[6] for r in results], dtype=np.float64)
    out["message"] = np.array([r[7] for r in results], dtype=object)
    if rates is None:
        return pd.DataFrame(out, index=frame.index)
    return _study_frame(out, results, frame.index, pd)


_STUDY_COLUMNS = ("rate", "rate-held", "rate-breakthrough-days", "economic-days", "until-days",
                  "produced", "coning-phase-produced", "recovery")


def _study_frame(out: dict, results: list, index: Any, pd) -> Any:
    """The rows repeated once per rate of their study (once without one), as the batch CSV
    writes them, with the study's columns before "message"."""
    counts = np.array([max(1, len(r[9])) for r in results], dtype=np.int64)
    message = out.pop("message")
    repeated = {name: np.repeat(values, counts) for name, values in out.items()}
    nan = math.nan
    study: dict = {name: [] for name in _STUDY_COLUMNS}
    messages = []
    for r, text in zip(results, message):
        for row in r[9] or [None]:
            cells = (nan, None, nan, nan, nan, nan, nan, nan) if row is None else row[:8]
            for name, cell in zip(_STUDY_COLUMNS, cells):
                study[name].append(cell)
            fell_off = row[8] if row is not None and not row[1] else ""
            messages.append("; ".join(t for t in (text, fell_off) if t))
    for name in _STUDY_COLUMNS:
        repeated[name] = np.array(study[name],
                                  dtype=object if name == "rate-held" else np.float64)
    repeated["message"] = np.array(messages, dtype=object)
    return pd.DataFrame(repeated, index=index.repeat(counts))
