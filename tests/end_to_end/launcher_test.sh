#!/usr/bin/env bash
# The launcher as a Linux user starts it: ./renpin-wine.sh from the unpacked release zip, with
# plain `wine`, under LANG=C.UTF-8 and a home folder never used before, so in a new default Wine
# prefix. The window's disclaimer, the notice of a query and the output box must be legible
# Chinese (read off the screen by legible_text.exe, in the same prefix):
#   launcher_test.sh PROGRAM MAP LEGIBLE_TEXT_EXE SESSION_DIR
# Exits 77 (skipped) where this machine cannot run 32-bit Wine programs.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
program=$1
map=$2
legible_text=$3
session=$4

if ! (. "$root/cmake/wine-env" "$session" win32 && wine_can_run); then
  echo "launcher_test: this machine cannot run 32-bit Wine programs; skipped" >&2
  exit 77
fi
# The test session's virtual display, unless a display is set.
display=${DISPLAY:-:$(cat "$session/display")}

work=$(mktemp -d)
home=$work/home
mkdir "$home"
# A user's environment, and nothing of the test session's Wine settings.
as_user() {
  env -i HOME="$home" PATH="$PATH" DISPLAY="$display" LANG=C.UTF-8 "$@"
}
cleanup() {
  as_user WINEPREFIX="$home/.wine" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$root/scripts/package" "$program" "$map" "$work/renpin.zip"
listing=$(zipinfo "$work/renpin.zip" | awk '$1 ~ /^-/ { print $1, $NF }')
expected='-rw-r--r-- LICENSE.txt
-rw-r--r-- README.txt
-rw-r--r-- THIRD-PARTY-NOTICES.txt
-rwxr-xr-x renpin-wine.sh
-rw-r--r-- renpin.exe'
if [ "$listing" != "$expected" ]; then
  printf 'launcher_test: the zip holds\n%s\ninstead of\n%s\n' "$listing" "$expected" >&2
  exit 1
fi
unzip -q "$work/renpin.zip" -d "$work/unpacked"

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
as_user wine "$(realpath "$legible_text")" || status=$?
# legible_text.exe ends the program.
wait "$launcher" || true
if [ "$status" -ne 0 ]; then
  echo "launcher_test: the launcher's output:" >&2
  cat "$work/launcher.log" >&2
  exit 1
fi
echo "launcher_test: the window and its notice are legible"
