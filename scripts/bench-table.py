#!/usr/bin/env python3
"""One table of every benchmark figure beside its floor, both measured in the same run.

Usage: bench-table.py RESULTS.json...
Each RESULTS.json is Google Benchmark output (--benchmark_format=json), or the same layout written
by scripts/bench-processes.py. A run is paired with its floor's run of the same round: the floor's run in
the same file with as many runs of its name before it, so a file holds one round of a program, or
its rounds in order. Each pair gives a ratio measured at one moment, and a slower stretch of the machine
slows both of its runs; the median of those ratios is the figure's verdict. Prints, per figure: ours
and the floor (min / median of their runs), the rounds' ratios (min / median), the goal, the machine
and the load average while it ran. A figure passes when its median ratio is within its goal; an
allocation count when it is within its goal in every repetition. Figures whose runs are in none of
the files were not asked for and are left out. Exits 1 when a figure misses its goal, a figure ran
without its floor in some round, or a benchmark reported an error.
"""
import collections
import json
import os
import statistics
import sys

# (figure, its run, its floor's run, time, goal; None for a figure set beside a reference only, not
# judged): "cpu" time where all the work is done by what is
# measured (a path in one thread; the demo's process with all its threads), so other load on the
# machine does not count; "real" time where waiting is part of the cost (another thread or process
# serves it, or the disk's flushes).
RATIOS = [
    ("Input-word change, servo", "InputWordChange/profile:0", "InputWordChangeFloor/profile:0", "cpu", 1.5),
    ("Input-word change, stepper", "InputWordChange/profile:1", "InputWordChangeFloor/profile:1", "cpu", 1.5),
    ("Input-word change against a bare event raise, servo", "InputWordChange/profile:0", "EventRaise", "cpu", None),
    ("Policy walk, servo", "EnablePolicyWalk/profile:0", "EnablePolicyWalkFloor/profile:0", "cpu", 1.5),
    ("Policy walk, stepper", "EnablePolicyWalk/profile:1", "EnablePolicyWalkFloor/profile:1", "cpu", 1.5),
    ("Tick, all due, servo", "TickAllDue/profile:0", "TickAllDueFloor/profile:0", "cpu", 1.5),
    ("Tick, all due, stepper", "TickAllDue/profile:1", "TickAllDueFloor/profile:1", "cpu", 1.5),
    ("Attach, servo", "Attach/profile:0", "AttachFloor/profile:0", "cpu", 1.5),
    ("Attach, stepper", "Attach/profile:1", "AttachFloor/profile:1", "cpu", 1.5),
    ("Link: idle tick", "Tick/Link", "TickFloor/Link", "real", 1.5),
    ("Link: attach", "Attach/Link", "AttachFloor/Link", "real", 1.5),
    ("Demo: screenshot (process, CPU time)", "Screenshot/Demo", "ScreenshotFloor/Demo", "cpu", 1.5),
] + [row for keys in (1000, 4000) for row in (
    (f"Registry: LoadRegistry, {keys} keys", f"LoadRegistry/{keys}", f"LoadRegistryFloor/{keys}", "real", 1.2),
    (f"Registry: SaveRegistry, {keys} keys", f"SaveRegistry/{keys}", f"SaveRegistryFloor/{keys}", "real", 1.2),
    (f"Registry: import (process), {keys} keys", f"Import/{keys}", f"ImportFloor/{keys}", "real", 1.5),
    (f"Registry: export --utf16 (process), {keys} keys", f"Export/{keys}", f"ExportFloor/{keys}", "real", 1.5),
)]

# (figure, its run, its counter): none allowed.
ALLOCATIONS = [
    ("Allocations per input-word change, servo", "InputWordChange/profile:0", "allocs/iter"),
    ("Allocations per input-word change, stepper", "InputWordChange/profile:1", "allocs/iter"),
    ("Allocations per idle tick, servo", "TickIdle/profile:0", "allocs/iter"),
    ("Allocations per idle tick, stepper", "TickIdle/profile:1", "allocs/iter"),
    ("Allocations per walk, servo", "EnablePolicyWalk/profile:0", "allocs/walk"),
    ("Allocations per walk, stepper", "EnablePolicyWalk/profile:1", "allocs/walk"),
]

SCALE = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def machine():
    model = "unknown CPU"
    with open("/proc/cpuinfo") as cpuinfo:
        for line in cpuinfo:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    return f"{model}, {os.cpu_count()} cores"


def duration(nanoseconds):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if nanoseconds >= scale:
            return f"{nanoseconds / scale:.3g} {unit}"
    return f"{nanoseconds:.3g} ns"


def times(runs, clock):
    return [run[f"{clock}_time"] * SCALE[run.get("time_unit", "ns")] for run in runs]


def load(runs):
    return " ".join(f"{value:.1f}" for value in runs[0]["load_avg"]) if runs[0].get("load_avg") else "-"


def main(paths):
    runs = {}
    failed = False
    for path in paths:
        with open(path) as results:
            document = json.load(results)
        seen = collections.Counter()
        for run in document["benchmarks"]:
            if run.get("run_type") != "iteration":
                continue
            if run.get("error_occurred"):
                print(f"{run['name']}: {run.get('error_message', 'error')}")
                failed = True
                continue
            run["load_avg"] = document["context"].get("load_avg")
            run["round"] = (path, seen[run["run_name"]])
            seen[run["run_name"]] += 1
            runs.setdefault(run["run_name"], []).append(run)

    rows = [("Figure", "Ours (min / median)", "Floor (min / median)", "Rounds' ratios (min / median)", "Goal", "Machine",
             "Load")]
    where = machine()
    for figure, ours_name, floor_name, clock, goal in RATIOS:
        ours, floor = runs.get(ours_name), runs.get(floor_name)
        if not ours and not floor:
            continue
        if not ours or not floor:
            print(f"{figure}: {ours_name if not ours else floor_name} did not run")
            failed = True
            continue
        ours_times, floor_times = times(ours, clock), times(floor, clock)
        floor_of_round = {run["round"]: time for run, time in zip(floor, floor_times)}
        ratios = [time / floor_of_round[run["round"]] for run, time in zip(ours, ours_times)
                  if run["round"] in floor_of_round]
        if len(ratios) != len(ours_times) or len(ratios) != len(floor_times):
            print(f"{figure}: {ours_name} and {floor_name} did not run in the same rounds")
            failed = True
            continue
        low, middle = min(ratios), statistics.median(ratios)
        missed = goal is not None and middle > goal
        failed |= missed
        rows.append((figure, f"{duration(min(ours_times))} / {duration(statistics.median(ours_times))}",
                     f"{duration(min(floor_times))} / {duration(statistics.median(floor_times))}",
                     f"{low:.2f}x / {middle:.2f}x" + (" MISSED" if missed else ""), f"<= {goal}x" if goal else "none", where,
                     load(ours)))
    for figure, name, counter in ALLOCATIONS:
        if name not in runs:
            continue
        counts = [run.get(counter, 0.0) for run in runs[name]]
        missed = max(counts) > 0
        failed |= missed
        rows.append((figure, f"{min(counts):g} / {statistics.median(counts):g}", "-",
                     "-" + (" MISSED" if missed else ""), "0", where, load(runs[name])))

    widths = [max(len(row[column]) for row in rows) for column in range(len(rows[0]))]
    for index, row in enumerate(rows):
        print("| " + " | ".join(cell.ljust(width) for cell, width in zip(row, widths)) + " |")
        if index == 0:
            print("| " + " | ".join("-" * width for width in widths) + " |")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
