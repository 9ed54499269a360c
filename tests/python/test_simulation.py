import json
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import time

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import pytest  # noqa: E402

import coning  # noqa: E402
from conftest import cli_usage_messages  # noqa: E402

SAMPLE = dict(permeability=100, viscosity=1, fvf=1.2, density_difference=0.3,
              drainage_radius=1000, well_radius=3, zone_thickness=50, penetration=15)
needs_flow = pytest.mark.skipif(not (shutil.which("flow") or os.environ.get("CONING_FLOW")),
                                reason="flow is not installed")

RATE_RUN = {"engine": "flow 2022.10", "years": 1, "breakthroughCut": 0.01, "rate": 40,
            "rateHeld": True, "breakthroughDays": 197.96,
            "series": {"days": [0.1, 100, 200, 365.25], "cut": [0, 0, 0.012, 0.09],
                       "rate": [40] * 4, "conedRate": [0, 0, 0.5, 4],
                       "bottomHolePressure": [2100] * 4}}
CRITICAL = {"engine": "flow 2022.10", "years": 10, "breakthroughCut": 0.01,
            "criticalRate": {"low": 21.27, "high": 21.48}, "runs": 8,
            "comparison": {"Sobocinski": -0.75, "Muskat": 6.4, "Schols": -30.4}}


def well_args(**well):
    return ["--fluid-system", "Oil-Water"] + [
        arg for name, value in well.items() for arg in ("--" + name.replace("_", "-"), str(value))]


