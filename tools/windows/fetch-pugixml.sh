#!/usr/bin/env bash
# Puts the source of Debian's pugixml into DEST (tools/windows/fetch-pugixml.sh DEST):
# the Windows build compiles it with the cross compiler, since Debian ships the
# library for Linux only. The same version as the Linux build's libpugixml-dev.
# Needs root the first time, to add Debian's source index to apt.
set -euo pipefail
dest=$1
if [ -f "$dest/src/pugixml.cpp" ]; then
  exit 0
fi

sources=/etc/apt/sources.list.d/tovapps-sources.sources
if ! apt-cache showsrc pugixml >/dev/null 2>&1 || ! apt-cache showsrc pugixml 2>/dev/null | grep -q '^Package:'; then
  if [ ! -f "$sources" ]; then
    cat >"$sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  fi
  apt-get update -qq
fi

version=$(dpkg-query -W -f='${Version}' libpugixml-dev 2>/dev/null || true)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && apt-get source -qq "pugixml${version:+=$version}" >/dev/null 2>&1 || apt-get source -qq pugixml >/dev/null)
tree=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'pugixml-*' | head -n1)
[ -f "$tree/src/pugixml.cpp" ] || { echo "fetch-pugixml: no pugixml source found" >&2; exit 1; }
mkdir -p "$(dirname "$dest")"
rm -rf "$dest"
mv "$tree" "$dest"
