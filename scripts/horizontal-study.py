#!/usr/bin/python3
"""The four horizontal-well correlations against the simulated critical rate, on a fixed design.

Runs `coning-calc --well horizontal --simulate-critical --format json` for every well of a seeded
Latin hypercube design (Oil-Water and Gas-Oil; kv/kh 1, 0.3 and 0.1; boundary distance 2 to 20
zone thicknesses; the well from the far side of the zone to half way to the contact) at a
ten-year and a steady (300-year) horizon, one well at a time (the search itself runs one
simulator per core). Each run is cached as a JSON file, so that an interrupted study resumes
where it stopped. Writes docs/validation-horizontal.md (keeping its part written by hand), a
CSV of every well with each correlation's ratio to the simulated critical rate, and a picture
of those ratios.

    /usr/bin/python3 scripts/horizontal-study.py --cache build/horizontal-study
    /usr/bin/python3 scripts/horizontal-study.py --cache /tmp/h --wells 2 --horizons 0.5 --out /tmp
"""
import argparse
import importlib.util
import math
import sys
from pathlib import Path

import matplotlib
import numpy as np
import pandas as pd

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

ROOT = Path(__file__).resolve().parent.parent
# The vertical study's runner, cache records and statistics serve this one as they are.
_spec = importlib.util.spec_from_file_location("validation_study",
                                               ROOT / "scripts" / "validation-study.py")
vertical = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(vertical)

CORRELATIONS = ("Chaperon", "Efros", "Joshi", "Giger-Karcher")
HORIZONS = (10, 300)
SEED = 23
WELLS_PER_CELL = 4
CELLS = [(system, kv_kh) for system in ("Oil-Water", "Gas-Oil") for kv_kh in (1.0, 0.3, 0.1)]

# The design's ranges: (low, high, sampled uniformly in the logarithm).
RANGES = {
    "zone-thickness": (20.0, 100.0, True),  # ft: thin oil rims
    "ye-over-h": (2.0, 20.0, True),
    "standoff-fraction": (0.5, 1.0, False),  # of the zone: from half way to the far side
    "well-length": (500.0, 3000.0, True),  # ft
    "permeability": (20.0, 1000.0, True),  # md
    "viscosity": (0.5, 5.0, True),  # cp, of the oil
    "fvf": (1.05, 1.5, False),  # rb/STB
    "well-radius": (3.0, 6.0, False),  # in
    "density-difference": (0.0, 1.0, False),  # scaled per fluid system below
}
DENSITY_DIFFERENCE = {"Oil-Water": (0.10, 0.40), "Gas-Oil": (0.45, 0.60)}
OPTIONS = ("permeability", "kv-kh", "viscosity", "fvf", "density-difference", "zone-thickness",
           "well-length", "standoff", "boundary-distance", "well-radius")


def design_wells():
    rng = np.random.default_rng(SEED)
    names = list(RANGES)
    wells = []
    for system, kv_kh in CELLS:
        for point in vertical.latin_hypercube(rng, WELLS_PER_CELL, len(names)):
            x = {}
            for name, u in zip(names, point):
                low, high, logarithmic = RANGES[name]
                x[name] = math.exp(math.log(low) + u * math.log(high / low)) if logarithmic \
                    else low + u * (high - low)
            h = float(round(x["zone-thickness"]))
            low, high = DENSITY_DIFFERENCE[system]
            wells.append({
                "well": f"H{len(wells) + 1:02d}",
                "fluid-system": system,
                "kv-kh": kv_kh,
                "zone-thickness": h,
                "standoff": round(x["standoff-fraction"] * h, 1),
                "boundary-distance": float(round(x["ye-over-h"] * h, -1)),
                "well-length": float(round(x["well-length"], -2)),
                "permeability": vertical.significant(x["permeability"], 2),
                "viscosity": vertical.significant(x["viscosity"], 2),
                "fvf": round(x["fvf"], 2),
                "density-difference": round(low + x["density-difference"] * (high - low), 2),
                "well-radius": round(x["well-radius"] * 4) / 4,
            })
    return wells


