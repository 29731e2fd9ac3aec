#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, skipping those already present.
# Usage: scripts/install-deps.sh [windows|fuzz]   (windows: the cross compilers and Wine, which are large;
# fuzz: clang and its libFuzzer runtime)
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev
  nlohmann-json3-dev libmodbus-dev
  libsqlite3-dev libbenchmark-dev python3
  # the programs' command lines
  libcli11-dev
  qt6-base-dev fonts-liberation
  # the demo's live plot; Debian's Charts package finds its OpenGL dependency only with this one
  qt6-charts-dev libqt6opengl6-dev
  # the demo on a real X server in CI: virtual display, its authority, screen capture, comparison
  xvfb xauth x11-apps imagemagick
  # the demo read through the accessibility bus in CI: the bus and its registry, the Python client
  # and a D-Bus session to run them in
  at-spi2-core python3-pyatspi dbus-daemon
  # number texts under German and Pashto locales in the tests (localedef and the locale sources)
  locales
)
case "${1:-}" in
  windows) packages+=(g++-mingw-w64-x86-64-posix wine wine64) ;;
  fuzz) packages+=(clang libclang-rt-14-dev) ;;
esac

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
