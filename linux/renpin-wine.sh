#!/bin/sh
# Starts renpin (人品计算器) under Wine, with its Chinese text whole and legible whatever the
# locale:
#   renpin-wine.sh [ARGUMENTS...]
#   renpin-wine.sh --prepare      writes the settings below into the prefix, starts nothing
# The Debian package installs it as the `renpin` command.
#
# Which program. Beside this script lie renpin.exe, the 32-bit program, and wine64/renpin.exe,
# the same sources built for 64-bit Windows. The 32-bit one starts wherever this Wine runs 32-bit
# programs, which it is asked at every start by running the 32-bit cmd.exe of the prefix; where
# it cannot (Debian's or Ubuntu's `apt install wine` without wine32:i386), the 64-bit one starts.
#
# Which prefix. WINEPREFIX, when set, is used as it is. Otherwise the program has a prefix of its
# own, ${XDG_DATA_HOME:-~/.local/share}/renpin/wineprefix, made at the first start (which says so
# in one line), so that nothing below reaches ~/.wine and the other Windows programs in it. In its
# own prefix Wine is also told not to offer to install Mono and Gecko, which the program does not
# use. The command of WINE (as winetricks does), or else `wine`, runs it.
#
# What it writes. At every start these registry values go into the prefix, all in one import, and
# nothing else. F is a Chinese font, chosen by its English name: WenQuanYi Micro Hei, else Noto
# Sans CJK SC, else fontconfig's first choice for Chinese; Wine draws these two whole at the size
# of buttons, where it drops strokes of WenQuanYi Zen Hei. F is written as Wine names it in this
# locale (文泉驿微米黑 under zh_CN), since Wine finds a family by no other name; Wine rewrites
# some of these values when the locale's code page changes, hence every start.
# - HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes, "Tahoma": F. Wine draws
#   captions, buttons and message boxes in Tahoma, which has no Chinese. A font linked to Tahoma
#   is drawn without smoothing at small sizes where Wine has its own Tahoma (Debian 13's Wine 10),
#   as Tahoma's table asks, and reads badly; F in Tahoma's place is drawn smoothed. Every other
#   program in the same prefix draws its Tahoma text in F too.
# - HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink, "Tahoma" and
#   "Tahoma Bold": F's file and English name, for wherever Tahoma itself is still drawn.
# - HKCU\Software\Wine\Fonts\Replacements, "SimSun", "NSimSun", "宋体", "新宋体" and
#   "MS Shell Dlg": F. Linux has no SimSun (宋体): the program's name and output boxes ask for it,
#   and under a Chinese locale Wine draws dialogs in MS Shell Dlg, which it substitutes with
#   SimSun. Left to Wine, they get fontconfig's first choice, often WenQuanYi Zen Hei.
# - HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts, "Marlett (TrueType)": the full
#   path of Wine's own Marlett, when it lies in the share/wine/fonts folder of Wine's
#   installation. Debian 12's Wine 8 does not look for its fonts there; without Marlett the
#   caption's close box shows the letter "r". Where Wine finds it itself, the value names a font
#   it already has.
#
# Failures. Each is one line on standard error and exit status 1. Started from a desktop's menu,
# with no terminal to see it, it is shown as a desktop notification too (notify-send), or else
# in a dialog (zenity or kdialog).
set -eu

