#!/usr/bin/env python3
"""Fails when folders of src/ include each other, directly or round a circle, or when a folder
includes one that cmake/layers.txt declares above it.

A folder is src/NAME, and each sub-folder of src/qt counts as one of its own. Prints each
circle with one include that makes every step of it, and each include that points up.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def folder_of(path):
    parts = path.split("/")
    if parts[0] == "qt" and len(parts) > 2:
        return "qt/" + parts[1]
    return parts[0]


def include_graph(src):
    """{folder: {folder it includes: (file, include)}}, between existing folders only."""
    folders = {folder_of(os.path.relpath(os.path.join(d, f), src))
               for d, _, files in os.walk(src) for f in files}
    graph = {f: {} for f in folders}
    for d, _, files in os.walk(src):
        for name in sorted(files):
            path = os.path.relpath(os.path.join(d, name), src)
            with open(os.path.join(src, path), encoding="utf-8", errors="replace") as f:
                text = f.read()
            here = folder_of(path)
            for target in INCLUDE.findall(text):
                there = folder_of(target)
                if "/" in target and there in folders and there != here:
                    graph[here].setdefault(there, (path, target))
    return graph


def circles(graph):
    """One circle per strongly connected group of folders (Tarjan), as a list of folders."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph[v]):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append(path_round(graph, set(group)))

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return found


def path_round(graph, group):
    """A circle inside group, from its first folder back to it (breadth first)."""
    start = min(group)
    came_from = {start: None}
    queue = [start]
    while queue:
        v = queue.pop(0)
        for w in sorted(graph[v]):
            if w == start:
                route = [v]
                while came_from[route[-1]] is not None:
                    route.append(came_from[route[-1]])
                return list(reversed(route)) + [start]
            if w in group and w not in came_from:
                came_from[w] = v
                queue.append(w)
    return sorted(group)


def read_layers(path):
    """The folders of the layers file, lowest first, each with its layer's name."""
    order = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            match = re.match(r"\s*([a-z_]+)\s*:(.*)", line)
            if match and match.group(1) != "apart":
                order += [(folder, match.group(1)) for folder in match.group(2).split()]
    return order


def upward(graph, order):
    """Every step of graph against order: (folder, folder it includes, why) for one that points
    up or beside it to a folder listed later, or to a folder in no layer."""
    rank = {folder: i for i, (folder, _) in enumerate(order)}
    layer = dict(order)
    found = []
    for here in sorted(graph):
        for there in sorted(graph[here]):
            a, b = here.split("/")[0], there.split("/")[0]
            if a == b:
                continue
            for folder in (a, b):
                if folder not in rank:
                    found.append((here, there, f"{folder} is in no layer"))
                    break
            else:
                if rank[b] > rank[a]:
                    found.append((here, there, f"{b} ({layer[b]}) is above {a} ({layer[a]})"
                                  if layer[a] != layer[b] else f"{b} is listed after {a} in {layer[a]}"))
    return found


def self_test():
    """The check itself on small trees: each must find exactly the circles listed."""
    import tempfile
    cases = [
        ("downward only", {"a/A.cpp": ["b/B.h"], "b/B.h": ["c/C.h"], "c/C.h": []}, []),
        ("two folders", {"a/A.cpp": ["b/B.h"], "b/B.cpp": ["a/A.h"]}, [["a", "b", "a"]]),
        ("round three", {"a/A.cpp": ["b/B.h"], "b/B.cpp": ["c/C.h"], "c/C.cpp": ["a/A.h"], "d/D.cpp": ["a/A.h"]},
         [["a", "b", "c", "a"]]),
        ("qt rooms", {"qt/x/X.cpp": ["qt/y/Y.h"], "qt/y/Y.cpp": ["qt/x/X.h", "base/B.h"], "base/B.h": []},
         [["qt/x", "qt/y", "qt/x"]]),
        ("inside one room", {"qt/x/X.cpp": ["qt/x/Y.h", "ui/U.h"], "ui/U.h": []}, []),
        ("system headers", {"a/A.cpp": ["QWidget", "b/B.h"], "b/B.cpp": ["missing/M.h"]}, []),
    ]
    failed = 0
    layers = [("a", "low"), ("b", "low"), ("c", "high"), ("qt", "top")]
    directions = [
        ("downward and within a layer", {"c/C.cpp": ["a/A.h", "b/B.h"], "b/B.h": ["a/A.h"], "qt/x/X.cpp": ["c/C.h"]}, []),
        ("to a higher layer", {"a/A.cpp": ["c/C.h"], "c/C.h": []}, [("a", "c")]),
        ("beside, listed later", {"a/A.cpp": ["b/B.h"], "b/B.h": []}, [("a", "b")]),
        ("qt rooms are qt", {"qt/x/X.cpp": ["qt/y/Y.h"], "qt/y/Y.h": [], "b/B.cpp": ["qt/x/X.h"]},
         [("b", "qt/x")]),
        ("a folder in no layer", {"d/D.cpp": ["a/A.h"], "a/A.h": []}, [("d", "a")]),
    ]
    for name, files, expected in directions:
        with tempfile.TemporaryDirectory() as src:
            for path, includes in files.items():
                os.makedirs(os.path.join(src, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(src, path), "w") as f:
                    f.writelines(f'#include "{i}"\n' for i in includes)
            got = [(a, b) for a, b, _ in upward(include_graph(src), layers)]
        if got != expected:
            print(f"self-test {name}: found upward {got}, expected {expected}")
            failed += 1
    for name, files, expected in cases:
        with tempfile.TemporaryDirectory() as src:
            for path, includes in files.items():
                os.makedirs(os.path.join(src, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(src, path), "w") as f:
                    f.writelines(f'#include "{i}"\n' for i in includes)
            got = circles(include_graph(src))
        if got != expected:
            print(f"self-test {name}: found {got}, expected {expected}")
            failed += 1
    return failed


def main():
    if sys.argv[1:] == ["--self-test"]:
        return 1 if self_test() else 0
    here = os.path.dirname(__file__)
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "src")
    layers = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "..", "cmake", "layers.txt")
    graph = include_graph(src)
    up = upward(graph, read_layers(layers))
    for a, b, why in up:
        path, target = graph[a][b]
        print(f"src/{path} includes \"{target}\": {a} -> {b} points up ({why})")
    found = circles(graph)
    for circle in found:
        print("folders in a circle: " + " -> ".join(circle))
        for a, b in zip(circle, circle[1:]):
            path, target = graph[a][b]
            print(f"  src/{path} includes \"{target}\"")
    if not found and not up:
        print(f"{len(graph)} folders, no circle, every include down the layers")
    return 1 if found or up else 0


if __name__ == "__main__":
    sys.exit(main())
