#!/usr/bin/env bash
# GetFileB + PutFileB of a 256 MiB file against cp of the same file, run
# alternately: bench/wholefile_vs_cp.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c $((256 * 1024 * 1024)) /dev/urandom > "$work/src.bin"
command -v hyperfine >/dev/null || { echo "needs hyperfine (apt-get install hyperfine)"; exit 2; }
hyperfine -N --warmup 1 --runs "$runs" \
  "$build/bench/fso_copy $work/src.bin $work/fso.bin" \
  "cp $work/src.bin $work/cp.bin"
cmp "$work/src.bin" "$work/fso.bin"
