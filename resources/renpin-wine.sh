#!/bin/sh
# Starts the renpin.exe beside this script under Wine, with its Chinese text legible whatever
# the locale:  sh renpin-wine.sh [ARGUMENTS...]
#
# It uses the Wine prefix of WINEPREFIX, or Wine's default one, of whichever architecture, and at
# every start writes these registry values into it, all in one import, and nothing else:
# - HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink, "Tahoma" and
#   "Tahoma Bold": a Chinese font, chosen with fontconfig. Wine draws captions, buttons and
#   message boxes in Tahoma, which has no Chinese, and links a Chinese font to it only under a
#   Chinese locale; it rewrites these values when the locale's code page changes, hence every
#   start.
# - HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts, "Marlett (TrueType)": the full
#   path of Wine's own Marlett, when it lies in the share/wine/fonts folder beside Wine. Debian
#   12's Wine 8 does not look for its fonts there; without Marlett the caption's close box shows
#   the letter "r". Where Wine finds it itself, the value names a font it already has. Wine's
#   Tahoma stays as it is: were it found too, Wine would take the linked Tahoma for the 宋体 of
#   the name and output boxes, and draw their Chinese as boxes.
set -eu

me=renpin-wine.sh
fail() {
  echo "$me: $*" >&2
  exit 1
}

case $0 in
*/*) here=${0%/*} ;;
*) here=. ;;
esac
program=$here/renpin.exe
[ -f "$program" ] || fail "no renpin.exe in $here: unpack the whole zip and start $me from there"

command -v wine >/dev/null 2>&1 ||
  fail "Wine is not installed: install the wine package (Debian/Ubuntu: sudo apt install wine; Fedora: sudo dnf install wine)"

# One line of a .reg file for a REG_MULTI_SZ of one string: its UTF-16LE bytes in hex.
multi_sz() {
  printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
    tr -s ' \n' '\n\n' | grep . | paste -sd, - | sed "s/^/\"$1\"=hex(7):/; s/\$/,00,00,00,00/"
}

reg='Windows Registry Editor Version 5.00'
if command -v fc-match >/dev/null 2>&1; then
  chinese=$(fc-list -f '%{file}|%{family[0]}\n' ':lang=zh-cn' | sort)
  [ -n "$chinese" ] ||
    fail "no Chinese font is installed: install one (Debian/Ubuntu: sudo apt install fonts-wqy-microhei, or fonts-noto-cjk)"
  font=$(fc-match -f '%{file}|%{family[0]}' 'sans-serif:lang=zh-cn')
  # fontconfig's first choice, unless its configuration prefers a font without Chinese.
  printf '%s\n' "$chinese" | grep -qxF "$font" || font=$(printf '%s\n' "$chinese" | head -n 1)
  # WenQuanYi Micro Hei, where installed, goes first: Wine draws it whole at the small size of
  # captions and buttons, where it draws Debian's usual first choice, WenQuanYi Zen Hei, with
  # strokes missing.
  micro_hei=$(printf '%s\n' "$chinese" | grep '|WenQuanYi Micro Hei$' | head -n 1)
  [ -z "$micro_hei" ] || font=$micro_hei
  file=${font%%|*}
  link="${file##*/},${font#*|}"
  reg="$reg

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
$(multi_sz Tahoma "$link")
$(multi_sz 'Tahoma Bold' "$link")"
else
  echo "$me: no fontconfig (fc-match) here, so no Chinese font is linked; Chinese text may show as empty boxes" >&2
fi

# Wine's own Marlett by its full path on Wine's Z: drive, the root folder in every new prefix.
wine_bin=$(command -v wine)
wine_fonts=$(cd "${wine_bin%/*}/../share/wine/fonts" 2>/dev/null && pwd) || wine_fonts=
if [ -n "$wine_fonts" ] && [ -f "$wine_fonts/marlett.ttf" ]; then
  reg="$reg

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
\"Marlett (TrueType)\"=\"Z:$(printf '%s' "$wine_fonts/marlett.ttf" | sed 's|/|\\\\|g')\""
fi

case $reg in
*'['*)
  # UTF-16 with a byte order mark: Wine's regedit reads hex(7) as UTF-16 only in such a file.
  import=$(mktemp "${TMPDIR:-/tmp}/renpin-wine.XXXXXX")
  trap 'rm -f "$import"' EXIT
  { printf '\377\376' && printf '%s\n' "$reg" | iconv -f UTF-8 -t UTF-16LE; } >"$import"
  wine regedit /S '\\?\unix'"$import" >/dev/null 2>&1 ||
    echo "$me: could not write the font settings into the Wine prefix; starting anyway" >&2
  rm -f "$import"
  trap - EXIT
  ;;
esac

exec wine "$program" "$@"
