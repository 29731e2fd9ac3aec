#!/usr/bin/env bash
# Drives vormotor-reg end to end on stores of its own: import, list, export (8-bit and UTF-16),
# typed values, the import filter, malformed files and the command-line conventions.
set -euo pipefail
tool="$1"
work="$2"
typed="$(cd "$(dirname "$0")/../../.." && pwd)/vormotor/registry/tests/data/all-types.reg"
# The read-only folder below needs its write permission back before it can go.
[ ! -d "$work" ] || chmod -R u+w "$work"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
export VORMOTOR_REGISTRY="$work/env.db"
fail() { echo "FAIL: $*" >&2; exit 1; }
# status WANTED command...: runs the command, which must exit with WANTED; its stderr lands in err.txt.
status() {
    local wanted=$1 got=0
    shift
    "$@" > out.txt 2> err.txt || got=$?
    [ "$got" = "$wanted" ] || fail "$* exited $got, not $wanted: $(cat err.txt)"
}
crlf() { sed 's/$/\r/'; }
head='Windows Registry Editor Version 5.00'

printf '%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\ToolTest]\r\n"Path"="C:\\\\Motor"\r\n"Name"="Axis 1"\r\n\r\n[HKEY_CURRENT_USER\\Software\\ToolTest\\Sub]\r\n"x"="1"\r\n' "$head" > in.reg

"$tool" --store "$work/a.db" import in.reg
# A store an import creates is a whole one in WAL mode (bytes 18 and 19 of its header), with nothing beside it.
[ "$(od -An -tu1 -j18 -N2 a.db | tr -s ' ')" = ' 2 2' ] || fail "a new store is not in WAL mode"
[ "$(ls)" = $'a.db\nin.reg' ] || fail "files beside a new store: $(ls)"
"$tool" --store "$work/a.db" export 'HKCU\Software\ToolTest' out.reg
cmp in.reg out.reg || fail "export differs from the imported file"
[ "$("$tool" --store "$work/a.db" list 'HKEY_CURRENT_USER\Software\ToolTest')" = $'[Sub]\nPath=C:\\Motor\nName=Axis 1' ] \
    || fail "list output"

# The environment variable names the store when --store is absent.
"$tool" import - < in.reg
[ -s env.db ] || fail "store of VORMOTOR_REGISTRY not used"
"$tool" export 'HKCU\Software\ToolTest' - | cmp - in.reg || fail "export to stdout"

# Files the registry editor writes are UTF-16LE with a byte-order mark; --utf16 writes them so.
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE in.reg; } > utf16.reg
"$tool" --store "$work/b.db" import utf16.reg
"$tool" --store "$work/b.db" export 'HKCU\Software\ToolTest' - | cmp - in.reg || fail "UTF-16 import"
"$tool" --store "$work/b.db" export --utf16 'HKCU\Software\ToolTest' back16.reg
cmp back16.reg utf16.reg || fail "export --utf16"

# Every value type in the editor's notation, names and texts with quotes and backslashes, a value
# longer than 9,999 bytes, non-ASCII text, a 255-character key name: exported exactly as imported,
# in both encodings. scripts/test-windows.sh takes the same file through Wine's regedit.
typedKey='HKCU\Software\VorRoundTrip'
"$tool" --store "$work/c.db" import "$typed"
"$tool" --store "$work/c.db" export "$typedKey" typed-out.reg
cmp "$typed" typed-out.reg || { diff <(cat -A "$typed") <(cat -A typed-out.reg) | head -c 2000; fail "typed values"; }
"$tool" --store "$work/c.db" export --utf16 "$typedKey" typed16.reg
"$tool" --store "$work/d.db" import typed16.reg
"$tool" --store "$work/d.db" export "$typedKey" - | cmp - "$typed" || fail "typed values through UTF-16"
if LC_ALL=C grep -q '[^[:print:][:space:]]' <(tr -d '\200-\377' < typed-out.reg); then fail "raw bytes in the export"; fi
# list shows every sub-key and value of it as readable text, a 255-character key name and the
# 12,000-byte value included; the values after the long one too.
"$tool" --store "$work/c.db" list "$typedKey" > listed.txt
grep -qx "\[$(printf 'k%.0s' $(seq 255))\]" listed.txt || fail "list: the 255-character key name"
grep -qx '\[zz\]' listed.txt || fail "list: the sub-key after the long name"
grep -qx 'Dword=dword:00000a0d' listed.txt || fail "list: $(head -c 300 listed.txt)"
grep -qx 'Lines=hex(1):61,00,0d,00,0a,00,62,00,00,00' listed.txt || fail "list: a text with a line break"
[ "$(grep '^Long=' listed.txt | wc -c)" = 12006 ] || fail "list: the 12,000-byte value"
grep -q '^Gr' listed.txt || fail "list: the value after the long one"
if LC_ALL=C grep -q '[[:cntrl:]]' <(tr -d '\n' < listed.txt); then fail "list: control characters"; fi

