#!/usr/bin/env bash
# The demo as assistive technology reads it: under Xvfb, in a D-Bus session with the AT-SPI bus,
# apps/demo/tests/check_accessibility.py walks the window's accessible tree (role, spoken name,
# state and the reasons of every control of the panel) and goes round it with Tab. It ends by
# itself: every wait inside is bounded, and the whole run is cut off after two minutes.
# Usage: scripts/check-accessibility.sh [preset]   (default: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vormotor-demo
log="build/$preset/accessibility.log"
# The system's Python: pyatspi is a Debian package, not on another interpreter's path. The bus
# daemons' own notices (starting, the X server going away at the end) stay in the log.
status=0
timeout 120 xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
  dbus-run-session -- /usr/bin/python3 apps/demo/tests/check_accessibility.py "build/$preset/apps/demo/vormotor-demo" \
  >"$log" 2>&1 || status=$?
grep -v -e '^dbus-daemon' -e 'SpiRegistry daemon' -e 'X connection to .* broken' "$log" || true
[ "$status" -ne 124 ] || echo "FAIL: the accessibility check did not end within 120 s"
exit "$status"
