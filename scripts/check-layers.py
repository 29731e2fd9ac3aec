#!/usr/bin/env python3
"""Checks every include of the modules and programs against the table in vormotor/layers.txt.

Prints each include the table does not allow, as file:line: what, and exits 1 when there is one.
Usage: scripts/check-layers.py [repository root]
"""
import pathlib
import re
import sys

SOURCE_SUFFIXES = {".h", ".cpp", ".in"}
HOST_FOLDERS = {"tests", "bench", "fuzz"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# "vormotor/<module>/X.h" or "apps/<program>/X.h" names the folder; anything else quoted is a file of
# no folder, which the table must name whole ("vormotor/Version.h").
FOLDER = re.compile(r"^((?:vormotor|apps)/[A-Za-z0-9_]+)/")


def read_table(path):
    rows = {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        folder, colon, allowed = line.partition(":")
        if not colon or folder.strip() in rows:
            sys.exit(f"{path}:{number}: expected one row 'folder: allowed...' per folder")
        rows[folder.strip()] = set(allowed.split())
    return rows


def folder_of(path, root):
    parts = path.relative_to(root).parts
    if len(parts) < 3 or HOST_FOLDERS.intersection(parts[2:-1]):
        return None
    return f"{parts[0]}/{parts[1]}"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    table_path = root / "vormotor" / "layers.txt"
    rows = read_table(table_path)
    outside = {entry for allowed in rows.values() for entry in allowed if entry.startswith("<")}
    faults = []
    for top in ("vormotor", "apps"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            folder = folder_of(path, root)
            if folder is None:
                continue
            allowed = rows.get(folder)
            if allowed is None:
                faults.append(f"{path.relative_to(root)}: {folder} has no row in {table_path.relative_to(root)}")
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                bracket, name = match.groups()
                where = f"{path.relative_to(root)}:{number}"
                if bracket == "<":
                    library = next((entry for entry in outside if ("<" + name).startswith(entry)), None)
                    if library and library not in allowed:
                        faults.append(f"{where}: {folder} may not include {library}...> ({name})")
                    continue
                found = FOLDER.match(name)
                target = found.group(1) if found else name
                if target != folder and target not in allowed:
                    faults.append(f"{where}: {folder} may not include {name}")
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-layers: {len(faults)} problem(s) against {table_path.relative_to(root)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