# Text the store keeps that is not UTF-8 cannot go into a UTF-16 file: said with its line, status 1, no file.
printf '%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\Latin]\r\n"caf\xe9"="1"\r\n' "$head" > latin.reg
"$tool" --store "$work/l.db" import latin.reg
status 1 "$tool" --store "$work/l.db" export --utf16 'HKCU\Software\Latin' latin16.reg
grep -q "cannot write UTF-16: Line 3 is not valid text in the registry's code page" err.txt || fail "$(cat err.txt)"
[ ! -e latin16.reg ] || fail "a UTF-16 file was written"

# A file with bare line feeds throughout is taken as if it had CR LF.
tr -d '\r' < in.reg > lf.reg
"$tool" --store "$work/e.db" import lf.reg
"$tool" --store "$work/e.db" export 'HKCU\Software\ToolTest' - | cmp - in.reg || fail "LF file"

# The import filter reports every line it cannot take, on the file's own line numbers, and imports nothing.
{
    printf '%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\Filter]\r\n"ok"="1"\r\n' "$head"
    printf '"a=b"="x"\r\n@=-\r\n"spaced" = "fine"\r\n"gone"=-\r\n'
} > filter.reg
status 1 "$tool" --store "$work/f.db" import filter.reg
grep -q "filter.reg: Line 5=>'@=-': deleting a value is not supported" err.txt || fail "filter: $(cat err.txt)"
grep -q "filter.reg: Line 7=>'\"gone\"=-'" err.txt || fail "filter: $(cat err.txt)"
[ "$(grep -c 'Line' err.txt)" = 2 ] || fail "filter reported other lines: $(cat err.txt)"
[ ! -e f.db ] || fail "a refused import left a store file"

# A whole root is exported as the registry editor writes it ([HKEY_CURRENT_USER], [HKEY_CURRENT_USER\Software]) and
# imports again.
"$tool" --store "$work/a.db" export HKCU root.reg
grep -qxF $'[HKEY_CURRENT_USER]\r' root.reg || fail "the root's own section: $(head -3 root.reg)"
grep -qxF $'[HKEY_CURRENT_USER\\Software\\ToolTest\\Sub]\r' root.reg || fail "sub-keys of a root export"
"$tool" --store "$work/root.db" import root.reg
"$tool" --store "$work/root.db" export HKEY_CURRENT_USER - | cmp - root.reg || fail "a root export does not import"

# An export replaces its file whole: one that fails (here at the file size limit, as with a full disk) leaves the
# file that was there, and no temporary file beside it.
{ printf '%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\Big]\r\n"big"="' "$head"; head -c 400000 /dev/zero | tr '\0' x; printf '"\r\n'; } > big.reg
"$tool" --store "$work/big.db" import big.reg
cp in.reg replaced.reg
status 1 bash -c "ulimit -f 64; trap '' XFSZ; exec \"\$0\" --store \"$work/big.db\" export 'HKCU\Software\Big' replaced.reg" "$tool"
grep -q "cannot write replaced.reg: File too large (the file was left as it was)" err.txt || fail "$(cat err.txt)"
cmp in.reg replaced.reg || fail "a failed export changed the file it was to replace"
[ "$(ls | grep -c '\.tmp$')" = 0 ] || fail "a temporary file was left: $(ls)"
"$tool" --store "$work/big.db" export 'HKCU\Software\Big' replaced.reg
cmp big.reg replaced.reg || fail "an export did not replace the file"

