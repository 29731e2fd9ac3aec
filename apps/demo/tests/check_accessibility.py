#!/usr/bin/python3
"""Reads the demo window as a screen reader does, through the AT-SPI bus, and walks it with Tab.

Run inside an X server and a D-Bus session (scripts/check-accessibility.sh does both):
    check_accessibility.py DEMO
For each case below the demo starts on the real X11 platform and holds still; every control of
the panel must then say what it is (its role), what it is called (the caption a user reads, not
a name from the code), whether it can be used (and if not, why, as its description), what is
checked or selected; and Tab must visit the panel's tab stops in the design's order and never a
disabled control. Every wait is bounded; the demo is ended whatever happens.
"""

import os
import re
import subprocess
import sys
import time

import pyatspi

# The panel's tab stops in order, as its design gives them, for each drive and access level. A list
# is named by the item it shows; a radio group is one stop, at its chosen option.
# "Encoder Resolution" is operable but no tab stop: its parameter's lock level is above 3.
CASES = [
    ("servo", 3, [
        "Encoder Density (counts/rev)", "Forward Speed Limit (rpm)", "Reverse Speed Limit (rpm)",
        "Brushless Rotary", "Motor Poles", "Electrical Time Constant (ms)", "Winding Resistance (Ohm)",
        "Back EMF Constant (V/krpm)", "RMS Time Constant: 30 s", "Normal", "Commutation Sensor Poles",
        "Use Sensors", "RMS Current Limit (A)", "Current Loop Proportional Gain", "Current Loop Integral Gain",
    ]),
    ("servo", 2, ["Current Loop Proportional Gain", "Current Loop Integral Gain"]),
    ("stepper", 3, [
        "Encoder Density (counts/rev)", "Forward Speed Limit (rpm)", "Reverse Speed Limit (rpm)",
        "Stepper Rotary", "Motor Poles", "Electrical Time Constant (ms)", "Winding Resistance (Ohm)",
        "Back EMF Constant (V/krpm)", "RMS Time Constant: 30 s", "RMS Current Limit (A)",
        "Current Loop Proportional Gain", "Current Loop Integral Gain", "2000 (1/10 step)", "Run Current (A)",
        "Idle Current (A)", "Acceleration Current (A)", "Encoder Verify", "Current Change Time Constant (ms)",
    ]),
]

INPUT_ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_RADIO_BUTTON}
# A name put together from the code: "MotorStyleCombo", "ParamItem", "transLbl".
CODE_NAME = re.compile(r"[a-z][A-Z]|ParamItem|Lbl$|Combo$|Grp$")
PANEL_NAME = "Motor Settings"
START_SECONDS = 20
TAB_PRESSES = 80
SETTLE_SECONDS = 0.15


def wait_for(what, seconds, probe):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found is not None:
            return found
        time.sleep(0.1)
    raise AssertionError(f"gave up waiting for {what} after {seconds} s")


def children(node):
    return [child for child in node if child is not None]


def has(node, state):
    return node.getState().contains(state)


def find(node, test):
    if test(node):
        return node
    for child in children(node):
        found = find(child, test)
        if found is not None:
            return found
    return None


def showing(node):
    """The objects on screen below `node`, in the window's order; a list's items are its own."""
    for child in children(node):
        if has(child, pyatspi.STATE_SHOWING):
            yield child
            if child.getRole() != pyatspi.ROLE_COMBO_BOX:
                yield from showing(child)


def focused(app):
    return find(app, lambda node: has(node, pyatspi.STATE_FOCUSED))


def describe(node):
    return f"{node.getRoleName()} '{node.name}'"


