#!/usr/bin/env python3
"""A tree walked from Python two ways, each in its own process, for a
paired timing (found_files_vs_walk.sh):

    found_files_walk.py tovapps TREE   # RefreshEx, then FileName, FileSize,
                                       # LastWriteTime and FileAttributes of
                                       # every entry, levels through Childs
    found_files_walk.py os TREE        # os.walk, then os.lstat of every entry

The library must be registered (TOVAPPS_REGISTRY) and the client on
PYTHONPATH. Prints the number of entries seen, so the two can be compared.
"""

import os
import sys


def walk_tovapps(tree):
    import ferrule0101
    files = ferrule0101.CreateObject("Ferrule0101.tovFoundedFiles")
    if not files.RefreshEx(tree, "*"):
        raise SystemExit("RefreshEx found nothing")
    seen = 0
    levels = [files]
    while levels:
        for entry in levels.pop():
            entry.FileName, entry.FileSize, entry.LastWriteTime
            if entry.FileAttributes & 0x10:
                levels.append(entry.Childs)
            seen += 1
    return seen


def walk_os(tree):
    seen = 0
    for directory, subdirectories, files in os.walk(tree):
        for name in subdirectories + files:
            os.lstat(os.path.join(directory, name))
            seen += 1
    return seen


def main():
    how, tree = sys.argv[1], sys.argv[2]
    seen = walk_tovapps(tree) if how == "tovapps" else walk_os(tree)
    print(f"{how}: {seen} entries")


if __name__ == "__main__":
    main()
