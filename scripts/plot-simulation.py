#!/usr/bin/python3
"""Draws the cut of a `coning-calc --simulate-rate Q --format json` run against time.

    coning-calc ... --simulate-rate 40 --format json | /usr/bin/python3 scripts/plot-simulation.py OUT.png
"""
import json
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def main():
    result = json.load(sys.stdin)
    simulation = result["simulation"]
    series = simulation["series"]
    years = [d / 365.25 for d in series["days"]]
    name = "gas cut" if result["fluidSystem"] == "Gas-Oil" else "water cut"
    figure, axes = plt.subplots(figsize=(7, 4), dpi=100)
    axes.plot(years, series["cut"], color="tab:blue", label=name)
    axes.axhline(simulation["breakthroughCut"], color="grey", linestyle=":", linewidth=1,
                 label=f"breakthrough cut {simulation['breakthroughCut']:g}")
    if simulation["breakthroughDays"] is not None:
        at = simulation["breakthroughDays"] / 365.25
        axes.axvline(at, color="tab:red", linestyle="--", linewidth=1,
                     label=f"breakthrough after {simulation['breakthroughDays']:.0f} days")
    axes.set_xlabel("years")
    axes.set_ylabel(name)
    axes.set_xlim(0, simulation["years"])
    axes.set_ylim(0, max(max(series["cut"]) * 1.1, 0.05))
    axes.set_title(f"{result['fluidSystem']} at {simulation['rate']:g} {result['unit']} "
                   f"({simulation['engine']})")
    axes.grid(alpha=0.3)
    axes.legend(loc="lower right")
    figure.tight_layout()
    figure.savefig(sys.argv[1])


if __name__ == "__main__":
    main()
