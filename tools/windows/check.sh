#!/usr/bin/env bash
# Checks the Windows build (tools/windows/build.sh):
#   tools/windows/check.sh LINUX_BUILD [WINDOWS_BUILD_ROOT]
#
# Both architectures: the binaries' imports, exports and resources, read
# with the cross tools. The x86-64 build also runs under Wine on a virtual
# display: Ferrule0101.dll registered with regsvr32, its type libraries
# checked against the type description, a script client through cscript,
# and Quillmark.exe converting logs to bytes identical to what the Linux
# build (LINUX_BUILD) writes from the same logs and settings. The i686
# build is not run: this kernel runs no 32-bit code.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
mode=all
if [ "${1:-}" = --under-display ]; then
  mode=wine
  shift
fi
linux=$(cd "$1" && pwd)
root=$(cd "${2:-$top/build-windows}" && pwd)

passed=0
failed=0
ok() { passed=$((passed + 1)); }
fail() {
  failed=$((failed + 1))
  echo "FAIL: $*"
}
expect() {  # expect DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then ok; else fail "$what"; fi
}

# --- What the binaries are made of -----------------------------------------

inspect() {
  local arch=$1 triplet=$1-w64-mingw32 bin=$root/$1/bin
  local dll=$bin/Ferrule0101.dll exe=$bin/Quillmark.exe
  local machine
  [ "$arch" = x86_64 ] && machine='i386:x86-64,' || machine='i386,'
  for file in "$dll" "$exe"; do
    expect "$arch: $(basename "$file") is built" test -f "$file"
    [ -f "$file" ] || return 0
    "$triplet-objdump" -p "$file" | grep 'DLL Name:' >"$scratch/imports"
    expect "$arch: $(basename "$file") is for $arch" grep -q "architecture: ${machine}" <("$triplet-objdump" -f "$file")
    # Linked whole: no compiler run-time DLL has to ship beside it.
    expect "$arch: $(basename "$file") needs no compiler run-time DLL" \
      bash -c '! grep -qiE "DLL Name: (libstdc|libgcc|libwinpthread)" "$1"' _ "$scratch/imports"
  done
  local exports
  exports=$("$triplet-objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -oE 'Dll[A-Za-z]+' | sort | tr '\n' ' ')
  expect "$arch: the library exports its four entry points only (${exports})" \
    test "$exports" = "DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer "
  "$triplet-objdump" -p "$dll" | grep 'DLL Name:' >"$scratch/dll-imports"
  "$triplet-objdump" -p "$exe" | grep 'DLL Name:' >"$scratch/exe-imports"
  expect "$arch: the library imports the automation services" grep -q 'DLL Name: OLEAUT32.dll' "$scratch/dll-imports"
  expect "$arch: the library asks the system's shell" grep -qi 'DLL Name: SHELL32.dll' "$scratch/dll-imports"
  expect "$arch: the library's icons are the system's" grep -qi 'DLL Name: USER32.dll' "$scratch/dll-imports"
  expect "$arch: the program imports the component model" grep -q 'DLL Name: ole32.dll' -i "$scratch/exe-imports"
  expect "$arch: the program imports the window services" grep -qi 'DLL Name: USER32.dll' "$scratch/exe-imports"
  expect "$arch: the program imports the common dialogs" grep -qi 'DLL Name: COMDLG32.dll' "$scratch/exe-imports"

  local dllres exeres
  dllres=$("$triplet-windres" -i "$dll" -O rc 2>/dev/null)
  exeres=$("$triplet-windres" -i "$exe" -O rc 2>/dev/null)
  for entry in '1 "TYPELIB"' '2 "TYPELIB"' 'FILEVERSION 1, 1, 0, 15' 'FILETYPE 0x2' 'FILEOS 0x4' \
               'VALUE "FileVersion", "1.01.0015"' 'VALUE "ProductVersion", "1.01.0015"' \
               'VALUE "InternalName", "Ferrule0101"' 'VALUE "OriginalFilename", "Ferrule0101.DLL"' \
               'VALUE "ProductName", "TOVapps"' 'VALUE "OLESelfRegister", ""' 'VALUE "Translation", 0x409, 1200'; do
    expect "$arch: the library's resources hold ${entry}" grep -qF "$entry" <<<"$dllres"
  done
  for entry in '"A_MAIN" 14 /* RT_GROUP_ICON */' 'FILEVERSION 1, 1, 0, 4' 'FILETYPE 0x1' 'VALUE "FileVersion", "1.01.0004"' \
               'VALUE "ProductName", "TOVapps"' 'VALUE "Translation", 0x409, 1200'; do
    expect "$arch: the program's resources hold ${entry}" grep -qF "$entry" <<<"$exeres"
  done
}

if [ "$mode" = all ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  for arch in x86_64 i686; do
    inspect "$arch"
  done
fi

# --- Under Wine (x86-64) ---------------------------------------------------

bin=$root/x86_64/bin
work=$root/check
export WINEPREFIX=$work/wineprefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The same code pages on both sides, so the ANSI and OEM outputs compare.
export TOVAPPS_ACP=1251 TOVAPPS_OEMCP=866

wine_run() { timeout 180 wine "$@"; }

# A log with text beyond ASCII, beside the sample.
write_logs() {
  mkdir -p "$work/home" "$work/linux-out" "$work/logs"
  cat >"$work/logs/unicode.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<Log>
  <Message Date="01.02.2011" Time="10:00:00">
    <From><User FriendlyName="Анна"/></From>
    <To><User FriendlyName="Jörg"/></To>
    <Text>Привет — как дела?
Grüße, café &amp; «кавычки»</Text>
  </Message>
  <Message Date="01.02.2011" Time="10:01:30">
    <From><User FriendlyName="Jörg"/></From>
    <To><User FriendlyName="Анна"/></To>
    <Text>Хорошо!</Text>
  </Message>
</Log>
EOF
  cp "$top/examples/sample-history.xml" "$work/logs/sample.xml"
}

under_display() {
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
  local drive=$WINEPREFIX/drive_c
  mkdir -p "$drive/tovapps" "$drive/check"
  cp "$bin/Ferrule0101.dll" "$bin/Quillmark.exe" "$bin/typelib-check.exe" "$bin/platform-check.exe" "$drive/tovapps/"

  # The platform layer on the system's own services.
  rm -rf "$drive/platform" && mkdir -p "$drive/platform"
  expect "the platform layer's checks pass" wine_run 'C:\tovapps\platform-check.exe' 'C:\platform'

  expect "regsvr32 Ferrule0101.dll" wine_run regsvr32 /s 'C:\tovapps\Ferrule0101.dll'
  expect "the type libraries agree with the type description" wine_run 'C:\tovapps\typelib-check.exe' 'C:\tovapps\Ferrule0101.dll'

  # The script client.
  printf 'Привет, мир — Grüße\r\nвторая строка\r\n' | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$drive/check/unicode_in.txt"
  cp "$top/tools/windows/check.vbs" "$drive/tovapps/"
  local out
  out=$(wine_run cscript //nologo 'C:\tovapps\check.vbs' 'C:\check' 'C:\windows\system32' 2>&1 | tr -d '\r') || true
  echo "$out" | grep -E '^(FAIL|SKIP|NOTE|script:)' || true
  # A class may be missing from the script's view only while its source is
  # not in this tree; one the tree carries must be served.
  local skipped
  for skipped in $(grep -oE '^SKIP Ferrule0101\.[A-Za-z]+' <<<"$out" | sed 's/^SKIP Ferrule0101\.//'); do
    expect "$skipped is served (its source is in the tree)" test ! -e "$top/fileio/$skipped.h"
  done
  expect "the script client ran to its end" grep -q '^DONE$' <<<"$out"
  expect "the script client found no fault" grep -q '^script: [0-9]* passed, 0 failed$' <<<"$out"
  local c=$drive/check
  expect "PutFile and AppendFile wrote ANSI bytes" cmp -s "$c/ansi.txt" <(printf 'Hello, world\r\nagain\r\n')
  expect "OverwriteFile left only the new bytes" cmp -s "$c/over.txt" <(printf '2nd')
  expect "PutFileW wrote the header and UTF-16" cmp -s "$c/unicode_out.txt" "$c/unicode_in.txt"
  expect "PutFileW without the header" cmp -s "$c/unicode_noheader.txt" <(tail -c +3 "$c/unicode_in.txt")
  expect "PutFileW with inverted bytes wrote big-endian UTF-16" \
    cmp -s "$c/unicode_inverted.txt" <(tail -c +3 "$c/unicode_in.txt" | iconv -f UTF-16LE -t UTF-16BE | { printf '\xfe\xff'; cat; })
  expect "AppendFileW appended without a second header" \
    cmp -s "$c/unicode_twice.txt" <(cat "$c/unicode_in.txt"; tail -c +3 "$c/unicode_in.txt")
  expect "PutFileB wrote the bytes read" cmp -s "$c/bytes.bin" "$c/unicode_in.txt"
  expect "AppendFileB appended the bytes" cmp -s "$c/bytes_twice.bin" <(cat "$c/unicode_in.txt" "$c/unicode_in.txt")
  expect "OverwriteFileB left only the bytes" cmp -s "$c/bytes_over.bin" "$c/unicode_in.txt"

  # Quillmark.exe against the Linux build, in every encoding.
  local appdata
  appdata=$(wine_run cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  appdata=$(winepath -u "$appdata" 2>/dev/null)
  mkdir -p "$appdata/TOVapps" "$work/home/.config/TOVapps"
  cp "$drive/tovapps/Ferrule0101.dll" "$drive/tovapps/Ferrule0101.dll.keep"
  for log in sample unicode; do
    cp "$work/logs/$log.xml" "$drive/check/$log.xml"
    for setting in "0 0" "1 0" "2 0" "3 0" "2 1" "2 2"; do
      set -- $setting
      local settings
      settings=$(printf 'Output Encoding=%s\nParagraph Type=%s\n[Localization]\nLanguageID=1\n' "$1" "$2")
      printf '%s\n' "$settings" >"$appdata/TOVapps/Quillmark.ini"
      printf '%s\n' "$settings" >"$work/home/.config/TOVapps/Quillmark.ini"
      local name=$log-$1-$2.txt
      rm -f "$drive/check/$name"
      QUILLMARK_UI=headless wine_run 'C:\tovapps\Quillmark.exe' "C:\\check\\$log.xml" "C:\\check\\$name" >/dev/null 2>&1 || true
      HOME=$work/home XDG_CONFIG_HOME= TOVAPPS_REGISTRY=$work/registry.ini QUILLMARK_UI=headless \
        "$linux/converter/quillmark" "$work/logs/$log.xml" "$work/linux-out/$name" >/dev/null 2>&1 || true
      expect "Quillmark.exe wrote $name" test -s "$drive/check/$name"
      expect "Quillmark.exe's $name is byte for byte the Linux build's" cmp -s "$drive/check/$name" "$work/linux-out/$name"
    done
  done

  # Without arguments the program opens its native window on the display.
  local pid title=""
  wine 'C:\tovapps\Quillmark.exe' >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 1 60); do
    title=$(xdotool search --onlyvisible --name '^Quillmark' getwindowname 2>/dev/null | head -n1) || true
    [ -n "$title" ] && break
    sleep 1
  done
  expect "Quillmark.exe opens its window (\"$title\")" test -n "$title"
  kill "$pid" 2>/dev/null || true
  wineserver -k || true
  wait "$pid" 2>/dev/null || true

  # Hostile runs: a log that is not there, and the log named as its own
  # output. Neither may leave a file behind or touch the log.
  local status=0
  rm -f "$drive/check/none.txt"
  QUILLMARK_UI=headless wine_run 'C:\tovapps\Quillmark.exe' 'C:\check\missing.xml' 'C:\check\none.txt' \
    >/dev/null 2>&1 || status=$?
  expect "a missing log fails (status $status)" test "$status" -ne 0
  expect "... and writes no output" test ! -e "$drive/check/none.txt"
  status=0
  QUILLMARK_UI=headless wine_run 'C:\tovapps\Quillmark.exe' 'C:\check\sample.xml' 'C:\CHECK\Sample.XML' \
    >/dev/null 2>&1 || status=$?
  expect "the log as its own output is refused (status $status)" test "$status" -ne 0
  expect "... and the log is untouched" cmp -s "$drive/check/sample.xml" "$work/logs/sample.xml"

  expect "regsvr32 /u Ferrule0101.dll" wine_run regsvr32 /u /s 'C:\tovapps\Ferrule0101.dll'
  printf 'On Error Resume Next\r\nSet x = CreateObject("Ferrule0101.tovFSO")\r\nWScript.Quit Err.Number\r\n' >"$drive/tovapps/gone.vbs"
  local gone=0
  wine_run cscript //nologo 'C:\tovapps\gone.vbs' >/dev/null 2>&1 || gone=$?
  expect "after unregistering, the class is gone (error $gone)" test "$gone" -ne 0
  wineserver -k || true
}

if [ "$mode" = wine ]; then
  write_logs
  # The Linux side registers its own library in a registry of its own.
  HOME=$work/home TOVAPPS_REGISTRY=$work/registry.ini "$linux/automation/tools/tovregsvr" "$linux/lib/libFerrule0101.so" >/dev/null
  under_display
  echo "wine: $passed passed, $failed failed"
  exit 0
fi

rm -rf "$work"
mkdir -p "$work"
if command -v xvfb-run >/dev/null && command -v wine >/dev/null; then
  xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --under-display "$linux" "$root" >"$work/wine.log" 2>&1 || true
  grep -aE '^(FAIL|SKIP|NOTE|script:|typelib:|platform:|wine:)' "$work/wine.log" || true
  if counts=$(grep -aoE '^wine: [0-9]+ passed, [0-9]+ failed' "$work/wine.log" | tail -n1); then
    read -r _ p _ f _ <<<"$counts"
    passed=$((passed + p))
    failed=$((failed + f))
  else
    fail "the checks under Wine did not finish (see $work/wine.log)"
  fi
else
  fail "no Wine or no xvfb-run: nothing ran under Wine"
fi

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
