#!/usr/bin/env python3
"""Fails when a source file includes a directory its layer must not see.

Arrows run one way: converter -> ui -> support -> platform, and
fileio -> automation -> support -> platform. The file services' core
classes see no frame type; a client of the library (the converter) sees only
its interface description. Usage: check_layers.py [SOURCE_ROOT]
"""
import pathlib
import re
import sys

# Directory (longest prefix wins) -> the top-level include prefixes it may use.
ALLOWED = {
    "platform": {"platform"},
    "support": {"support", "platform"},
    "automation": {"automation", "support", "platform"},
    "fileio": {"fileio", "support", "platform"},
    "fileio/interface": {"fileio/interface", "automation", "support"},
    "fileio/dispatch": {"fileio", "automation", "support", "platform"},
    "fileio/server": {"fileio/dispatch", "fileio/interface", "automation", "support", "platform"},
    "ui": {"ui", "support", "platform"},
    "converter": {"converter", "ui", "support", "platform", "automation", "fileio/interface"},
}
# Inside fileio, the core may not reach its own dispatch layer.
FORBIDDEN = {
    "fileio": {"fileio/dispatch", "fileio/server", "fileio/interface"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def layer_of(relative):
    parts = relative.parts[:-1]
    for n in range(len(parts), 0, -1):
        key = "/".join(parts[:n])
        if key in ALLOWED:
            return key
    return None


def allowed(layer, target):
    for prefix in FORBIDDEN.get(layer, ()):
        if target.startswith(prefix + "/"):
            return False
    return any(target.startswith(prefix + "/") for prefix in ALLOWED[layer])


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    faults = []
    for path in sorted(root.rglob("*")):
        if path.suffix not in {".h", ".hpp", ".cpp", ".cc"}:
            continue
        relative = path.relative_to(root)
        if relative.parts[0] in {"build", "build-asan", "tests", "bench", "tools"} or relative.parts[0].startswith("build"):
            continue
        layer = layer_of(relative)
        if layer is None:
            continue
        for target in INCLUDE.findall(path.read_text(errors="replace")):
            if "/" not in target:
                continue  # a header of the same directory
            if not allowed(layer, target):
                faults.append(f"{relative}: includes {target}, which {layer}/ must not see")
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