me=${0##*/}
title=人品计算器

# Shows a failure where the desktop shows such things, when no terminal is there to see it.
show_on_desktop() {
  [ ! -t 2 ] || return 0
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || return 0
  # Without a notification service notify-send may wait for one to be started.
  limit=
  command -v timeout >/dev/null 2>&1 && limit='timeout 10'
  if command -v notify-send >/dev/null 2>&1 &&
    $limit notify-send --app-name="$title" --icon=dialog-error "$title" "$1" \
      </dev/null >/dev/null 2>&1; then
    return 0
  fi
  if command -v zenity >/dev/null 2>&1; then
    zenity --error --no-markup --title="$title" --text="$1" </dev/null >/dev/null 2>&1 || true
  elif command -v kdialog >/dev/null 2>&1; then
    kdialog --title "$title" --error "$1" </dev/null >/dev/null 2>&1 || true
  fi
}

fail() {
  echo "$me: $*" >&2
  show_on_desktop "$*"
  exit 1
}

prepare_only=
if [ "${1:-}" = --prepare ]; then
  prepare_only=1
  shift
fi

# The folder of the launcher itself, also where a link to it (such as /usr/games/renpin) started it.
self=$(readlink -f "$0" 2>/dev/null) || self=$0
case $self in
*/*) here=${self%/*} ;;
*) here=. ;;
esac
program=$here/renpin.exe
program64=$here/wine64/renpin.exe
[ -n "$prepare_only" ] || [ -f "$program" ] ||
  fail "no renpin.exe in $here: unpack the whole zip and start $me from there"

wine=${WINE:-wine}
wine_bin=$(command -v "$wine" 2>/dev/null) ||
  fail "Wine is not installed: install the wine package (Debian/Ubuntu: sudo apt install wine; Fedora: sudo dnf install wine)"

if [ -z "${WINEPREFIX:-}" ]; then
  [ -n "${HOME:-}" ] || fail "HOME is not set, so there is no home folder for renpin's Wine prefix"
  # XDG_DATA_HOME counts only as an absolute path.
  data=${XDG_DATA_HOME:-}
  case $data in
  /*) ;;
  *) data=$HOME/.local/share ;;
  esac
  WINEPREFIX=$data/renpin/wineprefix
  WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
  export WINEDLLOVERRIDES
fi
export WINEPREFIX
# Wine's debugging notes say nothing to a user, and Debian's `wine` would tell the user of a
# system without 32-bit Wine to install it at every start; what stops Wine still shows.
export WINEDEBUG="${WINEDEBUG--all}"

# One line of a .reg file for a REG_MULTI_SZ of one string: its UTF-16LE bytes in hex.
multi_sz() {
  printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
    tr -s ' \n' '\n\n' | grep . | paste -sd, - | sed "s/^/\"$1\"=hex(7):/; s/\$/,00,00,00,00/"
}

# A string value of a .reg file, quoted.
reg_string() {
  printf '"%s"' "$(printf '%s' "$1" | sed 's/[\\"]/\\&/g')"
}

reg='Windows Registry Editor Version 5.00'
if command -v fc-match >/dev/null 2>&1; then
  # "FILE|ENGLISH NAME" of every font with Chinese: fontconfig gives a family's English name
  # first only in an English or C locale.
  chinese=$(LC_ALL=C fc-list -f '%{file}|%{family[0]}\n' ':lang=zh-cn' | sort)
  [ -n "$chinese" ] ||
    fail "no Chinese font is installed: install one (Debian/Ubuntu: sudo apt install fonts-wqy-microhei, or fonts-noto-cjk)"
  font=
  for family in 'WenQuanYi Micro Hei' 'Noto Sans CJK SC'; do
    if printf '%s\n' "$chinese" | grep -q "|$family\$"; then
      font=$(LC_ALL=C fc-match -f '%{file}|%{family[0]}' "$family:lang=zh-cn")
      break
    fi
  done
  if [ -z "$font" ]; then
    # fontconfig's first choice, unless its configuration prefers a font without Chinese.
    font=$(LC_ALL=C fc-match -f '%{file}|%{family[0]}' 'sans-serif:lang=zh-cn')
    printf '%s\n' "$chinese" | grep -qxF "$font" || font=$(printf '%s\n' "$chinese" | head -n 1)
  fi
  file=${font%%|*}
  english=${font#*|}
  case $english in
  'WenQuanYi Zen Hei'*)
    echo "$me: the Chinese font here is $english, which Wine draws with strokes missing at the size of buttons: install fonts-wqy-microhei (or fonts-noto-cjk) for whole characters" >&2
    ;;
  esac
  # The family's name in this locale, as Wine names it.
  name=$(fc-match -f '%{family[0]}' "$english:lang=zh-cn")
  [ -n "$name" ] || name=$english
  replacements=
  for face in SimSun NSimSun 宋体 新宋体 'MS Shell Dlg'; do
    replacements="$replacements
$(reg_string "$face")=$(reg_string "$name")"
  done
  reg="$reg

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
\"Tahoma\"=$(reg_string "$name")

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
$(multi_sz Tahoma "${file##*/},$english")
$(multi_sz 'Tahoma Bold' "${file##*/},$english")

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]$replacements"
else
  echo "$me: no fontconfig (fc-match) here, so no Chinese font is linked; Chinese text may show as empty boxes" >&2
