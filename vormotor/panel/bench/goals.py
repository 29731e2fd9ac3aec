#!/usr/bin/env python3
"""Prints figure, goal, min, median and the ratio of goal to median for Google Benchmark runs.

Usage: goals.py [--link] RESULTS.json...
Each RESULTS.json comes from --benchmark_repetitions=N --benchmark_format=json; every repetition
counts. --link checks the drive link's goals (link_bench) and sets its tick beside a bare round
trip. Exits 1 when a figure misses its goal or a benchmark reported an error.
"""
import json
import statistics
import sys

# (benchmark name, what is measured, goal, unit); "time" goals are upper limits in ns,
# "allocs" goals are upper limits per iteration.
GOALS = [
    ("InputWordChange/profile:0", "time", 20.0, "ns (>= 50 M/s)"),
    ("InputWordChange/profile:1", "time", 20.0, "ns (>= 50 M/s)"),
    ("InputWordChange/profile:0", "allocs", 0, "allocs"),
    ("InputWordChange/profile:1", "allocs", 0, "allocs"),
    ("TickIdle/profile:0", "allocs", 0, "allocs"),
    ("TickIdle/profile:1", "allocs", 0, "allocs"),
    ("TickAllDue/profile:0", "time", 5000.0, "ns"),
    ("TickAllDue/profile:1", "time", 5000.0, "ns"),
    ("Attach/profile:0", "time", 20000.0, "ns"),
    ("Attach/profile:1", "time", 20000.0, "ns"),
    ("EnablePolicyWalk/profile:0", "time", 2000.0, "ns"),
    ("EnablePolicyWalk/profile:1", "time", 2000.0, "ns"),
    ("EnablePolicyWalk/profile:0", "allocs", 0, "allocs"),
    ("EnablePolicyWalk/profile:1", "allocs", 0, "allocs"),
]

# An idle tick across the loopback link: one request, little more than one bare round trip.
LINK_GOALS = [
    ("BM_Tick/Link", "time", 60000.0, "ns"),
    ("BM_Tick/Link", "requests", 2, "requests"),
]
# (figure, what it is set beside): min to min and median to median.
LINK_RATIOS = [("BM_Tick/Link", "BM_RoundTrip/Link"), ("BM_Tick/Link", "BM_Tick/InProcess"),
               ("BM_Attach/Link", "BM_Attach/InProcess")]

PROFILES = {"profile:0": "servo", "profile:1": "stepper"}


def nanoseconds(run):
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[run.get("time_unit", "ns")]
    return run["real_time"] * scale


def value(run, measure):
    if measure == "time":
        return nanoseconds(run)
    if measure == "requests":
        return run.get("requests", 0.0)
    return run.get("allocs/iter", run.get("allocs/walk", 0.0))


def main(arguments):
    link = "--link" in arguments
    paths = [argument for argument in arguments if argument != "--link"]
    runs = []
    for path in paths:
        with open(path) as results:
            runs += [run for run in json.load(results)["benchmarks"] if run.get("run_type") == "iteration"]
    failed = False
    for run in runs:
        if run.get("error_occurred"):
            print(f"{run['name']}: {run.get('error_message', 'error')}")
            failed = True
    print(f"{'figure':34} {'goal':>16} {'min':>12} {'median':>12} {'goal/median':>12}")
    for name, measure, goal, unit in LINK_GOALS if link else GOALS:
        samples = [run for run in runs if run["run_name"] == name]
        if not samples:
            print(f"{name}: did not run")
            failed = True
            continue
        values = [value(run, measure) for run in samples]
        low, middle = min(values), statistics.median(values)
        first, second = name.split("/")
        label = first.removeprefix("BM_") + " " + PROFILES.get(second, second) + ("" if measure == "time" else " " + measure)
        if measure == "time":
            ratio = f"{goal / middle:.2f}x" if middle > 0 else "-"
            ok = middle <= goal
        else:
            ratio = "-"
            ok = max(values) <= goal
        failed |= not ok
        print(f"{label:34} {'<= ' + format(goal, 'g') + ' ' + unit.split()[0]:>16} {low:12.1f} {middle:12.1f} "
              f"{ratio:>12} {'' if ok else 'MISSED'}")
    for name, base in LINK_RATIOS if link else []:
        figure = [nanoseconds(run) for run in runs if run["run_name"] == name]
        beside = [nanoseconds(run) for run in runs if run["run_name"] == base]
        if figure and beside:
            print(f"{name.removeprefix('BM_')} / {base.removeprefix('BM_')}: min {min(figure) / min(beside):.2f}x, "
                  f"median {statistics.median(figure) / statistics.median(beside):.2f}x")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
