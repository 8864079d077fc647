#!/usr/bin/env bash
# The launcher as a Linux user starts it, with plain `wine`, under the locale given and a home
# folder never used before, which holds a ~/.wine of the user's own:
#   launcher_test.sh zip ZIP LEGIBLE_TEXT_EXE SESSION_DIR win32|win64 LOCALE
#   launcher_test.sh menu DESKTOP_ENTRY LEGIBLE_TEXT_EXE SESSION_DIR win32|win64 LOCALE
# zip: ./renpin-wine.sh from the unpacked release zip. menu: the Exec command of the installed
# desktop entry, whose StartupWMClass must then be the window's class. The window's disclaimer,
# the notice of a query and the output box are read off the screen (by legible_text.exe, in the
# launcher's own prefix) and through tesseract's Simplified Chinese OCR, which must read their
# phrases exactly. The program must be the build for the architecture given (win32: renpin.exe,
# win64: wine64/renpin.exe; either where this machine has 32-bit Wine installed but runs no
# 32-bit code), the launcher must end with status 0 once the program is closed, and
# ~/.wine must be left byte for byte as it was. Exits 77 (skipped) where this machine cannot run
# Wine programs of that architecture.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
mode=$1
source=$2
legible_text=$3
session=$4
arch=$5
locale=$6

if ! (. "$root/cmake/wine-env" "$session" "$arch" && wine_can_run); then
  echo "launcher_test: $(. "$root/cmake/wine-env" "$session" "$arch" && wine_unavailable_reason); skipped" >&2
  exit 77
fi
# The test session's virtual display, unless a display is set.
display=${DISPLAY:-:$(cat "$session/display")}