fi

# Wine's own Marlett by its full path on Wine's Z: drive, the root folder in every new prefix:
# share/wine/fonts beside bin/wine, or beside lib/wine/wine64 where WINE names a loader.
wine_dir=${wine_bin%/*}
for fonts in "$wine_dir/../share/wine/fonts" "$wine_dir/../../share/wine/fonts"; do
  if [ -f "$fonts/marlett.ttf" ]; then
    marlett=$(cd -P "$fonts" && pwd -P)/marlett.ttf
    reg="$reg

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
\"Marlett (TrueType)\"=$(reg_string "Z:$(printf '%s' "$marlett" | tr / '\\')")"
    break
  fi
done

# Wine makes the prefix at its first start, here; its registry files follow when it ends.
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "$me: first start: making the Wine prefix $WINEPREFIX, which takes a minute" >&2
  mkdir -p "${WINEPREFIX%/*}" 2>/dev/null || fail "could not make the folder ${WINEPREFIX%/*}"
fi

case $reg in
*'['*)
  # UTF-16 with a byte order mark: Wine's regedit reads hex(7) as UTF-16 only in such a file.
  import=$(mktemp "${TMPDIR:-/tmp}/renpin-wine.XXXXXX")
  trap 'rm -f "$import"' EXIT
  { printf '\377\376' && printf '%s\n' "$reg" | iconv -f UTF-8 -t UTF-16LE; } >"$import"
  written=1
  "$wine" regedit /S '\\?\unix'"$import" </dev/null >/dev/null 2>&1 || written=
  rm -f "$import"
  trap - EXIT
  if [ -z "$written" ]; then
    [ -z "$prepare_only" ] || fail "could not write the font settings into the Wine prefix"
    echo "$me: could not write the font settings into the Wine prefix; starting anyway" >&2
  fi
  ;;
esac

[ -z "$prepare_only" ] || exit 0

# The 32-bit program where this Wine runs 32-bit programs, else the 64-bit one. A prefix made for
# 32-bit Windows alone runs nothing else.
if [ -f "$program64" ] && ! grep -q '^#arch=win32' "$WINEPREFIX/system.reg" 2>/dev/null &&
  ! "$wine" 'C:\windows\syswow64\cmd.exe' /c exit 0 </dev/null >/dev/null 2>&1; then
  program=$program64
fi

# In a terminal Wine's own messages go straight to it. Elsewhere they are kept until Wine ends,
# so that a failure can be told with the last of them.
if [ -t 2 ]; then
  exec "$wine" "$program" "$@"
fi
messages=$(mktemp "${TMPDIR:-/tmp}/renpin-wine.XXXXXX")
trap 'rm -f "$messages"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
status=0
"$wine" "$program" "$@" 2>"$messages" || status=$?
cat "$messages" >&2
if [ "$status" -ne 0 ]; then
  last=$(grep -v '^[0-9a-f]*:*fixme:' "$messages" | grep . | tail -n 1) || true
  fail "Wine could not run $program, or it ended with an error (exit status $status)${last:+: $last}"
fi
