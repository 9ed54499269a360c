import csv
import io
import math

import pandas as pd
import pytest

import coning
from conftest import generated_wells, run_cli

COLUMNS = ["well", "fluid-system", "completion", "permeability", "viscosity", "fvf",
           "density-difference", "drainage-radius", "well-radius", "zone-thickness",
           "penetration", "completion-top", "bottom-hole-pressure"]
# Rows the batch reader refuses, each for its own reason.
BAD_ROWS = [
    ["bad-1", "Oil-Water", "", "abc", "1", "1.2", "0.3", "1000", "3", "50", "15", "", ""],
    ["bad-2", "Oil-Water", "", "100", "1", "1.2", "0.3", "1000", "3", "50", "", "", ""],
    ["bad-3", "Oil-Gas", "", "100", "1", "1.2", "0.3", "1000", "3", "50", "15", "", ""],
    ["bad-4", "Gas-Oil", "partial-completion", "100", "1e999", "1.2", "0.3", "1000", "3", "50",
     "15", "", ""],
]


def batch_file(tmp_path):
    rows = [COLUMNS]
    for i, (system, completion, w) in enumerate(generated_wells(120, seed=11)):
        rows.append([f"W-{i}", system, completion if i % 4 else ""]
                    + [repr(w[c.replace("-", "_")]) if c.replace("-", "_") in w else ""
                       for c in COLUMNS[3:]])
    rows[5:5] = BAD_ROWS
    path = tmp_path / "wells.csv"
    with open(path, "w", newline="") as f:
        csv.writer(f).writerows(rows)
    return path


def test_frame_equals_the_batch_csv(tmp_path):
    path = batch_file(tmp_path)
    done = run_cli("--batch", str(path))
    assert done.returncode == 1
    cli = list(csv.DictReader(io.StringIO(done.stdout)))

    frame = coning.calculate_frame(pd.read_csv(path, float_precision="round_trip"))
    assert list(frame.columns) == list(cli[0].keys())
    assert len(frame) == len(cli)
    for row, expected in zip(frame.to_dict("records"), cli):
        for name, text in expected.items():
            value = row[name]
            if name == "message":
                assert value == text, row["well"]
            elif isinstance(value, float):
                assert (value == float(text)) if text else math.isnan(value), (row["well"], name)
            else:
                assert str(value) == text, (row["well"], name)


def test_columns_are_checked():
    with pytest.raises(ValueError, match="unknown column"):
        coning.calculate_frame(pd.DataFrame({"fluid-system": ["Oil-Water"], "perm": [1.0]}))
    with pytest.raises(ValueError, match='"viscosity" is missing'):
        coning.calculate_frame(pd.DataFrame({"fluid-system": ["Oil-Water"], "permeability": [1.0]}))