def check_control(node, problems):
    """Role, spoken name, state and, when disabled, the reasons of one control of the panel."""
    role = node.getRole()
    name = node.name.strip()
    if role in (pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_INVALID):
        problems.append(f"{describe(node)} has no role")
    if role in INPUT_ROLES | {pyatspi.ROLE_PANEL, pyatspi.ROLE_LABEL}:
        if not name:
            problems.append(f"a {node.getRoleName()} has no name")
        elif CODE_NAME.search(name):
            problems.append(f"{describe(node)} is named from the code, not by its caption")
    if role not in INPUT_ROLES:
        return
    enabled = has(node, pyatspi.STATE_ENABLED) and has(node, pyatspi.STATE_SENSITIVE)
    if not enabled and not node.description.strip():
        problems.append(f"{describe(node)} is disabled but does not say why")
    if enabled and node.description.strip():
        problems.append(f"{describe(node)} is enabled but describes reasons: {node.description!r}")
    if role == pyatspi.ROLE_TEXT:
        # The field is called by the caption shown beside or above it.
        captions = [c.name for c in children(node.parent) if c.getRole() == pyatspi.ROLE_LABEL]
        spoken = " ".join(captions[0].split()) if captions else None
        if spoken != name:
            problems.append(f"{describe(node)} is not called by its caption {captions}")
    if role == pyatspi.ROLE_COMBO_BOX:
        items = [item.name for lst in children(node) for item in children(lst)]
        if items and name not in items:
            problems.append(f"{describe(node)} does not speak its selected item (items {items})")


def check_groups(panel, problems):
    """A radio group on screen has exactly one option checked."""
    for node in showing(panel):
        buttons = [b for b in children(node) if b.getRole() == pyatspi.ROLE_RADIO_BUTTON]
        if buttons and has(buttons[0], pyatspi.STATE_SHOWING):
            checked = [b.name for b in buttons if has(b, pyatspi.STATE_CHECKED)]
            if len(checked) != 1:
                problems.append(f"radio group '{node.name}' has {len(checked)} options checked: {checked}")


def check_tab_order(app, panel, expected, problems):
    """Tab goes round the whole window once; the panel's part of the round is its tab stops."""
    inside = set(showing(panel))
    round_trip = []
    first = None
    for _ in range(TAB_PRESSES):
        pyatspi.Registry.generateKeyboardEvent(0xFF09, None, pyatspi.KEY_SYM)  # Tab
        time.sleep(SETTLE_SECONDS)
        node = focused(app)
        if node is None:
            continue
        if node == first:
            break
        first = first or node
        if not (has(node, pyatspi.STATE_ENABLED) and has(node, pyatspi.STATE_SENSITIVE)):
            problems.append(f"Tab reached the disabled {describe(node)}")
        if node in inside:
            round_trip.append(node.name)
            if node.getRole() == pyatspi.ROLE_RADIO_BUTTON and not has(node, pyatspi.STATE_CHECKED):
                problems.append(f"Tab stopped at {describe(node)}, not at its group's chosen option")
    else:
        problems.append(f"Tab did not come round in {TAB_PRESSES} presses")
    if round_trip != expected:
        problems.append(f"Tab visits {round_trip}, the design's order is {expected}")


def run_case(demo, profile, level, expected):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    process = subprocess.Popen([demo, "--profile", profile, "--access-level", str(level), "--freeze"], env=env,
                               stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app = wait_for("the demo on the accessibility bus", START_SECONDS, lambda: next(
            (a for a in children(desktop) if a.name == "vormotor-demo"), None))
        panel = wait_for("the panel", START_SECONDS, lambda: find(
            app, lambda n: n.getRole() == pyatspi.ROLE_PANEL and n.name.strip() == PANEL_NAME))
        problems = []
        controls = list(showing(panel))
        if len(controls) < 40:
            problems.append(f"only {len(controls)} objects of the panel are on screen")
        for node in controls:
            check_control(node, problems)
        check_groups(panel, problems)
        check_tab_order(app, panel, expected, problems)
        return problems
    finally:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()


def main():
    demo = sys.argv[1]
    # The bus must be there before the demo starts, or Qt does not offer its window on it.
    pyatspi.Registry.getDesktop(0)
    failed = 0
    for profile, level, expected in CASES:
        problems = run_case(demo, profile, level, expected)
        print(f"{'FAIL' if problems else 'PASS'}: {profile} at access level {level}")
        for problem in problems:
            print(f"  {problem}")
        failed += bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
