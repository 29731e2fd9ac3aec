#!/usr/bin/env bash
# Draws the pictures in docs/img that the README and docs/demo.md show, off screen, each from one
# command line of the demo: the servo with its motor turning, the stepper turning backwards, the
# servo at access level 2 with the reasons a greyed-out list gives, and the servo under a German
# locale (its number texts with a decimal comma), from a de_DE locale compiled into the build tree.
# Usage: scripts/pictures.sh [preset]   (default: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
demo="build/$preset/apps/demo/vormotor-demo"
locales="build/$preset/pictures-locale"

scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vormotor-demo
mkdir -p "$locales"
[ -d "$locales/de_DE.UTF-8" ] || localedef -i de_DE -f UTF-8 "$locales/de_DE.UTF-8"

picture() {
  local name="$1"
  shift
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" --screenshot "docs/img/$name.png"
}
picture servo "$demo" --profile servo --speed 1 --ticks 60
picture stepper "$demo" --profile stepper --speed -1 --ticks 60
picture why-disabled "$demo" --profile servo --access-level 2 --tip MotorStyleCombo
picture servo-de_DE LOCPATH="$locales" LC_ALL=de_DE.UTF-8 "$demo" --profile servo --speed 1 --ticks 60
