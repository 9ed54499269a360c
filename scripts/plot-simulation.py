#!/usr/bin/python3
"""Draws the cut of a `coning-calc --simulate-rate Q --format json` run against time with
coning.plot_simulation: the installed package, or else the one of the release build.

    coning-calc ... --simulate-rate 40 --format json | /usr/bin/python3 scripts/plot-simulation.py OUT.png
"""
import json
import pathlib
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

try:
    import coning
except ImportError:
    sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "build/release/python"))
    import coning


def main():
    result = json.load(sys.stdin)
    figure, axes = plt.subplots(figsize=(7, 4), dpi=100)
    coning.plot_simulation(result, axes, kind="cut")
    figure.tight_layout()
    figure.savefig(sys.argv[1])


if __name__ == "__main__":
    main()