def steady_rate(well):
    """The steady critical rate of a line well at its standoff, STB/day:
    0.001127 x 0.4335 psi/ft per g/cc x kh drho L (h^2 - (h - zw)^2) / (mu B ye)."""
    h, zw = well["zone-thickness"], well["standoff"]
    return (4.886e-4 * well["permeability"] * well["density-difference"] * well["well-length"]
            * (h ** 2 - (h - zw) ** 2) / (well["viscosity"] * well["fvf"]
                                           * well["boundary-distance"]))


def command_for(coning_calc, well, years):
    command = [str(coning_calc), "--well", "horizontal", "--fluid-system", well["fluid-system"]]
    for option in OPTIONS:
        command += [f"--{option}", f"{well[option]:g}"]
    return command + ["--years", f"{years:g}", "--simulate-critical", "--format", "json"]


def run_well(coning_calc, well, years, cache):
    """The cached record of one well and horizon, or a new run recorded in the cache."""
    path = cache / f"{well['well']}-{years:g}y.json"
    command = command_for(coning_calc, well, years)
    if path.exists():
        record = vertical.json.loads(path.read_text())
        if record["arguments"] == command[1:]:
            return record, False
    record = vertical.attempt(command, command[1:], well, years)
    partial = path.with_suffix(".part")
    partial.write_text(vertical.json.dumps(record, indent=1))
    partial.replace(path)
    return record, True


def table_of_wells(wells, records, horizons):
    rows = []
    for well in wells:
        row = dict(well)
        row["steady-rate"] = steady_rate(well)
        for years in horizons:
            rates, simulation, error = vertical.outcome(records[well["well"], years])
            low = simulation.get("criticalRate", {}).get("low")
            high = simulation.get("criticalRate", {}).get("high")
            row[f"low-{years:g}y"] = low
            row[f"high-{years:g}y"] = high
            row[f"runs-{years:g}y"] = simulation.get("runs")
            row[f"seconds-{years:g}y"] = records[well["well"], years]["seconds"]
            row[f"error-{years:g}y"] = error or ""
            row[f"ratio-steady-{years:g}y"] = row["steady-rate"] / low if low and not error \
                else None
            for name in CORRELATIONS:
                rate = rates.get(name)
                row[f"rate-{name}"] = rate
                row[f"ratio-{name}-{years:g}y"] = rate / low if rate and low and not error \
                    else None
        rows.append(row)
    return pd.DataFrame(rows)


def draw(table, horizons, path):
    """The ratios per correlation (and the steady formula), one panel per horizon."""
    figure, panels = plt.subplots(1, len(horizons), figsize=(6.5 * len(horizons), 6), dpi=110,
                                  sharey=True, squeeze=False)
    names = CORRELATIONS + ("steady",)
    rng = np.random.default_rng(SEED)  # jitter only
    for axes, years in zip(panels[0], horizons):
        data = [table[f"ratio-{name}-{years:g}y"].dropna().to_numpy(dtype=float)
                for name in names]
        axes.boxplot([d if len(d) else [np.nan] for d in data], whis=(0, 100), widths=0.6,
                     patch_artist=True, boxprops={"facecolor": "0.92"},
                     medianprops={"color": "black", "linewidth": 2})
        for system, marker, colour in (("Oil-Water", "o", "tab:blue"),
                                       ("Gas-Oil", "^", "tab:red")):
            mask = table["fluid-system"] == system
            for i, name in enumerate(names, start=1):
                values = table.loc[mask, f"ratio-{name}-{years:g}y"].dropna().to_numpy(float)
                axes.scatter(i + rng.uniform(-0.22, 0.22, len(values)), values, s=18,
                             marker=marker, color=colour, alpha=0.8, zorder=3,
                             label=system if i == 1 else None)
        axes.axhline(1.0, color="black", linestyle="--", linewidth=1)
        axes.set_yscale("log")
        axes.set_xticks(range(1, len(names) + 1), list(names), rotation=20)
        axes.set_title(f"{years:g}-year horizon")
        axes.grid(axis="y", alpha=0.3)
    panels[0][0].set_ylabel("rate / simulated critical rate")
    panels[0][0].legend(loc="upper left")
    figure.tight_layout()
    figure.savefig(path)
    plt.close(figure)


