#!/usr/bin/python3
"""The six correlations against the simulated critical rate, on a fixed design of wells.

Runs `coning-calc --simulate-critical --format json` for every well of a seeded Latin
hypercube design and two horizons (10 and 100 years), one well at a time (the search itself
runs one simulator per core). Each run is cached as a JSON file in the cache folder, so an
interrupted study resumes where it stopped. Writes docs/validation.md, docs/validation.png and
docs/validation-wells.csv.

    /usr/bin/python3 scripts/validation-study.py --cache build/validation-study
"""
import argparse
import json
import math
import os
import platform
import subprocess
import sys
import time
from pathlib import Path

import matplotlib
import numpy as np
import pandas as pd

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

# In the order of the report.
CORRELATIONS = ("Sobocinski", "Muskat", "Chaney-Noble", "Schols", "Guo-Lee", "Meyer-Garder")
HORIZONS = (10, 100)
SEED = 14
RETRIES = 1
WELLS_PER_CELL = 12
CELLS = [("Oil-Water", 1.0), ("Oil-Water", 0.1), ("Gas-Oil", 1.0), ("Gas-Oil", 0.1)]

# The design's ranges: (low, high, sampled uniformly in the logarithm).
RANGES = {
    "zone-thickness": (20.0, 200.0, True),  # ft
    "completed-fraction": (0.10, 0.70, False),  # of the zone
    "drainage-radius": (500.0, 3000.0, True),  # ft
    "permeability": (20.0, 1000.0, True),  # md
    "viscosity": (0.5, 5.0, True),  # cp, of the oil
    "fvf": (1.05, 1.5, False),  # rb/STB
    "well-radius": (3.0, 6.0, False),  # in
    "density-difference": (0.0, 1.0, False),  # scaled per fluid system below
}
# Oil of 0.6 to 0.9 g/cc over water of 1.0; gas of 0.1 to 0.25 g/cc over oil of 0.7.
DENSITY_DIFFERENCE = {"Oil-Water": (0.10, 0.40), "Gas-Oil": (0.45, 0.60)}


def latin_hypercube(rng, count, dimensions):
    """Points in the unit cube, one in each of `count` equal strata of every dimension."""
    strata = np.array([rng.permutation(count) for _ in range(dimensions)]).T
    return (strata + rng.random((count, dimensions))) / count


def significant(value, digits):
    return float(f"{value:.{digits}g}")


def design_wells():
    """The study's wells: a Latin hypercube of 12 wells for each fluid system and kv/kh."""
    rng = np.random.default_rng(SEED)
    names = list(RANGES)
    wells = []
    for system, kv_kh in CELLS:
        for point in latin_hypercube(rng, WELLS_PER_CELL, len(names)):
            x = {}
            for name, u in zip(names, point):
                low, high, logarithmic = RANGES[name]
                x[name] = math.exp(math.log(low) + u * math.log(high / low)) if logarithmic \
                    else low + u * (high - low)
            h = float(round(x["zone-thickness"]))
            completed = round(x["completed-fraction"] * h, 1)
            low, high = DENSITY_DIFFERENCE[system]
            well = {
                "well": f"W{len(wells) + 1:02d}",
                "fluid-system": system,
                "kv-kh": kv_kh,
                "zone-thickness": h,
                # Oil-Water: open from the top down; Gas-Oil: from the completion top to the base.
                "penetration": completed if system == "Oil-Water" else None,
                "completion-top": round(h - completed, 1) if system == "Gas-Oil" else None,
                "completed-percent": 100.0 * completed / h,
                "drainage-radius": float(round(x["drainage-radius"], -1)),
                "permeability": significant(x["permeability"], 2),
                "viscosity": significant(x["viscosity"], 2),
                "fvf": round(x["fvf"], 2),
                "density-difference": round(low + x["density-difference"] * (high - low), 2),
                "well-radius": round(x["well-radius"] * 4) / 4,
            }
            wells.append(well)
    return wells


def command_for(coning_calc, well, years):
    command = [str(coning_calc), "--fluid-system", well["fluid-system"]]
    for option in ("permeability", "viscosity", "fvf", "density-difference", "drainage-radius",
                   "well-radius", "zone-thickness", "penetration", "completion-top", "kv-kh"):
        if well[option] is not None:
            command += [f"--{option}", f"{well[option]:g}"]
    return command + ["--years", str(years), "--simulate-critical", "--format", "json"]


