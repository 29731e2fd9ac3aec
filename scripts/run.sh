#!/usr/bin/env bash
# The main job: builds and runs vormotor-demo, the motor panel in a window on the simulated drive. Extra
# arguments go to the program (e.g. --profile stepper, --speed 1). Without a display the window is
# drawn off screen into a PNG instead, and the script says where it is.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vormotor-demo
demo=build/default/apps/demo/vormotor-demo

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$demo" "$@"
fi
picture=build/default/vormotor-demo.png
"$demo" "$@" --screenshot "$picture"
echo "No display here: the demo window was drawn off screen into $picture"