@needs_flow
def test_same_numbers_as_the_command_line():
    cli = subprocess.Popen([os.environ.get("CONING_CALC", "coning-calc"), *well_args(**SAMPLE),
                            "--simulate-rate", "100", "--simulate-critical", "--years", "0.1",
                            "--simulate-rates", "40,1e3", "--economic-cut", "0.2",
                            "--jobs", "2", "--format", "json"],
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    mine = coning.simulate("Oil-Water", rate=100, critical=True, years=0.1, jobs=2,
                           rates=[1000, 40], economic_cut=0.2, **SAMPLE)
    out, err = cli.communicate()
    assert cli.returncode == 0, err
    assert mine == json.loads(out)["simulation"]


HORIZONTAL = dict(permeability=100, kv_kh=0.1, viscosity=1, fvf=1.2, density_difference=0.3,
                  zone_thickness=50, well_length=1000, standoff=40, boundary_distance=500,
                  well_radius=4)


@needs_flow
def test_a_horizontal_well_gives_the_command_lines_numbers():
    cli = subprocess.run([os.environ.get("CONING_CALC", "coning-calc"), "--well", "horizontal",
                          *well_args(**HORIZONTAL), "--simulate-rate", "300",
                          "--simulate-critical", "--years", "0.2", "--jobs", "2",
                          "--format", "json"], capture_output=True, text=True)
    assert cli.returncode == 0, cli.stderr
    mine = coning.simulate("Oil-Water", well="horizontal", rate=300, critical=True, years=0.2,
                           jobs=2, **HORIZONTAL)
    assert mine == json.loads(cli.stdout)["simulation"]
    assert mine["model"]["geometry"] == "cross-section"


@pytest.mark.parametrize("change, args", [
    (dict(drainage_radius=1000), ["--drainage-radius", "1000"]),
    (dict(standoff=60), ["--standoff", "60"]),
])
def test_horizontal_usage_errors_are_the_command_lines(change, args):
    with pytest.raises(coning.UsageError) as raised:
        coning.simulate("Oil-Water", well="horizontal", rate=40, **(HORIZONTAL | change))
    well = {name: value for name, value in HORIZONTAL.items() if name not in change}
    messages = cli_usage_messages(["--well", "horizontal", *well_args(**well), *args,
                                   "--simulate-rate", "40"])
    assert str(raised.value).splitlines() == [m for m in messages if "needs the simulator" not in m]


ROCK = dict(connate_water=0.25, residual_saturation=0.15, corey_exponents=(2, 3),
            endpoint_permeabilities=(0.5, 0.9), aquifer_thickness=30, outer_boundary="closed",
            initial_pressure=3000, minimum_bhp=500)


@needs_flow
def test_rock_and_aquifer_keywords_give_the_command_lines_numbers():
    args = [arg for name, value in ROCK.items()
            for arg in ("--" + name.replace("_", "-"),
                        ",".join(map(str, value)) if isinstance(value, tuple) else str(value))]
    cli = subprocess.run([os.environ.get("CONING_CALC", "coning-calc"), *well_args(**SAMPLE),
                          "--simulate-rate", "100", "--years", "0.1", *args, "--format", "json"],
                         capture_output=True, text=True)
    assert cli.returncode == 0, cli.stderr
    mine = coning.simulate("Oil-Water", rate=100, years=0.1, **SAMPLE, **ROCK)
    assert mine == json.loads(cli.stdout)["simulation"]
    assert mine["model"]["coreyExponents"] == [2, 3]
    assert mine["model"]["outerBoundary"] == "closed"


@pytest.mark.parametrize("change, args", [
    (dict(rate=-5), ["--simulate-rate", "-5"]),
    (dict(rate=40, corey_exponents=(2, 30), minimum_bhp=3000, outer_boundary="open"),
     ["--simulate-rate", "40", "--corey-exponents", "2,30", "--minimum-bhp", "3000",
      "--outer-boundary", "open"]),
    (dict(rate=40, porosity=1.5, years=2000), ["--simulate-rate", "40", "--porosity", "1.5",
                                               "--years", "2000"]),
    (dict(critical=True, penetration=60), ["--simulate-critical"]),
    (dict(critical=True, jobs=0), ["--simulate-critical", "--jobs", "0"]),
    (dict(rates=[20, 10, 20]), ["--simulate-rates", "20,10,20"]),
    (dict(rates="auto", economic_cut=0.005), ["--simulate-rates", "auto", "--economic-cut",
                                              "0.005"]),
    (dict(critical=True, economic_cut=0.9), ["--simulate-critical", "--economic-cut", "0.9"]),
])
def test_usage_errors_raise_the_command_line_messages(change, args):
    with pytest.raises(coning.UsageError) as raised:
        coning.simulate("Oil-Water", **(SAMPLE | change))
    well = {name: value for name, value in (SAMPLE | change).items() if name in SAMPLE}
    messages = cli_usage_messages(well_args(**well) + args)
    assert str(raised.value).splitlines() == [m for m in messages if "needs the simulator" not in m]


@pytest.mark.parametrize("change, error", [
    (dict(), coning.UsageError),  # nothing to simulate
    (dict(critical=1), TypeError),
    (dict(rate=40, jobs=2.0), TypeError),
    (dict(rate=40, keep_deck=3), TypeError),
    (dict(rate=40, keep_deck="deck\0folder"), ValueError),  # refused before anything runs
    (dict(critical=True, keep_deck="/dev/null/deck"), ValueError),
    (dict(rates=40), TypeError),
    (dict(rates="20,40"), TypeError),
    (dict(rates=[]), coning.UsageError),
])
def test_wrong_arguments(change, error):
    with pytest.raises(error):
        coning.simulate("Oil-Water", **(SAMPLE | change))


def test_a_dataframe_does_not_simulate():
    import pandas as pd
    frame = pd.DataFrame([dict({"fluid-system": "Oil-Water", "simulate-rate": 40},
                               **{k.replace("_", "-"): v for k, v in SAMPLE.items()})])
    with pytest.raises(coning.UsageError, match="coning.simulate_frame does"):
        coning.calculate_frame(frame)


def test_a_missing_simulator_names_the_package(tmp_path, monkeypatch):
    monkeypatch.setenv("PATH", str(tmp_path))
    monkeypatch.delenv("CONING_FLOW", raising=False)
    with pytest.raises(coning.SimulatorNotFoundError, match="libopm-simulators-bin"):
        coning.simulate("Oil-Water", rate=40, **SAMPLE)


def _descendants(pid):
    parents = {}
    for entry in pathlib.Path("/proc").iterdir():
        try:
            stat = (entry / "stat").read_text()
            parents[int(entry.name)] = int(stat.rsplit(")", 1)[1].split()[1])
        except (ValueError, OSError):
            pass
    found, todo = set(), [pid]
    while todo:
        pid = todo.pop()
        children = {p for p, parent in parents.items() if parent == pid}
        found |= children
        todo += children
    return found


def test_ctrl_c_stops_the_simulation_and_leaves_nothing(tmp_path):
    script = tmp_path / "flow"
    script.write_text("#!/bin/sh\nif [ \"$1\" = --version ]; then echo 'flow 0.0'; exit 0; fi\n"
                      "exec sleep 30\n")
    script.chmod(0o700)
    scratch = tmp_path / "tmp"
    scratch.mkdir()
    code = ("import coning; print(flush=True); "
            f"coning.simulate('Oil-Water', critical=True, **{SAMPLE})")
    env = dict(os.environ, CONING_FLOW=str(script), TMPDIR=str(scratch))
    child = subprocess.Popen([sys.executable, "-c", code], env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    child.stdout.readline()
    deadline = time.monotonic() + 10
    while len(_descendants(child.pid)) < 2 and time.monotonic() < deadline:  # two runs at once
        time.sleep(0.05)
    running = _descendants(child.pid)
    assert running and os.listdir(scratch)
    child.send_signal(signal.SIGINT)
    start = time.monotonic()
    _, err = child.communicate(timeout=10)
    assert time.monotonic() - start < 1
    assert "KeyboardInterrupt" in err
    assert not any(pathlib.Path(f"/proc/{pid}").exists() for pid in running)
    assert os.listdir(scratch) == []


@pytest.mark.parametrize("ending", ["SIGTERM", "exit with a simulation in a daemon thread"])
def test_the_simulators_and_their_folders_end_with_python(tmp_path, ending):
    pids = tmp_path / "pids"
    script = tmp_path / "flow"
    script.write_text(f"#!/bin/sh\necho $$ >> '{pids}'\n"
                      "if [ \"$1\" = --version ]; then echo 'flow 0.0'; exit 0; fi\n"
                      "exec sleep 30\n")
    script.chmod(0o700)
    scratch = tmp_path / "tmp"
    scratch.mkdir()
    code = ("import sys, threading, coning; threading.Thread(target=coning.simulate, "
            f"args=('Oil-Water',), kwargs=dict(critical=True, **{SAMPLE}), daemon=True).start(); "
            "sys.stdin.readline()")
    env = dict(os.environ, CONING_FLOW=str(script), TMPDIR=str(scratch))
    child = subprocess.Popen([sys.executable, "-c", code], env=env, stdin=subprocess.PIPE,
                             stderr=subprocess.PIPE, text=True)
    deadline = time.monotonic() + 10
    while len(pids.read_text().split() if pids.exists() else []) < 3:  # the probe and two runs
        assert time.monotonic() < deadline
        time.sleep(0.02)
    started = [int(pid) for pid in pids.read_text().split()]
    if ending == "SIGTERM":
        child.send_signal(signal.SIGTERM)
    _, err = child.communicate("\n", timeout=10)
    assert child.returncode == (-signal.SIGTERM if ending == "SIGTERM" else 0), err
    deadline = time.monotonic() + 1
    while any(pathlib.Path(f"/proc/{pid}").exists() for pid in started) or os.listdir(scratch):
        assert time.monotonic() < deadline, "a simulator or its folder is left a second later"
        time.sleep(0.01)


def test_plot_simulation_marks_the_breakthrough():
    fig, ax = plt.subplots()
    assert coning.plot_simulation(RATE_RUN, ax) is ax
    cut, _, breakthrough = ax.lines
    assert list(cut.get_ydata()) == RATE_RUN["series"]["cut"]
    assert list(cut.get_xdata()) == [d / 365.25 for d in RATE_RUN["series"]["days"]]
    assert breakthrough.get_xdata()[0] == 197.96 / 365.25
    assert "197.9 days" in breakthrough.get_label()  # rounded down, as the command line shows it
    plt.close(fig)


def test_plot_simulation_draws_the_bracket_against_the_correlations():
    fig, ax = plt.subplots()
    coning.plot_simulation(CRITICAL, ax)
    heights = [bar.get_height() for bar in ax.patches[:3]]
    assert heights == pytest.approx([21.27 * (1 + p / 100) for p in (-0.75, 6.4, -30.4)])
    assert [t.get_text() for t in ax.get_xticklabels()] == ["Sobocinski", "Muskat", "Schols"]
    assert "21.27 to 21.48" in ax.get_legend().get_texts()[0].get_text()
    plt.close(fig)


STUDY = {"engine": "flow 2022.10", "years": 2, "breakthroughCut": 0.01, "economicCut": 0.5,
         "criticalRate": {"low": 21.27, "high": 21.48}, "comparison": {"Muskat": 6.4},
         "rateStudy": [{"rate": r, "rateHeld": held, "produced": p, "coningPhaseProduced": w}
                       for r, held, p, w in ((20, True, 14610, 0), (100, True, 31043, 17187),
                                             (5000, False, 12000, 6000))]}


def test_plot_rate_study_draws_oil_and_water_against_the_rate():
    fig, ax = plt.subplots()
    assert coning.plot_rate_study(STUDY, ax) is ax
    oil, water, critical, muskat = ax.lines
    assert list(oil.get_xdata()) == [20, 100, 5000]
    assert list(oil.get_ydata()) == [14610, 31043, 12000]
    assert list(water.get_ydata()) == [0, 17187, 6000]
    assert critical.get_xdata()[0] == 21.27
    assert muskat.get_xdata()[0] == pytest.approx(21.27 * 1.064)
    held, hollow = ax.collections[:2]  # the oil's rates held, and the one not held
    assert len(held.get_offsets()) == 2 and len(hollow.get_offsets()) == 1
    plt.close(fig)
    with pytest.raises(ValueError, match="no rate study to draw"):
        coning.plot_rate_study(CRITICAL)


@pytest.mark.parametrize("result, kind, message", [
    (CRITICAL, "cut", "no cut to draw: simulate it with rate="),
    ({"engine": "flow 2022.10", "rate": 9e9, "rateHeld": False, "error": "the well cannot hold"},
     None, "the simulation failed.*cannot hold"),
])
def test_plot_simulation_refuses_what_it_cannot_draw(result, kind, message):
    with pytest.raises(ValueError, match=message):
        coning.plot_simulation(result, kind=kind)

