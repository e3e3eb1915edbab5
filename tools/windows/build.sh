#!/usr/bin/env bash
# Cross-builds Quillmark.exe and Ferrule0101.dll for Windows:
#   tools/windows/build.sh [BUILD_ROOT] [i686|x86_64 ...]
# into BUILD_ROOT/<arch>/bin (default build-windows/, both architectures).
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
root=${1:-$top/build-windows}
shift || true
arches=("$@")
[ "${#arches[@]}" -gt 0 ] || arches=(x86_64 i686)
mkdir -p "$root"
root=$(cd "$root" && pwd)
bash "$top/tools/windows/fetch-pugixml.sh" "$root/pugixml"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
for arch in "${arches[@]}"; do
  cmake -S "$top" -B "$root/$arch" --toolchain "$top/cmake/toolchains/mingw-w64-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTOV_WERROR=ON -DTOV_PUGIXML_SOURCE_DIR="$root/pugixml" "${launcher[@]}" >/dev/null
  cmake --build "$root/$arch" -j"$(nproc)"
done
