#!/usr/bin/env python3
"""Lists the streams of files as the library sees them: the main data, the
extended attributes (one EA list), the security descriptor and each
alternate data stream, with its size in bytes.

    PYTHONPATH=build/python python3 examples/list_streams.py [--security] FILE...

The library must be registered first (build/automation/tools/tovregsvr
build/lib/libFerrule0101.so). Exit status 1 when a file could not be read.
"""

import os
import sys

import ferrule0101

KINDS = {1: "data", 2: "ea", 3: "security", 4: "alternate", 5: "link", 6: "property",
         7: "object id", 8: "reparse", 9: "sparse"}


def main(args):
    security = "--security" in args
    files = [a for a in args if a != "--security"]
    if not files:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    streams = ferrule0101.CreateObject("Ferrule0101.tovFileStreams")
    status = 0
    for name in files:
        if not streams.ReadFileStreams(os.path.abspath(name), ProcessSecurity=security):
            print(f"{name}: cannot be read", file=sys.stderr)
            status = 1
            continue
        if len(files) > 1:
            print(f"{name}:")
        for stream in streams:
            kind = KINDS.get(stream.StreamID, str(stream.StreamID))
            print(f"{kind:<10} {int(stream.Size):>10}  {stream.Name}")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
