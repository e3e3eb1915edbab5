#!/usr/bin/env python3
"""Overhead of one late-bound call from Python against a direct C++ call.

    python3 bench/late_bound_call.py BUILD_DIR

Registers BUILD_DIR/lib/libFerrule0101.so into a registry file of its own,
times fso.GetFile(tiny file) through the Python client (name lookup, Invoke,
argument conversion, result conversion), runs BUILD_DIR/bench/tovfso_call_bench
for the same member called directly in C++, and prints the difference.
"""

import os
import subprocess
import sys
import tempfile
import timeit


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    library = os.path.join(build, "lib", "libFerrule0101.so")
    work = tempfile.TemporaryDirectory(prefix="tovapps-bench-")
    os.environ["TOVAPPS_REGISTRY"] = os.path.join(work.name, "registry.ini")
    subprocess.run([os.path.join(build, "automation", "tools", "tovregsvr"), library], check=True,
                   capture_output=True)
    sys.path.insert(0, os.path.join(build, "python"))
    import ferrule0101

    tiny = os.path.join(work.name, "tiny.txt")
    with open(tiny, "w") as f:
        f.write("tiny")
    fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
    calls = 20000
    best = min(timeit.repeat(lambda: fso.GetFile(tiny), number=calls, repeat=5))
    python_ns = best / calls * 1e9

    native = subprocess.run([os.path.join(build, "bench", "tovfso_call_bench"), library, str(calls)],
                            check=True, capture_output=True, text=True).stdout
    direct_ns = float(native.splitlines()[0].split()[3])
    print(native, end="")
    print(f"late-bound from Python {python_ns:8.0f} ns/call  (+{python_ns - direct_ns:.0f} over the direct call)")


if __name__ == "__main__":
    main()
