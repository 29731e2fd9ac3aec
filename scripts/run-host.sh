#!/usr/bin/env bash
# Builds vormotor-host and runs it, showing the motor panel on the simulated servo and stepper drives.
# With arguments, runs vormotor-host with them instead (e.g. --profile stepper SCRIPT). Standard output
# holds the host's JSON lines alone; the build and the headings go to standard error.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vormotor-host >&2
if [ $# -gt 0 ]; then
  exec build/default/apps/host/vormotor-host "$@"
fi
for profile in servo stepper; do
  echo "== The motor page on the simulated $profile drive (apps/host/demo.txt)" >&2
  build/default/apps/host/vormotor-host --profile "$profile" apps/host/demo.txt
done
