#!/usr/bin/env python3
"""Reads lines "NAME WALL_SECONDS PEAK_KIB" of alternating runs from stdin
and prints the medians of each NAME and the wall ratio of the first name to
the second: median_ratio.py [ENTRIES]. With ENTRIES, also the peak resident
bytes per entry."""

import statistics
import sys


def main():
    rows = [line.split() for line in sys.stdin if line.strip()]
    names = list(dict.fromkeys(r[0] for r in rows))
    if len(names) != 2:
        raise SystemExit(f"expected runs of two commands, got {names}")
    medians = {n: (statistics.median(float(r[1]) for r in rows if r[0] == n),
                   statistics.median(float(r[2]) for r in rows if r[0] == n)) for n in names}
    entries = int(sys.argv[1]) if len(sys.argv) > 1 else 0
    for n in names:
        wall, peak = medians[n]
        per_entry = f" ({peak * 1024 / entries:.0f} bytes per entry)" if entries else ""
        print(f"{n}: median wall {wall:.3f} s, median peak resident {peak:.0f} KiB{per_entry}")
    a, b = names
    print(f"wall ratio {a}/{b}: {medians[a][0] / medians[b][0]:.2f}")


if __name__ == "__main__":
    main()
