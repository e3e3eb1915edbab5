#!/usr/bin/env bash
# Installs the build into a fresh prefix with a fresh component registry and
# converts the sample log with the installed program, as a user would; the
# manual pages are installed with the programs.
set -euo pipefail
build=$1
source_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
export TOVAPPS_REGISTRY="$work/registry.ini" QUILLMARK_UI=headless
mkdir -p "$HOME"

cmake --install "$build" --prefix "$work/prefix" >/dev/null
grep -q "InprocServer32=$work/prefix/lib/tovapps/libFerrule0101.so" "$TOVAPPS_REGISTRY"
for page in quillmark tovcall tovregsvr; do
  gzip -cd "$work/prefix/share/man/man1/$page.1.gz" >"$work/page"
  grep -q "^\.TH ${page^^} 1 " "$work/page"
done

"$work/prefix/bin/quillmark" "$source_dir/examples/sample-history.xml" "$work/out.txt" 2>"$work/stderr"
grep -q "All done" "$work/stderr"
head -c 11 "$work/out.txt" | cmp - <(printf '\xEF\xBB\xBF###\r\n###')
grep -q "### Anna Sokolova - Tom Baker" "$work/out.txt"

# Unregistered, the installed program says which component is missing.
"$work/prefix/bin/tovregsvr" /u "$work/prefix/lib/tovapps/libFerrule0101.so" >/dev/null
if "$work/prefix/bin/quillmark" "$source_dir/examples/sample-history.xml" "$work/out2.txt" 2>"$work/stderr"; then
  echo "conversion without a registered library reported success" >&2
  exit 1
fi
grep -q "Ferrule0101.tovFSO" "$work/stderr"
echo "installed tree converts: ok"