def attempt(command, arguments, well, years):
    start = time.monotonic()
    process = subprocess.run(command, capture_output=True, text=True)
    record = {
        "well": well["well"],
        "years": years,
        "arguments": arguments,
        "exit": process.returncode,
        "seconds": time.monotonic() - start,
        "stderr": process.stderr.strip(),
    }
    try:
        record["result"] = json.loads(process.stdout)
    except json.JSONDecodeError:
        record["result"] = None
    return record


def run_well(coning_calc, well, years, cache):
    """One well and horizon: the cached record, or a new run recorded in the cache."""
    return run_well_command(command_for(coning_calc, well, years), well, years, cache)


def run_well_command(command, well, years, cache):
    """The cached record of `command` for the well and horizon, or a new run recorded there.

    A failed search is tried once more (a failure can depend on timing); the record keeps the
    failed attempts under "earlier" so that the document can name them."""
    path = cache / f"{well['well']}-{years}y.json"
    arguments = command[1:]
    record = json.loads(path.read_text()) if path.exists() else None
    if record is not None and record["arguments"] != arguments:
        record = None
    ran = False
    while record is None or (outcome(record)[2] and len(record.get("earlier", [])) < RETRIES):
        earlier = [] if record is None else record.get("earlier", []) + [
            {"seconds": record["seconds"], "error": outcome(record)[2]}]
        record = attempt(command, arguments, well, years)
        record["earlier"] = earlier
        partial = path.with_suffix(".part")
        partial.write_text(json.dumps(record, indent=1))
        partial.replace(path)  # a study stopped mid-write leaves no half record behind
        ran = True
    return record, ran


def outcome(record):
    """(rates, simulation, error) of one run's record."""
    result = record["result"] or {}
    simulation = result.get("simulation", {})
    error = simulation.get("error") or result.get("error")
    if not error and "criticalRate" not in simulation:
        error = record["stderr"] or f"coning-calc exited with status {record['exit']}"
    return result.get("rates", {}), simulation, error


def total_seconds(record):
    return record["seconds"] + sum(e["seconds"] for e in record.get("earlier", []))


def run_study(coning_calc, wells, cache):
    """Runs (or reads back) every well and horizon; returns the records by (well, years)."""
    cache.mkdir(parents=True, exist_ok=True)
    records = {}
    total = len(wells) * len(HORIZONS)
    for years in HORIZONS:
        for well in wells:
            record, ran = run_well(coning_calc, well, years, cache)
            records[well["well"], years] = record
            _, simulation, error = outcome(record)
            if error:
                summary = f"FAILED: {error}"
            else:
                bracket = simulation["criticalRate"]
                summary = (f"{bracket['low']:.4g} to {bracket['high']:.4g} "
                           f"({simulation['runs']} runs)")
            took = f"{record['seconds']:.0f} s" if ran else "cached"
            print(f"[{len(records)}/{total}] {well['well']} {years} years: {summary} ({took})",
                  file=sys.stderr, flush=True)
    return records


def table_of_wells(wells, records):
    """One row per well: inputs, and per horizon the bracket, runs, time, error, six ratios."""
    rows = []
    for well in wells:
        row = dict(well)
        for years in HORIZONS:
            record = records[well["well"], years]
            rates, simulation, error = outcome(record)
            bracket = simulation.get("criticalRate", {})
            low = bracket.get("low")
            row[f"low-{years}y"] = low
            row[f"high-{years}y"] = bracket.get("high")
            row[f"runs-{years}y"] = simulation.get("runs")
            row[f"seconds-{years}y"] = total_seconds(record)
            row[f"error-{years}y"] = error or ""
            for name in CORRELATIONS:
                rate = rates.get(name)
                row[f"rate-{name}"] = rate
                row[f"ratio-{name}-{years}y"] = rate / low if rate and low and not error \
                    else None
        rows.append(row)
    return pd.DataFrame(rows)


