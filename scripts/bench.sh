#!/usr/bin/env bash
# Every benchmark with a goal, in release mode, each figure beside a floor that the same run
# measures (docs/performance.md): the panel's hot paths against a bare event dispatch and the drive
# calls they make, done directly; the drive link against bare libmodbus reads; the registry store
# against a bare SQLite program doing the same work; the demo's screenshot against a bare Qt window
# with a chart. The run goes in rounds; in each, a figure is measured right beside its floor, so both
# see the same load, and the verdict is the median of the rounds' ratios. Prints one table
# (scripts/bench-table.py); with --wine, the registry's comparison with Wine's follows
# (scripts/bench-registry.sh, minutes).
# Usage: scripts/bench.sh [repetitions, default 10] [--panel-only | --link-only | --registry-only | --demo-only] [--wine]
# Exits 1 only when a figure misses its goal: a ratio to its floor, or an allocation count.
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=10
parts="panel link registry demo"
wine=0
for argument in "$@"; do
    case "$argument" in
        --panel-only) parts=panel ;;
        --link-only) parts=link ;;
        --registry-only) parts=registry ;;
        --demo-only) parts=demo ;;
        --wine) wine=1 ;;
        *) repetitions="$argument" ;;
    esac
done
wants() { [[ " $parts " == *" $1 "* ]]; }

scripts/install-deps.sh
qt=OFF
wants demo && qt=ON
cmake --preset release -DVOR_BUILD_QT=$qt >/dev/null
build=build/release
results="$(mktemp -d)"
trap 'rm -rf "$results"' EXIT
# Google Benchmark programs: one process a round, each figure measured once in it right beside its
# floor, so that the two of a round see the same moment of the machine (scripts/bench-table.py pairs
# them). A program that saw an allocation where none may be exits 1 after writing its figures; the
# table reports it.
gbench() {
    local program="$1" out="$2"
    shift 2
    for round in $(seq -w "$repetitions"); do
        "$program" --benchmark_repetitions=1 --benchmark_min_time=0.2 --benchmark_format=json "$@" \
            >"$out-$round.json" || true
    done
}

if wants panel; then
    cmake --build --preset release --target panel_bench enable_policy_bench >/dev/null
    gbench $build/vormotor/panel/bench/panel_bench "$results/panel"
    gbench $build/vormotor/panel/bench/enable_policy_bench "$results/walk" --benchmark_filter=EnablePolicyWalk
fi

if wants link; then
    cmake --build --preset release --target link_bench >/dev/null
    gbench $build/apps/drive/link_bench "$results/link"
fi

if wants registry; then
    cmake --build --preset release --target registry_timing registry_floor vormotor-reg >/dev/null
    scripts/bench-registry-floor.sh "$repetitions" "$results"
fi

if wants demo; then
    cmake --build --preset release --target vormotor-demo screenshot_floor >/dev/null
    demo=$build/apps/demo/vormotor-demo
    # Both draw off screen: without a display for the whole run, so that neither process is timed
    # with an env process started before it.
    offscreen="env -u DISPLAY -u WAYLAND_DISPLAY"
    # The floor's window takes the size of the demo's picture.
    size="$($offscreen $demo --screenshot "$results/demo.png" | sed -n 's/.*(\([0-9]*\)x\([0-9]*\))$/\1 \2/p')"
    $offscreen scripts/bench-processes.py "$repetitions" "$results/demo.json" \
        Screenshot/Demo "$demo --screenshot $results/demo.png" \
        ScreenshotFloor/Demo "$build/apps/demo/screenshot_floor $size $results/floor.png"
fi

echo "Benchmarks, $repetitions repetitions each, release build ($(git rev-parse --short HEAD))"
status=0
scripts/bench-table.py "$results"/*.json || status=1

if [ "$wine" = 1 ]; then
    echo
    scripts/bench-registry.sh
fi
exit $status
