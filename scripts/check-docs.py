#!/usr/bin/env python3
"""Checks the documentation against the tree: every path and every target name that README.md,
CONTRIBUTING.md and docs/*.md mention must exist, and a file said to be N lines long must be within a
tenth of that; a program a document quotes (after "<!-- the program: FILE -->") must be FILE as it is, and
the table of the panel's controls in docs/embedding.md must list the form's 40 controls. Prints each
one that is not so, with its file and line, and exits 1 if there is any."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parent.parent
documents = [root / "README.md", root / "CONTRIBUTING.md", *sorted((root / "docs").glob("*.md"))]

# A path into the tree: one of its top folders, then names; placeholders (<module>, NAME) and globs
# stand for any name.
path_pattern = re.compile(r"(?<![\w./-])((?:apps|vormotor|docs|scripts|cmake|examples|\.ci)/[\w.*<>/-]*)")
# A target: a library, a test executable, a benchmark, a fuzzer or a program.
target_pattern = re.compile(
    r"`((?:vor_\w+)|(?:\w+_(?:tests|bench|fuzzer|timing))|(?:vormotor-[a-z]+))`")
definition_pattern = re.compile(
    r"\b(?:add_library|add_executable|vor_add_tests|vor_add_qt_tests|vor_add_fuzzer|function)\(\s*([\w${}-]+)")
# Headers the build writes from a template (configure_file into generated/).
generated_pattern = re.compile(r"generated/(vormotor/[\w./]+)")
# The form's inventory: FrameRow("MotorFrame", ...), EditorRow(13, ...) is ParamItem(13), ...
inventory_file = root / "vormotor/panel/form/MotorFormDesign.cpp"
inventory_patterns = [
    (re.compile(r'(?:Frame|Label|List)Row\("(\w+)"'), lambda m: m.group(1)),
    (re.compile(r"EditorRow\((\d+),"), lambda m: f"ParamItem({m.group(1)})"),
    (re.compile(r'RadioRow\("(\w+)", (\d+)'), lambda m: f"{m.group(1)}({m.group(2)})"),
    (re.compile(r'RadioRow\("(\w+)", std::nullopt'), lambda m: m.group(1)),
    (re.compile(r"EdgeLineRow\((\d+),"), lambda m: f"mtrFeatureLine({m.group(1)})"),
]
controls_document = root / "docs/embedding.md"
control_row_pattern = re.compile(r"^\| `(\w+(?:\(\d+\))?)` \| (?:frame|label|list|line|editor|radio group) \|")
quoted_program_pattern = re.compile(r"^<!-- the program: ([\w./-]+) -->$")
# "`apps/drive/DriveServer.cpp` is a complete example in 200 lines"
length_pattern = re.compile(r"`([\w./-]+)`[^`]*?\bin (?:about )?(\d+) lines")


def cmake_files():
    return [cmake for cmake in [*root.glob("CMakeLists.txt"), *root.glob("*/**/CMakeLists.txt")]
            if cmake.relative_to(root).parts[0] != "build"]


def generated_headers():
    return {match for cmake in cmake_files() for match in generated_pattern.findall(cmake.read_text())}


def defined_targets():
    targets = set()
    for cmake in cmake_files():
        for line in cmake.read_text().splitlines():
            match = definition_pattern.search(line)
            if not match:
                continue
            name = match.group(1)
            if line.lstrip().startswith(("vor_add_tests(", "vor_add_qt_tests(")):
                name += "_tests"
            elif line.lstrip().startswith("vor_add_fuzzer("):
                name += "_fuzzer"
            targets.add(name)
    return targets


def path_exists(path, generated):
    path = re.sub(r"[.,:;)>]+$", "", path.replace("...", "*"))
    if path in generated:
        return True
    pattern = re.sub(r"<[^>]*>|\*|\b[A-Z]\b|\b[A-Z]{3,}\w*", "*", path).rstrip("/")
    if "*" in pattern:
        return any(root.glob(pattern)) or any(root.glob("**/" + pattern.split("*/", 1)[-1]))
    return (root / path).exists()


def length_problem(path, claimed):
    file = root / path
    if not file.is_file():
        return f"no path {path}"
    actual = len(file.read_text().splitlines())
    if abs(actual - claimed) > claimed / 10:
        return f"{path} has {actual} lines, not about {claimed}"
    return None


def form_controls():
    text = inventory_file.read_text()
    return sorted(name(match) for pattern, name in inventory_patterns for match in pattern.finditer(text))


def control_table_problems():
    listed = sorted(match.group(1) for line in controls_document.read_text().splitlines()
                    if (match := control_row_pattern.match(line)))
    designed = form_controls()
    where = controls_document.relative_to(root)
    problems = [f"{where}: the control table lists {name}, which the form does not have"
                for name in sorted(set(listed) - set(designed))]
    problems += [f"{where}: the control table misses {name}" for name in sorted(set(designed) - set(listed))]
    if len(designed) != 40:
        problems.append(f"{inventory_file.relative_to(root)}: {len(designed)} controls found, not 40")
    return problems


def quoted_program_problems(document):
    lines = document.read_text().splitlines()
    problems = []
    for number, line in enumerate(lines, 1):
        match = quoted_program_pattern.match(line)
        if not match:
            continue
        end = lines.index("```", number + 1)
        quoted = "\n".join(lines[number + 1:end]) + "\n"
        program = root / match.group(1)
        if not program.is_file() or program.read_text() != quoted:
            problems.append(f"{document.relative_to(root)}:{number}: the program quoted is not {match.group(1)}")
    return problems


def main():
    targets = defined_targets()
    generated = generated_headers()
    missing = []
    for document in documents:
        for number, line in enumerate(document.read_text().splitlines(), 1):
            where = f"{document.relative_to(root)}:{number}"
            for path in path_pattern.findall(line):
                if not path_exists(path, generated):
                    missing.append(f"{where}: no path {path}")
            for path, claimed in length_pattern.findall(line):
                if problem := length_problem(path, int(claimed)):
                    missing.append(f"{where}: {problem}")
            for target in target_pattern.findall(line):
                if target not in targets:
                    missing.append(f"{where}: no target {target}")
        missing += quoted_program_problems(document)
    missing += control_table_problems()
    for problem in missing:
        print(problem, file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
