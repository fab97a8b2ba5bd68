#!/usr/bin/python3
"""Fails when an include or a library link runs upward in the layering

    platform < app/base < terrain < tides < viewer/core < routes < viewer
             < account < tiles < update < zones < app

app/base is the program's file places, settings store and version text, which the
subsystems above read.

A source file may include project headers from its own layer and the layers
below it; a library may link the project libraries of its own layer and
below. tests/, tools/ and bench/ sit above everything and are not checked.
"""
import pathlib
import re
import sys

LAYERS = ["platform", "app/base", "terrain", "tides", "viewer/core", "routes", "viewer",
          "account", "tiles", "update", "zones", "app"]
RANK = {name: i for i, name in enumerate(LAYERS)}
# Libraries whose name does not say their folder.
LIBRARY_LAYER = {"abysto_view_core": "viewer/core", "abysto_splash": "app", "abysto_app_base": "app/base"}
# Files of a folder that sit in a lower layer than the folder.
FILE_LAYER = {"app/paths.h": "app/base", "app/paths.cpp": "app/base", "app/settings.h": "app/base", "app/settings.cpp": "app/base", "app/version.h": "app/base"}

root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
faults = []


def layer_of(relative):
    """The layer of a path inside the project ("viewer/core/x.h" -> "viewer/core")."""
    if relative in FILE_LAYER:
        return FILE_LAYER[relative]
    parts = pathlib.PurePosixPath(relative).parts
    if len(parts) > 2 and "/".join(parts[:2]) in RANK:
        return "/".join(parts[:2])
    return parts[0] if parts and parts[0] in RANK else None


def library_layer(target):
    if target in LIBRARY_LAYER:
        return LIBRARY_LAYER[target]
    match = re.fullmatch(r"abysto_([a-z]+)(?:_[a-z]+)?", target)
    return match.group(1) if match and match.group(1) in RANK else None


include_re = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
for folder in [l for l in LAYERS if "/" not in l]:
    for path in sorted((root / folder).rglob("*")):
        if path.suffix not in (".h", ".hpp", ".cpp", ".c"):
            continue
        relative = path.relative_to(root).as_posix()
        own = layer_of(relative)
        for included in include_re.findall(path.read_text(errors="replace")):
            target = layer_of(included)
            if target is not None and RANK[target] > RANK[own]:
                faults.append(f"{relative}: inclut {included} ({target} est au-dessus de {own})")

link_re = re.compile(r"target_link_libraries\s*\(\s*(\S+)([^)]*)\)", re.S)
for lists in sorted(root.glob("*/CMakeLists.txt")) + sorted(root.glob("*/*/CMakeLists.txt")):
    if lists.relative_to(root).parts[0] not in RANK:
        continue
    for target, body in link_re.findall(lists.read_text()):
        own = library_layer(target)
        if own is None:
            continue
        for linked in body.split():
            other = library_layer(linked)
            if other is not None and RANK[other] > RANK[own]:
                faults.append(f"{lists.relative_to(root)}: {target} lie {linked} ({other} est au-dessus de {own})")

for fault in faults:
    print(fault, file=sys.stderr)
sys.exit(1 if faults else 0)
