#!/usr/bin/python3
"""Reads the item editor's controls over AT-SPI, as a screen reader does.

   check_atspi.py HOST

Starts HOST (item_editor_host), waits for its editor, and checks that every
control that takes the focus has a name a screen reader speaks: its own, or
that of the label tied to it. The controls of the editor must be among them.
"""
import subprocess
import sys
import time

import pyatspi

EXPECTED = ["Item Description :", "Amount :", "Frequency", "Category", "Categories", "Notes :", "OK", "Cancel"]


def spoken_name(node):
    if node.name and node.name.strip():
        return node.name.strip()
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            for i in range(relation.getNTargets()):
                target = relation.getTarget(i)
                if target.name and target.name.strip():
                    return target.name.strip()
    return ""


def walk(node, found, depth=0):
    if node is None or depth > 40:
        return
    states = node.getState()
    if states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING):
        found.append((node.getRoleName(), spoken_name(node)))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), found, depth + 1)


def find_app(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.3)
    return None


def main():
    host = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    try:
        if host.stdout.readline().strip() != "ready":
            print("the item editor did not start")
            return 1
        app = find_app("pursekeep-item-editor")
        if app is None:
            print("the program is not on the accessibility bus")
            return 1
        found = []
        walk(app, found)
        for role, name in found:
            print(f"{role}: {name!r}")
        unnamed = [role for role, name in found if not name]
        missing = [n for n in EXPECTED if n not in [name for _, name in found]]
        if unnamed:
            print("controls without a name:", ", ".join(unnamed))
        if missing:
            print("controls not found by name:", ", ".join(missing))
        return 1 if unnamed or missing or not found else 0
    finally:
        host.stdin.close()
        try:
            host.wait(timeout=10)
        except subprocess.TimeoutExpired:
            host.kill()


if __name__ == "__main__":
    sys.exit(main())