def ratio_rows(table, years, mask=None):
    """A table row per correlation and the steady formula: wells, median ratio and its
    interquartile range, range, share of wells at or below 1 (safe)."""
    lines = ["| rate | wells | median ratio | middle half | range | at or below 1 |",
             "|---|---:|---:|---:|---:|---:|"]
    for name in CORRELATIONS + ("steady",):
        values = table[f"ratio-{name}-{years:g}y"] if mask is None else \
            table.loc[mask, f"ratio-{name}-{years:g}y"]
        values = values.dropna().astype(float)
        if not len(values):
            continue
        label = "steady formula" if name == "steady" else name
        lines.append(f"| {label} | {len(values)} | {values.median():.2f} | "
                     f"{values.quantile(0.25):.2f} - {values.quantile(0.75):.2f} | "
                     f"{values.min():.2f} - {values.max():.2f} | "
                     f"{100.0 * (values <= 1.0).mean():.0f} % |")
    return lines


def group_rows(table, years):
    """Median ratio per group of wells (fluid system, kv/kh)."""
    names = CORRELATIONS + ("steady",)
    lines = ["| group | wells | " + " | ".join(n if n != "steady" else "steady formula"
                                            for n in names) + " |",
             "|---|---:|" + "---:|" * len(names)]
    for system in ("Oil-Water", "Gas-Oil"):
        for kv_kh in (1.0, 0.3, 0.1):
            mask = (table["fluid-system"] == system) & (table["kv-kh"] == kv_kh)
            cells = []
            count = 0
            for name in names:
                values = table.loc[mask, f"ratio-{name}-{years:g}y"].dropna().astype(float)
                count = max(count, len(values))
                cells.append(f"{values.median():.2f}" if len(values) else "-")
            lines.append(f"| {system}, kv/kh {kv_kh:g} | {count} | " + " | ".join(cells) + " |")
    return lines


def write_page(table, records, horizons, path, picture, csv):
    """The validation page of horizontal wells: how the study was made, the ratios per horizon,
    and the section below the marker, which is written by hand and kept."""
    failed = [f"- {well} at {years:g} years: {vertical.outcome(record)[2]}"
              for (well, years), record in records.items() if vertical.outcome(record)[2]]
    runs = sum(vertical.outcome(r)[1].get("runs", 0) for r in records.values())
    seconds = sum(r["seconds"] for r in records.values())
    lines = [
        "# Validation: horizontal wells against the simulated critical rate", "",
        "[README](../README.md) · [Horizontal wells](horizontal.md) · "
        "[Simulation](simulation.md) · [Validation of vertical wells](validation.md)", "",
        "```sh",
        "/usr/bin/python3 scripts/horizontal-study.py --cache build/horizontal-study",
        "```", "",
        f"The script runs `coning-calc --well horizontal --simulate-critical --format json` on "
        f"{len(table)} wells at horizons of {' and '.join(f'{y:g}' for y in horizons)} years "
        f"(the longer one steady: the crest takes decades to build), caches every run, and "
        f"writes this page's tables, [the picture]({picture.name}) and [every well]({csv.name}) "
        f"({len(records)} searches, {runs} simulator runs, {seconds / 60:.0f} minutes on 2 "
        "cores shared with other work).", "",
        "## How the study was made", "",
        "**The wells.** Six groups of four: Oil-Water and Gas-Oil, each with kv/kh 1, 0.3 and "
        f"0.1; within each group a Latin hypercube (numpy's `default_rng({SEED})`) spreads the "
        "wells over a zone of 20 to 100 ft, a boundary distance y_e of 2 to 20 zone "
        "thicknesses, the well from the far side of the zone (standoff h) to half way to the "
        "contact (standoff h/2), a length of 500 to 3000 ft, 20 to 1000 md, 0.5 to 5 cp, "
        "FVF 1.05 to 1.5, well radius 3 to 6 in, Δρ 0.1 to 0.4 g/cc (Oil-Water) or 0.45 to 0.6 "
        "(Gas-Oil).", "",
        "**The model** is the cross-section `coning-calc` builds for a horizontal well "
        "([Horizontal wells](horizontal.md#what-the-model-assumes)): constant pressure at y_e, "
        "bottom water or a gas cap as thick as the zone, straight-line relative permeabilities, "
        "a cut of 0.01 as breakthrough; the bracket [L, H] has H ≤ 1.005 L.", "",
        "**The ratio** of a rate is that rate over L: at or below 1 is safe over the horizon, "
        "far below 1 gives production away. \"Steady formula\" is "
        "4.886e-4·kh·Δρ·L·(h² − (h − z_w)²)/(μ·B·y_e), the segregated-flow rate of a line well "
        "at its standoff, fed from both sides at y_e.", "",
    ]
    lines += (["**Failed searches:**", "", *failed, ""] if failed
              else ["Every well and horizon simulated without failure.", ""])
    lines += [f"![Ratios per correlation and horizon]({picture.name})", ""]
    for years in horizons:
        lines += [f"## {years:g}-year horizon", "", *ratio_rows(table, years), "",
                  "Median ratio by group:", "", *group_rows(table, years), ""]
    if len(horizons) > 1:
        short, long = min(horizons), max(horizons)
        both = table[f"low-{short:g}y"] / table[f"low-{long:g}y"]
        both = both.dropna().astype(float)
        if len(both):
            lines += [f"The {short:g}-year critical rate over the {long:g}-year one: median "
                      f"{both.median():.2f}, from {both.min():.2f} to {both.max():.2f}.", ""]
    kept = ""
    if path.exists():
        old = path.read_text()
        if MARKER in old:
            kept = old[old.index(MARKER):]
    path.write_text("\n".join(lines).rstrip() + "\n\n" + (kept or MARKER + "\n"))


