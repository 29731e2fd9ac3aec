#!/usr/bin/env bash
# The registry against Wine's, like for like: builds release for Linux and (cross, mingw-w64) for
# Windows with the same optimisation (RelWithDebInfo: -O2), then runs both sides back to back
# several times in one run and prints, per figure, how many times faster the portable store is,
# minimum and median over the runs:
#   - LoadRegistry / SaveRegistry in process: the same timing program (registry_timing) on the store
#     (a file, as used) and under Wine on Wine's registry, 1k/2k/4k keys of 10 string values each;
#   - whole processes: vormotor-reg import / export --utf16 against Wine's reg import / export (UTF-16
#     as well) of the same file, each into a registry that exists (a copy of an empty store; Wine's
#     registry with the tree deleted);
#   - the store's cost per key at 16k keys against 1k keys (flat: close to 1), from the medians of
#     several samples.
# Wine is measured twice in every run: as it starts (its server and its programs wherever the kernel
# puts them), and with its server and programs on one core. Every registry call of a Wine program is
# a round trip to its server; on a virtual machine with idle cores each trip can wait for a core to
# wake, which makes Wine as it starts up to ten times slower than on one core. The one-core figures
# are Wine at its best here and the harder comparison. The store is timed beside each, as often.
# Durability differs: the store commits durably (synchronous = FULL: a commit waits for the disk),
# Wine's registry lives in its server's memory and is written out later. Beside the one-core
# figures, the store runs once more with synchronous = OFF (labelled; not how it is used).
# Usage: scripts/bench-registry.sh [runs]   (default 5; figures on a shared machine are noisy)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
runs="${1:-5}"
sizes=(1000 2000 4000)
flat_sizes=(1000 16000)

scripts/install-deps.sh windows
cmake --preset release >/dev/null
cmake --build --preset release --target registry_timing vormotor-reg registry_synchronous_off >/dev/null
win="$root/build/windows-release"
cmake -S vormotor/registry/windows -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/vormotor/registry/windows/mingw-w64.cmake" >/dev/null
cmake --build "$win" --target registry_timing >/dev/null
timing="$root/build/release/vormotor/registry/bench/registry_timing"
tool="$root/build/release/apps/reg/vormotor-reg"
synchronous_off="LD_PRELOAD=$root/build/release/vormotor/regstore/libregistry_synchronous_off.so"

work="$(mktemp -d)"
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 DISPLAY=
unset WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wineboot -i >/dev/null 2>&1
wineserver -w
# reg is started by its path in the prefix: named without one, it goes through Wine's launcher, a
# second process whose start-up (about 80 ms here) would be timed as reg's.
reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"

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
millis_of() { awk -v us="$1" 'BEGIN { printf "%.1f", us / 1000 }'; }
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

# The store's side, durable or not ("" or $synchronous_off), timed once: in process, then each
# size's import and export as whole processes. Adds its figures against Wine's of this run.
store_side() {
    local label="$1" durability="$2" ours
    rm -f "$work"/timing.db*
    ours="$(env VORMOTOR_REGISTRY="$work/timing.db" $durability "$timing" "${sizes[@]}" | rates)"
    while read -r keys load save && read -r wkeys wload wsave <&3; do
        [ "$keys" = "$wkeys" ] || { echo "sizes differ: $keys $wkeys" >&2; exit 1; }
        add "$label|LoadRegistry in process, $keys keys" "$(millis "$keys" "$load")" "$(millis "$keys" "$wload")"
        add "$label|SaveRegistry in process, $keys keys" "$(millis "$keys" "$save")" "$(millis "$keys" "$wsave")"
    done <<<"$ours" 3<<<"$theirs"
    for keys in "${sizes[@]}"; do
        rm -f "$work"/tool.db*
        cp "$work/empty.db" "$work/tool.db"
        add "$label|vormotor-reg import (process), $keys keys" \
            "$(millis_of "$(micros env $durability "$tool" --store "$work/tool.db" import "$work/tree-$keys.reg")")" \
            "${theirs_process["import $keys"]}"
        add "$label|vormotor-reg export --utf16 (process), $keys keys" \
            "$(millis_of "$(micros env $durability "$tool" --store "$work/tool.db" export --utf16 "$key" "$work/ours.reg")")" \
            "${theirs_process["export $keys"]}"
    done
}

