#!/usr/bin/env bash
# The launcher as a Linux user starts it, with plain `wine`, under each locale given in turn and a
# home folder never used before, which holds a ~/.wine of the user's own:
#   launcher_test.sh [--interrupt] [--together] zip ZIP LEGIBLE_TEXT_EXE SESSION_DIR win32|win64 LOCALE...
#   launcher_test.sh [--interrupt] [--together] menu DESKTOP_ENTRY LEGIBLE_TEXT_EXE SESSION_DIR win32|win64 LOCALE...
# zip: ./renpin-wine.sh from the unpacked release zip. menu: the Exec command of the installed
# desktop entry, whose StartupWMClass must then be the window's class, and whose startup identity
# (DESKTOP_STARTUP_ID) must reach the program's own Wine process. --interrupt: before the first of
# those starts, a prefix left half-made by an earlier launcher (drive_c and dosdevices alone) and
# three first starts killed with their process group, before Wine starts, while Wine makes the
# prefix and while the settings are written; the start after them must say that it makes the
# prefix again. --together: first, in another new home, two first starts at once must open two
# windows. After every start the home outside renpin's prefix must be as it was. The window's disclaimer,
# the notice of a query and the output box are read off the screen (by legible_text.exe, in the
# launcher's own prefix) and through tesseract's Simplified Chinese OCR, which must read their
# phrases exactly. The program must be the build for the architecture given (win32: renpin.exe,
# win64: wine64/renpin.exe; either where this machine has 32-bit Wine installed but runs no
# 32-bit code), the launcher must end with status 0 once the program is closed, and
# ~/.wine must be left byte for byte as it was. Exits 77 (skipped) where this machine cannot run
# Wine programs of that architecture.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
interrupt=
together=
while [[ $1 == --* ]]; do
  case $1 in
  --interrupt) interrupt=1 ;;
  --together) together=1 ;;
  *) echo "launcher_test: no option $1" >&2; exit 2 ;;
  esac
  shift
done
mode=$1
source=$2
legible_text=$3
session=$4
arch=$5
shift 5
locales=("$@")

if ! (. "$root/cmake/wine-env" "$session" "$arch" && wine_can_run); then
  echo "launcher_test: $(. "$root/cmake/wine-env" "$session" "$arch" && wine_unavailable_reason); skipped" >&2
  exit 77
fi
# The test session's virtual display, unless a display is set.
display=${DISPLAY:-:$(cat "$session/display")}

work=$(mktemp -d)
home=$work/home
base=$home/.local/share/renpin
prefix=$base/wineprefix
mkdir -p "$home/.wine/drive_c" "$work/ocr"
expected_build=$arch
if [ "$arch" = win64 ] && [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # Debian's `wine` execs the 32-bit loader, installed here but not runnable: the launcher runs
  # the 64-bit loader itself then. Whether that Wine runs the 32-bit program in its WoW64 mode,
  # with the 32-bit Windows libraries of wine32, is its own affair: either build may start.
  expected_build=any
fi
locale=${locales[0]}
# A user's environment, and nothing of the test session's Wine settings.
as_user() {
  env -i HOME="$home" PATH="$PATH" DISPLAY="$display" LANG="$locale" "$@"
}
cleanup() {
  local left
  as_user WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  for left in "$base"/wineprefix.*/ "$work"/together/.local/share/renpin/wineprefix; do
    [ ! -d "$left" ] || as_user WINEPREFIX="${left%/}" wineserver -k 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "launcher_test: $*" >&2
  exit 1
}

# The user's own prefix, as it must stay.
printf 'WINE REGISTRY Version 2\n#arch=win64\n' >"$home/.wine/system.reg"
echo "the user's own" >"$home/.wine/drive_c/own.txt"
state_of_own_prefix() {
  (cd "$home/.wine" && find . -printf '%p %y %m %s %T@\n' | sort && find . -type f -exec sha256sum {} + | sort)
}
own_prefix_before=$(state_of_own_prefix)
# The rest of the home: renpin writes only below ~/.local/share/renpin (making the folders above
# it where they are missing), and Wine, kept from making menu entries and file types there,
# nothing else.
state_of_home() {
  (cd "$home" && find . -path ./.local/share/renpin -prune -o -path ./.wine -prune -o \
    ! -path . ! -path ./.local ! -path ./.local/share -printf '%p %y %m %s %T@\n' | sort)
}
home_before=$(state_of_home)

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

# The windows that show the program's caption. xwininfo fails when a window goes away while it
# walks the tree, as Wine's set-up windows do.
windows_shown() {
  { as_user xwininfo -root -tree 2>/dev/null || true; } | awk '/"Ｍq\.人品计算器"/ { print $1 }'
}

# Whether the launcher's output says that it makes the prefix, in the words of the locale.
says_it_prepares() {
  case $locale in
  zh_*) grep -qF "$1" "$work/launcher.log" ;;
  *) grep -qF "$2" "$work/launcher.log" ;;
  esac
}

