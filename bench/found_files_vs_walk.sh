#!/usr/bin/env bash
# From Python: RefreshEx over TREE plus FileName, FileSize, LastWriteTime and
# FileAttributes of every entry, against os.walk plus os.lstat of every
# entry, run alternately; prints each run's wall seconds and peak resident
# KiB, then the medians and their ratio:
#   bench/found_files_vs_walk.sh BUILD_DIR TREE [RUNS]
# Make TREE first, e.g. with the shared gentree.py: gentree.py TREE 200000.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?BUILD_DIR}
tree=${2:?TREE}
runs=${3:-5}
[ -d "$tree" ] || { echo "no tree at $tree"; exit 2; }
home=$(mktemp -d)
out=$(mktemp)
trap 'rm -rf "$home" "$out"' EXIT
export HOME=$home TOVAPPS_REGISTRY=$home/registry.ini PYTHONPATH=$build/python PYTHONDONTWRITEBYTECODE=1
"$build/automation/tools/tovregsvr" "$build/lib/libFerrule0101.so" >/dev/null
walk=(python3 "$top/bench/found_files_walk.py")
"${walk[@]}" tovapps "$tree"
"${walk[@]}" os "$tree"
timed() { /usr/bin/time -f '%e %M' -o "$out" "$@" >/dev/null; cat "$out"; }
for i in $(seq "$runs"); do
  echo "ours $(timed "${walk[@]}" tovapps "$tree")"
  echo "os.walk $(timed "${walk[@]}" os "$tree")"
done | tee /dev/stderr | python3 "$top/bench/median_ratio.py"
