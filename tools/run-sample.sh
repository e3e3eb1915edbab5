#!/usr/bin/env bash
# Installs what is needed, builds, and converts the bundled sample log.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bash "$top/tools/deps.sh"
bash "$top/tools/build.sh" "$top/build" -DTOV_WERROR=ON -DTOV_SANITIZE=OFF -DTOV_BUILD_TESTS=OFF -DTOV_BUILD_BENCH=OFF
out="$top/build/sample-history.TXT"
# The converter writes through the file library it finds in the component
# registry: register the library just built.
"$top/build/automation/tools/tovregsvr" "$top/build/lib/libFerrule0101.so"
# Unattended: no window and no question, whatever display is around.
QUILLMARK_UI=headless "$top/build/converter/quillmark" "$top/examples/sample-history.xml" "$out"
echo "The text went to $out"
