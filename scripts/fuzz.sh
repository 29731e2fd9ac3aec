#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on a copy of its seeds.
# Usage: scripts/fuzz.sh [seconds per target, default 60]
# Fails on the first crash, leak or sanitizer report; the reproducer is left in build/fuzz/findings/.
# A dictionary next to a seed folder (<folder>.dict) is handed to its fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

scripts/install-deps.sh fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

findings=build/fuzz/findings
mkdir -p "$findings"
count=0
while read -r fuzzer corpus; do
    [ -n "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    work="build/fuzz/corpus/$name"
    rm -rf "$work" && mkdir -p "$work"
    [ -z "$corpus" ] || cp -r "$corpus"/. "$work"/
    dict=()
    [ -z "$corpus" ] || [ ! -f "$corpus.dict" ] || dict=(-dict="$corpus.dict")
    echo "== $name: ${seconds}s"
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings/$name-" "${dict[@]}" "$work" \
        2>"build/fuzz/$name.log" || { tail -n 60 "build/fuzz/$name.log"; echo "$name failed"; exit 1; }
    grep -E '^stat::number_of_executed_units' "build/fuzz/$name.log" || true
    count=$((count + 1))
done < build/fuzz/fuzzers.txt
[ "$count" -gt 0 ] || { echo "no fuzz targets were built"; exit 1; }
echo "$count fuzz targets ran ${seconds}s each without a finding"
