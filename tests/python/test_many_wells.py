import datetime
import math
import signal
import subprocess
import sys
import time

import numpy as np
import pandas as pd
import pytest

import coning
from conftest import cli_usage_messages

SAMPLE = dict(permeability=100, viscosity=1, fvf=1.2, density_difference=0.3,
              drainage_radius=1000, well_radius=3, zone_thickness=50, penetration=15)
RATES = ("Sobocinski", "Muskat", "Meyer-Garder", "Chaney-Noble", "Schols", "Guo-Lee")
TARGET_COMPLETION = ("the penetration design is only for partial-penetration, not for "
                     "partial-completion")


def expected_message(result):
    parts = [result["error"]] if "error" in result else [
        f"{name}: {text}" for name, text in result.get("failures", {}).items()]
    return "; ".join(parts + ["warning: " + w for w in result.get("warnings", [])])


def assert_row(many, i, one):
    assert many["message"][i] == expected_message(one)
    if "error" in one:
        assert math.isnan(many["percentPenetration"][i])
    else:
        assert many["percentPenetration"][i] == one["percentPenetration"]
    for name in RATES:
        value = many[name][i]
        assert (value == one["rates"][name]) if name in one.get("rates", {}) else math.isnan(value)


def test_rows_equal_calculate(wells):
    columns = {name: np.array([w.get(name, math.nan) for _, _, w in wells])
               for name in wells[0][2] | {"bottom_hole_pressure": 0}}
    many = coning.calculate_many([s for s, _, _ in wells],
                                 completion=[c for _, c, _ in wells], **columns)
    for i, (system, completion, kwargs) in enumerate(wells):
        assert_row(many, i, coning.calculate(system, completion=completion, **kwargs))


def test_broadcasting():
    thickness = np.array([[40.0], [50.0], [80.0]])
    penetration = np.array([5.0, 10.0, 15.0, 30.0])
    many = coning.calculate_many("Oil-Water", **dict(SAMPLE, zone_thickness=thickness,
                                                     penetration=penetration))
    assert many["Muskat"].shape == (3, 4) and many["message"].shape == (3, 4)
    for (r, c), value in np.ndenumerate(many["Schols"]):
        one = coning.calculate("Oil-Water", **dict(SAMPLE, zone_thickness=thickness[r, 0],
                                                   penetration=penetration[c]))
        assert value == one["rates"]["Schols"]
    with pytest.raises(ValueError):
        coning.calculate_many("Oil-Water", **dict(SAMPLE, penetration=[1.0, 2.0],
                                                  zone_thickness=[1.0, 2.0, 3.0]))


@pytest.mark.parametrize("change, message", [
    (dict(well_radius=0.0), "Well radius is zero"),
    (dict(permeability=math.nan), "permeability: a value is required"),
    (dict(viscosity=math.inf), 'viscosity: "inf" is not a decimal number'),
    (dict(zone_thickness=3000.0, penetration=10.0), "Guo-Lee: "),
])
def test_failed_wells_give_nan_and_a_message(change, message):
    many = coning.calculate_many(["Oil-Water", "Oil-Water"],
                                 **{k: [v, change.get(k, v)] for k, v in SAMPLE.items()})
    assert many["message"][0] == "" and not np.isnan(many["Guo-Lee"][0])
    assert message in many["message"][1]
    assert np.isnan(many["Guo-Lee"][1])


NA = pd.NA
REQUIRED_PENETRATION = "penetration: a value is required for Oil-Water with partial-penetration"


