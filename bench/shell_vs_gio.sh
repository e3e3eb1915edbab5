#!/usr/bin/env bash
# The type names of every entry of a directory, ours (tovShellFileInfo:
# ReadFile's five questions and the program kind) against the desktop's own
# command-line client asking for the same display names, types, descriptions
# and icons, each run as a whole process, in turns:
#   bench/shell_vs_gio.sh BUILD_DIR [DIR] [RUNS]
# DIR defaults to libwine's PE32+ directory (about 700 files).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$top/build}
dir=${2:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}
runs=${3:-5}
[ -d "$dir" ] || { echo "no $dir (tools/deps.sh installs libwine)"; exit 2; }
command -v gio >/dev/null || { echo "needs gio (libglib2.0-bin)"; exit 2; }
ours=("$build/bench/shell_read_all" "$dir")
peer=(sh -c 'exec gio info -a standard::display-name,standard::content-type,standard::description,standard::icon "$@"' gio "$dir"/*)
echo "ours: $("${ours[@]}")"
echo "peer: $("${peer[@]}" | grep -c '^uri:') entries described"
seconds() { local s e; s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N); awk -v s="$s" -v e="$e" 'BEGIN {print e - s}'; }
median() { sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
for _ in $(seq "$runs"); do
  a=$(seconds "${ours[@]}"); b=$(seconds "${peer[@]}")
  awk -v a="$a" -v b="$b" 'BEGIN {printf "ours %.3f s, peer %.3f s, ratio %.3f\n", a, b, a / b}' 
done | tee /dev/stderr | awk '{print $8}' | median | xargs printf 'median ratio ours/peer: %.2f\n'
