#!/usr/bin/env bash
# The demo on a real X server. Xvfb stands in for the display; the demo runs on Qt's X11 (xcb)
# platform, takes a pick, a Step and an access-level change through its event loop (--actions), and
# holds still (--freeze). The X server's own copy of the window (import) must match, within a small
# tolerance, the offscreen picture of the same state: a front-end that only draws off screen fails here.
# Usage: scripts/check-real-window.sh [preset]   (default: default)
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
demo="build/$preset/apps/demo/vormotor-demo"
out="build/$preset/real-window"
actions='key:Motor Style:Down,click:Step,key:Access level:Down'
state=(--profile servo --speed 1 --ticks 20)
# Differing pixels allowed, per mille of the window: the log's time stamps differ between the runs
# (about 1 per mille); a window drawn wrongly or not at all differs by far more.
tolerance_permille=5

# Inside Xvfb: start the demo, wait until it holds still, capture its window through the X server.
if [ "${1:-}" = "--inside-xvfb" ]; then
  demo="$2" out="$3"
  shift 3
  QT_QPA_PLATFORM=xcb "$demo" "$@" --freeze >"$out/xcb.log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null || true' EXIT
  for _ in $(seq 1 300); do
    grep -q 'ready, window' "$out/xcb.log" && break
    kill -0 "$pid" 2>/dev/null || { cat "$out/xcb.log"; echo "the demo ended before it was ready"; exit 1; }
    sleep 0.2
  done
  window=$(sed -n 's/.*ready, window \(0x[0-9a-f]*\).*/\1/p' "$out/xcb.log")
  [ -n "$window" ] || { cat "$out/xcb.log"; echo "the demo never got ready"; exit 1; }
  sleep 1  # the X server has the window's last paint
  import -window "$window" "$out/xcb.png"
  exit 0
fi

scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target vormotor-demo
rm -rf "$out" && mkdir -p "$out"

offscreen() {
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$demo" "${state[@]}" "$@" >/dev/null
}
offscreen --actions "$actions" --screenshot "$out/offscreen.png"
offscreen --screenshot "$out/before-actions.png"
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" \
  "$0" --inside-xvfb "$demo" "$out" "${state[@]}" --actions "$actions"

# Pixels that differ by more than the fuzz, in tenths of a per mille of the picture.
differing() {
  local pixels total
  pixels=$(compare -metric AE -fuzz 10% "$1" "$2" "$3" 2>&1 >/dev/null || true)
  [[ "$pixels" =~ ^[0-9]+$ ]] || { echo "cannot compare $1 with $2: $pixels" >&2; return 1; }
  total=$(identify -format '%[fx:w*h]' "$1")
  echo $((pixels * 10000 / total))
}
permille() { echo "$(($1 / 10)).$(($1 % 10))"; }
size_offscreen=$(identify -format '%wx%h' "$out/offscreen.png")
size_xcb=$(identify -format '%wx%h' "$out/xcb.png")
if [ "$size_offscreen" != "$size_xcb" ]; then
  echo "FAIL: the window is $size_xcb on X11 but $size_offscreen off screen"
  exit 1
fi
same=$(differing "$out/offscreen.png" "$out/xcb.png" "$out/diff.png")
# The comparison must be able to tell states apart: the state before the actions is another picture.
other=$(differing "$out/offscreen.png" "$out/before-actions.png" "$out/diff-before-actions.png")
echo "real window vs offscreen: $(permille "$same")‰ of the pixels differ (tolerance ${tolerance_permille}‰);" \
  "offscreen before vs after the actions: $(permille "$other")‰"
if [ "$other" -le $((tolerance_permille * 10)) ]; then
  echo "FAIL: the actions changed too little to tell a wrong window from a right one"
  exit 1
fi
if [ "$same" -gt $((tolerance_permille * 10)) ]; then
  echo "FAIL: the window on X11 differs from the offscreen picture (see $out/diff.png)"
  exit 1
fi
echo "PASS: the demo on X11 shows what it draws off screen"
