#!/usr/bin/env bash
# The component as its users get it. Installs the package preset's build (the one the README tells
# users to install) into a fresh prefix, compiles every
# installed header there and builds and runs the examples against it; configures CRegistry alone with
# Qt, nlohmann-json and Google Benchmark hidden and runs the command-line example against that install;
# makes the Debian package, installs it with apt-get and builds and runs the examples against /usr.
# The package is removed again on exit, so the script can run any number of times.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
work="$root/build/install-test"
package=libvormotorctl-dev

scripts/install-deps.sh
cmake --preset package --fresh >/dev/null  # fresh: a cache from before keeps its library folder
cmake --build --preset package
rm -rf "$work" && mkdir -p "$work" && mkdir -m 700 "$work/runtime"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
quietly() {  # quietly <command...>: its output shows only when it fails
    "$@" >"$work/step.log" 2>&1 || { tail -n 60 "$work/step.log"; echo "test-install: failed: $*" >&2; exit 1; }
}
quiet_apt_get() {
    quietly $sudo apt-get -y -qq "$@"
}
remove_package() {
    if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        quiet_apt_get remove "$package"
    fi
}
trap remove_package EXIT

# build <folder> <source> [prefix]: configures and builds a consumer project with warnings as errors.
build() {
    quietly cmake -S "$2" -B "$work/$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" \
        ${3:+-DCMAKE_PREFIX_PATH="$3"}
    quietly cmake --build "$work/$1"
}

expect() {  # expect <what> <pattern> <text>
    grep -qE "$2" <<<"$3" || { printf '%s\n' "$3"; echo "test-install: $1 did not print /$2/" >&2; exit 1; }
}

# run_registry_example <folder>: two runs on one store file; the second must see the first one's value.
run_registry_example() {
    local program="$work/$1/axis-settings" store="$work/$1.db" output
    "$program" "$store" "Axis 1" Gain=2.5 >/dev/null
    output=$("$program" "$store" "Axis 1" Motor=M-101)
    expect "$1" '^\[HKEY_CURRENT_USER\\Software\\AxisSettings\\Axis 1\]' "$output"
    expect "$1" '^"Gain"="2.5"' "$output"
    expect "$1" '^"Motor"="M-101"' "$output"
}

run_host_example() {
    local output
    output=$("$work/$1/host-panel")
    expect "$1" '^host-panel: asked "Safety Warning", answered OK$' "$output"
    expect "$1" '^host-panel: motor type "Brushless Linear", Motor Poles 6, 4 writes$' "$output"
}

run_panel_example() {
    local output
    output=$(QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" "$work/$1/motor-page" --ticks 3)
    expect "$1" '^motor-page: 3 ticks, motor type "[^"]+", panel enabled$' "$output"
}

# 1. A fresh prefix.
prefix="$work/prefix"
quietly cmake --install build/package --prefix "$prefix"
# Every installed header compiles on its own include path.
mkdir -p "$work/headers"
for module in "$prefix"/include/vormotor/*/; do
    name=$(basename "$module")
    for header in "$module"*.h; do echo "#include <vormotor/$name/$(basename "$header")>"; done >"$work/headers/$name.cpp"
done
cat >"$work/headers/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(VorHeaders LANGUAGES CXX)
find_package(VorMotorCtl 1.0 CONFIG REQUIRED COMPONENTS registry panel qt)
file(GLOB modules *.cpp)
add_library(headers OBJECT ${modules})
target_link_libraries(headers PRIVATE VorMotorCtl::registry VorMotorCtl::panel VorMotorCtl::qt)
EOF
build headers-build "$work/headers" "$prefix"
# What a consumer's find_package is told: the version of vormotor/Version.h; no to another major version
# or to an unknown part.
mkdir -p "$work/versions"
cat >"$work/versions/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(VorVersions LANGUAGES CXX)
find_package(VorMotorCtl 2.0 CONFIG QUIET)
set(found_for_2 ${VorMotorCtl_FOUND})
find_package(VorMotorCtl 1.0 CONFIG QUIET COMPONENTS registry nosuchpart)
if(found_for_2 OR VorMotorCtl_FOUND)
  message(FATAL_ERROR "VorMotorCtl found for version 2.0 or with an unknown component")
endif()
find_package(VorMotorCtl 1.0 CONFIG REQUIRED COMPONENTS registry)
file(WRITE ${CMAKE_BINARY_DIR}/version.cpp [=[
#include <string_view>
#include <vormotor/Version.h>
static_assert(std::string_view(VOR_VERSION_STRING) == PACKAGE_VERSION, "Version.h differs from the package");
]=])
add_library(version OBJECT ${CMAKE_BINARY_DIR}/version.cpp)
target_compile_definitions(version PRIVATE PACKAGE_VERSION="${VorMotorCtl_VERSION}")
target_link_libraries(version PRIVATE VorMotorCtl::core)
EOF
build versions-build "$work/versions" "$prefix"
build prefix/registry-cli examples/registry-cli "$prefix"
build prefix/qt-panel examples/qt-panel "$prefix"
build prefix/host-panel examples/host-panel "$prefix"
run_registry_example prefix/registry-cli
run_panel_example prefix/qt-panel
run_host_example prefix/host-panel
echo "test-install: prefix install: headers compile, the examples run"

# 2. CRegistry alone, on a machine as if without Qt, nlohmann-json and Google Benchmark.
quietly cmake -S . -B "$work/registry-only" -G Ninja --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Debug -DVOR_BUILD_PANEL=OFF \
    -DVOR_BUILD_TESTS=OFF -DVOR_BUILD_BENCHMARKS=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_nlohmann_json=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
quietly cmake --build "$work/registry-only"
quietly cmake --install "$work/registry-only" --prefix "$work/registry-prefix"
build registry-only-prefix/registry-cli examples/registry-cli "$work/registry-prefix"
run_registry_example registry-only-prefix/registry-cli
echo "test-install: CRegistry-only build: installed and the command-line example runs"

# 3. The Debian package, installed under /usr.
(cd build/package && quietly cpack -G DEB -B "$work/deb")
deb=$(ls "$work"/deb/${package}_*.deb)
remove_package  # the same version already installed would be kept as it is
quiet_apt_get install "$deb"
build usr/registry-cli examples/registry-cli
build usr/qt-panel examples/qt-panel
build usr/host-panel examples/host-panel
libdir=/usr/lib/$(g++ -print-multiarch)
for folder in usr/registry-cli usr/qt-panel usr/host-panel; do
    grep -q "^VorMotorCtl_DIR:PATH=$libdir/cmake/VorMotorCtl\$" "$work/$folder/CMakeCache.txt" ||
        { echo "test-install: $folder did not find the package in $libdir" >&2; exit 1; }
done
# The libraries in the multiarch folder, without debug information.
for library in $(dpkg -L "$package" | grep '\.a$'); do
    [ "$(dirname "$library")" = "$libdir" ] || { echo "test-install: $library is not in $libdir" >&2; exit 1; }
    if objdump -h "$library" | grep -q '\.debug_info'; then
        echo "test-install: $library carries debug information" >&2
        exit 1
    fi
done
run_registry_example usr/registry-cli
run_panel_example usr/qt-panel
run_host_example usr/host-panel
echo "test-install: $(basename "$deb") installed under /usr; the examples build and run against it"
