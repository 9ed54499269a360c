import math

import pytest

import coning
from conftest import cli_json, cli_usage_messages, run_cli

SAMPLE = dict(permeability=100, viscosity=1, fvf=1.2, density_difference=0.3,
              drainage_radius=1000, well_radius=3, zone_thickness=50, penetration=15)


def test_same_object_as_the_command_line(wells):
    for i, (system, completion, kwargs) in enumerate(wells):
        sweep = completion == "partial-penetration" and i % 10 == 0
        mine = coning.calculate(system, completion=completion, sweep=sweep, **kwargs)
        cli = cli_json(kwargs, system, completion, sweep)
        assert mine == cli, (system, completion, kwargs)


def test_the_generated_wells_reach_every_kind_of_result(wells):
    results = [coning.calculate(s, completion=c, **k) for s, c, k in wells]
    assert any("error" in r for r in results)
    assert any("failures" in r for r in results)
    assert any("warnings" in r for r in results)
    assert sum("rates" in r and "failures" not in r for r in results) > 100


@pytest.mark.parametrize("system, completion, kwargs, sweep, args", [
    ("Oil-Water", "partial-penetration", dict(SAMPLE, penetration=None), False, ["--fluid-system", "Oil-Water"]),
    (None, "partial-penetration", SAMPLE, False, []),
    ("Water-Oil", "partial-penetration", SAMPLE, False, ["--fluid-system", "Water-Oil"]),
    ("Oil-Water", "open-hole", SAMPLE, False, ["--fluid-system", "Oil-Water", "--completion", "open-hole"]),
    ("Oil-Water", "partial-penetration", dict(SAMPLE, viscosity=math.inf), False, ["--fluid-system", "Oil-Water"]),
    ("Oil-Water", "partial-penetration", dict(SAMPLE, fvf=math.nan), False, ["--fluid-system", "Oil-Water"]),
    ("Gas-Oil", "partial-completion", SAMPLE, True, ["--fluid-system", "Gas-Oil", "--completion", "partial-completion", "--sweep"]),
])
def test_usage_errors_raise_the_command_line_message(system, completion, kwargs, sweep, args):
    for name, value in kwargs.items():
        if value is not None:
            args = args + ["--" + name.replace("_", "-"), repr(float(value))]
    with pytest.raises(ValueError) as raised:
        coning.calculate(system, completion=completion, sweep=sweep, **kwargs)
    assert str(raised.value).splitlines() == cli_usage_messages(args)


def test_failures_are_data_not_exceptions():
    assert "error" in coning.calculate("Oil-Water", **dict(SAMPLE, well_radius=0))
    failed = coning.calculate("Oil-Water", **dict(SAMPLE, viscosity=0))
    assert set(failed["failures"]) == {"Sobocinski", "Muskat", "Meyer-Garder", "Chaney-Noble",
                                       "Schols", "Guo-Lee"}


def test_sweep_failures_say_why_a_point_is_none():
    well = dict(SAMPLE, zone_thickness=2000, penetration=100)
    result = coning.calculate("Oil-Water", sweep=True, **well)
    assert result == cli_json(well, "Oil-Water", "partial-penetration", sweep=True)
    guo_lee = result["sweepFailures"]["Guo-Lee"]
    assert guo_lee["points"] == result["sweep"]["Guo-Lee"].count(None)
    assert guo_lee["firstPercent"] == 5 and list(result["sweepFailures"]) == ["Guo-Lee"]
    assert "sweepFailures" not in coning.calculate("Oil-Water", sweep=True, **SAMPLE)


def test_version_is_the_command_line_version():
    assert run_cli("--version").stdout.split()[-1] == coning.__version__
