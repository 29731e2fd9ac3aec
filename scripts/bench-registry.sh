#!/usr/bin/env bash
# The registry against Wine's, side by side: builds release for Linux and (cross, mingw-w64) for
# Windows, then runs both sides back to back several times in one run and prints, per figure, the
# goal and the measured ratio (how many times faster the portable store is), minimum and median
# over the runs:
#   - LoadRegistry / SaveRegistry in process: the same timing program (registry_timing) on the store
#     (a file, as used) and under Wine on Wine's registry, 1k/2k/4k keys of 10 string values each;
#   - whole processes: vormotor-reg import/export against Wine's reg import/export of the same file,
#     each into a registry that exists (a copy of an empty store; Wine's registry with the tree deleted);
#   - the store's cost per key at 16k keys against 1k keys (flat: close to 1).
# Wine is measured twice in every run: as it starts (its server and its programs wherever the kernel
# puts them), and with its server and programs on one core. Every registry call of a Wine program is
# a round trip to its server; on a virtual machine with idle cores each trip can wait for a core to
# wake, which makes Wine as it starts up to ten times slower than on one core. The one-core figures
# are Wine at its best here and the harder comparison.
# Usage: scripts/bench-registry.sh [runs]   (default 5; figures on a shared machine are noisy)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
runs="${1:-5}"
sizes=(1000 2000 4000)
flat_sizes=(1000 16000)

scripts/install-deps.sh windows
cmake --preset release >/dev/null
cmake --build --preset release --target registry_timing vormotor-reg >/dev/null
win="$root/build/windows-release"
cmake -S vormotor/registry/windows -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/vormotor/registry/windows/mingw-w64.cmake" >/dev/null
cmake --build "$win" --target registry_timing >/dev/null
timing="$root/build/release/vormotor/registry/bench/registry_timing"
tool="$root/build/release/apps/reg/vormotor-reg"

work="$(mktemp -d)"
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 DISPLAY=
unset WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

# How each Wine configuration starts its programs, and its server: one server for all the runs of a
# configuration, as a desktop session has.
declare -A placement=([as it starts]="" [on one core]="taskset -c 0")
peers=("as it starts" "on one core")
start_wine() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    ${placement["$1"]} wineserver -p
}

# The tree registry_timing loads, as a file.
key='HKEY_CURRENT_USER\Software\VorMotorBench'
for keys in "${sizes[@]}"; do
    ROOT="$key" awk -v keys="$keys" -f scripts/bench-tree.awk > "$work/tree-$keys.reg"
done

# Wall-clock microseconds of a command; its output goes to the log, a failure stops the run.
micros() {
    local start end
    start=$(date +%s%N)
    "$@" >>"$work/log" 2>&1 || { echo "failed: $*" >&2; tail -5 "$work/log" >&2; exit 1; }
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}

# "  1000 keys: load 1234 keys/s, save 5678 keys/s" -> "1000 1234 5678"
rates() { awk '/keys:/ { print $1, $4, $7 }'; }
# Milliseconds for a number of keys at a rate in keys per second.
millis() { awk -v keys="$1" -v rate="$2" 'BEGIN { printf "%.1f", keys * 1000 / rate }'; }

# Per figure: the ratios, and the store's and Wine's times in milliseconds.
declare -A ratios ours_ms theirs_ms
add() {
    ratios["$1"]+="$(awk -v ours="$2" -v theirs="$3" 'BEGIN { printf "%.2f", theirs / ours }') "
    ours_ms["$1"]+="$2 "
    theirs_ms["$1"]+="$3 "
}

# The store vormotor-reg imports into: one that exists, as Wine's registry does.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n' > "$work/empty.reg"
"$tool" --store "$work/empty.db" import "$work/empty.reg"

