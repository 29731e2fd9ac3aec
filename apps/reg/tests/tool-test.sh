#!/usr/bin/env bash
# Drives vormotor-reg end to end on a store of its own: import, list, export, UTF-16 import, errors.
set -euo pipefail
tool="$1"
work="$2"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
export VORMOTOR_REGISTRY="$work/env.db"
fail() { echo "FAIL: $*" >&2; exit 1; }

printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\ToolTest]\r\n"Path"="C:\\\\Motor"\r\n"Name"="Axis 1"\r\n\r\n[HKEY_CURRENT_USER\\Software\\ToolTest\\Sub]\r\n"x"="1"\r\n' > in.reg

"$tool" --store "$work/a.db" import in.reg
"$tool" --store "$work/a.db" export 'HKCU\Software\ToolTest' out.reg
cmp in.reg out.reg || fail "export differs from the imported file"
[ "$("$tool" --store "$work/a.db" list 'HKEY_CURRENT_USER\Software\ToolTest')" = $'[Sub]\nPath=C:\\Motor\nName=Axis 1' ] \
    || fail "list output"

# The environment variable names the store when --store is absent.
"$tool" import - < in.reg
[ -s env.db ] || fail "store of VORMOTOR_REGISTRY not used"
"$tool" export 'HKCU\Software\ToolTest' - | cmp - in.reg || fail "export to stdout"

# Files the registry editor writes are UTF-16LE with a byte-order mark.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE in.reg; } > utf16.reg
"$tool" --store "$work/b.db" import utf16.reg
"$tool" --store "$work/b.db" export 'HKCU\Software\ToolTest' - | cmp - in.reg || fail "UTF-16 import"

# Failures exit with 1 and say why.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER]\r\n' > bad.reg
if "$tool" --store "$work/a.db" import bad.reg 2> err.txt; then fail "bad file accepted"; fi
grep -q "Format Error: registry section formatting.  Line 2=>'\[HKEY_CURRENT_USER\]'" err.txt || fail "$(cat err.txt)"
if "$tool" --store "$work/a.db" list 'HKCU\Software\Missing' 2> err.txt; then fail "missing key listed"; fi
if "$tool" frobnicate 2> err.txt; then fail "unknown command accepted"; fi
grep -q usage err.txt || fail "no usage text"
echo "vormotor-reg: all checks passed"
