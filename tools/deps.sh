#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the benchmarks need.
set -euo pipefail
packages=(
  build-essential cmake pkg-config git python3
  libpugixml-dev libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
  qt6-base-dev fonts-dejavu-core xvfb imagemagick openbox xdotool
  pybind11-dev python3-dev
  tzdata
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