@pytest.mark.parametrize("change, message, like", [
    (dict(permeability=np.ma.array([100.0, 1.0], mask=[0, 1])),
     "permeability: a value is required", None),
    (dict(penetration=[15, None]), REQUIRED_PENETRATION, None),
    (dict(penetration=np.array([15.0, np.nan])), REQUIRED_PENETRATION, None),
    (dict(penetration=pd.array([15.0, NA], dtype="Float64")), REQUIRED_PENETRATION, None),
    (dict(fluid_system=["Oil-Water", "Gas-Oil"]), "completion-top: a value is required for Gas-Oil", None),
    (dict(fluid_system=["Oil-Water", None]), "fluid-system: a value is required", None),
    (dict(fluid_system=["Oil-Water", math.nan]), "fluid-system: a value is required", None),
    (dict(fluid_system=np.array(["Oil-Water", NA], dtype=object)),
     "fluid-system: a value is required", None),
    (dict(fluid_system=["Oil-Water", ""]), 'fluid-system: "" is not a fluid system', None),
    (dict(completion=["partial-penetration", ""]), 'completion: "" is not a completion type',
     None),
    (dict(completion=["partial-penetration", None]), "", {}),
    (dict(fluid_system=["Oil-Water", "Gas-Oil"], penetration=[15, None], completion_top=[None, 20]),
     "", dict(fluid_system="Gas-Oil", penetration=None, completion_top=20)),
    (dict(bottom_hole_pressure=[None, np.nan]), "", {}),
])
def test_missing_values_are_empty_cells(change, message, like):
    # The second well changes; a well that needs the value it lacks gets NaN rates.
    args = dict(SAMPLE, fluid_system="Oil-Water") | change
    many = coning.calculate_many(args.pop("fluid_system"), **args)
    assert many["message"][0] == ""
    assert many["message"][1].startswith(message) and (message or many["message"][1] == "")
    if like is None:
        assert np.isnan([many[name][1] for name in RATES]).all()
    else:
        alone = dict(SAMPLE, fluid_system="Oil-Water") | like
        assert_row(many, 1, coning.calculate(alone.pop("fluid_system"), **alone))


@pytest.mark.parametrize("name, value", [
    ("permeability", True),
    ("permeability", [100.0, True]),
    ("permeability", np.array([True, False])),
    ("viscosity", "1"),
    ("viscosity", np.array(["1", "2"])),
    ("fvf", datetime.date(2024, 1, 1)),
    ("fvf", np.array(["2024-01-01"], dtype="datetime64[D]")),
    ("zone_thickness", 50 + 0j),
    ("zone_thickness", np.array([50 + 0j])),
    ("penetration", np.zeros(2, dtype=[("top", float), ("base", float)])),
    ("target_rate", False),
    ("fluid_system", 3),
    ("fluid_system", np.array([b"Oil-Water"])),
    ("completion", [True]),
])
def test_wrong_types_are_a_type_error_naming_the_argument(name, value):
    args = dict(SAMPLE, fluid_system="Oil-Water") | {name: value}
    with pytest.raises(TypeError, match=name):
        coning.calculate_many(args.pop("fluid_system"), **args)


def test_an_int_beyond_double_is_the_command_line_usage_error():
    huge = 10**400
    args = ["--fluid-system", "Oil-Water"]
    for name, value in dict(SAMPLE, permeability=huge).items():
        args += ["--" + name.replace("_", "-"), str(value)]
    [expected] = cli_usage_messages(args)
    for call in (coning.calculate, coning.calculate_many):
        for value in (huge, [1, huge]):
            if call is coning.calculate and isinstance(value, list):
                continue
            with pytest.raises(coning.UsageError) as raised:
                call("Oil-Water", **dict(SAMPLE, permeability=value))
            assert str(raised.value) == expected
    with pytest.raises(coning.UsageError, match="--viscosity is required"):
        coning.calculate_many("Oil-Water", permeability=1)


def test_target_rate_gives_the_penetration_design():
    many = coning.calculate_many("Oil-Water", completion=["partial-penetration"] * 2
                                 + ["partial-completion"], target_rate=[12, None, 12],
                                 **dict(SAMPLE, completion_top=5))
    design = coning.target_penetration("Oil-Water", target_rate=12, **SAMPLE)
    for name in RATES:
        expected = design[name]["maxPenetration"]
        value = many["maxPenetration"][name][0]
        assert value == expected if expected is not None else math.isnan(value)
        assert np.isnan(many["maxPenetration"][name][1:]).all()
    assert many["message"][2] == "target-rate: " + TARGET_COMPLETION


def test_ctrl_c_stops_a_long_calculation():
    # Minutes of penetration designs on every processor, interrupted once under way; the child
    # says whether it saw KeyboardInterrupt and how many threads it has more than before.
    child = f"""
import os, numpy as np, coning
threads = lambda: len(os.listdir("/proc/self/task"))
before = threads()
wells = np.full(400_000 * os.cpu_count(), 100.0)
print("ready", flush=True)
try:
    coning.calculate_many("Oil-Water", target_rate=12, **dict({SAMPLE!r}, permeability=wells))
except KeyboardInterrupt:
    print("interrupted", threads() - before)
"""
    job = subprocess.Popen([sys.executable, "-c", child], stdout=subprocess.PIPE, text=True)
    try:
        assert job.stdout.readline() == "ready\n"
        time.sleep(0.5)
        job.send_signal(signal.SIGINT)
        out, _ = job.communicate(timeout=30)
    finally:
        job.kill()
    assert out == "interrupted 0\n"