for ((run = 1; run <= runs; ++run)) {
    echo "run $run of $runs" >&2
    rm -f "$work"/timing.db*
    ours="$(VORMOTOR_REGISTRY="$work/timing.db" "$timing" "${sizes[@]}" | rates)"
    declare -A ours_process=()
    for keys in "${sizes[@]}"; do
        rm -f "$work"/tool.db*
        cp "$work/empty.db" "$work/tool.db"
        ours_process["import $keys"]=$(micros "$tool" --store "$work/tool.db" import "$work/tree-$keys.reg")
        ours_process["export $keys"]=$(micros "$tool" --store "$work/tool.db" export "$key" "$work/ours.reg")
    done

    for peer in "${peers[@]}"; do
        start_wine "$peer"
        on=${placement["$peer"]}
        theirs="$($on wine "$win/registry/bench/registry_timing.exe" "${sizes[@]}" | tr -d '\r' | rates)"
        while read -r keys load save && read -r wkeys wload wsave <&3; do
            [ "$keys" = "$wkeys" ] || { echo "sizes differ: $keys $wkeys" >&2; exit 1; }
            add "$peer|LoadRegistry in process, $keys keys" "$(millis "$keys" "$load")" "$(millis "$keys" "$wload")"
            add "$peer|SaveRegistry in process, $keys keys" "$(millis "$keys" "$save")" "$(millis "$keys" "$wsave")"
        done <<<"$ours" 3<<<"$theirs"
        for keys in "${sizes[@]}"; do
            $on wine reg delete "$key" /f >/dev/null 2>&1 || true
            theirs_import=$(micros $on wine reg import "$work/tree-$keys.reg")
            theirs_export=$(micros $on wine reg export "$key" "$work/theirs.reg" /y)
            add "$peer|vormotor-reg import (process), $keys keys" "$((ours_process["import $keys"] / 1000))" \
                "$((theirs_import / 1000))"
            add "$peer|vormotor-reg export (process), $keys keys" "$((ours_process["export $keys"] / 1000))" \
                "$((theirs_export / 1000))"
        done
    done

    # Flatness compares the store with itself: its times at 1k and at 16k keys.
    rm -f "$work"/timing.db*
    flat="$(VORMOTOR_REGISTRY="$work/timing.db" "$timing" "${flat_sizes[@]}" | rates)"
    read -r small small_load small_save big big_load big_save <<<"$(echo $flat)"
    add "Load cost per key, 16k / 1k keys" "$(millis "$small" "$small_load")" "$(millis "$big" "$big_load")"
    add "Save cost per key, 16k / 1k keys" "$(millis "$small" "$small_save")" "$(millis "$big" "$big_save")"
}

stats() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END {
    median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s %s", v[1], median }'; }
median() { stats | cut -d' ' -f2; }

echo
echo "Registry: portable store against Wine $(wine --version 2>/dev/null | tr -d '\r'), $runs runs"
echo "Machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
row() { printf '| %-42s | %-8s | %8s | %8s | %10s | %10s |\n' "$@"; }
for peer in "${peers[@]}"; do
    echo "Against Wine $peer:"
    echo
    row "Figure" "Goal" "Min" "Median" "Store ms" "Wine ms"
    row "---" "---" "---:" "---:" "---:" "---:"
    for figure in "LoadRegistry in process" "SaveRegistry in process" \
        "vormotor-reg import (process)" "vormotor-reg export (process)"; do
        for keys in "${sizes[@]}"; do
            name="$figure, $keys keys"
            read -r low mid <<<"$(stats <<<"${ratios["$peer|$name"]}")"
            row "$name" ">= 20x" "$(printf '%.1fx' "$low")" "$(printf '%.1fx' "$mid")" \
                "$(median <<<"${ours_ms["$peer|$name"]}")" "$(median <<<"${theirs_ms["$peer|$name"]}")"
        done
    done
    echo
done
row "Figure" "Goal" "Min" "Median" "1k keys ms" "16k keys ms"
row "---" "---" "---:" "---:" "---:" "---:"
# Cost per key at 16k over cost per key at 1k: the ratio of the times over the ratio of the sizes.
for figure in "Load cost per key, 16k / 1k keys" "Save cost per key, 16k / 1k keys"; do
    values=""
    for r in ${ratios["$figure"]}; do
        values+="$(awk -v r="$r" 'BEGIN { printf "%.2f", r / 16 }') "
    done
    read -r low mid <<<"$(stats <<<"$values")"
    row "$figure" "<= 1.25" "$low" "$mid" "$(median <<<"${ours_ms["$figure"]}")" \
        "$(median <<<"${theirs_ms["$figure"]}")"
done
