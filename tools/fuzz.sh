#!/usr/bin/env bash
# Coverage-guided fuzzing of the version-resource readers with libFuzzer
# (clang, address and undefined-behaviour sanitizers):
#   tools/fuzz.sh [SECONDS] [BUILD_DIR]
# Seeds are built images plus the Windows images installed on this system;
# new inputs collect in BUILD_DIR/fuzz-corpus, crashes in BUILD_DIR/fuzz-crashes.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-300}
build=${2:-$top/build-fuzz}
command -v clang++ >/dev/null || { echo "needs clang (tools/deps.sh installs it)"; exit 2; }
CXX=clang++ cmake -S "$top" -B "$build" -DTOV_FUZZ=ON -DTOV_SANITIZE=ON -DTOV_BUILD_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target version_fuzzer version_mutations
mkdir -p "$build/fuzz-seeds" "$build/fuzz-corpus" "$build/fuzz-crashes"
"$build/tests/fuzz/version_mutations" --seeds "$build/fuzz-seeds"
"$build/tests/fuzz/version_fuzzer" -max_total_time="$seconds" -max_len=262144 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$build/fuzz-crashes/" "$build/fuzz-corpus" "$build/fuzz-seeds"
