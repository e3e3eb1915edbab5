#!/usr/bin/env bash
# tovFoundedFiles.RefreshEx(TREE, "*") against find printing name, size, time
# and mode of every entry of the same tree, run alternately; prints each
# run's wall seconds and peak resident KiB, then the medians and their ratio:
#   bench/found_files_vs_find.sh BUILD_DIR TREE [RUNS]
# Make TREE first, e.g. with the shared gentree.py: gentree.py TREE 200000.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?BUILD_DIR}
tree=${2:?TREE}
runs=${3:-5}
[ -d "$tree" ] || { echo "no tree at $tree"; exit 2; }
ours=("$build/bench/found_files_refresh" "$build/lib/libFerrule0101.so" "$tree")
[ -f "${ours[1]}" ] || ours[1]=$(find "$build" -name 'libFerrule0101.so*' -type f | head -1)
peer=(find "$tree" -printf '%p %s %T@ %m\n')
entries=$(find "$tree" -mindepth 1 | wc -l)
echo "$entries entries below $tree"
"${ours[0]}" "${ours[1]}" "$tree" --count
out=$(mktemp)
trap 'rm -f "$out"' EXIT
timed() { /usr/bin/time -f '%e %M' -o "$out" "$@" >/dev/null; cat "$out"; }
timed "${ours[@]}" >/dev/null; timed "${peer[@]}" >/dev/null  # warm the caches
for i in $(seq "$runs"); do
  echo "ours $(timed "${ours[@]}")"
  echo "find $(timed "${peer[@]}")"
done | tee /dev/stderr | python3 "$top/bench/median_ratio.py" "$entries"
