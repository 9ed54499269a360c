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
SAMPLE = {"fluid-system": "Oil-Water", "permeability": 100, "viscosity": 1, "fvf": 1.2,
          "density_difference": 0.3, "drainage_radius": 1000, "well_radius": 3,
          "zone_thickness": 50, "penetration": 15}
# Rows the batch reader refuses, each for its own reason.
BAD_ROWS = [
    ["bad-1", "Oil-Water", "", "abc", "1", "1.2", "0.3", "1000", "3", "50", "15", "", ""],
    ["bad-2", "Oil-Water", "", "100", "1", "1.2", "0.3", "1000", "3", "50", "", "", ""],
    ["bad-3", "Oil-Gas", "", "100", "1", "1.2", "0.3", "1000", "3", "50", "15", "", ""],
    ["bad-4", "Gas-Oil", "partial-completion", "100", "1e999", "1.2", "0.3", "1000", "3", "50",
     "15", "", ""],
]


def batch_file(tmp_path, design):
    rows = [COLUMNS + ["target-rate"] * design]
    for i, (system, completion, w) in enumerate(generated_wells(120, seed=11)):
        target = [repr((0.5, 5.0, 50.0)[i % 3]) if completion == "partial-penetration" else ""]
        rows.append([f"W-{i}", system, completion if i % 4 else ""]
                    + [repr(w[c.replace("-", "_")]) if c.replace("-", "_") in w else ""
                       for c in COLUMNS[3:]] + target * design)
    rows[5:5] = [row + [""] * design for row in BAD_ROWS]
    if design:
        rows[9][-1] = "abc"
        rows[10][2:3], rows[10][-1] = ["partial-completion"], "7"
    path = tmp_path / "wells.csv"
    with open(path, "w", newline="") as f:
        csv.writer(f).writerows(rows)
    return path


@pytest.mark.parametrize("design", [False, True])
def test_frame_equals_the_batch_csv(tmp_path, design):
    path = batch_file(tmp_path, design)
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


def test_nullable_columns_have_empty_cells():
    frame = pd.DataFrame({"fluid-system": pd.array(["Oil-Water", pd.NA], dtype="string"),
                          "permeability": pd.array([100, pd.NA], dtype="Int64"),
                          "penetration": pd.array([15, pd.NA], dtype="Float64")}
                         | {c: [SAMPLE[c.replace("-", "_")]] * 2 for c in COLUMNS[4:10]})
    message = coning.calculate_frame(frame)["message"]
    assert message[0] == ""
    assert message[1] == "; ".join(f"line 3, column {c}: a value is required" for c in
                                   ("fluid-system", "permeability"))


@pytest.mark.parametrize("header", [
    "fluid-system,perm\x1b,viscosity",
    "fluid-system,permeability, permeability",
    "fluid-system,permeability",
])
def test_columns_are_checked_as_in_a_batch_file(tmp_path, header):
    header = header.encode().decode("unicode_escape")
    path = tmp_path / "header.csv"
    path.write_text(header + "\n")
    done = run_cli("--batch", str(path))
    assert done.returncode == 2
    with pytest.raises(coning.UsageError) as raised:
        coning.calculate_frame(pd.DataFrame(columns=header.split(",")))
    assert f"coning-calc: line 1: {raised.value}\n" == done.stderr


@pytest.mark.parametrize("given", [SAMPLE, pd.Series(SAMPLE)])
def test_only_a_dataframe_is_taken(given):
    with pytest.raises(TypeError, match="DataFrame"):
        coning.calculate_frame(given)
