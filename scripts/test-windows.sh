#!/usr/bin/env bash
# The registry class against the real Windows registry API: cross-builds the registry tests and
# vormotor-reg with mingw-w64, runs them under Wine (headless, in a fresh prefix below the build
# folder), then round-trips a key tree: vormotor-reg export -> Wine's reg import -> reg export ->
# vormotor-reg import, which must give back the same string values.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

scripts/install-deps.sh windows
build="$root/build/windows"
cmake -S vormotor/registry/windows -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_TOOLCHAIN_FILE="$root/vormotor/registry/windows/mingw-w64.cmake" >/dev/null
cmake --build "$build"
# The Linux tool reads Wine's export back.
[ -d build/default ] || cmake --preset default >/dev/null
cmake --build --preset default --target vormotor-reg
tool="$root/build/default/apps/reg/vormotor-reg"

export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 DISPLAY=
unset WAYLAND_DISPLAY
rm -rf "$WINEPREFIX" && mkdir -p "$WINEPREFIX"
wineserver -p  # one server for every run below, instead of one per process
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i >/dev/null 2>&1

wine "$build/registry/registry_tests.exe"
wine "$build/reg/regtool_tests.exe"
wine "$build/registry/bench/registry_timing.exe" 200  # smoke size; run without arguments for the real figures

# Round trip. Texts without double quotes: the text layout cannot carry them.
work="$build/roundtrip"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
key='HKEY_CURRENT_USER\Software\VorRoundTrip'
{
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "$key"
    printf '"Path"="C:\\\\Motor\\\\Axis 1"\r\n"Plain"="Axis = [x]; 100%%"\r\n"Empty"=""\r\n"Trail"="ends with \\\\"\r\n'
    for sub in 1 2 3; do
        printf '\r\n[%s\\Axis %s]\r\n"Gain"="%s.5"\r\n"UNC"="\\\\\\\\server\\\\share"\r\n' "$key" "$sub" "$sub"
        printf '\r\n[%s\\Axis %s\\Limits]\r\n"Max"="%s000"\r\n' "$key" "$sub" "$sub"
    done
} > source.reg
"$tool" --store first.db import source.reg
"$tool" --store first.db export "$key" saved.reg
wine reg import saved.reg
wine "$build/reg/vormotor-reg.exe" export "$key" windows-tool.reg
# A value of another type in Wine's export must not come back as a string.
wine reg add "$key" /v Count /t REG_DWORD /d 5 /f >/dev/null
wine reg export "$key" wine.reg /y
grep -aq 'd.w.o.r.d.:' wine.reg || { echo "round trip: no DWORD in Wine's export" >&2; exit 1; }
"$tool" --store second.db import wine.reg
"$tool" --store second.db export "$key" back.reg

# Value order differs (Wine keeps values sorted), so compare "section|value line" pairs.
pairs() { tr -d '\r' < "$1" | awk '/^\[/ { section = $0; print section; next } /^"/ { print section "|" $0 }' | sort; }
pairs saved.reg > saved.txt
for image in back.reg windows-tool.reg; do
    pairs "$image" | diff -u saved.txt - || { echo "round trip: $image differs from saved.reg" >&2; exit 1; }
done
echo "round trip: $(grep -c '|' saved.txt) values in $(grep -vc '|' saved.txt) keys came back unchanged"
