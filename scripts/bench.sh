#!/usr/bin/env bash
# Builds the release preset and runs the benchmarks, each repeated, printing every figure beside
# its goal with min, median and the ratio of goal to median (docs/performance.md).
# Usage: scripts/bench.sh [repetitions, default 10]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-10}

scripts/install-deps.sh
cmake --preset release -DVOR_BUILD_QT=OFF >/dev/null
cmake --build --preset release --target panel_bench

results=build/release/panel_bench.json
build/release/bench/panel_bench --benchmark_repetitions="$repetitions" --benchmark_min_time=0.2 \
    --benchmark_format=json >"$results"
echo "== Events and panel ($(nproc) cores, $repetitions repetitions)"
python3 bench/goals.py "$results"