def groups(table):
    """The splits of the wells that show where a correlation goes wrong."""
    h = table["zone-thickness"]
    pct = table["completed-percent"]
    re_h = table["drainage-radius"] / h
    isotropic = table["kv-kh"] == 1.0
    return [
        ("all wells", isotropic | ~isotropic),
        ("Oil-Water", table["fluid-system"] == "Oil-Water"),
        ("Gas-Oil", table["fluid-system"] == "Gas-Oil"),
        ("kv/kh 1", isotropic),
        ("kv/kh 0.1", ~isotropic),
        # The correlations assume kv = kh; how much that costs grows with the zone's thickness.
        ("kv/kh 1, zone 20-60 ft", isotropic & (h < 60)),
        ("kv/kh 1, zone 60-200 ft", isotropic & (h >= 60)),
        ("kv/kh 0.1, zone 20-60 ft", ~isotropic & (h < 60)),
        ("kv/kh 0.1, zone 60-200 ft", ~isotropic & (h >= 60)),
        ("completed 10-40 %", pct < 40),
        ("completed 40-70 %", pct >= 40),
        ("re/h below 15", re_h < 15),
        ("re/h 15 and above", re_h >= 15),
    ]


def ratios(table, name, years, mask=None):
    column = table[f"ratio-{name}-{years}y"]
    if mask is not None:
        column = column[mask]
    return column.dropna().to_numpy(dtype=float)


def statistics(values):
    if len(values) == 0:
        return None
    q1, median, q3 = np.percentile(values, [25, 50, 75])
    return {
        "n": len(values), "median": median, "q1": q1, "q3": q3,
        "min": values.min(), "max": values.max(),
        "safe": float(np.mean(values <= 1.0)),
        "within": float(np.mean(np.abs(np.log(values)) <= math.log(1.25))),
        "typical": math.exp(float(np.median(np.abs(np.log(values))))),
    }


def overall_table(table, years):
    lines = ["| correlation | wells | median | interquartile range | min - max | safe (≤ 1) "
             "| within 25 % | typical factor off | median ÷ max |",
             "|---|---:|---:|---:|---:|---:|---:|---:|---:|"]
    for name in CORRELATIONS:
        s = statistics(ratios(table, name, years))
        if s is None:
            lines.append(f"| {name} | 0 | | | | | | | |")
            continue
        lines.append(f"| {name} | {s['n']} | {s['median']:.2f} | {s['q1']:.2f} - {s['q3']:.2f} "
                     f"| {s['min']:.2f} - {s['max']:.2f} | {100 * s['safe']:.0f} % "
                     f"| {100 * s['within']:.0f} % | {s['typical']:.2f} "
                     f"| {s['median'] / s['max']:.2f} |")
    return lines


def split_table(table, years):
    lines = ["| wells | n | " + " | ".join(CORRELATIONS) + " |",
             "|---|---:|" + "---:|" * len(CORRELATIONS)]
    for label, mask in groups(table):
        cells = []
        count = 0
        for name in CORRELATIONS:
            s = statistics(ratios(table, name, years, mask))
            count = max(count, s["n"] if s else 0)
            cells.append(f"{s['median']:.2f} ({s['q1']:.2f}-{s['q3']:.2f})" if s else "")
        lines.append(f"| {label} | {count} | " + " | ".join(cells) + " |")
    return lines


