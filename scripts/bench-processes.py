#!/usr/bin/env python3
"""Times whole processes, round after round, and writes the times in Google Benchmark's JSON layout
for scripts/bench-table.py.

Usage: bench-processes.py REPETITIONS OUT.json NAME COMMAND [NAME COMMAND ...]
Each COMMAND is a shell command; a part before ' ;; ' is its set-up, run before each timing and
not timed. Every round runs every command once, in the order given, so a figure and its floor see
the same load. Each run records its wall time and the CPU time the command's processes (all their
threads) used, so a figure read on CPU time does not depend on what else the machine is doing. A
command that fails stops the run.
"""
import json
import os
import resource
import subprocess
import sys
import time


def cpu_of_children():
    """User and system time of every waited-for child so far, in nanoseconds."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return round((usage.ru_utime + usage.ru_stime) * 1e9)


def main(arguments):
    repetitions, out, pairs = int(arguments[0]), arguments[1], arguments[2:]
    commands = list(zip(pairs[0::2], pairs[1::2]))
    runs = []
    for _ in range(repetitions):
        for name, command in commands:
            setup, _, timed = command.rpartition(" ;; ")
            if setup:
                subprocess.run(setup, shell=True, check=True)
            start, used_before = time.perf_counter_ns(), cpu_of_children()
            finished = subprocess.run(timed, shell=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
            elapsed, used = time.perf_counter_ns() - start, cpu_of_children() - used_before
            if finished.returncode != 0:
                sys.exit(f"{name}: {timed} failed: {finished.stderr.decode(errors='replace').strip()}")
            runs.append({"name": name, "run_name": name, "run_type": "iteration", "real_time": elapsed,
                         "cpu_time": used, "time_unit": "ns"})
    context = {"load_avg": list(os.getloadavg())}
    with open(out, "w") as results:
        json.dump({"context": context, "benchmarks": runs}, results, indent=1)


if __name__ == "__main__":
    main(sys.argv[1:])
