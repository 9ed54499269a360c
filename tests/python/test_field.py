import csv
import io
import os
import pathlib
import shutil
import signal
import struct
import subprocess
import sys
import time

import pandas as pd
import pytest

import coning

distributed = pytest.importorskip("distributed")
needs_flow = pytest.mark.skipif(not (shutil.which("flow") or os.environ.get("CONING_FLOW")),
                                reason="flow is not installed")

WELL = "Oil-Water,partial-penetration,100,1,1.2,0.3,1000,4,50,20"
HEADER = ("well,fluid-system,completion,permeability,viscosity,fvf,density-difference,"
          "drainage-radius,well-radius,zone-thickness,penetration,simulate-rate,years")
# A breakthrough, a bad row (a bad well and a bad rate), a rate the well cannot hold (with a
# horizon of its own) and a row that does not simulate its rate.
RATE_ROWS = [f"A,{WELL},1000,", f"bad,{WELL.replace(',100,', ',abc,')},-3,",
             f"big,{WELL},200000,0.05", f"none,{WELL},,"]


def batch(text, tmp_path, *options):
    path = tmp_path / "wells.csv"
    path.write_text(text)
    done = subprocess.run([os.environ.get("CONING_CALC", "coning-calc"), "--batch", str(path),
                           *options], capture_output=True, text=True)
    assert done.returncode in (0, 1), done.stderr
    return list(csv.reader(io.StringIO(done.stdout)))


def assert_same_as_batch(frame, rows):
    """Every cell as the batch wrote it: the same texts, and numbers of the same bits."""
    assert list(frame.columns) == rows[0]
    assert len(frame) == len(rows) - 1
    bits = lambda x: struct.pack("<d", x)  # noqa: E731
    for (_, mine), theirs in zip(frame.iterrows(), rows[1:]):
        for name, text in zip(rows[0], theirs):
            value = mine[name]
            if name in ("well", "well-type", "unit", "message"):
                assert value == text, name
            elif name == "line":
                assert value == int(text)
            elif text == "":
                assert pd.isna(value), name
            elif name == "rate-held":
                assert value == (text == "true")
            else:
                assert bits(value) == bits(float(text)), name


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  host="127.0.0.1", dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        yield client


@needs_flow
@pytest.mark.parametrize("rows, critical", [(RATE_ROWS, False), (RATE_ROWS[:2], True)])
def test_a_cluster_gives_the_batch_rows(client, tmp_path, rows, critical):
    text = "\n".join([HEADER] + rows) + "\n"
    options = ["--years", "0.02", "--jobs", "2"] + (["--simulate-critical"] if critical else [])
    expected = batch(text, tmp_path, *options)
    frame = pd.read_csv(io.StringIO(text), float_precision="round_trip")
    mine = coning.simulate_frame(frame, client=client, critical=critical, years=0.02, jobs=2)
    assert_same_as_batch(mine, expected)
    assert mine["message"].str.contains("cannot hold").sum() == (0 if critical else 1)
    if not critical:  # and on this machine
        here = coning.simulate_frame(frame, years=0.02, jobs=2)
        assert_same_as_batch(here, expected)


@needs_flow
def test_a_rate_study_gives_the_batch_rows(tmp_path):
    text = "\n".join([HEADER] + RATE_ROWS[:2]) + "\n"
    expected = batch(text, tmp_path, "--years", "0.02", "--jobs", "2", "--simulate-rates",
                     "1000,200000", "--economic-cut", "0.5")
    frame = pd.read_csv(io.StringIO(text), float_precision="round_trip")
    mine = coning.simulate_frame(frame, rates=[200000, 1000], economic_cut=0.5, years=0.02,
                                 jobs=2)
    assert_same_as_batch(mine, expected)
    assert list(mine.index) == [0, 0, 1]  # the well's row once per rate


TYPED = ("well,well-type,fluid-system,permeability,viscosity,fvf,density-difference,"
         "drainage-radius,well-radius,zone-thickness,penetration,kv-kh,well-length,standoff,"
         "boundary-distance,simulate-rate")


