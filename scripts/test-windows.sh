#!/usr/bin/env bash
# The registry class against the real Windows registry API: cross-builds the registry tests and
# vormotor-reg with mingw-w64, runs them under Wine (headless, in a fresh prefix below the build
# folder): the same test cases as on the portable store, then round trips of every value type
# through Wine's regedit in both directions.
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
# reg and regedit are started by their paths in the prefix: named without a path, a program goes
# through Wine's launcher (ShellExecuteEx), which now and then fails to start it at all.
reg="$WINEPREFIX/drive_c/windows/system32/reg.exe"
regedit="$WINEPREFIX/drive_c/windows/regedit.exe"

wine "$build/registry/registry_tests.exe"
wine "$build/registry/bench/registry_timing.exe" 200  # smoke size; run without arguments for the real figures

# Round trips through Wine's regedit, both ways, with every value type, quotes and backslashes in
# names and texts, equals signs in a name, a key's default value, a value longer than 9,999 bytes,
# non-ASCII names and data, a 255-character key name and a key name of 200 non-ASCII characters (the
# same file tool-test.sh round-trips on the portable store), and whole roots:
#   ours -> Wine: vormotor-reg export --utf16, regedit /s, regedit /e, vormotor-reg import: the same values;
#   Wine -> ours: Wine's export, vormotor-reg import and export --utf16, regedit /s and /e: the same file.
work="$build/roundtrip"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
fixture="$root/vormotor/registry/tests/data/all-types.reg"
key='HKEY_CURRENT_USER\Software\VorRoundTrip'
fail() { echo "round trip: $*" >&2; exit 1; }
# Wine keeps values sorted and wraps hex lines its own way: compare "section|value" with continuations joined.
pairs() {
    iconv -f "$2" -t UTF-8 "$1" | tr -d '\r' | sed -e ':a' -e '/\\$/{N;s/\\\n  //;ba}' |
        awk '/^\[/ { section = $0; print section; next } /^["@]/ { print section "|" $0 }' | LC_ALL=C sort
}
reimport() {  # file: replaces the key in Wine's registry with the file's
    wine "$reg" delete "$key" /f >/dev/null 2>&1 || true
    wine "$regedit" /s "$1"
}
"$tool" --store first.db import "$fixture"
"$tool" --store first.db export --utf16 "$key" ours.reg
reimport ours.reg
wine "$regedit" /e wine.reg "$key"
"$tool" --store second.db import wine.reg
pairs "$fixture" UTF-8 > fixture.txt
"$tool" --store second.db export "$key" back.reg
pairs back.reg UTF-8 | diff -u fixture.txt - | cut -c1-200 || fail "values changed on the way through Wine's regedit"
"$tool" --store second.db export --utf16 "$key" ours-again.reg
reimport ours-again.reg
wine "$regedit" /e wine-again.reg "$key"
cmp wine.reg wine-again.reg || fail "Wine's export changed on the way through vormotor-reg"
echo "round trip: $(grep -c '|' fixture.txt) values in $(grep -vc '|' fixture.txt) keys came back unchanged both ways"

# The Windows build reads the same key through the ANSI functions: all but the text outside the
# ANSI code page, which those functions cannot carry, and its import says which line that is.
wine "$build/reg/vormotor-reg.exe" export --utf16 "$key" windows-tool.reg
pairs windows-tool.reg UTF-16 | grep -v '|"Gr' | diff -u <(grep -v '|"Gr' fixture.txt) - | cut -c1-200 ||
    fail "the Windows build exported other values"
if wine "$build/reg/vormotor-reg.exe" import wine.reg 2> windows-import.txt; then
    fail "the Windows build imported text its code page cannot hold"
fi
grep -q "holds UTF-16 text that the registry's code page cannot hold" windows-import.txt ||
    fail "$(cat windows-import.txt)"
echo "round trip: the Windows build agrees and refuses what its code page cannot hold"

# list shows the same in both builds: every sub-key and value, typed values in the editor's notation,
# the 255-character key name and the long value included (lines with text outside ASCII aside, which
# the ANSI functions carry in their own code page; sorted, as Wine enumerates in its own order).
reimport ours.reg
ascii() { tr -d '\r' | { LC_ALL=C grep -v '[^ -~]' || true; } | LC_ALL=C sort; }
"$tool" --store first.db list "$key" | ascii > list-linux.txt
wine "$build/reg/vormotor-reg.exe" list "$key" | ascii > list-windows.txt
diff -u list-linux.txt list-windows.txt | cut -c1-200 || fail "the Windows build lists the key otherwise"
echo "list: both builds show the same $(wc -l < list-linux.txt) lines"

# Whole roots, as regedit writes them ([HKEY_CURRENT_USER], [HKEY_CURRENT_USER\Software]): ours goes into Wine's
# registry with every value; Wine's whole HKEY_CURRENT_USER comes back from vormotor-reg with every value it had.
"$tool" --store first.db export --utf16 HKEY_CURRENT_USER ours-root.reg
[ "$(iconv -f UTF-16 -t UTF-8 ours-root.reg | sed -n 3p)" = $'[HKEY_CURRENT_USER]\r' ] ||
    fail "our whole-root export does not begin with the root's own section"
reimport ours-root.reg
wine "$regedit" /e wine-after-root.reg "$key"
"$tool" --store after-root.db import wine-after-root.reg
"$tool" --store after-root.db export "$key" after-root.reg
pairs after-root.reg UTF-8 | diff -u fixture.txt - | cut -c1-200 || fail "Wine took our whole-root export otherwise"
wine "$reg" delete "$key" /f >/dev/null
wine "$regedit" /e wine-root.reg HKEY_CURRENT_USER
"$tool" --store root.db import wine-root.reg
"$tool" --store root.db export HKEY_CURRENT_USER back-root.reg
pairs wine-root.reg UTF-16 > wine-root.txt
pairs back-root.reg UTF-8 | diff -u wine-root.txt - | cut -c1-200 || fail "Wine's whole root changed through vormotor-reg"
echo "round trip: whole roots both ways, $(grep -c '|' wine-root.txt) values of Wine's HKEY_CURRENT_USER unchanged"
