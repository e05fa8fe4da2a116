#!/usr/bin/python3
"""Compares two folder trees written by two builds of transquendra.

Every file of the first tree must exist in the second (names compared
without regard to letter case, as on Windows) with the same bytes. In dBase
tables and .MDX index files the header's date (bytes 1 to 3) may differ. The
backup folder COPIAS is left out: its names carry the time of the run.

Usage: compare_tables.py LINUX_DIR WINDOWS_DIR
Exit status 0 when the trees match, 1 otherwise.
"""

import os
import sys

DATED = (".dbf", ".mdx")
SKIPPED_FOLDERS = {"copias"}
# The report pages are for people: they carry the run's date and time and
# are checked by tests of their own, not byte for byte here.
SKIPPED_SUFFIXES = (".html",)


def files_of(root):
    found = {}
    for folder, subfolders, names in os.walk(root):
        subfolders[:] = [s for s in subfolders if s.lower() not in SKIPPED_FOLDERS]
        for name in names:
            if name.lower().endswith(SKIPPED_SUFFIXES):
                continue
            path = os.path.join(folder, name)
            found[os.path.relpath(path, root).lower()] = path
    return found


def first_difference(a, b, dated):
    if dated and len(a) >= 4 and len(b) >= 4:
        a = a[:1] + a[4:]
        b = b[:1] + b[4:]
        shift = 3
    else:
        shift = 0
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i + (shift if i >= 1 else 0)
    if len(a) != len(b):
        return min(len(a), len(b)) + shift
    return None


def main():
    linux, windows = files_of(sys.argv[1]), files_of(sys.argv[2])
    problems = []
    same = 0
    for key in sorted(linux):
        if key not in windows:
            problems.append(f"{key}: missing from the Windows output")
            continue
        with open(linux[key], "rb") as f:
            a = f.read()
        with open(windows[key], "rb") as f:
            b = f.read()
        where = first_difference(a, b, key.endswith(DATED))
        if where is None:
            same += 1
        else:
            problems.append(f"{key}: differs at byte {where} "
                            f"({len(a)} and {len(b)} bytes)")
    for key in sorted(set(windows) - set(linux)):
        problems.append(f"{key}: only in the Windows output")
    for line in problems:
        print("     " + line)
    print(f"     {same} files identical, {len(problems)} differences")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