MARKER = "<!-- written by hand below; scripts/horizontal-study.py keeps it -->"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--coning-calc", type=Path,
                        default=ROOT / "build" / "release" / "src" / "cli" / "coning-calc")
    parser.add_argument("--cache", type=Path, required=True, help="folder of the runs' records")
    parser.add_argument("--out", type=Path, default=ROOT / "docs",
                        help="folder for validation-horizontal.md, .csv and .png")
    parser.add_argument("--wells", type=int, help="only the first N wells (a quick check)")
    parser.add_argument("--horizons", type=float, nargs="+", default=list(HORIZONS),
                        help="years (default 10 300)")
    args = parser.parse_args()
    wells = design_wells()[:args.wells]
    args.cache.mkdir(parents=True, exist_ok=True)
    records = {}
    for years in args.horizons:
        for well in wells:
            record, ran = run_well(args.coning_calc, well, years, args.cache)
            records[well["well"], years] = record
            _, simulation, error = vertical.outcome(record)
            summary = f"FAILED: {error}" if error else (
                f"{simulation['criticalRate']['low']:.4g} ({simulation['runs']} runs)")
            print(f"{well['well']} {years:g} years: {summary}"
                  + (f" ({record['seconds']:.0f} s)" if ran else " (cached)"),
                  file=sys.stderr, flush=True)
    table = table_of_wells(wells, records, args.horizons)
    args.out.mkdir(parents=True, exist_ok=True)
    csv = args.out / "validation-horizontal.csv"
    picture = args.out / "validation-horizontal.png"
    table.to_csv(csv, index=False, float_format="%.6g")
    draw(table, args.horizons, picture)
    write_page(table, records, args.horizons, args.out / "validation-horizontal.md", picture, csv)
    for years in args.horizons:
        medians = []
        for name in CORRELATIONS + ("steady",):
            values = table[f"ratio-{name}-{years:g}y"].dropna()
            if len(values):
                medians.append(f"{name} {values.median():.2f}")
        print(f"{years:g} years, median ratios: " + ", ".join(medians), file=sys.stderr)


if __name__ == "__main__":
    main()
