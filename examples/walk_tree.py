#!/usr/bin/env python3
"""Searches a directory tree with tovFoundedFiles and prints what it found.

    walk_tree.py DIRECTORY [MASK] [--stop-after N]

Prints one line per entry (size, last write time, path), indented by
level, then the total size. A Python object serves as the search's
callback: it is told each directory whose search is complete, deepest
first, and with --stop-after it cancels the search after N of them.

The library must be registered (tovregsvr libFerrule0101.so) and the
client's package on PYTHONPATH.
"""

import argparse
import sys

import ferrule0101

DIRECTORY = 0x10
REPARSE_POINT = 0x400


class Progress:
    """The callback: counts completed directories, may ask to stop."""

    def __init__(self, stop_after=None):
        self.completed = 0
        self.stop_after = stop_after

    def DirectoryCompleted(self, path, cancel):
        self.completed += 1
        print(f"  done: {path}", file=sys.stderr)
        if self.stop_after is not None and self.completed >= self.stop_after:
            cancel.value = True  # the by-reference Cancel: stops the whole search


def show(top):
    # A stack rather than recursion: a tree may be deeper than Python's
    # recursion limit.
    pending = [(iter(top), 0)]
    while pending:
        entries, depth = pending[-1]
        entry = next(entries, None)  # for entry in level: ... walks it too
        if entry is None:
            pending.pop()
            continue
        attributes = entry.FileAttributes
        kind = "<link>" if attributes & REPARSE_POINT else ("<dir>" if attributes & DIRECTORY else "")
        when = entry.LastWriteTime
        stamp = when.strftime("%Y-%m-%d %H:%M") if when else "-"
        print(f"{'  ' * depth}{entry.FileSize:>12.0f}  {stamp}  {entry.FileName} {kind}".rstrip())
        if attributes & DIRECTORY:
            pending.append((iter(entry.Childs), depth + 1))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("directory")
    parser.add_argument("mask", nargs="?", default="*")
    parser.add_argument("--stop-after", type=int, default=None, metavar="N")
    parser.add_argument("--follow-links", action="store_true")
    args = parser.parse_args()
    # Names that are not UTF-8 come back with escapes; print them as the
    # bytes they stand for rather than fail on them.
    sys.stdout.reconfigure(errors="surrogateescape")

    files = ferrule0101.CreateObject("Ferrule0101.tovFoundedFiles")
    progress = Progress(args.stop_after)
    complete = files.RefreshEx(args.directory, args.mask, args.follow_links, progress)
    show(files)
    print(f"{files.Count} entries at the top, {files.Size:.0f} bytes in all; "
          f"{progress.completed} directories completed; search {'complete' if complete else 'stopped or empty'}")
    return 0 if complete else 1


if __name__ == "__main__":
    sys.exit(main())
