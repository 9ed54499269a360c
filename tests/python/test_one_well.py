import ast
import inspect
import math
import pathlib

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
    with pytest.raises(coning.UsageError) as raised:
        coning.calculate(system, completion=completion, sweep=sweep, **kwargs)
    assert str(raised.value).splitlines() == cli_usage_messages(args)


@pytest.mark.parametrize("change", [dict(sweep=1), dict(sweep=None), dict(viscosity=True),
                                    dict(viscosity="1"), dict(completion=b"partial-completion")])
def test_wrong_types_are_a_type_error_naming_the_argument(change):
    with pytest.raises(TypeError, match=next(iter(change))):
        coning.calculate("Oil-Water", **(SAMPLE | change))


def test_every_public_function_is_annotated():
    for name in coning.__all__:
        function = getattr(coning, name)
        if inspect.isfunction(function):
            signature = inspect.signature(function)
            assert signature.return_annotation is not signature.empty, name
            for parameter in signature.parameters.values():
                assert parameter.annotation is not parameter.empty, (name, parameter.name)
    stub = ast.parse((pathlib.Path(coning.__file__).parent / "_core.pyi").read_text())
    stubbed = {node.name for node in stub.body if isinstance(node, (ast.FunctionDef, ast.ClassDef))}
    compiled = {name for name in dir(coning._core)
                if not name.startswith("_") and callable(getattr(coning._core, name))}
    assert stubbed == compiled


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


MEYER_GARDER = ": Meyer-Garder needs a positive bottom-hole pressure for Gas-Water and is left out"


@pytest.mark.parametrize("system, change, warning", [
    ("Gas-Water", {}, "Bottom-hole pressure is missing or zero" + MEYER_GARDER),
    ("Gas-Water", dict(bottom_hole_pressure=-1500),
     "Bottom-hole pressure is negative (-1500 psia)" + MEYER_GARDER),
    ("Oil-Water", dict(permeability=0),
     "Permeability is zero: the rates are zero and say nothing about coning"),
    ("Oil-Water", dict(density_difference=0),
     "Density difference is zero: the rates are zero and say nothing about coning"),
    ("Oil-Water", dict(penetration=0), "Penetration thickness is zero: the well does not enter "
     "the zone, so the rates have no physical meaning"),
])
def test_warnings_are_the_command_lines(system, change, warning):
    kwargs = dict(SAMPLE, **change)
    assert warning in coning.calculate(system, **kwargs)["warnings"]
    assert "warning: " + warning in coning.calculate_many(system, **kwargs)["message"][()]


def test_a_subnormal_float_is_read_as_given():
    assert coning.calculate("Oil-Water", **dict(SAMPLE, permeability=5e-324))["rates"]