# Each phrase must be read exactly at one scale at least: OCR misreads a character of small text
# now and then, but none of a glyph with strokes missing reads right at any scale.
read_text() {
  local scale
  for scale in 2 3 4; do
    tesseract "$work/ocr/$1-$scale.bmp" - -l chi_sim --psm 6 2>/dev/null | tr -d ' \n'
    echo
  done
}

# Two first starts at once, in a home of their own: one prefix, two windows.
if [ -n "$together" ]; then
  (
    home=$work/together
    mkdir -p "$home"
    for _ in 1 2; do
      (cd "$folder" && as_user sh -c "$command") >/dev/null 2>&1 &
    done
    shown=
    for _ in $(seq 1 600); do
      shown=$(windows_shown | wc -l)
      [ "$shown" -lt 2 ] || break
      sleep 0.2
    done
    as_user WINEPREFIX="$home/.local/share/renpin/wineprefix" wineserver -k 2>/dev/null || true
    wait
    [ "$shown" -ge 2 ] || fail "two first starts at once opened $shown windows, not two"
    echo "launcher_test: two first starts at once opened two windows"
  )
fi

# First starts cut short as a crash, a logout or a power cut would, each at the state the one
# before left.
if [ -n "$interrupt" ]; then
  # What an earlier launcher left when its first start was killed.
  mkdir -p "$prefix/drive_c" "$prefix/dosdevices"
  for point in 'before Wine starts' 'while Wine makes the prefix' 'while the settings are written'; do
    (cd "$folder" && exec setsid env -i HOME="$home" PATH="$PATH" DISPLAY="$display" \
      LANG="$locale" sh -c "$command") >"$work/launcher.log" 2>&1 &
    group=$!
    reached=
    for _ in $(seq 1 12000); do
      case $point in
      'before Wine starts') [ ! -e "$base/lock" ] || reached=1 ;;
      'while Wine makes the prefix') compgen -G "$base/wineprefix.new.*/drive_c" >/dev/null && reached=1 ;;
      'while the settings are written') compgen -G "$base/renpin-settings.*" >/dev/null && reached=1 ;;
      esac
      [ -z "$reached" ] || break
      kill -0 "$group" 2>/dev/null || break
      sleep 0.01
    done
    kill -KILL -- "-$group" 2>/dev/null || true
    wait "$group" 2>/dev/null || true
    [ -n "$reached" ] || { cat "$work/launcher.log" >&2; fail "a first start never got $point"; }
    [ "$(cat "$prefix/.renpin-prefix" 2>/dev/null)" = "" ] ||
      fail "a first start killed $point left the prefix marked complete"
    echo "launcher_test: a first start was killed $point"
  done
fi