@needs_flow
def test_horizontal_rows_are_the_batch_rows(tmp_path):
    # A horizontal row that breaks through, one with a vertical well's input, a vertical row with
    # a horizontal well's input, and a well type that is neither.
    text = "\n".join([TYPED, "H,horizontal,Oil-Water,100,1,1.2,0.3,,4,50,,0.1,1000,40,500,1000",
                      "H2,horizontal,Oil-Water,100,1,1.2,0.3,1000,4,50,,0.1,1000,40,500,100",
                      "V,vertical,Oil-Water,100,1,1.2,0.3,1000,3,50,15,,2000,,,40",
                      "X,slanted,Oil-Water,100,1,1.2,0.3,1000,3,50,15,,,,,40"]) + "\n"
    expected = batch(text, tmp_path, "--years", "0.3", "--jobs", "2")
    frame = pd.read_csv(io.StringIO(text), float_precision="round_trip")
    assert_same_as_batch(coning.simulate_frame(frame, years=0.3, jobs=2), expected)


@pytest.mark.parametrize("frame, kwargs, message", [
    (pd.DataFrame({"fluid-system": ["Oil-Water"]}), {}, "nothing to simulate"),
    (pd.DataFrame({"fluid-system": ["Oil-Water"], "rate": [1]}), {}, 'unknown column "rate"'),
    (pd.DataFrame({"fluid-system": ["Oil-Water"], "simulate-rate": [1]}), {"years": 2000},
     "--years: "),
    (pd.DataFrame({"fluid-system": ["Oil-Water"]}), {"critical": True, "jobs": 0}, "--jobs: "),
    (pd.DataFrame({"fluid-system": ["Oil-Water"]}), {"rates": [1, 1]}, "given twice"),
    (pd.DataFrame({"fluid-system": ["Oil-Water"]}), {"rates": "auto", "economic_cut": 0.01},
     "--economic-cut: 0.01 is not above the breakthrough cut 0.01"),
])
def test_usage_errors(frame, kwargs, message):
    for name in ("permeability", "viscosity", "fvf", "density-difference", "drainage-radius",
                 "well-radius", "zone-thickness"):
        frame[name] = 1
    with pytest.raises(coning.UsageError, match=message):
        coning.simulate_frame(frame, **kwargs)


RUN = """
import pandas as pd, coning, distributed
if __name__ == "__main__":
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  host="127.0.0.1", dashboard_address=None,
                                  local_directory={space!r}) as cluster, \\
            distributed.Client(cluster) as client:
        frame = pd.read_csv({wells!r})
        print(flush=True)
        coning.simulate_frame(frame, client=client)
"""


def test_ctrl_c_stops_a_cluster_run_and_leaves_no_simulator(tmp_path):
    started = tmp_path / "started"
    started.mkdir()
    flow = tmp_path / "flow"
    flow.write_text("#!/bin/sh\nif [ \"$1\" = --version ]; then echo 'flow 0.0'; exit 0; fi\n"
                    f"echo > {started}/$$\nexec sleep 60\n")
    flow.chmod(0o700)
    scratch = tmp_path / "tmp"
    scratch.mkdir()
    wells = tmp_path / "wells.csv"
    wells.write_text("\n".join([HEADER] + [f"w{i},{WELL},40," for i in range(4)]) + "\n")
    script = tmp_path / "run.py"
    script.write_text(RUN.format(wells=str(wells), space=str(tmp_path / "space")))
    env = dict(os.environ, CONING_FLOW=str(flow), TMPDIR=str(scratch))
    child = subprocess.Popen([sys.executable, str(script)], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    try:
        child.stdout.readline()
        deadline = time.monotonic() + 60
        while len(os.listdir(started)) < 2 and time.monotonic() < deadline:  # one per worker
            time.sleep(0.05)
        running = [int(pid) for pid in os.listdir(started)]
        assert len(running) == 2
        child.send_signal(signal.SIGINT)
        start = time.monotonic()
        _, err = child.communicate(timeout=30)
        assert time.monotonic() - start < 15
    finally:
        child.kill()
    assert "KeyboardInterrupt" in err
    assert len(os.listdir(started)) == 2  # the rows not started never started
    assert not any(pathlib.Path(f"/proc/{pid}").exists() for pid in running)
    assert os.listdir(scratch) == []
