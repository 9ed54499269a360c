import pytest

import coning
from conftest import cli_json, cli_usage_messages

SAMPLE = dict(permeability=100, viscosity=1, fvf=1.2, density_difference=0.3,
              drainage_radius=1000, well_radius=3, zone_thickness=50, penetration=15)


def cli_design(kwargs, system, completion, target_rate, percent):
    extra = ["--sensitivity", repr(float(percent))]
    if target_rate is not None:
        extra += ["--target-rate", repr(float(target_rate))]
    return cli_json(kwargs, system, completion, extra=extra)


def expected(cli, member):
    return {"error": cli["error"]} if "error" in cli else cli[member]


def test_same_members_as_the_command_line(wells):
    # Every fifth generated well (all fluid systems, both completions, failing runs), with
    # targets below, near and above its rates, and one that no correlation reaches.
    kinds = set()
    for i, (system, completion, kwargs) in enumerate(wells[::5]):
        design = completion == "partial-penetration"
        target = (0.5, 5.0, 50.0, 1e12)[i % 4] if design else None
        percent = (20, 0.5, 99)[i % 3]
        cli = cli_design(kwargs, system, completion, target, percent)
        spread = coning.sensitivity(system, completion=completion, percent=percent, **kwargs)
        assert spread == expected(cli, "sensitivity"), (system, completion, kwargs)
        if design:
            mine = coning.target_penetration(system, target_rate=target, **kwargs)
            assert mine == expected(cli, "design"), (system, kwargs, target)
            kinds.add("error" if "error" in mine else
                      any(d["maxPenetration"] is None for d in mine.values()))
    assert kinds == {"error", True, False}


def test_marks_and_not_varied_match_the_command_line():
    well = dict(SAMPLE, penetration=30, completion_top=27)
    spread = coning.sensitivity("Gas-Water", completion="partial-completion", percent=20, **well)
    assert spread["notVaried"] == ["bottom-hole-pressure"]
    marked = {i["input"]: sorted(i["warnings"]) for i in spread["inputs"] if "warnings" in i}
    assert marked == {"penetration": ["low"], "completion-top": ["high"]}
    cli = cli_design(well, "Gas-Water", "partial-completion", None, 20)
    assert spread == cli["sensitivity"]


def test_gas_oil_gives_the_completion_top():
    well = dict(SAMPLE, penetration=None, completion_top=10)
    design = coning.target_penetration("Gas-Oil", target_rate=1, **well)
    for name, d in design.items():
        assert 50 - d["minCompletionTop"] == d["maxPenetration"]
        # a run at the completion top makes the target
        run = coning.calculate("Gas-Oil", **dict(well, completion_top=d["minCompletionTop"]))
        assert run["rates"][name] >= 1
    inputs = [i["input"] for i in coning.sensitivity("Gas-Oil", percent=10, **well)["inputs"]]
    assert inputs[-1] == "completion-top" and "penetration" not in inputs


@pytest.mark.parametrize("system, completion, kwargs, target, percent", [
    ("Oil-Water", "partial-completion", dict(SAMPLE, completion_top=5), 10, None),
    ("Oil-Water", "partial-penetration", SAMPLE, 0, None),
    ("Oil-Water", "partial-penetration", SAMPLE, -3.5, None),
    ("Gas-Water", "partial-penetration", SAMPLE, float("nan"), None),
    ("Gas-Water", "partial-penetration", SAMPLE, float("inf"), None),
    ("Oil-Water", "partial-penetration", dict(SAMPLE, fvf=None), 0, None),
    ("Oil-Water", "partial-penetration", SAMPLE, None, 0),
    ("Oil-Water", "partial-penetration", SAMPLE, None, 100),
    ("Oil-Water", "partial-penetration", SAMPLE, None, 1e-20),
    ("Gas-Oil", "partial-completion", dict(SAMPLE, viscosity=None), None, 150),
])
def test_usage_errors_raise_the_command_line_message(system, completion, kwargs, target,
                                                     percent):
    args = ["--fluid-system", system, "--completion", completion]
    for name, value in kwargs.items():
        if value is not None:
            args += ["--" + name.replace("_", "-"), repr(float(value))]
    if target is not None:
        args += ["--target-rate", repr(float(target))]
        call = lambda: coning.target_penetration(system, completion=completion,
                                                 target_rate=target, **kwargs)
    else:
        args += ["--sensitivity", repr(float(percent))]
        call = lambda: coning.sensitivity(system, completion=completion, percent=percent,
                                          **kwargs)
    # The module quotes a number in its shortest form, as if typed "150", not "150.0".
    args = [a.removesuffix(".0") for a in args]
    with pytest.raises(ValueError) as raised:
        call()
    assert str(raised.value).splitlines() == cli_usage_messages(args)


def test_the_design_value_is_required_and_a_number():
    with pytest.raises(TypeError):
        coning.target_penetration("Oil-Water", **SAMPLE)
    with pytest.raises(TypeError):
        coning.sensitivity("Oil-Water", percent="20", **SAMPLE)
