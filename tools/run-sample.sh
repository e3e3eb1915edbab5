#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/deps.sh"
bash "$top/tools/build.sh" "$top/build" -DTOV_BUILD_TESTS=OFF -DTOV_BUILD_BENCH=OFF
"$top/build/tools/tovversion"