def draw(table, path):
    """Box plots of the ratios per correlation, one panel per horizon, wells as points."""
    figure, panels = plt.subplots(1, len(HORIZONS), figsize=(13, 6), dpi=110, sharey=True,
                                  squeeze=False)
    panels = panels[0]
    rng = np.random.default_rng(SEED)  # jitter only
    # Fluid system by colour and marker, kv/kh 0.1 hollow.
    styles = {("Oil-Water", 1.0): ("o", "tab:blue", True),
              ("Oil-Water", 0.1): ("o", "tab:blue", False),
              ("Gas-Oil", 1.0): ("^", "tab:red", True),
              ("Gas-Oil", 0.1): ("^", "tab:red", False)}
    for axes, years in zip(panels, HORIZONS):
        data = [ratios(table, name, years) for name in CORRELATIONS]
        axes.boxplot(data, whis=(0, 100), widths=0.6, patch_artist=True,
                     boxprops={"facecolor": "0.92"},
                     medianprops={"color": "black", "linewidth": 2})
        for (system, kv_kh), (marker, colour, filled) in styles.items():
            mask = (table["fluid-system"] == system) & (table["kv-kh"] == kv_kh)
            for i, name in enumerate(CORRELATIONS, start=1):
                values = ratios(table, name, years, mask)
                x = i + rng.uniform(-0.22, 0.22, len(values))
                axes.scatter(x, values, s=18, marker=marker, linewidths=1,
                             facecolors=colour if filled else "none", edgecolors=colour,
                             alpha=0.8, zorder=3,
                             label=f"{system}, kv/kh {kv_kh:g}" if i == 1 else None)
        axes.axhline(1.0, color="black", linestyle="--", linewidth=1)
        axes.set_yscale("log")
        axes.yaxis.set_major_locator(matplotlib.ticker.FixedLocator(
            [0.05, 0.1, 0.2, 0.3, 0.5, 0.7, 1, 1.5, 2, 3, 5]))
        axes.yaxis.set_major_formatter(matplotlib.ticker.FormatStrFormatter("%g"))
        axes.yaxis.set_minor_formatter(matplotlib.ticker.NullFormatter())
        axes.set_xticks(range(1, len(CORRELATIONS) + 1), list(CORRELATIONS), rotation=20)
        axes.set_title(f"{years}-year horizon")
        axes.grid(axis="y", alpha=0.3)
    panels[0].set_ylabel("correlation rate / simulated critical rate")
    handles, labels = panels[0].get_legend_handles_labels()
    figure.legend(handles, labels, loc="lower center", ncol=len(labels), fontsize=9)
    figure.suptitle("Each correlation against the simulator: below the dashed line it is safe. "
                    "Boxes: quartiles; whiskers: least and greatest")
    figure.tight_layout(rect=(0, 0.05, 1, 1))
    figure.savefig(path)
    plt.close(figure)


def failures(records):
    """One line per well and horizon with a failed attempt: what each attempt gave."""
    lines = []
    for (well, years), record in sorted(records.items(), key=lambda item: item[0][::-1]):
        errors = [e["error"] for e in record.get("earlier", [])] + [outcome(record)[2]]
        if not any(errors):
            continue
        if errors[-1]:
            times = "failed twice" if len(errors) == 2 and errors[0] == errors[1] else \
                "failed"
            text = f"{times}, left out of the statistics: " + "; then: ".join(
                dict.fromkeys(errors))
        else:
            bracket = record["result"]["simulation"]["criticalRate"]
            text = (f"failed ({'; '.join(errors[:-1])}), then gave {bracket['low']:.4g} to "
                    f"{bracket['high']:.4g}, used in the statistics")
        lines.append(f"- {well}, {years} years: {text}")
    return lines


def percent(fraction):
    return f"{100 * fraction:.0f} %"


def names(items):
    items = list(items)
    return ", ".join(items[:-1]) + " and " + items[-1] if len(items) > 1 else "".join(items)


