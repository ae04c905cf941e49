#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own, or Qt where Qt is not allowed.

Layers, lowest first: core, engine, views, export, ui. A layer may include its own headers and
those of the layers below it. core and engine are plain C++ and include no Qt header.
Prints every offending include as file:line so that an editor can jump to it.
"""
import os
import re
import sys

LAYERS = ["core", "engine", "views", "export", "ui"]
PLAIN_CXX = {"core", "engine"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
QT_HEADER = re.compile(r"^(Q[A-Z]\w*|Qt\w*/.*|Qt\w*)$")
SOURCE_SUFFIXES = (".cpp", ".h", ".hpp", ".cc")


def layer_of_include(name, including_file, root):
    """The layer an include names, or None when it is outside the five layers."""
    candidates = [name]
    # A quoted include may also be relative to the including file ("../engine/X.h", "X.h").
    relative = os.path.relpath(os.path.normpath(os.path.join(os.path.dirname(including_file), name)), root)
    candidates.append(relative)
    for candidate in candidates:
        first = candidate.replace("\\", "/").split("/")[0]
        if first in LAYERS and "/" in candidate:
            return first
    return None


def check_file(path, layer, root):
    problems = []
    allowed = set(LAYERS[: LAYERS.index(layer) + 1])
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            bracket, name = match.groups()
            shown = os.path.relpath(path, root)
            if bracket == "<" and layer in PLAIN_CXX and QT_HEADER.match(name):
                problems.append(f"{shown}:{number}: {layer} includes the Qt header <{name}>")
                continue
            target = layer_of_include(name, path, root) if bracket == '"' else None
            if target and target not in allowed:
                problems.append(f'{shown}:{number}: {layer} includes "{name}" of the layer above ({target})')
    return problems


def check_tree(root):
    problems = []
    for layer in LAYERS:
        folder = os.path.join(root, layer)
        for directory, _, files in os.walk(folder):
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    problems += check_file(os.path.join(directory, name), layer, root)
    return problems


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    problems = check_tree(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) break the layering: core < engine < views < export < ui", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
