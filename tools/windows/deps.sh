#!/usr/bin/env bash
# Installs what the Windows build and its checks under Wine need: the
# MinGW-w64 cross compilers (i686 and x86-64) and their tools (widl), Wine's
# interface definitions for the type libraries, Wine itself and a virtual
# display, and dpkg-dev to unpack pugixml's source.
set -euo pipefail
packages=(
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  libwine-dev wine64 xvfb xauth dpkg-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
