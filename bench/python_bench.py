#!/usr/bin/python3
"""Wells per second of coning.calculate_many at the design point of the example well.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py [WELLS] [REPEATS]

Each repeat calculates WELLS wells (default 1,000,000) given as full NumPy arrays, so the time
includes reading every input and writing every output; the median of the repeats is reported, with the processor time per well (all threads), which
tells a busy machine from a slow calculation.
"""

import statistics
import sys
import time

import numpy as np

import coning


def main():
    wells = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    ones = np.ones(wells)
    inputs = dict(permeability=100 * ones, viscosity=ones, fvf=1.2 * ones,
                  density_difference=0.3 * ones, drainage_radius=1000 * ones,
                  well_radius=3 * ones, zone_thickness=50 * ones, penetration=15 * ones)
    systems = np.full(wells, "Oil-Water")
    rates = []
    cpu = []
    for _ in range(repeats):
        start, start_cpu = time.perf_counter(), time.process_time()
        result = coning.calculate_many(systems, **inputs)
        rates.append(wells / (time.perf_counter() - start))
        cpu.append((time.process_time() - start_cpu) / wells)
    assert (result["message"] == "").all() and not np.isnan(result["Guo-Lee"]).any()
    print(f"calculate_many: {wells} wells, {repeats} repeats: median "
          f"{statistics.median(rates):,.0f} wells/s (min {min(rates):,.0f}, "
          f"max {max(rates):,.0f}); {statistics.median(cpu) * 1e9:,.0f} ns of processor time "
          f"per well")


if __name__ == "__main__":
    main()
