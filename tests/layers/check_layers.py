#!/usr/bin/env python3
"""Fails when an #include in src/ crosses a layer the wrong way.

   check_layers.py SRC_DIR

Each folder of src/ is one layer and may include only the folders listed
for it below (and itself). The core knows nothing of windows; the reports
know nothing of widgets; windows of one kind do not reach into windows of
another; only the main window (app/) sees them all. The picture is in the
README under "For developers".
"""
import pathlib
import re
import sys

ALLOWED = {
    "plan": set(),
    "loancalc": {"plan"},
    "reports": {"plan", "loancalc"},
    "widgets": {"plan", "loancalc", "reports"},
    "editors": {"plan", "widgets"},
    "auxwindows": {"plan", "widgets"},
    "loanwindow": {"plan", "loancalc", "reports", "widgets"},
    "planwindow": {"plan", "reports", "widgets", "editors"},
    "app": {"plan", "loancalc", "reports", "widgets", "editors", "auxwindows", "loanwindow", "planwindow"},
    "cli": {"plan", "loancalc", "reports"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def main():
    src = pathlib.Path(sys.argv[1])
    wrong = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp"}:
            continue
        layer = path.relative_to(src).parts[0]
        if layer not in ALLOWED:
            wrong.append(f"{path.relative_to(src)}: the folder {layer}/ is in no layer")
            continue
        text = path.read_text(encoding="utf-8")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if "/" not in target:
                # the meta-object code the build writes for this file
                generated = target.startswith("moc_") or target.endswith(".moc")
                if not generated and not (path.parent / target).exists():
                    wrong.append(f"{path.relative_to(src)}: \"{target}\" is not in its own folder")
                continue
            other = target.split("/")[0]
            if other != layer and other not in ALLOWED[layer]:
                line = text.count("\n", 0, match.start()) + 1
                wrong.append(f"{path.relative_to(src)}:{line}: {layer}/ may not include {target}")
    for w in wrong:
        print(w)
    if wrong:
        print(f"{len(wrong)} include(s) cross a layer the wrong way")
        return 1
    print("every include keeps to its layer")
    return 0


if __name__ == "__main__":
    sys.exit(main())
