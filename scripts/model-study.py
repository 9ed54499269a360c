#!/usr/bin/python3
"""How much the engineer's relative permeabilities and aquifer move the simulated critical rate.

Runs `coning-calc --simulate-critical --format json` (10 years) on a few wells of the
validation study with the default model and with one setting changed at a time: Corey
exponents, the aquifer's thickness and a closed outer boundary. Runs are cached in the cache
folder as the validation study's are. Writes docs/validation-model.csv and the section between
the markers in docs/validation.md.

    /usr/bin/python3 scripts/model-study.py --cache build/model-study
"""
import argparse
import importlib.util
import os
import re
import sys
from pathlib import Path

import pandas as pd

ROOT = Path(__file__).resolve().parent.parent
_spec = importlib.util.spec_from_file_location("validation_study",
                                               ROOT / "scripts" / "validation-study.py")
study = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(study)

YEARS = 10
# Two Oil-Water and two Gas-Oil wells of the validation study, one each with kv/kh 1 and 0.1.
WELLS = ("W02", "W18", "W33", "W44")
# (name, extra options): the default model first. The thicknesses are multiples of the zone's.
VARIANTS = (
    ("default", []),
    ("Corey 2,2", ["--corey-exponents", "2,2"]),
    ("Corey 3,2", ["--corey-exponents", "3,2"]),
    ("aquifer h/4", ["--aquifer-thickness", 0.25]),
    ("aquifer 4h", ["--aquifer-thickness", 4.0]),
    ("closed boundary", ["--outer-boundary", "closed"]),
)
BEGIN = "<!-- model study: written by scripts/model-study.py -->"
END = "<!-- end of model study -->"


def options(variant, well):
    extra = []
    for item in variant:
        extra.append(f"{item * well['zone-thickness']:g}" if isinstance(item, float) else item)
    return extra


def run(coning_calc, cache):
    wells = {w["well"]: w for w in study.design_wells()}
    rows = []
    for name in WELLS:
        well = wells[name]
        for variant, extra in VARIANTS:
            command = study.command_for(coning_calc, well, YEARS) + options(extra, well)
            key = dict(well, well=f"{name}-{re.sub('[^A-Za-z0-9]+', '-', variant)}")
            record, ran = study.run_well_command(command, key, YEARS, cache)
            _, simulation, error = study.outcome(record)
            bracket = simulation.get("criticalRate", {})
            rows.append({"well": name, "fluid-system": well["fluid-system"],
                         "kv-kh": well["kv-kh"], "model": variant,
                         "low": bracket.get("low"), "high": bracket.get("high"),
                         "runs": simulation.get("runs"), "error": error or ""})
            said = f"FAILED: {error}" if error else f"{bracket['low']:.4g} to {bracket['high']:.4g}"
            print(f"{name} {variant}: {said} ({'ran' if ran else 'cached'})", file=sys.stderr,
                  flush=True)
    table = pd.DataFrame(rows)
    default = table[table["model"] == "default"].set_index("well")["low"]
    table["versus-default"] = [row.low / default[row.well]
                               if row.low and default.get(row.well) else None
                               for row in table.itertuples()]
    return table


def section(table, csv):
    variants = [v for v, _ in VARIANTS if v != "default"]
    lines = [BEGIN, "", "## The engineer's rock and aquifer", "",
             "```sh", "/usr/bin/python3 scripts/model-study.py --cache build/model-study", "```",
             "",
             f"How far the simulated {YEARS}-year critical rate moves when one setting of the "
             "model changes (every other as in the study above): the lower end of the bracket "
             "with the setting, over that with the default model. Corey exponents N1,N2 are the "
             "water's (or gas's) and the oil's; the aquifer's thickness is in multiples of the "
             f"zone's. [Every run]({csv.name}).", "",
             "| well | system | kv/kh | default (STB/day) | " + " | ".join(variants) + " |",
             "|---|---|---:|---:|" + "---:|" * len(variants)]
    for name in WELLS:
        rows = table[table["well"] == name].set_index("model")
        first = rows.iloc[0]
        ratios = [rows.loc[v, "versus-default"] for v in variants]
        cells = [f"{r:.3f}" if pd.notna(r) else "failed" for r in ratios]
        default = rows.loc["default", "low"]
        lines.append(f"| {name} | {first['fluid-system']} | {first['kv-kh']:g} | "
                     f"{default:.4g} | " + " | ".join(cells) + " |")
    lines += ["", *findings(table), "", END]
    return lines


def findings(table):
    """What the table says, in numbers taken from it."""
    def spread(model, system):
        values = table[(table["model"] == model) & (table["fluid-system"] == system)]
        values = values["versus-default"].dropna()
        return (f"{values.min():.3f} to {values.max():.3f}" if len(values) else "no result")

    lines = []
    for system in ("Oil-Water", "Gas-Oil"):
        parts = [f"{model} {spread(model, system)}" for model, _ in VARIANTS[1:]]
        lines.append(f"- {system}: " + "; ".join(parts) + ".")
    failed = table[table["error"] != ""]
    for row in failed.itertuples():
        lines.append(f"- {row.well} with {row.model} failed: {row.error}")
    lines += ["", "Steeper Corey curves, a thin aquifer and a closed boundary raise the critical "
              "rate (water that is barely mobile at low saturation, less of it, or no support "
              "from beyond the drainage radius cones more slowly); an aquifer thicker than the "
              "zone lowers it. So the default model (straight lines, an aquifer as thick as the "
              "zone) is on the safe side of Corey curves and of a thinner aquifer, but not of a "
              "thicker one. The gas cap's wells hardly move: gas is mobile at any exponent. An "
              "engineer with measured curves or a known aquifer should give them: for bottom "
              "water the difference is of the size of the spread between the better "
              "correlations."]
    return lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--coning-calc", type=Path,
                        default=ROOT / "build/release/src/cli/coning-calc")
    parser.add_argument("--cache", type=Path, required=True)
    parser.add_argument("--docs", type=Path, default=ROOT / "docs")
    args = parser.parse_args()
    if not os.access(args.coning_calc, os.X_OK):
        parser.error(f"{args.coning_calc} is not an executable coning-calc: build it first")
    args.cache.mkdir(parents=True, exist_ok=True)
    table = run(args.coning_calc, args.cache)
    csv = args.docs / "validation-model.csv"
    table.to_csv(csv, index=False, float_format="%.6g")
    page = args.docs / "validation.md"
    text = page.read_text()
    block = "\n".join(section(table, csv))
    if BEGIN in text:
        text = text[:text.index(BEGIN)] + block + text[text.index(END) + len(END):]
    else:
        text = text.rstrip() + "\n\n" + block + "\n"
    page.write_text(text)


if __name__ == "__main__":
    main()