def findings(table):
    """Plain-words conclusions drawn from the numbers, per horizon."""
    lines = []
    falls = (table[f"low-{HORIZONS[-1]}y"] / table[f"low-{HORIZONS[0]}y"]).dropna()
    isotropic = table["kv-kh"] == 1.0
    thick = table["zone-thickness"] >= 60
    # Each well's ratio of all six together: the geometric mean of its ratios.
    together = np.exp(np.log(table[[f"ratio-{name}-{HORIZONS[0]}y"
                                    for name in CORRELATIONS]]).mean(axis=1))
    lines += [f"Over {HORIZONS[-1]} years the simulated critical rate is lower than over "
              f"{HORIZONS[0]} (the cone keeps rising slowly towards its steady height): by a "
              f"median of {percent(1 - falls.median())} ({percent(1 - falls.max())} to "
              f"{percent(1 - falls.min())}), so every correlation is less safe over the longer "
              "horizon. The correlations take no kv/kh, while a lower vertical permeability "
              f"holds the cone back: over {HORIZONS[0]} years the geometric mean of the six "
              f"ratios has a median of {together[isotropic & ~thick].median():.2f} in zones "
              f"thinner than 60 ft and {together[isotropic & thick].median():.2f} in thicker "
              f"ones with kv/kh 1, but {together[~isotropic & ~thick].median():.2f} and "
              f"{together[~isotropic & thick].median():.2f} with kv/kh 0.1.", ""]
    for years in HORIZONS:
        stats = {name: statistics(ratios(table, name, years)) for name in CORRELATIONS}
        stats = {name: s for name, s in stats.items() if s}
        level = {name: statistics(ratios(table, name, years, isotropic)) for name in stats}
        safe = [name for name in stats if stats[name]["safe"] == 1.0]
        closest = min(stats, key=lambda name: stats[name]["typical"])
        closest_level = min(level, key=lambda name: level[name]["typical"])
        tightest = max(stats, key=lambda name: stats[name]["median"] / stats[name]["max"])
        text = f"**Over {years} years.** "
        if safe:
            medians = names(f"{stats[name]['median']:.2f}" for name in safe)
            text += (f"Safe in every well: {names(safe)} (median {medians}), at the price of "
                     f"the production between {'its' if len(safe) == 1 else 'their'} rate and "
                     "the simulated one. ")
        else:
            most = max(stats, key=lambda name: stats[name]["safe"])
            text += (f"No correlation is safe in every well; {most} is in "
                     f"{percent(stats[most]['safe'])} of them (median "
                     f"{stats[most]['median']:.2f}). ")
        text += (f"Closest to the simulator: {closest}, typically a factor "
                 f"{stats[closest]['typical']:.2f} off and within 25 % in "
                 f"{percent(stats[closest]['within'])} of the wells, but above the simulated "
                 f"rate in {percent(1 - stats[closest]['safe'])} of them")
        text += (f"; with kv/kh 1, as the correlations assume, {closest_level} (a factor "
                 f"{level[closest_level]['typical']:.2f}, median "
                 f"{level[closest_level]['median']:.2f}). ")
        text += (f"Divided by its greatest ratio, so that it is safe in every well of the study, "
                 f"{tightest} keeps the most (median "
                 f"{stats[tightest]['median'] / stats[tightest]['max']:.2f} of the simulated "
                 "rate): its ratio varies least from well to well.")
        lines += [text, "", "| correlation | median | safe | above the simulated rate most often "
                  "| most cautious |", "|---|---:|---:|---|---|"]
        for name, s in stats.items():
            unsafe, cautious = [], []
            for label, mask in groups(table)[1:]:
                values = ratios(table, name, years, mask)
                if len(values) >= 5:
                    unsafe.append((float(np.mean(values > 1.0)), label))
                    cautious.append((float(np.median(values)), label))
            share, where = max(unsafe)
            median, careful = min(cautious)
            lines.append(f"| {name} | {s['median']:.2f} | {percent(s['safe'])} "
                         f"| {f'{where} ({percent(share)} of them)' if share > 0 else 'never'} "
                         f"| {careful} (median {median:.2f}) |")
        lines.append("")
    return lines


def describe_design():
    rows = ["| input | range | sampled |", "|---|---|---|"]
    units = {"zone-thickness": "ft", "drainage-radius": "ft", "permeability": "md",
             "viscosity": "cp", "fvf": "rb/STB", "well-radius": "in"}
    for name, (low, high, logarithmic) in RANGES.items():
        if name == "density-difference":
            text = ", ".join(f"{s} {lo:g} - {hi:g} g/cc" for s, (lo, hi)
                             in DENSITY_DIFFERENCE.items())
        elif name == "completed-fraction":
            text = f"{100 * low:g} - {100 * high:g} % of the zone"
        else:
            text = f"{low:g} - {high:g} {units[name]}"
        rows.append(f"| {name} | {text} | {'log-uniform' if logarithmic else 'uniform'} |")
    return rows


