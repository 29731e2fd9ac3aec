#!/usr/bin/env bash
# The registry against Wine's, side by side: builds release for Linux and (cross, mingw-w64) for
# Windows, then runs both sides back to back several times in one run and prints, per figure, the
# goal and the measured ratio (how many times faster the portable store is), minimum and median
# over the runs:
#   - LoadRegistry / SaveRegistry in process: the same timing program (registry_timing) on the store
#     (a file, as used) and under Wine on Wine's registry, 1k/2k/4k keys of 10 string values each;
#   - whole processes: vormotor-reg import/export against Wine's reg import/export of the same file;
#   - the store's cost per key at 16k keys against 1k keys (flat: close to 1).
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
wineserver -p  # one server for every run below, as a desktop session has
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
wineboot -i >/dev/null 2>&1

# The tree registry_timing loads, as a file: groups of 100 keys, 10 string values per key.
key='HKEY_CURRENT_USER\Software\VorMotorBench'
for keys in "${sizes[@]}"; do
    awk -v keys="$keys" -v root="$key" 'BEGIN {
        printf "Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n", root
        for (k = 0; k < keys; ++k) {
            group = root "\\Group " int(k / 100)
            if (k % 100 == 0) printf "\r\n[%s]\r\n", group
            printf "\r\n[%s\\Axis %d]\r\n", group, k
            for (v = 0; v < 10; ++v) {
                text = v == 0 ? "C:\\\\Drives\\\\Axis" : "value of parameter " v * k
                printf "\"Parameter %d\"=\"%s\"\r\n", v, text
            }
        }
    }' > "$work/tree-$keys.reg"
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

declare -A ratios
add() { ratios["$1"]+="$2 "; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

for ((run = 1; run <= runs; ++run)) {
    echo "run $run of $runs" >&2
    rm -f "$work"/timing.db*
    ours="$(VORMOTOR_REGISTRY="$work/timing.db" "$timing" "${sizes[@]}" | rates)"
    theirs="$(wine "$win/registry/bench/registry_timing.exe" "${sizes[@]}" | tr -d '\r' | rates)"
    while read -r keys load save && read -r wkeys wload wsave <&3; do
        [ "$keys" = "$wkeys" ] || { echo "sizes differ: $keys $wkeys" >&2; exit 1; }
        add "LoadRegistry in process, $keys keys" "$(ratio "$load" "$wload")"
        add "SaveRegistry in process, $keys keys" "$(ratio "$save" "$wsave")"
    done <<<"$ours" 3<<<"$theirs"

    for keys in "${sizes[@]}"; do
        file="$work/tree-$keys.reg"
        rm -f "$work"/tool.db*
        wine reg delete "$key" /f >/dev/null 2>&1 || true
        ours_import=$(micros "$tool" --store "$work/tool.db" import "$file")
        theirs_import=$(micros wine reg import "$file")
        ours_export=$(micros "$tool" --store "$work/tool.db" export "$key" "$work/ours.reg")
        theirs_export=$(micros wine reg export "$key" "$work/theirs.reg" /y)
        add "vormotor-reg import (process), $keys keys" "$(ratio "$theirs_import" "$ours_import")"
        add "vormotor-reg export (process), $keys keys" "$(ratio "$theirs_export" "$ours_export")"
    done

    rm -f "$work"/timing.db*
    flat="$(VORMOTOR_REGISTRY="$work/timing.db" "$timing" "${flat_sizes[@]}" | rates)"
    read -r _ small_load small_save _ big_load big_save <<<"$(echo $flat)"
    add "Load cost per key, 16k / 1k keys" "$(ratio "$small_load" "$big_load")"
    add "Save cost per key, 16k / 1k keys" "$(ratio "$small_save" "$big_save")"
}

stats() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END {
    median = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%s %.2f", v[1], median }'; }

echo
echo "Registry: portable store against Wine $(wine --version 2>/dev/null | tr -d '\r'), $runs runs"
echo "Machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '| %-42s | %-10s | %8s | %8s |\n' "Figure" "Goal" "Min" "Median"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..44})" "$(printf -- '-%.0s' {1..12})" \
    "$(printf -- '-%.0s' {1..10})" "$(printf -- '-%.0s' {1..10})"
for figure in "LoadRegistry in process" "SaveRegistry in process" \
    "vormotor-reg import (process)" "vormotor-reg export (process)"; do
    for keys in "${sizes[@]}"; do
        read -r low median <<<"$(stats <<<"${ratios["$figure, $keys keys"]}")"
        printf '| %-42s | %-10s | %7.1fx | %7.1fx |\n' "$figure, $keys keys" ">= 20x" "$low" "$median"
    done
done
for figure in "Load cost per key, 16k / 1k keys" "Save cost per key, 16k / 1k keys"; do
    read -r low median <<<"$(stats <<<"${ratios["$figure"]}")"
    printf '| %-42s | %-10s | %8.2f | %8.2f |\n' "$figure" "<= 1.25" "$low" "$median"
done
