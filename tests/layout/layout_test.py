#!/usr/bin/env python3
"""The shape of src/: each folder is one library, no folders include each other round a cycle, and
the LibreOffice backend's private headers (*_p.h) are included only inside it."""
import os
import re
import sys

src = os.path.join(sys.argv[1], "src")
uses, problems = {}, []
for folder, _, names in os.walk(src):
    library = os.path.relpath(folder, src)
    for name in names:
        if not name.endswith((".h", ".cpp")):
            continue
        with open(os.path.join(folder, name), encoding="utf-8") as source:
            for header in re.findall(r'#include "([^"]+)"', source.read()):
                used = os.path.dirname(header)
                if used != library:
                    uses.setdefault(library, set()).add(used)
                    if header.endswith("_p.h"):
                        problems.append(f"{library}/{name} includes {header}, private to {used}/")


def cycle_from(start, path):
    for used in sorted(uses.get(path[-1], ())):
        if used == start:
            return path + [used]
        if used not in path:
            found = cycle_from(start, path + [used])
            if found:
                return found
    return None


for library in sorted(uses):
    cycle = cycle_from(library, [library])
    if cycle:
        problems.append("include cycle: " + " -> ".join(cycle))
print("\n".join(problems) or f"{len(uses)} folders, no cycle, private headers kept private")
sys.exit(1 if problems else 0)
