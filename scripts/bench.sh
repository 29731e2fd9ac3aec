#!/usr/bin/env bash
# Every benchmark with a goal, in release mode: the panel's hot paths (events, tick, attach, policy
# walk), each figure beside its goal with min, median and the ratio of goal to median, the drive
# link's tick beside a bare libmodbus round trip (docs/link.md), then the registry against Wine's
# (scripts/bench-registry.sh). docs/performance.md shows the tables as measured.
# Usage: scripts/bench.sh [repetitions, default 10] [--panel-only | --link-only]
# Exits 1 when a figure misses its goal or a path that must not allocate did.
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=10
panel=1
link=1
registry=1
for argument in "$@"; do
    case "$argument" in
        --panel-only) link=0 registry=0 ;;
        --link-only) panel=0 registry=0 ;;
        *) repetitions="$argument" ;;
    esac
done

scripts/install-deps.sh
cmake --preset release -DVOR_BUILD_QT=OFF >/dev/null
status=0
goals=vormotor/panel/bench/goals.py

if [ "$panel" = 1 ]; then
    cmake --build --preset release --target panel_bench enable_policy_bench >/dev/null
    bench=build/release/vormotor/panel/bench
    results=build/release/panel_bench.json
    walk=build/release/enable_policy_bench.json
    "$bench/panel_bench" --benchmark_repetitions="$repetitions" --benchmark_min_time=0.2 --benchmark_format=json >"$results"
    "$bench/enable_policy_bench" --benchmark_repetitions="$repetitions" --benchmark_min_time=0.2 \
        --benchmark_filter=EnablePolicyWalk --benchmark_format=json >"$walk"
    echo "== Events and panel: $(nproc) cores, $repetitions repetitions, load average $(cut -d' ' -f1-3 /proc/loadavg)"
    python3 "$goals" "$results" "$walk" || status=1
fi

if [ "$link" = 1 ]; then
    cmake --build --preset release --target link_bench >/dev/null
    results=build/release/link_bench.json
    build/release/apps/drive/link_bench --benchmark_repetitions="$repetitions" --benchmark_min_time=0.2 \
        --benchmark_format=json >"$results"
    echo
    echo "== Drive link over loopback: $(nproc) cores, $repetitions repetitions, load average $(cut -d' ' -f1-3 /proc/loadavg)"
    python3 "$goals" --link "$results" || status=1
fi

if [ "$registry" = 1 ]; then
    echo
    scripts/bench-registry.sh || status=1
fi
exit $status
