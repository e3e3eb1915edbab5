#!/usr/bin/env bash
# The converter against a minimal pugixml program doing the same conversion
# and flushing its output the same way, and against xsltproc with an
# equivalent stylesheet, on the 300,000-message benchmark log (UTF-8 output,
# CR LF; every timed run replaces the output of the one before):
# bench/convert_compare.sh BUILD_DIR [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
runs=${2:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$top/../shared/bench/genlog.py" 300000 > "$work/log.xml"

# The converter runs with its own settings (UTF-8, CR LF: the defaults) and
# its own registry holding the library just built.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" TOVAPPS_REGISTRY="$work/registry.ini"
export QUILLMARK_UI=headless
"$build/automation/tools/tovregsvr" "$build/lib/libFerrule0101.so" >/dev/null

quillmark=("$build/converter/quillmark" "$work/log.xml" "$work/quillmark.txt")
minimal=("$build/bench/convert_pugixml_minimal" "$work/log.xml" "$work/minimal.txt")
xslt=(xsltproc -o "$work/xslt.txt" "$top/bench/history.xsl" "$work/log.xml")

peak() { /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1; }
for i in $(seq "$runs"); do
  printf 'peak KiB: quillmark %s  minimal %s\n' "$(peak "${quillmark[@]}")" "$(peak "${minimal[@]}")"
done
cmp "$work/quillmark.txt" "$work/minimal.txt"
if command -v hyperfine >/dev/null; then
  hyperfine -N --warmup 1 --runs "$runs" "${quillmark[*]}" "${minimal[*]}"
  hyperfine -N --runs 3 "${quillmark[*]}" "${xslt[*]}"
fi
cmp "$work/quillmark.txt" "$work/xslt.txt"
