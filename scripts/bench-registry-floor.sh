#!/usr/bin/env bash
# The registry store beside its floor, registry_floor (vormotor/regstore/bench): a bare SQLite
# program doing the same work on a store of the same schema and pragmas, in one transaction, and
# reading or writing the same text. Round after round, alternately:
#   - LoadRegistry and SaveRegistry in process (registry_timing against registry_floor timing);
#   - vormotor-reg import and export --utf16 as whole processes (against registry_floor import and
#     export --utf16), each import into a copy of the same empty store.
# Writes Google Benchmark-style results for scripts/bench-table.py into OUT_DIR.
# Usage: scripts/bench-registry-floor.sh REPETITIONS OUT_DIR   (after building the release preset)
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions="$1"
out="$2"
build=build/release
timing=$build/vormotor/registry/bench/registry_timing
floor=$build/vormotor/regstore/registry_floor
tool=$build/apps/reg/vormotor-reg
sizes=(1000 4000)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export LANG=C.UTF-8
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software]\r\n' > "$work/empty.reg"
"$tool" --store "$work/empty.db" import "$work/empty.reg"
key='HKEY_CURRENT_USER\Software\VorMotorBench'

commands=()
for keys in "${sizes[@]}"; do
    ROOT="$key" awk -v keys="$keys" -f scripts/bench-tree.awk > "$work/tree-$keys.reg"
    for side in ours floor; do
        # The store a side exports is the one it imported into.
        fresh="rm -f $work/$side-$keys.db*; cp $work/empty.db $work/$side-$keys.db ;; "
        if [ $side = ours ]; then
            import="$tool --store $work/$side-$keys.db import $work/tree-$keys.reg"
            export="$tool --store $work/$side-$keys.db export --utf16 '$key' $work/$side-$keys.reg"
            name=""
        else
            import="$floor $work/$side-$keys.db import $work/tree-$keys.reg"
            export="$floor $work/$side-$keys.db export --utf16 'Software\VorMotorBench' $work/$side-$keys.reg"
            name="Floor"
        fi
        commands+=("Import$name/$keys" "$fresh$import" "Export$name/$keys" "$export")
    done
done
scripts/bench-processes.py "$repetitions" "$out/registry-processes.json" "${commands[@]}"
# The floor must keep doing the store's work: the same rows after the import, the same file after
# the export.
for keys in "${sizes[@]}"; do
    python3 - "$work/ours-$keys.db" "$work/floor-$keys.db" <<'PY' || { echo "the floor's rows differ from the store's ($keys keys)" >&2; exit 1; }
import sqlite3, sys
rows = [sqlite3.connect(path).execute("SELECT id, parent, name, fold, class, vals FROM keys ORDER BY id").fetchall()
        for path in sys.argv[1:]]
sys.exit(0 if rows[0] == rows[1] else 1)
PY
    cmp -s "$work/ours-$keys.reg" "$work/floor-$keys.reg" || { echo "the floor's export differs from ours ($keys keys)" >&2; exit 1; }
done

# In process: both programs print "N keys: load X keys/s, save Y keys/s".
cp "$work/empty.db" "$work/floor-timing.db"
python3 - "$repetitions" "$out/registry-timing.json" "$timing" "$floor $work/floor-timing.db timing" "${sizes[@]}" <<'PY'
import json, os, subprocess, sys
repetitions, out, ours, floor, sizes = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
env = dict(os.environ, VORMOTOR_REGISTRY=os.path.join(os.path.dirname(floor.split()[1]), "ours-timing.db"))
runs = []
for _ in range(repetitions):
    for suffix, command in (("", ours), ("Floor", floor)):
        lines = subprocess.run(command.split() + sizes, env=env, check=True, capture_output=True, text=True).stdout
        for line in lines.splitlines():
            words = line.split()
            keys, load, save = int(words[0]), float(words[3]), float(words[6])
            for figure, rate in (("LoadRegistry", load), ("SaveRegistry", save)):
                time = keys / rate * 1e9
                runs.append({"name": f"{figure}{suffix}/{keys}", "run_name": f"{figure}{suffix}/{keys}",
                             "run_type": "iteration", "real_time": time, "cpu_time": time, "time_unit": "ns"})
with open(out, "w") as results:
    json.dump({"context": {"load_avg": list(os.getloadavg())}, "benchmarks": runs}, results, indent=1)
PY
