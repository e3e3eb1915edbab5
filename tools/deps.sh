#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git python3
  libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  qt6-base-dev fonts-dejavu-core xvfb imagemagick openbox xdotool
  pybind11-dev python3-dev
  tzdata
  libglib2.0-dev libgdk-pixbuf-2.0-dev librsvg2-common shared-mime-info adwaita-icon-theme hicolor-icon-theme
  dpkg-dev file          # the Debian package: dpkg-shlibdeps, and file, with which cpack finds the programs
  # The Windows build and its checks under Wine (tools/windows/).
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libwine-dev wine64 xauth
)
# Test and benchmark material, taken without what its packages merely
# recommend: Windows images with version resources (PE32+ from libwine,
# PE32 from the mingw-w64 runtimes), an independent reader of them
# (pefile), a 32-bit cross compiler for console and windowed test programs,
# btrfs tools for the compression tests, getfattr for the zone tests,
# setfacl for the stream listing tests, clang's libFuzzer, man and
# desktop-file-validate to check the manual pages and the menu entry, a
# file server with its stream module and its client for the tests of
# shared directories.
lean_packages=(
  libwine libz-mingw-w64 gcc-mingw-w64-i686-win32-runtime gcc-mingw-w64-i686-win32 python3-pefile
  btrfs-progs attr acl clang libclang-rt-dev man-db desktop-file-utils
  samba samba-vfs-modules smbclient
)
missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_lean < <(missing_of "${lean_packages[@]}")
if [ "${#missing[@]}" -gt 0 ] || [ "${#missing_lean[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  [ "${#missing[@]}" -eq 0 ] || apt-get install -y -qq "${missing[@]}"
  [ "${#missing_lean[@]}" -eq 0 ] || apt-get install -y -qq --no-install-recommends "${missing_lean[@]}"
fi