# A write that fails names its line and its reason, and nothing of the file is kept: a store that was there keeps what
# it had, and one the import was to create is not there, nor anything it was built in.
"$tool" --store "$work/a.db" export HKCU kept.reg
failing() {  # name, section lines after a good one, expected message
    { printf '%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\Good]\r\n"before"="1"\r\n\r\n' "$head"; printf "$2"; } > "$1.reg"
    status 1 "$tool" --store "$work/$1.db" import "$1.reg"
    grep -qF "$3" err.txt || fail "$1: $(cat err.txt)"
    [ -z "$(ls | grep -F "$1.db")" ] || fail "$1: an import into a new store left files: $(ls)"
    status 1 "$tool" --store "$work/a.db" import "$1.reg"
    "$tool" --store "$work/a.db" export HKCU - | cmp - kept.reg || fail "$1: a failed import changed the store"
}
failing machine '[HKEY_LOCAL_MACHINE\\Software\\Vor]\r\n"m"="1"\r\n' \
    "TypedImage::Load: Failed to write the value \"m\": access denied.  Line 6=>'\"m\"=\"1\"'"
failing longname "[HKEY_CURRENT_USER\\\\Software\\\\$(printf 'k%.0s' {1..256})]\r\n" \
    "Failed to create the key: a name is longer than the registry allows (key names: 255 characters).  Line 5=>"
failing emptyname '[HKEY_CURRENT_USER\\\\\\x]\r\n' \
    "Failed to create the key: the key path is not valid (it has an empty name).  Line 5=>"

# Malformed files: the line is named, nothing is imported, and no usage text follows a run-time error.
malformed() {  # name, body lines after the section, expected message
    { printf '%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\Bad]\r\n"before"="1"\r\n' "$head"; printf "$2"; printf '"after"="2"\r\n'; } > "$1.reg"
    status 1 "$tool" --store "$work/$1.db" import "$1.reg"
    grep -qF "$3" err.txt || fail "$1: $(cat err.txt)"
    if grep -q usage err.txt; then fail "$1: usage text after a run-time error"; fi
    cp err.txt "$1.err"
    status 1 "$tool" --store "$work/$1.db" list 'HKCU\Software\Bad'
}
malformed bracket '[HKEY_CURRENT_USER\\Software\\Bad\\x\r\n' "Format Error: registry section formatting.  Line 4=>"
malformed truncated '"t"="abc\r\n' "truncated.reg: Line 4=>'\"t\"=\"abc': the text has no closing quote"
malformed mixed '"m"="1"\n"n"="2"\r\n' "Format Error: line end without CR LF.  Line 4=>"
malformed nul '"a\0b"="1"\r\n' "Format Error: NUL character.  Line 4=>"
malformed hex '"h"=hex:01,\\\r\n  0g\r\n' "Format Error: value formatting.  Line 5=>'  0g'"
grep -q "unix2dos" mixed.err || fail "no hint for mixed line ends"
{ printf '%s\r\n\r\n[HKEY_CURRENT_USER\\Software\\Bad]\r\n"x"="' "$head"; head -c 5000000 /dev/zero | tr '\0' 'x'; printf '"\r\n'; } > huge.reg
started=$(date +%s)
status 1 "$tool" --store "$work/huge.db" import huge.reg
grep -q "Format Error: line too long.  Line 3" err.txt || fail "huge line: $(cat err.txt)"
[ $(( $(date +%s) - started )) -lt 5 ] || fail "a too long line took $(( $(date +%s) - started )) s"

# Conventions: --help on stdout with 0, usage errors 2 with usage, run-time errors 1 without it.
status 0 "$tool" --help
grep -q usage out.txt || fail "--help printed no usage"
[ ! -s err.txt ] || fail "--help wrote to stderr"
status 2 "$tool" frobnicate
grep -q usage err.txt || fail "no usage text for a usage error"
status 2 "$tool" export 'HKCU\Software\ToolTest'
status 2 "$tool" import --utf16 in.reg
status 1 "$tool" --store "$work/a.db" list 'HKCU\Software\Missing'
if grep -q usage err.txt; then fail "usage text after a run-time error"; fi
status 1 "$tool" --store "$work/a.db" import missing.reg

