#!/usr/bin/env bash
# Shows one of the converter's windows on a virtual X display and saves a
# picture of it, to check layouts and texts by eye:
#   tools/screenshot-window.sh BUILD_DIR WINDOW OUT.png [preview options...]
# WINDOW is frmChooseLanguage, frmChooseLanguage-first or frmMain; options
# such as "--language 0" go to the preview program. Needs xvfb and
# imagemagick; settings go to a throw-away home.
set -euo pipefail
build=$(cd "$1" && pwd)
window=$2
out=$3
shift 3
preview="$build/converter/quillmark-preview"
[ -x "$preview" ] || { echo "no $preview: build the tree first" >&2; exit 1; }

work=$(mktemp -d)
app=""
xvfb=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and tells its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
display=":$(head -n1 "$work/display")"

HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_RUNTIME_DIR="$work" DISPLAY="$display" \
  QUILLMARK_UI=qt "$preview" "$window" "$@" &
app=$!
sleep "${SCREENSHOT_DELAY:-2}"
kill -0 "$app" 2>/dev/null || { echo "the preview ended early" >&2; exit 1; }
# The root window is black apart from the window, which -trim keeps.
import -display "$display" -window root -trim +repage "$out"
echo "saved $out"
