#!/usr/bin/env bash
# Builds the component and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
build/default/apps/host/vormotor-host "$@"
