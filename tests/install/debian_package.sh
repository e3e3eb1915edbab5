#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a
# throw-away root and uses it there as a fresh user would: the package's
# own configure step (its postinst, pointed at the root) registers the
# library in the root's machine-wide registry, the installed program
# converts the sample log for a user with an empty home, the installed
# tovcall and Python module reach the library, a user's own registration
# overrides the machine's, and the package's removal step takes the
# registration away again.
# OTHER_LIBRARY, a component library of other classes, stands for one an
# administrator registered machine-wide: the removal must leave it be.
# Usage: debian_package.sh BUILD_DIR SOURCE_DIR [OTHER_LIBRARY [PYTHON]]
set -euo pipefail
build=$1
source_dir=$2
other=${3:-}
python=${4:-/usr/bin/python3}
for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# The package -------------------------------------------------------------
env -u TOVAPPS_REGISTRY cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$work/out/tovapps_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $deb (made: $(ls "$work/out"))"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libstdc++6 libpugixml1v5 libqt6widgets6 "python3 (>= "; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = tovapps ] || fail "package name"

dpkg-deb -c "$deb" >"$work/contents"
awk '{print $6}' "$work/contents" | sed 's#^\./#/#' >"$work/files"
for pattern in /usr/bin/quillmark /usr/bin/tovcall /usr/bin/tovregsvr '/usr/lib/(.*/)?tovapps/libFerrule0101\.so' \
  '/usr/lib/(.*/)?tovapps/libtovui-qt\.so' /usr/lib/python3/dist-packages/ferrule0101/__init__\.py \
  '/usr/lib/python3/dist-packages/ferrule0101/_native\..*so' /usr/share/applications/quillmark\.desktop \
  /usr/share/icons/hicolor/scalable/apps/quillmark\.svg /usr/share/icons/hicolor/32x32/apps/quillmark\.png \
  /usr/share/man/man1/quillmark\.1\.gz /usr/share/man/man1/tovcall\.1\.gz /usr/share/man/man1/tovregsvr\.1\.gz; do
  grep -Eqx "$pattern" "$work/files" || fail "the package lacks $pattern"
done
# Everything under /usr and owned by root; no registry shipped (the
# configure step writes it) and nothing of the build tree.
grep -Ev '^/usr(/|$)|^/$' "$work/files" && fail "files outside /usr"
grep -q 'TOVapps/registry.ini' "$work/files" && fail "the package ships a registry"
awk '$2 != "root/root" {print; bad=1} END {exit bad}' "$work/contents" || fail "files not owned by root"

root="$work/root"
dpkg-deb -x "$deb" "$root"
dpkg-deb -e "$deb" "$work/control"
library=$(find "$root/usr/lib" -name libFerrule0101.so)
for f in "$root"/usr/bin/* "$library"; do
  readelf -d "$f" | grep -E 'RPATH|RUNPATH' && fail "$f keeps a search path of the build"
done

# The maintainer scripts, run with their paths moved into the root.
maintainer() {  # maintainer SCRIPT ARG
  sed "s#/usr/#$root/usr/#g" "$work/control/$1" >"$work/$1.relocated"
  env -u TOVAPPS_REGISTRY XDG_DATA_DIRS="$root/usr/share" sh "$work/$1.relocated" "$2"
}
maintainer postinst configure
registry="$root/usr/share/TOVapps/registry.ini"
[ -f "$registry" ] || fail "the configure step wrote no machine-wide registry"
grep -q "^InprocServer32=$root/usr/lib/.*libFerrule0101.so$" "$registry" || fail "registry: $(cat "$registry")"
[ "$(stat -c %a "$registry")" = 644 ] || fail "registry mode $(stat -c %a "$registry")"

# A fresh user ------------------------------------------------------------
user() {  # user COMMAND...: an empty home, the root's data directories
  env -i PATH=/usr/bin:/bin HOME="$work/home" LANG=C.UTF-8 XDG_DATA_DIRS="$root/usr/share" QUILLMARK_UI=headless \
    ${ASAN_OPTIONS:+ASAN_OPTIONS=$ASAN_OPTIONS} "$@"
}
mkdir -p "$work/home"
IFS=. read -r major minor revision <<<"$version"
expected=$(printf 'TOVapps - Quillmark %d.%02d.%04d' "$major" "$minor" "$revision")
[ "$(user "$root/usr/bin/quillmark" --version)" = "$expected" ] || fail "quillmark --version is not $expected"
user "$root/usr/bin/quillmark" "$source_dir/examples/sample-history.xml" "$work/out.txt" 2>"$work/stderr" ||
  { cat "$work/stderr" >&2; fail "the installed program did not convert"; }
grep -q "All done" "$work/stderr" || fail "no success message: $(cat "$work/stderr")"
head -c 11 "$work/out.txt" | cmp -s - <(printf '\xEF\xBB\xBF###\r\n###') || fail "output header"
grep -q "### Anna Sokolova - Tom Baker" "$work/out.txt" || fail "output names"
# The user registered nothing and the menu entry needed no copy.
[ -z "$(find "$work/home" -name registry.ini -o -name '*.desktop')" ] || fail "the home got $(find "$work/home" -type f)"
[ -f "$work/home/.config/TOVapps/Quillmark.ini" ] || fail "no settings"

# With a display, the window comes up from the packaged toolkit module: a
# module that cannot be loaded ends the program at once with status 2.
if [ -n "${DISPLAY:-}" ]; then
  status=0
  user DISPLAY="$DISPLAY" ${XAUTHORITY:+XAUTHORITY=$XAUTHORITY} QUILLMARK_UI=qt \
    timeout 8 "$root/usr/bin/quillmark" 2>"$work/stderr" || status=$?
  [ "$status" = 124 ] || fail "the window did not stay up (status $status): $(cat "$work/stderr")"
fi

[ "$(user "$root/usr/bin/tovcall" Ferrule0101.tovFSO PutFile "$work/a.txt" hi --then GetFileB "$work/a.txt")" = \
  "$(printf 'True\n6869')" ] || fail "tovcall through the machine-wide registry"

# The tree is this user's, as the installed one is root's: importing leaves
# compiled copies beside the module, which the removal must take away.
python_env=(PYTHONPATH="$root/usr/lib/python3/dist-packages")
# A sanitizer build's module needs its runtime loaded first, and the
# interpreter's own allocations are not ours to judge.
[ -n "${TOV_TEST_PYTHON_PRELOAD:-}" ] && python_env+=(LD_PRELOAD="$TOV_TEST_PYTHON_PRELOAD" ASAN_OPTIONS=detect_leaks=0)
user "${python_env[@]}" "$python" - "$root" "$work/b.txt" <<'PY' || fail "the Python module"
import sys
import ferrule0101
root, name = sys.argv[1], sys.argv[2]
assert ferrule0101.__file__.startswith(root), ferrule0101.__file__
fso = ferrule0101.CreateObject("Ferrule0101.tovFSO")
assert fso.PutFileW(name, "héllo") is True
assert ferrule0101.GetFileW(name, RaiseErrors=True) == "héllo"
PY

# A user's registration overrides the machine's, class by class, and
# removing it brings the machine's back.
mkdir -p "$work/home/lib"
cp "$library" "$work/home/lib/"
own="$work/home/lib/libFerrule0101.so"
user "$root/usr/bin/tovregsvr" "$own" >"$work/said"
grep -q "per-user registry $work/home/.local/share/TOVapps/registry.ini" "$work/said" || fail "tovregsvr said $(cat "$work/said")"
cp "$own" "$work/own.so" && printf 'garbage' >"$own"
user "$root/usr/bin/tovcall" Ferrule0101.tovFSO GetFileB "$work/a.txt" >/dev/null 2>"$work/stderr" &&
  fail "the user's registration did not take precedence"
grep -q "$own" "$work/stderr" || fail "the failure does not name the user's library: $(cat "$work/stderr")"
cp "$work/own.so" "$own"
user "$root/usr/bin/tovregsvr" /u "$own" >/dev/null
[ "$(user "$root/usr/bin/tovcall" Ferrule0101.tovFSO GetFileB "$work/a.txt")" = 6869 ] || fail "machine's registration back"

# A machine-wide registry anybody could change is not read, and the
# failure names it.
chmod o+w "$registry"
user "$root/usr/bin/quillmark" "$source_dir/examples/sample-history.xml" "$work/out2.txt" 2>"$work/stderr" &&
  fail "converted through a registry anybody can change"
grep -q "$registry is writable by other users" "$work/stderr" || fail "refusal: $(cat "$work/stderr")"
chmod o-w "$registry"

# --system notes a registry that clients would not search.
XDG_DATA_DIRS=/usr/share "$root/usr/bin/tovregsvr" --system "$own" >/dev/null 2>"$work/stderr" || true
grep -q "read only where XDG_DATA_DIRS names $root/usr/share" "$work/stderr" || fail "no note: $(cat "$work/stderr")"
XDG_DATA_DIRS="$root/usr/share" "$root/usr/bin/tovregsvr" /u --system "$own" >/dev/null

# Upgrade and removal -------------------------------------------------------
# An upgrade takes the old version's registration away and the new one's
# configure step puts it back.
maintainer postinst configure
maintainer prerm upgrade
maintainer postinst configure
[ "$(user "$root/usr/bin/tovcall" Ferrule0101.tovFSO GetFileB "$work/a.txt")" = 6869 ] || fail "after an upgrade"

if [ -n "$other" ]; then
  XDG_DATA_DIRS="$root/usr/share" "$root/usr/bin/tovregsvr" --system "$other" >/dev/null
  maintainer prerm remove
  [ -f "$registry" ] || fail "the removal took another library's registration with it"
  grep -q "=$other$" "$registry" || fail "the other library's registration is gone: $(cat "$registry")"
  grep -q libFerrule0101 "$registry" && fail "the removal left the package's library registered"
  XDG_DATA_DIRS="$root/usr/share" "$root/usr/bin/tovregsvr" --system /u "$other" >/dev/null
  rm "$registry"
  rmdir "${registry%/*}"
  maintainer postinst configure
fi

maintainer prerm remove
[ ! -e "$registry" ] && [ ! -e "${registry%/*}" ] || fail "the removal left $(ls -A "${registry%/*}")"
[ -d "$root/usr/lib/python3/dist-packages/ferrule0101" ] || fail "the import left no module directory"
[ -z "$(find "$root/usr/lib/python3/dist-packages" -name __pycache__)" ] || fail "the removal left compiled Python"
user "$root/usr/bin/tovcall" Ferrule0101.tovFSO GetFileB "$work/a.txt" >/dev/null 2>"$work/stderr" &&
  fail "the library still served after the removal step"
grep -q "no class named Ferrule0101.tovFSO is registered" "$work/stderr" || fail "after removal: $(cat "$work/stderr")"

# The menu entry is one the desktop accepts.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/quillmark.desktop" || fail "the menu entry is not valid"
fi

# The manual pages render without a warning.
if command -v man >/dev/null; then
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
  done
fi
echo "Debian package installs, converts and unregisters: ok"
