import json
import os
import random
import subprocess

import pytest

CLI = os.environ.get("CONING_CALC", "coning-calc")

REQUIRED = ("permeability", "viscosity", "fvf", "density_difference", "drainage_radius",
            "well_radius", "zone_thickness")


def run_cli(*args):
    return subprocess.run([CLI, *args], capture_output=True, text=True)


def cli_json(kwargs, fluid_system, completion, sweep=False, extra=()):
    args = ["--fluid-system", fluid_system, "--completion", completion, "--format", "json"]
    for name, value in kwargs.items():
        args += ["--" + name.replace("_", "-"), repr(float(value))]
    if sweep:
        args.append("--sweep")
    args += extra
    done = run_cli(*args)
    assert done.returncode in (0, 1), done.stderr
    return json.loads(done.stdout)


def cli_usage_messages(args):
    done = run_cli(*args)
    assert done.returncode == 2
    prefix = "coning-calc: "
    return [line[len(prefix):] for line in done.stderr.splitlines() if line.startswith(prefix)]


def generated_wells(count, seed=7):
    """Wells across the fluid systems and completion types, mostly plausible, some of them
    chosen to make correlations or the whole run fail, or to raise warnings."""
    rng = random.Random(seed)
    wells = []
    for i in range(count):
        system = ("Oil-Water", "Gas-Water", "Gas-Oil")[i % 3]
        completion = ("partial-penetration", "partial-completion")[(i // 3) % 2]
        h = round(rng.uniform(10, 300), 2)
        w = {
            "permeability": round(rng.uniform(1, 2000), 3),
            "viscosity": round(rng.uniform(0.1, 20), 3),
            "fvf": round(rng.uniform(0.5, 3), 4),
            "density_difference": round(rng.uniform(0.01, 0.8), 3),
            "drainage_radius": round(rng.uniform(100, 3000), 1),
            "well_radius": round(rng.uniform(2, 8), 2),
            "zone_thickness": h,
            "penetration": round(rng.uniform(0.05, 0.95) * h, 2),
            "completion_top": round(rng.uniform(0.01, 0.5) * h, 2),
        }
        if rng.random() < 0.5:
            w["bottom_hole_pressure"] = round(rng.uniform(500, 5000), 1)
        trouble = rng.random()
        if trouble < 0.05:
            w["well_radius"] = 0.0  # the run stops
        elif trouble < 0.1:
            w["zone_thickness"] = w["drainage_radius"] * 3  # Guo-Lee fails
        elif trouble < 0.15:
            w["viscosity"] = 0.0  # division by zero in every rate
        elif trouble < 0.2:
            w["permeability"] = -w["permeability"]  # warnings
        wells.append((system, completion, w))
    return wells


@pytest.fixture(scope="session")
def wells():
    return generated_wells(300)
