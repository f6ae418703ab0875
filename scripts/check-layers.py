#!/usr/bin/env python3
"""Fails when a source file includes a header of a folder above its own in the layer order."""
import os
import re
import sys

# Top to bottom: a folder may include itself and any folder after it.
LAYERS = ["app", "modules", "schema", "query", "schemacore", "editor", "querycore", "common", "ado", "platform"]

root = sys.argv[1] if len(sys.argv) > 1 else "."
rank = {name: i for i, name in enumerate(LAYERS)}
faults = []
for layer in LAYERS:
    for folder, _, names in os.walk(os.path.join(root, layer)):
        for name in names:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = re.match(r'\s*#\s*include\s+"([^/"]+)/', line)
                    if m and m.group(1) in rank and rank[m.group(1)] < rank[layer]:
                        faults.append(f"{os.path.relpath(path, root)}:{number}: {layer} includes {m.group(1)}")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
