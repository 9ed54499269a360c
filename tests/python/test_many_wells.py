import math

import numpy as np
import pytest

import coning

SAMPLE = dict(permeability=100, viscosity=1, fvf=1.2, density_difference=0.3,
              drainage_radius=1000, well_radius=3, zone_thickness=50, penetration=15)
RATES = ("Sobocinski", "Muskat", "Meyer-Garder", "Chaney-Noble", "Schols", "Guo-Lee")


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


def test_absent_optional_values_are_zero_and_unknown_choices_are_reported():
    given = dict(SAMPLE, penetration=None)
    many = coning.calculate_many(["Gas-Oil", "Gas-Water", "Oil-Gas"], completion_top=[20, np.nan, 1],
                                 **given)
    gas_oil = coning.calculate("Gas-Oil", completion_top=20, **given)
    assert many["Muskat"][0] == gas_oil["rates"]["Muskat"]
    gas_water = coning.calculate("Gas-Water", **dict(SAMPLE, penetration=0))
    assert many["percentPenetration"][1] == gas_water["percentPenetration"] == 0
    assert np.isnan(many["Meyer-Garder"][1])  # no bottom-hole pressure
    assert many["message"][2].startswith('fluid-system: "Oil-Gas" is not a fluid system')
    with pytest.raises(ValueError, match="--viscosity is required"):
        coning.calculate_many("Oil-Water", permeability=1)
