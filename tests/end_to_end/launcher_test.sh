#!/usr/bin/env bash
# The launcher as a Linux user starts it: ./renpin-wine.sh from the unpacked release zip, with
# plain `wine`, under the locale given and a home folder never used before, so in a new default
# Wine prefix. The window's disclaimer, the notice of a query and the output box are read off the
# screen (by legible_text.exe, in the same prefix) and through tesseract's Simplified Chinese OCR,
# which must read their phrases exactly:
#   launcher_test.sh ZIP LEGIBLE_TEXT_EXE SESSION_DIR win32|win64 LOCALE
# Exits 77 (skipped) where this machine cannot run Wine programs of that architecture.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
zip=$1
legible_text=$2
session=$3
arch=$4
locale=$5

if ! (. "$root/cmake/wine-env" "$session" "$arch" && wine_can_run); then
  echo "launcher_test: this machine cannot run $arch Wine programs; skipped" >&2
  exit 77
fi
# The test session's virtual display, unless a display is set.
display=${DISPLAY:-:$(cat "$session/display")}

work=$(mktemp -d)
home=$work/home
mkdir "$home" "$work/bin" "$work/ocr"
path=$PATH
if [ "$arch" = win64 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # This machine runs no 32-bit code, so its user installs Wine without wine32, and Debian's
  # `wine` then starts the 64-bit loader; here the 32-bit one is installed but cannot run.
  printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' \
    >"$work/bin/wine"
  chmod +x "$work/bin/wine"
  path=$work/bin:$PATH
fi
# A user's environment, and nothing of the test session's Wine settings.
as_user() {
  env -i HOME="$home" PATH="$path" DISPLAY="$display" LANG="$locale" "$@"
}
cleanup() {
  as_user WINEPREFIX="$home/.wine" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

listing=$(zipinfo "$zip" | awk '$1 ~ /^-/ { print $1, $NF }')
expected='-rw-r--r-- LICENSE.txt
-rw-r--r-- README.txt
-rw-r--r-- THIRD-PARTY-NOTICES.txt
-rwxr-xr-x renpin-wine.sh
-rw-r--r-- renpin.exe'
if [ "$listing" != "$expected" ]; then
  printf 'launcher_test: the zip holds\n%s\ninstead of\n%s\n' "$listing" "$expected" >&2
  exit 1
fi
unzip -q "$zip" -d "$work/unpacked"

(cd "$work/unpacked" && as_user ./renpin-wine.sh) >"$work/launcher.log" 2>&1 &
launcher=$!
# legible_text.exe starts once the program runs: two first starts of Wine in a new prefix would
# each begin to make it.
for _ in $(seq 1 240); do
  if as_user xwininfo -root -tree 2>/dev/null | grep -q '人品计算器'; then
    break
  fi
  if ! kill -0 "$launcher" 2>/dev/null; then
    echo "launcher_test: the launcher ended before the window showed; its output:" >&2
    cat "$work/launcher.log" >&2
    exit 1
  fi
  sleep 1
done
status=0
as_user wine "$(realpath "$legible_text")" "Z:$work/ocr" || status=$?
# legible_text.exe ends the program.
wait "$launcher" || true

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
  kept=$session/launcher_test-$locale
  rm -rf "$kept" && cp -r "$work/ocr" "$kept"
  echo "launcher_test: what was read off the screen is kept in $kept" >&2
  exit 1
fi
echo "launcher_test: under $locale the window, its notice and the output box read exactly"
