#!/usr/bin/env bash
# The main job: builds and runs vormotor-demo, the motor panel in a window on the simulated drive. Extra
# arguments go to the program (e.g. --profile stepper, --speed 1; --help lists them). Without a display,
# and unless the arguments ask for a picture themselves (--screenshot FILE.png), the window is drawn off
# screen into build/default/vormotor-demo.png instead, and the script says so.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
# The build's progress goes to stderr (a first build takes minutes), so that stdout is the program's own.
started=$SECONDS
cmake --preset default >/dev/null
cmake --build --preset default --target vormotor-demo >&2
echo "Built vormotor-demo in $((SECONDS - started)) s" >&2
demo=build/default/apps/demo/vormotor-demo

for argument in "$@"; do
  case "$argument" in
    --help | -h | --version | --screenshot) exec "$demo" "$@" ;;
  esac
done
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$demo" "$@"
fi
picture=build/default/vormotor-demo.png
"$demo" "$@" --screenshot "$picture"
echo "No display here: the demo window was drawn off screen into $picture"
