#!/usr/bin/env python3
"""Lists a directory the way the desktop shows it: each entry's type name,
for programs their kind and the Windows version they ask for, and saves
each entry's large and small icon as PNG files.

    build/automation/tools/tovregsvr build/lib/libFerrule0101.so   # once
    PYTHONPATH=build/python python3 examples/shell_listing.py /usr/lib/x86_64-linux-gnu/wine/x86_64-windows icons

The icons go to ICON_DIR (default "icons" in the current directory), named
after the entry's place in the system image list, so entries of one kind
share one file. The list is the process's own: a later run may number the
kinds differently and writes its files anew.
"""

import os
import sys

import ferrule0101

KINDS = {"PE": "Windows program", "NE": "16-bit Windows program", "MZ": "MS-DOS program"}


def describe(info):
    exe = info.EXEType
    if not exe.Signature:
        return ""
    kind = KINDS.get(exe.Signature, exe.Signature)
    if exe.OSVersionMajor or exe.OSVersionMinor:
        return f"{kind} for Windows {exe.OSVersionMajor}.{exe.OSVersionMinor}"
    return kind if exe.Signature != "PE" else "console program"


def save_icons(info, icon_dir, written):
    saved = []
    for prop, size in (("Icon", 32), ("SmallIcon", 16)):
        icon = getattr(info, prop)
        # Index -1 is the library's own fallback icon: the theme had none.
        name = f"{'fallback' if icon.Index < 0 else icon.Index}-{size}.png"
        target = os.path.join(icon_dir, name)
        if name not in written:
            ferrule0101.SavePicture(icon.Icon, target)
            written.add(name)
        saved.append(name)
    return saved


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    directory = argv[1]
    icon_dir = argv[2] if len(argv) == 3 else "icons"
    os.makedirs(icon_dir, exist_ok=True)
    info = ferrule0101.CreateObject("Ferrule0101.tovShellFileInfo")
    written = set()
    for entry in sorted(os.listdir(directory), key=str.casefold):
        path = os.path.join(directory, entry)
        if not info.ReadFile(path):
            print(f"{entry!r}: the shell does not know it", file=sys.stderr)
            continue
        large, small = save_icons(info, icon_dir, written)
        kind = describe(info)
        print(f"{info.DisplayName:<32} {info.TypeName:<28} {kind:<34} {large} {small}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
