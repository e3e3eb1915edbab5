#!/usr/bin/env bash
# ReadFile plus all string properties of tovFileVersion over every file of a
# directory, against pefile doing the same, in one paired run:
#   bench/version_vs_pefile.sh BUILD_DIR [DIR] [RUNS]
# DIR defaults to libwine's PE32+ directory (about 700 files).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
dir=${2:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}
runs=${3:-5}
[ -d "$dir" ] || { echo "no $dir (tools/deps.sh installs libwine)"; exit 2; }
command -v farm-bench >/dev/null || { echo "needs farm-bench"; exit 2; }
echo "ours:   $("$build/bench/version_read_all" "$dir")"
echo "pefile: $(/usr/bin/python3 "$top/bench/version_read_pefile.py" "$dir")"
farm-bench -n "$runs" --timeout 600 --vs "/usr/bin/python3 $top/bench/version_read_pefile.py $dir" \
  -- "$build/bench/version_read_all" "$dir"
