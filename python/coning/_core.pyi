# The compiled part of the package; use the functions of `coning`.
from typing import Any, Optional, Sequence, Union

import numpy as np

__version__: str
CALL_ORDER: tuple[str, ...]
NUMERIC_FIELDS: tuple[str, ...]
SIMULATION_COLUMNS: tuple[str, ...]
HORIZONTAL_FIELDS: tuple[str, ...]
HORIZONTAL_CORRELATIONS: tuple[str, ...]

class UsageError(ValueError): ...
class SimulationError(RuntimeError): ...
class SimulatorNotFoundError(SimulationError): ...

def calculate(
    fluid_system: Optional[str],
    completion: Optional[str],
    values: Sequence[Optional[float]],
    sweep: bool,
) -> dict[str, Any]: ...
def calculate_horizontal(
    fluid_system: Optional[str],
    values: Sequence[Optional[float]],
) -> dict[str, Any]: ...
def horizontal_row(
    line: int,
    fluid_system: Optional[str],
    cells: Sequence[Optional[str]],
    vertical_columns: list[str],
) -> tuple[list[Optional[float]], str, str]: ...
def calculate_wells(
    count: int,
    fluid_system_names: list[str],
    fluid_system_index: Optional[np.ndarray],
    completion_names: list[str],
    completion_index: Optional[np.ndarray],
    values: list[Optional[np.ndarray]],
    target_rate: Optional[np.ndarray],
    text_cells: list[tuple[int, int, str]],
    first_line: int,
) -> dict[str, Any]: ...
def target_penetration(
    fluid_system: Optional[str],
    completion: Optional[str],
    values: Sequence[Optional[float]],
    target_rate: float,
) -> dict[str, Any]: ...
def sensitivity(
    fluid_system: Optional[str],
    completion: Optional[str],
    values: Sequence[Optional[float]],
    percent: float,
) -> dict[str, Any]: ...
def simulation(
    fluid_system: Optional[str],
    completion: Optional[str],
    values: Sequence[Optional[float]],
    rate: Optional[float],
    critical: bool,
    rates: Optional[str],
    economic_cut: Optional[float],
    settings: list[tuple[str, Union[float, str]]],
    jobs: Optional[str],
    keep_deck: Optional[str],
) -> str: ...
def horizontal_simulation(
    fluid_system: Optional[str],
    values: Sequence[Optional[float]],
    rate: Optional[float],
    critical: bool,
    settings: list[tuple[str, Union[float, str]]],
    jobs: Optional[str],
    keep_deck: Optional[str],
) -> str: ...
def number_problem(option: str, text: str) -> Optional[str]: ...
def quoted_for_message(text: str) -> str: ...
def is_decimal_number(text: str) -> bool: ...

class ProcessSlots:
    def __init__(self, count: int) -> None: ...

class RowCancel:
    def __init__(self) -> None: ...
    def set(self) -> None: ...
    def is_set(self) -> bool: ...

def default_jobs() -> int: ...
def check_simulator() -> None: ...
def check_settings(settings: list[tuple[str, Union[float, str]]], jobs: Optional[str]) -> None: ...
def check_study(
    rates: Optional[str],
    economic_cut: Optional[float],
    settings: list[tuple[str, Union[float, str]]],
) -> None: ...
def simulate_row(
    line: int,
    cells: list[tuple[str, Union[float, str]]],
    critical: bool,
    rates: Optional[str],
    economic_cut: Optional[float],
    settings: list[tuple[str, Union[float, str]]],
    jobs: int,
    slots: ProcessSlots,
    cancel: RowCancel,
) -> tuple[
    str, float, tuple[float, ...], tuple[float, ...], float, float, float, str, bool,
    list[tuple[float, bool, float, float, float, float, float, float, str]],
]: ...