# Samples of the store's times at 1k and 16k keys, for the cost per key.
flat_samples=3
declare -A flat_ms
for ((run = 1; run <= runs; ++run)) {
    echo "run $run of $runs" >&2
    for peer in "${peers[@]}"; do
        start_wine "$peer"
        on=${placement["$peer"]}
        theirs="$($on wine "$win/registry/bench/registry_timing.exe" "${sizes[@]}" | tr -d '\r' | rates)"
        declare -A theirs_process=()
        for keys in "${sizes[@]}"; do
            $on wine "$reg" delete "$key" /f >/dev/null 2>&1 || true
            theirs_process["import $keys"]=$(millis_of "$(micros $on wine "$reg" import "$work/tree-$keys.reg")")
            theirs_process["export $keys"]=$(millis_of "$(micros $on wine "$reg" export "$key" "$work/theirs.reg" /y)")
        done
        store_side "$peer" ""
        if [ "$peer" = "on one core" ]; then
            store_side "$peer, store with synchronous = OFF" "$synchronous_off"
        fi
    done

    for ((sample = 1; sample <= flat_samples; ++sample)) {
        rm -f "$work"/timing.db*
        flat="$(VORMOTOR_REGISTRY="$work/timing.db" "$timing" "${flat_sizes[@]}" | rates)"
        while read -r keys load save; do
            flat_ms["load $keys"]+="$(millis "$keys" "$load") "
            flat_ms["save $keys"]+="$(millis "$keys" "$save") "
        done <<<"$flat"
    }
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
row() { printf '| %-48s | %-8s | %8s | %8s | %10s | %10s |\n' "$@"; }
for peer in "${peers[@]}" "on one core, store with synchronous = OFF"; do
    echo "Against Wine $peer:"
    echo
    row "Figure" "Goal" "Min" "Median" "Store ms" "Wine ms"
    row "---" "---" "---:" "---:" "---:" "---:"
    for figure in "LoadRegistry in process" "SaveRegistry in process" \
        "vormotor-reg import (process)" "vormotor-reg export --utf16 (process)"; do
        for keys in "${sizes[@]}"; do
            name="$figure, $keys keys"
            read -r low mid <<<"$(stats <<<"${ratios["$peer|$name"]}")"
            row "$name" ">= 20x" "$(printf '%.1fx' "$low")" "$(printf '%.1fx' "$mid")" \
                "$(median <<<"${ours_ms["$peer|$name"]}")" "$(median <<<"${theirs_ms["$peer|$name"]}")"
        done
    done
    echo
done
# Cost per key at 16k over cost per key at 1k: the ratio of the times over the ratio of the sizes,
# from the minimums and from the medians of every sample.
row "Figure ($((runs * flat_samples)) samples)" "Goal" "Min" "Median" "1k keys ms" "16k keys ms"
row "---" "---" "---:" "---:" "---:" "---:"
for direction in load save; do
    read -r small_low small_mid <<<"$(stats <<<"${flat_ms["$direction 1000"]}")"
    read -r big_low big_mid <<<"$(stats <<<"${flat_ms["$direction 16000"]}")"
    row "${direction^} cost per key, 16k / 1k keys" "<= 1.25" \
        "$(awk -v s="$small_low" -v b="$big_low" 'BEGIN { printf "%.2f", b / s / 16 }')" \
        "$(awk -v s="$small_mid" -v b="$big_mid" 'BEGIN { printf "%.2f", b / s / 16 }')" "$small_mid" "$big_mid"
done
