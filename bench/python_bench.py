#!/usr/bin/python3
"""Speed and memory of coning.calculate_many at the design point of the example well.

    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py [WELLS] [REPEATS]

Each repeat calculates WELLS wells (default 1,000,000) given as full NumPy arrays, so the time
includes reading every input and writing every output; the median of the repeats is reported, with
the processor time per well (all threads), which tells a busy machine from a slow calculation.

Then, each in a fresh interpreter, the memory one call takes (the growth of the peak resident
size, the result kept) for WELLS wells without a message and for WELLS wells that all carry the
same warning (a negative permeability), and how long Ctrl-C takes to stop a long call.
"""

import os
import signal
import statistics
import subprocess
import sys
import time

import numpy as np

import coning


def inputs(wells, permeability=100.0):
    ones = np.ones(wells)
    return dict(permeability=permeability * ones, viscosity=ones, fvf=1.2 * ones,
                density_difference=0.3 * ones, drainage_radius=1000 * ones,
                well_radius=3 * ones, zone_thickness=50 * ones, penetration=15 * ones)


def speed(wells, repeats):
    given = inputs(wells)
    systems = np.full(wells, "Oil-Water")
    rates = []
    cpu = []
    for _ in range(repeats):
        start, start_cpu = time.perf_counter(), time.process_time()
        result = coning.calculate_many(systems, **given)
        rates.append(wells / (time.perf_counter() - start))
        cpu.append((time.process_time() - start_cpu) / wells)
    assert (result["message"] == "").all() and not np.isnan(result["Guo-Lee"]).any()
    print(f"calculate_many: {wells} wells, {repeats} repeats: median "
          f"{statistics.median(rates):,.0f} wells/s (min {min(rates):,.0f}, "
          f"max {max(rates):,.0f}); {statistics.median(cpu) * 1e9:,.0f} ns of processor time "
          f"per well")


def peak_kib():
    # VmHWM starts afresh in each program, unlike ru_maxrss, which keeps the parent's peak.
    with open("/proc/self/status") as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:"))


def memory_child(case, wells):
    """Prints the bytes per well one call adds to the peak resident size."""
    given = inputs(wells, -100.0 if case == "warned" else 100.0)
    systems = np.full(wells, "Oil-Water")
    before = peak_kib()
    result = coning.calculate_many(systems, **given)
    grown = (peak_kib() - before) * 1024 / wells
    assert (result["message"] != "").all() == (case == "warned")
    print(grown)


def interrupt_child(wells):
    given = inputs(wells)
    print("ready", flush=True)
    try:
        coning.calculate_many("Oil-Water", target_rate=12, **given)
    except KeyboardInterrupt:
        print("interrupted", flush=True)


def child(*args):
    return subprocess.run([sys.executable, __file__, *args], capture_output=True, text=True,
                          check=True).stdout


def memory(wells):
    plain = float(child("--memory", "plain", str(wells)))
    warned = float(child("--memory", "warned", str(wells)))
    print(f"memory of one call, {wells} wells: {plain:,.0f} bytes per well without a message, "
          f"{warned:,.0f} with the same warning each ({warned / plain:.2f} times)")


def interrupt():
    # Ten seconds of penetration designs on each processor, stopped after half a second.
    wells = 25_000 * os.cpu_count()
    job = subprocess.Popen([sys.executable, __file__, "--interrupt", str(wells)],
                           stdout=subprocess.PIPE, text=True)
    assert job.stdout.readline() == "ready\n"
    time.sleep(0.5)
    start = time.perf_counter()
    job.send_signal(signal.SIGINT)
    answer = job.stdout.readline()
    stopped = time.perf_counter() - start
    job.wait()
    assert answer == "interrupted\n", answer
    print(f"Ctrl-C stops calculate_many after {stopped * 1000:.0f} ms")


def main():
    if sys.argv[1:2] == ["--memory"]:
        return memory_child(sys.argv[2], int(sys.argv[3]))
    if sys.argv[1:2] == ["--interrupt"]:
        return interrupt_child(int(sys.argv[2]))
    wells = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
    repeats = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    speed(wells, repeats)
    memory(wells)
    interrupt()


if __name__ == "__main__":
    main()
