#!/usr/bin/env python3
"""Fails when a source file includes a header of a folder above its own in the layer order, or
when the plugin libraries and the program include each other's headers."""
import os
import re
import sys

# Top to bottom: a folder may include itself and any folder after it.
LAYERS = ["app", "schema", "query", "schemacore", "editor", "querycore", "common", "ado", "platform"]
# The plugin libraries sit beside the program, on the query window's window-free core: they
# include only these, and nothing of the program includes them (it reaches them through the
# class registry).
MODULES = "modules"
MODULE_MAY_INCLUDE = {MODULES, "querycore", "common", "ado", "platform"}

root = sys.argv[1] if len(sys.argv) > 1 else "."
rank = {name: i for i, name in enumerate(LAYERS)}
faults = []
for layer in LAYERS + [MODULES]:
    for folder, _, names in os.walk(os.path.join(root, layer)):
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = re.match(r'\s*#\s*include\s+"([^/"]+)/', line)
                    if not m:
                        continue
                    target = m.group(1)
                    if layer == MODULES:
                        bad = target in rank and target not in MODULE_MAY_INCLUDE
                    elif target == MODULES:
                        bad = True
                    else:
                        bad = target in rank and rank[target] < rank[layer]
                    if bad:
                        faults.append(f"{os.path.relpath(path, root)}:{number}: {layer} includes {target}")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
