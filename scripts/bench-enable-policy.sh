#!/usr/bin/env bash
# The enable-policy walk, in release mode: time per walk and heap allocations per walk on the servo
# and stepper profiles, beside its floor (the walk's drive calls and control assignments made
# directly) against the goal (at most 1.5 times the floor, no allocation). With a git revision that
# already has vormotor/panel/bench (8123e13 onwards), the same walk built from that revision runs side
# by side with this tree's, round after round, and the table shows both and their ratio.
#   scripts/bench-enable-policy.sh [PEER_REVISION] [ROUNDS]
# CPU time is the figure: on a shared machine the wall time also counts other processes.
set -euo pipefail
cd "$(dirname "$0")/.."
peer="${1:-}"
rounds="${2:-5}"

cmake --preset release >/dev/null
cmake --build --preset release --target enable_policy_bench >/dev/null
ours=build/release/vormotor/panel/bench/enable_policy_bench

theirs=
if [ -n "$peer" ]; then
  source_dir=build/bench-peer/src
  if [ ! -d "$source_dir" ] || [ "$(git -C "$source_dir" rev-parse HEAD)" != "$(git rev-parse "$peer")" ]; then
    rm -rf build/bench-peer
    git worktree prune
    git worktree add --detach "$source_dir" "$peer" >/dev/null
  fi
  cmake -S "$source_dir" -B build/bench-peer/build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVOR_BUILD_QT=OFF -DVOR_BUILD_APPS=OFF -DVOR_BUILD_TESTS=OFF >/dev/null
  cmake --build build/bench-peer/build --target enable_policy_bench >/dev/null
  theirs=build/bench-peer/build/vormotor/panel/bench/enable_policy_bench
fi

results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
for round in $(seq "$rounds"); do
  for side in ours theirs; do
    binary=${!side}
    [ -n "$binary" ] || continue
    # The program exits 1 when a walk allocated; the table reports that.
    "$binary" --benchmark_filter=EnablePolicyWalk --benchmark_repetitions=5 \
      --benchmark_format=json >"$results/$side-$round.json" 2>/dev/null || true
  done
done

python3 - "$results" <<'EOF'
import glob, json, statistics, sys

def runs(side):
    found = {}
    for path in glob.glob(f"{sys.argv[1]}/{side}-*.json"):
        for run in json.load(open(path))["benchmarks"]:
            if run.get("run_type") == "iteration":
                found.setdefault(run["run_name"], []).append(run)
    return found

ours, theirs = runs("ours"), runs("theirs")
names = {"profile:0": "servo", "profile:1": "stepper"}
print(f"{'walk':10} {'this tree: min / median CPU':>28} {'allocs':>7} {'walk / floor':>13} {'goal':>10}", end="")
print(f" {'peer: min / median CPU':>24} {'allocs':>7} {'speed-up min / median':>22}" if theirs else "")
for profile, name in names.items():
    walk = f"EnablePolicyWalk/{profile}"
    mine = [r["cpu_time"] for r in ours[walk]]
    floor = [r["cpu_time"] for r in ours[f"EnablePolicyWalkFloor/{profile}"]]
    allocs = max(r["allocs/walk"] for r in ours[walk])
    ratio = statistics.median(mine) / statistics.median(floor)
    met = "met" if ratio <= 1.5 and allocs == 0 else "NOT MET"
    line = (f"{name:10} {min(mine):12.0f} / {statistics.median(mine):6.0f} ns {allocs:7.0f} {ratio:12.2f}x"
            f" {'<=1.5x, 0':>10} {met}")
    if theirs:
        peer = [r["cpu_time"] for r in theirs[walk]]
        peer_allocs = max(r["allocs/walk"] for r in theirs[walk])
        line += (f" {min(peer):9.0f} / {statistics.median(peer):6.0f} ns {peer_allocs:7.0f}"
                 f" {min(peer) / min(mine):10.2f} / {statistics.median(peer) / statistics.median(mine):.2f}")
    print(line)
EOF