def write_document(table, records, seconds, path, picture, csv):
    runs = sum(r["result"]["simulation"].get("runs", 0) for r in records.values()
               if r["result"] and "simulation" in r["result"])
    engine = next((r["result"]["simulation"]["engine"] for r in records.values()
                   if r["result"] and "engine" in r["result"].get("simulation", {})), "flow")
    failed = failures(records)
    lines = [
        "# Validation: the six correlations against the simulated critical rate",
        "",
        "```sh",
        "cmake --preset release && cmake --build --preset release --target coning-calc",
        "/usr/bin/python3 scripts/validation-study.py --cache build/validation-study",
        "```",
        "",
        f"The script runs `coning-calc --simulate-critical --format json` on {len(table)} wells "
        f"for horizons of {' and '.join(map(str, HORIZONS))} years ({engine}), caches each run "
        "in the cache folder (a study stopped part way resumes where it stopped) and writes "
        f"this page, [the picture]({picture.name}) and [every well]({csv.name}) (inputs, "
        "correlation rates, simulated brackets and ratios). On this machine "
        f"({os.cpu_count()} cores, {platform.machine()}, shared with other work) the "
        f"{len(records)} searches took {seconds / 60:.0f} minutes in all "
        f"({runs} simulator runs).",
        "",
        "## How the study was made",
        "",
        "**The wells.** Four groups of 12 wells: Oil-Water and Gas-Oil, each with kv/kh 1 and "
        f"0.1; within each group a Latin hypercube (numpy's `default_rng({SEED})`, the groups "
        "drawn in that order) spreads the wells over the ranges below, every input in its own "
        "twelve strata. Values are rounded to what an engineer would type. For Oil-Water the "
        "well is open from the top of the zone down to the penetration; for Gas-Oil from the "
        "completion top down to the base of the zone, so the completed fraction is "
        "(h - completion top) / h. Both are partial-penetration wells.",
        "",
        *describe_design(),
        "",
        "**The model** is the one `coning-calc --simulate-critical` builds (see "
        "[What the model assumes](simulation.md#what-the-model-assumes)): "
        "a radial slice of 20 rings out to the drainage radius, "
        "held at its initial pressure there; the zone in layers of at most 1 ft; bottom water "
        "(Oil-Water) or a gas cap (Gas-Oil) as thick as the zone; porosity 0.2; straight-line "
        "relative permeabilities with connate water and residual oil of 0.2; water of 1.0 g/cc "
        "and 0.5 cp, or oil of 0.7 g/cc under gas of 0.02 cp; kv/kh as listed (the "
        "correlations take no kv/kh, so their rates are the same for both). The simulated "
        "critical rate is the highest rate whose cut (water cut, or the gas's share of the "
        "produced reservoir volume) stays at or below 0.01 over the whole horizon, found as "
        "a bracket [L, H] with H ≤ 1.005 L.",
        "",
        "**The ratio** of a correlation is its design-point rate divided by L. A ratio at or "
        "below 1 is safe: that rate does not cone within the horizon. A ratio far below 1 "
        "gives production away. \"Typical factor off\" is exp(median |ln ratio|): 1.10 means "
        "half the wells are within 10 % either way.",
        "",
    ]
    if failed:
        lines += ["**Failed searches.** A search that fails is tried once more (a failure can "
                  "depend on the timing of the parallel runs); a well whose search fails twice "
                  "is left out of that horizon's statistics.", "", *failed, ""]
    else:
        lines += ["Every well and horizon simulated without failure.", ""]
    lines += [f"![Ratios per correlation and horizon]({picture.name})", ""]
    for years in HORIZONS:
        lines += [f"## {years}-year horizon", "", *overall_table(table, years), "",
                  "Median ratio (interquartile range) by group:", "",
                  *split_table(table, years), ""]
    lines += ["## Which correlation to trust where", "", *findings(table)]
    # The model study's section (scripts/model-study.py) stays as that script wrote it.
    kept = ""
    if path.exists():
        old = path.read_text()
        begin = old.find("<!-- model study:")
        end = old.find("<!-- end of model study -->")
        if begin >= 0 and end > begin:
            kept = "\n" + old[begin:end + len("<!-- end of model study -->")] + "\n"
    path.write_text("\n".join(lines).rstrip() + "\n" + kept)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    root = Path(__file__).resolve().parent.parent
    parser.add_argument("--coning-calc", type=Path,
                        default=root / "build/release/src/cli/coning-calc",
                        help="the coning-calc to run (default: the release build's)")
    parser.add_argument("--cache", type=Path, required=True,
                        help="folder of the cached runs; a second study there resumes")
    parser.add_argument("--docs", type=Path, default=root / "docs",
                        help="folder for validation.md, .png and -wells.csv (default: docs)")
    args = parser.parse_args()
    if not os.access(args.coning_calc, os.X_OK):
        parser.error(f"{args.coning_calc} is not an executable coning-calc: build it first")

    wells = design_wells()
    records = run_study(args.coning_calc, wells, args.cache)
    table = table_of_wells(wells, records)
    seconds = sum(total_seconds(r) for r in records.values())
    args.docs.mkdir(parents=True, exist_ok=True)
    picture = args.docs / "validation.png"
    csv = args.docs / "validation-wells.csv"
    table.to_csv(csv, index=False, float_format="%.6g")
    draw(table, picture)
    write_document(table, records, seconds, args.docs / "validation.md", picture, csv)


if __name__ == "__main__":
    main()