status=0
first=1
for locale in "${locales[@]}"; do
  started=$(date +%s%N)
  startup_id=renpin-test-$started
  (cd "$folder" && as_user DESKTOP_STARTUP_ID="$startup_id" sh -c "$command") >"$work/launcher.log" 2>&1 &
  launcher=$!
  # legible_text.exe starts once the program runs: two first starts of Wine in a new prefix would
  # each begin to make it.
  window=
  for _ in $(seq 1 1200); do
    window=$(windows_shown | sed -n 1p)
    [ -z "$window" ] || break
    if ! kill -0 "$launcher" 2>/dev/null; then
      cat "$work/launcher.log" >&2
      fail "under $locale the launcher ended before the window showed; its output is above"
    fi
    sleep 0.2
  done
  [ -n "$window" ] || fail "under $locale no window showed in four minutes"
  echo "launcher_test: under $locale the window showed $(( ($(date +%s%N) - started) / 1000000 )) ms after the start"
  if [ "$mode" = menu ]; then
    class=$(as_user xprop -id "$window" WM_CLASS | sed -n 's/.*= "\([^"]*\)".*/\1/p')
    wanted=$(sed -n 's/^StartupWMClass=//p' "$source")
    if [ "$class" != "$wanted" ]; then
      echo "launcher_test: the window's class is '$class', the desktop entry's '$wanted'" >&2
      status=1
    fi
    # The startup identity reaches the program's own process, whose window ends the busy cursor.
    holders=$(grep -lzx "DESKTOP_STARTUP_ID=$startup_id" /proc/[0-9]*/environ 2>/dev/null |
      sed 's|/environ$|/cmdline|' | xargs -r cat 2>/dev/null | tr '\0' ' ' || true)
    if [[ $holders != *renpin.exe* ]]; then
      echo "launcher_test: the startup identity reached no renpin.exe, only: '$holders'" >&2
      status=1
    fi
  fi
  as_user WINEPREFIX="$prefix" wine "$(realpath "$legible_text")" "Z:$work/ocr" >"$work/legible.log" ||
    status=1
  cat "$work/legible.log"
  # legible_text.exe closes the program, and the launcher ends with it.
  launcher_status=0
  wait "$launcher" || launcher_status=$?
  if [ "$launcher_status" -ne 0 ]; then
    echo "launcher_test: under $locale the launcher ended with status $launcher_status" >&2
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
  if [ "$(cat "$prefix/.renpin-prefix" 2>/dev/null)" = "" ]; then
    echo "launcher_test: no complete Wine prefix of renpin's own in $prefix" >&2
    status=1
  elif [ -n "$first" ] && [ -n "$interrupt" ] &&
    ! says_it_prepares 正在重新准备 'preparing it again'; then
    echo "launcher_test: the start after the interrupted ones did not say that it makes the prefix again" >&2
    status=1
  elif [ -n "$first" ] && [ -z "$interrupt" ] &&
    ! says_it_prepares '首次启动：正在准备 Wine 环境' 'first start: preparing the Wine prefix'; then
    echo "launcher_test: the first start did not say that it makes the prefix" >&2
    status=1
  elif [ -z "$first" ] && says_it_prepares 准备 preparing; then
    echo "launcher_test: a later start prepared the prefix again" >&2
    status=1
  fi
  first=

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
  if [ "$(state_of_own_prefix)" != "$own_prefix_before" ]; then
    echo "launcher_test: ~/.wine was changed" >&2
    status=1
  fi
  if [ "$(state_of_home)" != "$home_before" ]; then
    echo "launcher_test: the home outside renpin's prefix was changed:" >&2
    diff <(echo "$home_before") <(state_of_home) >&2 || true
    status=1
  fi
  if [ "$status" -ne 0 ]; then
    echo "launcher_test: the launcher's output:" >&2
    cat "$work/launcher.log" >&2
    kept=$session/launcher_test-$mode-$locale
    rm -rf "$kept" && cp -r "$work/ocr" "$kept"
    echo "launcher_test: what was read off the screen is kept in $kept" >&2
    exit 1
  fi
  echo "launcher_test: the $mode's launcher under $locale: the window, its notice and the output box read exactly"
done
