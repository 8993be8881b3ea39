#!/usr/bin/env python3
"""Prints which files of ui/ include which, a file and its header taken as
one, from the top down, and fails on a loop or on caldlg.h included beyond
the dialog and the start-up.
    scripts/include_graph.py [ui]
"""
import os
import re
import sys

folder = sys.argv[1] if len(sys.argv) > 1 else "ui"
names = sorted({os.path.splitext(f)[0] for f in os.listdir(folder)
                if f.endswith((".cpp", ".h"))})
uses = {name: set() for name in names}
problems = []
for f in sorted(os.listdir(folder)):
    name, ext = os.path.splitext(f)
    if ext not in (".cpp", ".h"):
        continue
    with open(os.path.join(folder, f), encoding="utf-8") as source:
        for included in re.findall(r'^#include "([^"]+)\.h"', source.read(), re.M):
            if included in uses and included != name:
                uses[name].add(included)
            if included == "caldlg" and name not in ("caldlg", "main"):
                problems.append(f"{f} includes caldlg.h")


def loop_from(start, path, seen):
    for used in sorted(uses[path[-1]]):
        if used == start:
            return path + [start]
        if used not in seen:
            seen.add(used)
            found = loop_from(start, path + [used], seen)
            if found:
                return found
    return None


for name in names:
    found = loop_from(name, [name], set())
    if found:
        problems.append("loop: " + " -> ".join(found))
        break

# Deepest first: a file stands below everything that includes it.
depth = {}


def level(name, trail=()):
    if name in trail:
        return 0
    if name not in depth:
        depth[name] = 1 + max((level(u, trail + (name,)) for u in uses[name]), default=-1)
    return depth[name]


for name in sorted(names, key=lambda n: (-level(n), n)):
    print(f"{level(name)}  {name:10} -> {' '.join(sorted(uses[name])) or '-'}")
for problem in problems:
    print(problem, file=sys.stderr)
sys.exit(1 if problems else 0)
