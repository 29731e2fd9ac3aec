#!/usr/bin/env python3
"""Checks the modules and programs against the table in vormotor/layers.txt: every include, and every
namespace a source file opens.

Includes: a folder's sources include only what its row names (tests/, bench/ and fuzz/ are hosts and may
include anything). Namespaces: every source file of a folder, its tests, benchmarks and fuzzers included,
opens only its folder's namespace, namespaces nested in it, and anonymous ones; never the namespace of
another folder, nor a helper namespace another folder opens. A folder outside plain `vor` may open `vor`
once more at the end of an installed header, to keep there with using-declarations the names hosts knew
before it moved (`namespace vor { using sim::SimDrive; }`) and nothing else. Namespaces outside `vor` are
other libraries' (std::hash, CLI11) and not checked.
Prints each fault as file:line: what, and exits 1 when there is one.
Usage: scripts/check-layers.py [repository root]
"""
import pathlib
import re
import sys

ROOT_NAMESPACE = "vor"
SOURCE_SUFFIXES = {".h", ".cpp", ".in"}
HOST_FOLDERS = {"tests", "bench", "fuzz"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# "vormotor/<module>/X.h" or "apps/<program>/X.h" names the folder; anything else quoted is a file of
# no folder, which the table must name whole ("vormotor/Version.h").
FOLDER = re.compile(r"^((?:vormotor|apps)/[A-Za-z0-9_]+)/")
# folder, its namespace, a colon, what it may include: "vormotor/drivesim  vor::sim:  vormotor/core ..."
ROW = re.compile(r"^(\S+)\s+(" + ROOT_NAMESPACE + r"(?:::[a-z_][a-z0-9_]*)*)\s*:(?!:)(.*)$")
# Literals and comments, blanked before namespaces are looked for.
LITERAL = re.compile(r'//[^\n]*|/\*.*?\*/|R"([^(\s]*)\(.*?\)\1"|"(?:\\.|[^"\\\n])*"|(?<![\w\'])\'(?:\\.|[^\'\\\n])*\'',
                     re.S)
TOKEN = re.compile(r"[A-Za-z_]\w*|::|[{};=]")
ALIAS = re.compile(r"^using\s+([a-z_]\w*(?:::[a-z_]\w*)*)\s*::\s*[A-Za-z_]\w*$")


def read_table(path):
    rows, namespaces = {}, {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        match = ROW.match(line)
        if not match or match.group(1) in rows:
            sys.exit(f"{path}:{number}: expected one row 'folder namespace: allowed...' per folder")
        folder, namespace, allowed = match.groups()
        rows[folder] = set(allowed.split())
        namespaces[folder] = namespace
    return rows, namespaces


def folder_of(path, root, with_hosts):
    parts = path.relative_to(root).parts
    if len(parts) < 3 or (not with_hosts and HOST_FOLDERS.intersection(parts[2:-1])):
        return None
    return f"{parts[0]}/{parts[1]}"


def blank(match):
    return re.sub(r"[^\n]", " ", match.group(0))


def namespace_openings(text):
    """(line, full name, statements inside) for each named namespace a file opens; anonymous ones are
    followed into but not reported. Statements are the texts between semicolons at that namespace's level."""
    code = LITERAL.sub(blank, text)
    code = "\n".join(" " * len(line) if line.lstrip().startswith("#") else line for line in code.split("\n"))
    tokens = [(m.group(0), m.start()) for m in TOKEN.finditer(code)]
    stack, openings = [], []  # stack: (full name or None for other braces, opening record or None)
    i = 0
    while i < len(tokens):
        word, at = tokens[i]
        if word == "namespace":
            j, name = i + 1, ""
            while j < len(tokens) and (tokens[j][0] == "::" or re.match(r"[A-Za-z_]", tokens[j][0])):
                name += tokens[j][0]
                j += 1
            if j < len(tokens) and tokens[j][0] == "{":
                outer = next((full for full, _ in reversed(stack) if full is not None), "")
                full = "::".join(part for part in (outer, name or "(anonymous)") if part)
                record = None
                if name:
                    record = [code.count("\n", 0, at) + 1, full, [], at, tokens[j][1]]
                    openings.append(record)
                stack.append((full, record))
                i = j + 1
                continue
        if word == "{":
            stack.append((None, None))
        elif word == "}":
            if stack:
                stack.pop()
        elif stack and stack[-1][1] is not None:
            stack[-1][1][2].append((word, at))
        i += 1
    result = []
    for line, full, words, start, _ in openings:
        statements, current = [], []
        for word, _ in words:
            if word == ";":
                statements.append(" ".join(current).replace(" :: ", "::"))
                current = []
            else:
                current.append(word)
        if current:
            statements.append(" ".join(current))
        result.append((line, full, statements))
    return result


def within(name, namespace):
    return name == namespace or name.startswith(namespace + "::")


def check_namespaces(root, namespaces, faults):
    helpers = {}  # helper namespace of a folder sharing plain vor -> the folder that opens it
    for top in ("vormotor", "apps"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            folder = folder_of(path, root, with_hosts=True)
            if folder is None or folder not in namespaces:
                continue
            own = namespaces[folder]
            others = {ns for f, ns in namespaces.items() if ns != own}
            text = path.read_text(encoding="utf-8", errors="replace")
            for line, full, statements in namespace_openings(text):
                where = f"{path.relative_to(root)}:{line}"
                if not within(full, ROOT_NAMESPACE):
                    continue
                if full == ROOT_NAMESPACE and own != ROOT_NAMESPACE:
                    relative = own[len(ROOT_NAMESPACE) + 2:]
                    bad = [s for s in statements if not (ALIAS.match(s) and ALIAS.match(s).group(1) == relative)]
                    if len(bad) == len(statements):
                        faults.append(f"{where}: {folder} opens {full}, not its namespace; its namespace is {own}")
                    elif bad:
                        faults.append(f"{where}: {folder} opens {full} for more than using-declarations of names "
                                      f"of {own} ({bad[0][:60]})")
                    continue
                owner = next((ns for ns in sorted(others, key=len, reverse=True) if within(full, ns)
                              and len(ns) > len(own)), None)
                if owner is not None or not within(full, own):
                    which = f"the namespace of {', '.join(f for f, ns in namespaces.items() if ns == owner)}" \
                        if owner else "not its namespace"
                    faults.append(f"{where}: {folder} opens {full}, {which}; its namespace is {own}")
                    continue
                if full != own:
                    helper = own + "::" + full[len(own) + 2:].split("::")[0]
                    if helper.endswith("(anonymous)"):
                        continue
                    first = helpers.setdefault(helper, folder)
                    if first != folder:
                        faults.append(f"{where}: {folder} opens {helper}, a namespace of {first}")


def check_includes(root, rows, table_path, faults):
    outside = {entry for allowed in rows.values() for entry in allowed if entry.startswith("<")}
    for top in ("vormotor", "apps"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            folder = folder_of(path, root, with_hosts=False)
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


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    table_path = root / "vormotor" / "layers.txt"
    rows, namespaces = read_table(table_path)
    faults = []
    check_includes(root, rows, table_path, faults)
    check_namespaces(root, namespaces, faults)
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-layers: {len(faults)} problem(s) against {table_path.relative_to(root)}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
