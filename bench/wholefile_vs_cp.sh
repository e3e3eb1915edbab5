#!/usr/bin/env bash
# GetFileB + PutFileB of the 300,000-message benchmark log over an existing
# copy, against cp followed by sync of the copy (a put flushes what it
# replaces), run alternately: bench/wholefile_vs_cp.sh BUILD_DIR [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
runs=${2:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$top/../shared/bench/genlog.py" 300000 > "$work/src.bin"
command -v hyperfine >/dev/null || { echo "needs hyperfine (apt-get install hyperfine)"; exit 2; }
hyperfine -N --warmup 1 --runs "$runs" \
  "$build/bench/fso_copy $work/src.bin $work/fso.bin" \
  "sh -c 'cp $work/src.bin $work/cp.bin && sync $work/cp.bin'"
cmp "$work/src.bin" "$work/fso.bin"