# A store the user may read but not write: list and export read it (from a folder where even SQLite's shared-memory
# file cannot be made), import says why it cannot write. Run as another user where the test runs as root.
mkdir readonly && cp a.db readonly/ && chmod 444 readonly/a.db && chmod 555 readonly && chmod o+x "$work"
as_reader=()
[ "$(id -u)" != 0 ] || as_reader=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
if "${as_reader[@]}" test -r readonly/a.db; then
    [ "$("${as_reader[@]}" "$tool" --store readonly/a.db list 'HKCU\Software\ToolTest')" = $'[Sub]\nPath=C:\\Motor\nName=Axis 1' ] \
        || fail "list of a read-only store"
    "${as_reader[@]}" "$tool" --store readonly/a.db export 'HKCU\Software\ToolTest' - | cmp - in.reg || fail "read-only export"
    status 1 "${as_reader[@]}" "$tool" --store readonly/a.db import in.reg
    grep -q "Failed to create the key: the registry store is read-only.  Line 2=>" err.txt || fail "$(cat err.txt)"
    [ "$(ls readonly)" = a.db ] || fail "files were made beside a read-only store: $(ls readonly)"
else
    echo "vormotor-reg: read-only store not checked: no other user can reach $work"
fi

# Errors say what happened: a folder given as the store, a file in UTF-16 without the editor's byte-order mark, an
# empty store file, which a reader leaves empty.
mkdir folder.db
status 1 "$tool" --store folder.db import in.reg
grep -q "Cannot open the registry store folder.db: it is a folder, not a store file" err.txt || fail "$(cat err.txt)"
{ printf '\xfe\xff'; iconv -f UTF-8 -t UTF-16BE in.reg; } > big-endian.reg
status 1 "$tool" --store "$work/g.db" import big-endian.reg
grep -q "big-endian.reg: the file is UTF-16 big-endian" err.txt || fail "$(cat err.txt)"
iconv -f UTF-8 -t UTF-16LE in.reg > unmarked.reg
status 1 "$tool" --store "$work/g.db" import unmarked.reg
grep -q "the file looks like UTF-16 without a byte-order mark" err.txt || fail "$(cat err.txt)"
: > empty.db
status 1 "$tool" --store empty.db list 'HKCU\Software'
grep -q "no such key" err.txt || fail "$(cat err.txt)"
[ ! -s empty.db ] || fail "a reader wrote into an empty store file"

# A full disk is said to be one, and the import keeps nothing; on a small file system of its own where the test may
# mount one.
if unshare -m true 2>/dev/null; then
    mkdir small
    full=$(unshare -m bash -c "mount -t tmpfs -o size=256k tmpfs small && cp a.db small/ &&
        \"\$0\" --store small/a.db import big.reg 2>&1; \"\$0\" --store small/a.db list 'HKCU\Software'" "$tool" || true)
    grep -q "Failed to write the image: the disk is full. Nothing of it was written." <<< "$full" || fail "disk full: $full"
    grep -q '^\[Big\]' <<< "$full" && fail "a failed import kept part of its file: $full"
    full=$(unshare -m bash -c "mount -t tmpfs -o size=256k tmpfs small &&
        \"\$0\" --store small/new.db import big.reg 2>&1; ls small | sed 's/^/left: /'" "$tool" || true)
    grep -q "the disk is full" <<< "$full" || fail "disk full, new store: $full"
    grep -q '^left: ' <<< "$full" && fail "a failed import into a new store left files: $full"
else
    echo "vormotor-reg: full disk not checked: this test may not mount a file system"
fi

# Read-only commands create no store, neither the named one nor the default one.
status 1 "$tool" --store "$work/none.db" list 'HKCU\Software'
[ ! -e none.db ] || fail "list created a store"
status 1 env -u VORMOTOR_REGISTRY HOME="$work/home" XDG_CONFIG_HOME= "$tool" export 'HKCU\Software' -
[ ! -e home ] || fail "export created the default store"
echo "vormotor-reg: all checks passed"
