import csv
import io
import json
import math

import pandas as pd
import pytest

import coning
from conftest import run_cli

WELL = dict(permeability=100, kv_kh=0.1, viscosity=1, fvf=1.2, density_difference=0.3,
            zone_thickness=50, well_length=2000, standoff=40, boundary_distance=500,
            well_radius=4)

ROWS = """\
well,well-type,fluid-system,permeability,viscosity,fvf,density-difference,drainage-radius,\
well-radius,zone-thickness,penetration,kv-kh,well-length,standoff,boundary-distance
V-1,,Oil-Water,100,1,1.2,0.3,1000,3,50,15,,,,
H-1,horizontal,Gas-Oil,100,0.8,1.3,0.45,,4,60,,0.3,1500,12.5,900
H-2,horizontal,Oil-Water,100,1,1.2,0.3,1000,4,50,,0.1,2000,,500
V-2,vertical,Oil-Water,100,1,1.2,0.3,1000,3,50,15,,2000,,
H-3,horizontal,Oil-Water,100,1,1.2,0.3,,4,50,,0,2000,60,20
"""


@pytest.mark.parametrize("system", ["Oil-Water", "Gas-Water", "Gas-Oil"])
def test_one_well_is_the_command_line_object_bit_for_bit(system):
    mine = coning.calculate(system, well="horizontal", **WELL)
    args = [f"--{k.replace('_', '-')}={v!r}" for k, v in WELL.items()]
    done = run_cli("--well", "horizontal", "--fluid-system", system, "--format", "json", *args)
    assert done.returncode == 0, done.stderr
    assert mine == json.loads(done.stdout)
    assert set(mine["rates"]) == {"Chaperon", "Efros", "Joshi", "Giger-Karcher"}


@pytest.mark.parametrize("kwargs, message", [
    (dict(WELL, drainage_radius=1000), "--drainage-radius is only for vertical wells"),
    (dict(WELL, standoff=None), "--standoff is required for horizontal wells"),
])
def test_horizontal_usage_errors(kwargs, message):
    with pytest.raises(coning.UsageError, match=message):
        coning.calculate("Oil-Water", well="horizontal", **kwargs)
    with pytest.raises(coning.UsageError, match="--well-length is only for horizontal wells"):
        coning.calculate("Oil-Water", well_length=2000, drainage_radius=1000, well_radius=3,
                         permeability=1, viscosity=1, fvf=1, density_difference=1,
                         zone_thickness=1, penetration=1)


def test_frame_with_both_kinds_of_rows_equals_the_batch_csv(tmp_path):
    path = tmp_path / "wells.csv"
    path.write_text(ROWS)
    done = run_cli("--batch", str(path))
    cli = list(csv.DictReader(io.StringIO(done.stdout)))
    frame = coning.calculate_frame(pd.read_csv(path, float_precision="round_trip"))
    assert list(frame.columns) == list(cli[0].keys())
    for row, expected in zip(frame.to_dict("records"), cli):
        for name, text in expected.items():
            value = row[name]
            if isinstance(value, float):
                assert (value == float(text)) if text else math.isnan(value), (row["well"], name)
            else:
                assert str(value) == text, (row["well"], name)
