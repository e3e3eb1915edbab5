#!/usr/bin/env python3
"""Lists the streams of files as the library sees them: the main data, the
extended attributes (one EA list), the security descriptor and each
alternate data stream, with its size in bytes.

    PYTHONPATH=build/python python3 examples/list_streams.py [--security] FILE...

The library must be registered first (build/automation/tools/tovregsvr
build/lib/libFerrule0101.so). Exit status 1 when a file could not be read.
"""

import argparse
import os
import sys

import ferrule0101

KINDS = {1: "data", 2: "ea", 3: "security", 4: "alternate", 5: "link", 6: "property",
         7: "object id", 8: "reparse", 9: "sparse"}


def shown(name):
    """A name as one line any terminal takes: bytes that are not UTF-8 and
    characters that do not print (a newline in a stream name) as escapes."""
    text = name.encode("utf-8", "surrogateescape").decode("utf-8", "backslashreplace")
    return "".join(c if c.isprintable() else f"\\x{ord(c):02x}" if ord(c) < 0x100 else f"\\u{ord(c):04x}"
                   for c in text)


def main(args):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--security", action="store_true", help="also list the security descriptor")
    parser.add_argument("files", nargs="+", metavar="FILE")
    options = parser.parse_args(args)
    security, files = options.security, options.files
    streams = ferrule0101.CreateObject("Ferrule0101.tovFileStreams")
    status = 0
    for name in files:
        if not streams.ReadFileStreams(os.path.abspath(name), ProcessSecurity=security):
            print(f"{shown(name)}: cannot be read", file=sys.stderr)
            status = 1
            continue
        if len(files) > 1:
            print(f"{shown(name)}:")
        for stream in streams:
            kind = KINDS.get(stream.StreamID, str(stream.StreamID))
            print(f"{kind:<10} {int(stream.Size):>10}  {shown(stream.Name)}")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