work=$(mktemp -d)
home=$work/home
prefix=$home/.local/share/renpin/wineprefix
mkdir -p "$home/.wine/drive_c" "$work/bin" "$work/ocr"
path=$PATH
expected_build=$arch
if [ "$arch" = win64 ] && [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # This machine runs no 32-bit code, so its user installs Wine without wine32, and Debian's
  # `wine` then starts the 64-bit loader; here the 32-bit one is installed but cannot run.
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
    >"$work/bin/wine"
  chmod +x "$work/bin/wine"
  path=$work/bin:$PATH
  # Whether this Wine then runs the 32-bit program in its WoW64 mode, with the 32-bit Windows
  # libraries of wine32, is its own affair: either build may start.
  expected_build=any
fi
# A user's environment, and nothing of the test session's Wine settings.
as_user() {
  env -i HOME="$home" PATH="$path" DISPLAY="$display" LANG="$locale" "$@"
}
cleanup() {
  as_user WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The user's own prefix, as it must stay.
printf 'WINE REGISTRY Version 2\n#arch=win64\n' >"$home/.wine/system.reg"
echo "the user's own" >"$home/.wine/drive_c/own.txt"
state_of_own_prefix() {
  (cd "$home/.wine" && find . -printf '%p %y %m %s %T@\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
own_prefix_before=$(state_of_own_prefix)

case $mode in
zip)
  listing=$(zipinfo "$source" | awk '$1 ~ /^-/ { print $1, $NF }')
  expected='-rw-r--r-- LICENSE.txt
-rw-r--r-- README.txt
-rw-r--r-- THIRD-PARTY-NOTICES.txt
-rwxr-xr-x renpin-wine.sh
-rw-r--r-- renpin.exe
-rw-r--r-- wine64/renpin.exe'
  if [ "$listing" != "$expected" ]; then
    printf 'launcher_test: the zip holds\n%s\ninstead of\n%s\n' "$listing" "$expected" >&2
    exit 1
  fi
  unzip -q "$source" -d "$work/unpacked"
  folder=$work/unpacked
  command=./renpin-wine.sh
  ;;
menu)
  folder=$home
  command=$(sed -n 's/^Exec=//p' "$source")
  ;;
*)
  echo "launcher_test: no mode $mode" >&2
  exit 2
  ;;
esac

started=$(date +%s%N)
(cd "$folder" && as_user sh -c "$command") >"$work/launcher.log" 2>&1 &
launcher=$!
# legible_text.exe starts once the program runs: two first starts of Wine in a new prefix would
# each begin to make it.
window=
for _ in $(seq 1 1200); do
  window=$(as_user xwininfo -root -tree 2>/dev/null | awk '/人品计算器/ { print $1; exit }')
  [ -z "$window" ] || break
  if ! kill -0 "$launcher" 2>/dev/null; then
    echo "launcher_test: the launcher ended before the window showed; its output:" >&2
    cat "$work/launcher.log" >&2
    exit 1
  fi
  sleep 0.2
done
echo "launcher_test: the window showed $(( ($(date +%s%N) - started) / 1000000 )) ms after the start"
status=0
if [ "$mode" = menu ]; then
  class=$(as_user xprop -id "$window" WM_CLASS | sed -n 's/.*= "\([^"]*\)".*/\1/p')
  wanted=$(sed -n 's/^StartupWMClass=//p' "$source")
  if [ "$class" != "$wanted" ]; then
    echo "launcher_test: the window's class is '$class', the desktop entry's '$wanted'" >&2
    status=1
  fi
fi
as_user WINEPREFIX="$prefix" wine "$(realpath "$legible_text")" "Z:$work/ocr" >"$work/legible.log" ||
  status=$?
cat "$work/legible.log"
# legible_text.exe closes the program, and the launcher ends with it.
launcher_status=0
wait "$launcher" || launcher_status=$?
if [ "$launcher_status" -ne 0 ]; then
  echo "launcher_test: the launcher ended with status $launcher_status" >&2
  status=1
fi

ran=$(sed -n 's/^legible_text: the program is //p' "$work/legible.log" | tr -d '\r')
built_for=win32
[[ $ran != *'\wine64\renpin.exe' ]] || built_for=win64
if [[ $ran != *'\renpin.exe' ]] || { [ "$expected_build" != any ] && [ "$built_for" != "$expected_build" ]; }; then
  echo "launcher_test: the program that ran is '$ran', not the $expected_build build" >&2
  status=1
fi
echo "launcher_test: the launcher started the $built_for build, $ran"
if [ "$(state_of_own_prefix)" != "$own_prefix_before" ]; then
  echo "launcher_test: ~/.wine was changed" >&2
  status=1
fi
if [ ! -d "$prefix/drive_c" ]; then
  echo "launcher_test: no Wine prefix of renpin's own in $prefix" >&2
  status=1
elif ! grep -qF "first start: making the Wine prefix $prefix" "$work/launcher.log"; then
  echo "launcher_test: the first start did not say that it makes the prefix" >&2
  status=1
fi

# Each phrase must be read exactly at one scale at least: OCR misreads a character of small text
# now and then, but none of a glyph with strokes missing reads right at any scale.
read_text() {
  local scale
  for scale in 2 3 4; do
    tesseract "$work/ocr/$1-$scale.bmp" - -l chi_sim --psm 6 2>/dev/null | tr -d ' \n'
    echo
  done
}
for text in disclaimer notice output; do
  case $text in
  disclaimer) phrases='本程序仅供娱乐参考 绝无科学根据' ;;
  *) phrases='查询姓名 人品得分' ;;
  esac
  readings=$(read_text "$text")
  for phrase in $phrases; do
    if ! grep -qF "$phrase" <<<"$readings"; then
      printf 'launcher_test: under %s, no reading of the %s has %s; the readings:\n%s\n' \
        "$locale" "$text" "$phrase" "$readings" >&2
      status=1
    fi
  done
done
if [ "$status" -ne 0 ]; then
  echo "launcher_test: the launcher's output:" >&2
  cat "$work/launcher.log" >&2
  kept=$session/launcher_test-$mode-$locale
  rm -rf "$kept" && cp -r "$work/ocr" "$kept"
  echo "launcher_test: what was read off the screen is kept in $kept" >&2
  exit 1
fi
echo "launcher_test: the $mode's launcher under $locale: the window, its notice and the output box read exactly"
