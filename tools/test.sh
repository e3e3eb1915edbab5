#!/usr/bin/env bash
# Installs what is needed, then builds and tests twice: a normal build with
# warnings as errors, and an AddressSanitizer + UndefinedBehaviorSanitizer build.
# Tests and benchmarks are switched on whatever an earlier configure of the
# same tree (tools/run-sample.sh) left in its cache, and ctest fails when it
# finds no test, so this never passes by testing nothing.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/deps.sh"

# The window tests need a display: give them a virtual one of their own.
# Without Xvfb they skip themselves and everything else still runs.
with_display() {
  if command -v xvfb-run >/dev/null; then
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
  else
    "$@"
  fi
}

run_tests() {
  with_display ctest --test-dir "$1" --output-on-failure --no-tests=error -j"$(nproc)"
}

echo "== normal build (-Wall -Wextra -Werror)"
bash "$top/tools/build.sh" "$top/build" -DTOV_WERROR=ON -DTOV_SANITIZE=OFF -DTOV_BUILD_TESTS=ON -DTOV_BUILD_BENCH=ON
run_tests "$top/build"

echo "== Windows cross-build (i686, x86-64) and its checks under Wine"
bash "$top/tools/windows/build.sh" "$top/build-windows"
bash "$top/tools/windows/check.sh" "$top/build" "$top/build-windows"

echo "== sanitizer build (address + undefined)"
bash "$top/tools/build.sh" "$top/build-asan" -DTOV_WERROR=ON -DTOV_SANITIZE=ON -DTOV_BUILD_TESTS=ON -DTOV_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_tests "$top/build-asan"
