#!/usr/bin/env bash
# Shows one of the converter's windows on a virtual X display and saves a
# picture of it, to check layouts and texts by eye:
#   tools/screenshot-window.sh BUILD_DIR WINDOW OUT.png [options...]
# WINDOW is frmChooseLanguage, frmChooseLanguage-first or frmMain, shown by
# the preview program, or quillmark: the program itself started without
# arguments, which loads the Qt module and opens its main window. Options
# such as "--language 0" (Russian) or "--language 1" (English) go to the
# preview; for quillmark the language is stored in its settings first.
# Needs xvfb and imagemagick; settings go to a throw-away home.
set -euo pipefail
build=$(cd "$1" && pwd)
window=$2
out=$3
shift 3

work=$(mktemp -d)
app=""
xvfb=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home/config" "$work/home/data"

if [ "$window" = quillmark ]; then
  command=("$build/converter/quillmark")
  language=""
  while [ $# -gt 0 ]; do
    case $1 in
      --language) language=$2; shift 2 ;;
      *) echo "quillmark takes only --language" >&2; exit 2 ;;
    esac
  done
  if [ -n "$language" ]; then
    mkdir -p "$work/home/config/TOVapps"
    printf '[Localization]\nLanguageID=%s\n' "$language" >"$work/home/config/TOVapps/Quillmark.ini"
  fi
else
  command=("$build/converter/quillmark-preview" "$window" "$@")
fi
[ -x "${command[0]}" ] || { echo "no ${command[0]}: build the tree first" >&2; exit 1; }

# Xvfb picks a free display and tells its number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for _ in $(seq 50); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
display=":$(head -n1 "$work/display")"

HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work" \
  DBUS_SESSION_BUS_ADDRESS=disabled: DISPLAY="$display" QUILLMARK_UI=qt "${command[@]}" &
app=$!
sleep "${SCREENSHOT_DELAY:-2}"
kill -0 "$app" 2>/dev/null || { echo "the window closed early" >&2; exit 1; }
# The root window is black apart from the window, which -trim keeps.
import -display "$display" -window root -trim +repage "$out"
echo "saved $out"
