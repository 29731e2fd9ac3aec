#!/usr/bin/env bash
# Builds the component and runs the main job: the headless host showing the motor panel on the
# simulated servo drive. Extra arguments go to vormotor-host (e.g. --profile stepper SCRIPT).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
if [ $# -eq 0 ]; then
  set -- --profile servo apps/host/demo.txt
fi
build/default/apps/host/vormotor-host "$@"
