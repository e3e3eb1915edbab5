#!/usr/bin/env bash
# Builds the Debian package: tools/package-deb.sh [BUILD_DIR [CMAKE_OPTION...]]
# A tree of its own (build-deb by default), configured the way Debian lays
# packages out (prefix /usr, the multiarch library directory) and with
# Debian's own python3, so the Python module loads in the interpreter the
# package depends on even where another python3 comes first on PATH.
# Prints the name of the package it made.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-deb}
shift $(($# > 0 ? 1 : 0))
bash "$top/tools/deps.sh"
cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DPython_EXECUTABLE=/usr/bin/python3 -DTOV_WERROR=ON -DTOV_SANITIZE=OFF -DTOV_BUILD_TESTS=OFF \
  -DTOV_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/tovapps_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
ls "$dir"/tovapps_*.deb
