#!/bin/sh
# Starts renpin (人品计算器) under Wine, with its Chinese text whole and legible whatever the
# locale:
#   renpin-wine.sh [ARGUMENTS...]
#   renpin-wine.sh --prepare      writes the settings below into the prefix, starts nothing
# The Debian package installs it as the `renpin` command.
#
# Which program. Beside this script lie renpin.exe, the 32-bit program, and wine64/renpin.exe,
# the same sources built for 64-bit Windows. The 32-bit one starts wherever this Wine runs 32-bit
# programs; where it cannot (Debian's or Ubuntu's `apt install wine` without wine32:i386), the
# 64-bit one starts. Wine is asked, by running the prefix's 32-bit cmd.exe, only when the answer
# may have changed (another Wine, a new prefix) or when the 32-bit program failed to start. The
# command of WINE (as winetricks does), or else `wine`, runs it; where that command cannot start
# at all because it execs a 32-bit loader this kernel cannot run, Wine's 64-bit loader is run
# directly, as Debian's wrapper does where wine32 is missing.
#
# Which prefix. Without WINEPREFIX the program has a prefix of its own,
# ${XDG_DATA_HOME:-~/.local/share}/renpin/wineprefix, so that nothing here reaches ~/.wine and
# the other Windows programs in it. It is made under a lock (renpin/lock beside it) in a
# temporary folder beside its final place: Wine sets it up and ends, the settings below are
# written, and only then is it moved into place with the mark .renpin-prefix. A start that finds
# it without that mark, as an interrupted first start leaves it, makes it again and says so; two
# first starts at once make it once. In it Wine offers no Mono or Gecko, which the program does
# not use, and adds no menu entries or file associations (winemenubuilder is disabled).
# While it is made, the desktop shows a progress window (zenity or kdialog) or a notification.
# With WINEPREFIX set, that prefix is used as it is: Wine makes it if it does not exist, and the
# launcher never remakes or deletes it. It writes into it only the registry values below and two
# small files of its own, .renpin-settings and .renpin-wine32, which record what was last written
# and whether Wine ran the 32-bit program there.
#
# What it writes. These registry values, all in one import, and nothing else, whenever they differ
# from what the prefix last received (compared with .renpin-settings, which also names the Wine,
# the locale and the launcher's own version: Wine rewrites some of them when the locale's code
# page changes). F is a Chinese font, chosen by its English name: WenQuanYi Micro Hei, else Noto
# Sans CJK SC, else fontconfig's first choice for Chinese; Wine draws these two whole at the size
# of buttons, where it drops strokes of WenQuanYi Zen Hei. F is written as Wine names it in this
# locale (文泉驿微米黑 under zh_CN), since Wine finds a family by no other name.
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
# Messages. Each failure is one line on standard error, in Simplified Chinese under a Chinese
# locale (the first of LC_ALL, LC_MESSAGES and LANG that is set, zh_*) and in English elsewhere,
# and exit status 1. Started from a desktop's menu, with no terminal to see it, it is shown as a
# desktop notification too (notify-send), or else in a dialog (zenity or kdialog).
set -u

me=${0##*/}
version=2
startup_id=${DESKTOP_STARTUP_ID:-}
# Only the program's own window may end the desktop's busy cursor, not Wine's set-up.
unset DESKTOP_STARTUP_ID

language=${LC_ALL:-${LC_MESSAGES:-${LANG:-}}}
title=人品计算器

# say ENGLISH CHINESE: the text for this locale.
say() {
  case $language in
  zh_*) printf '%s' "$2" ;;
  *) printf '%s' "$1" ;;
  esac
}

warn() {
  printf '%s: %s\n' "$me" "$1" >&2
}

temporary=
progress_pid=
cleanup() {
  [ -z "$temporary" ] || rm -f "$temporary"
  temporary=
  stop_progress
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# The first line of a file, read without starting a process: every start reads a few records,
# and each process would add to what the launcher costs beyond Wine itself.
first_line() {
  line=
  [ -f "$1" ] && IFS= read -r line <"$1"
  printf '%s' "$line"
}

on_desktop() {
  [ ! -t 2 ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]
}

# Without a notification service notify-send may wait for one to be started.
notify() {
  command -v notify-send >/dev/null 2>&1 || return 1
  limit=
  command -v timeout >/dev/null 2>&1 && limit='timeout 10'
  $limit notify-send --app-name="$title" --icon="$2" "$title" "$1" </dev/null >/dev/null 2>&1
}

# Shows a failure where the desktop shows such things, when no terminal is there to see it.
show_on_desktop() {
  on_desktop || return 0
  notify "$1" dialog-error && return 0
  if command -v zenity >/dev/null 2>&1; then
    zenity --error --no-markup --title="$title" --text="$1" </dev/null >/dev/null 2>&1
  elif command -v kdialog >/dev/null 2>&1; then
    kdialog --title "$title" --error "$1" </dev/null >/dev/null 2>&1
  fi
}

# Every failure ends here.
fail() {
  stop_progress
  warn "$1"
  show_on_desktop "$1"
  exit 1
}

# A pulsating progress window while the prefix is made, closed before the program's window
# opens; a notification where no such window can be shown.
start_progress() {
  warn "$1"
  on_desktop || return 0
  if command -v zenity >/dev/null 2>&1; then
    # No input ever comes: the window pulsates until it is closed.
    zenity --progress --pulsate --no-cancel --title="$title" --text="$1" \
      </dev/null >/dev/null 2>&1 9>&- &
    progress_pid=$!
  elif command -v kdialog >/dev/null 2>&1; then
    # kdialog leaves a process of its own and names it: org.kde.kdialog-PID /ProgressDialog.
    progress_pid=$(kdialog --title "$title" --progressbar "$1" 0 </dev/null 2>/dev/null 9>&- |
      sed -n 's/^org\.kde\.kdialog-\([0-9][0-9]*\) .*/\1/p')
  else
    notify "$1" dialog-information 9>&- || true
  fi
}

stop_progress() {
  [ -n "$progress_pid" ] || return 0
  kill "$progress_pid" 2>/dev/null
  progress_pid=
}

prepare_only=
if [ "${1:-}" = --prepare ]; then
  prepare_only=1
  shift
fi

# The folder of the launcher itself, also where a link to it (such as /usr/games/renpin) started
# it. Installed by the Debian package, a missing file is mended by installing it again.
self=$(readlink -f "$0" 2>/dev/null) || self=$0
case $self in
*/*) here=${self%/*} ;;
*) here=. ;;
esac
case $here in
/usr/lib/renpin)
  mend=$(say 'reinstall the package: sudo apt install --reinstall renpin' \
    '请重新安装软件包：sudo apt install --reinstall renpin')
  ;;
*)
  mend=$(say "unpack the whole zip and start $me from there" \
    "请把 zip 压缩包完整解压，再从解压出的文件夹启动 $me")
  ;;
esac
program=$here/renpin.exe
program64=$here/wine64/renpin.exe
[ -n "$prepare_only" ] || [ -f "$program" ] ||
  fail "$(say "no renpin.exe in $here: $mend" "$here 中没有 renpin.exe：$mend")"

# Wine refuses a relative prefix, even to tell its version.
case ${WINEPREFIX:-/} in
/*) ;;
*) fail "$(say "WINEPREFIX must be an absolute path, not $WINEPREFIX: give the full path, such as ${HOME:-~}/.wine, or unset it" \
  "WINEPREFIX 必须是绝对路径，而不是 $WINEPREFIX：请写出完整路径（例如 ${HOME:-~}/.wine），或者取消设置它")" ;;
esac

wine=${WINE:-wine}
wine_bin=$(command -v "$wine" 2>/dev/null) ||
  fail "$(say 'Wine is not installed: install the wine package (Debian/Ubuntu: sudo apt install wine; Fedora: sudo dnf install wine)' \
    '没有安装 Wine：请安装 wine 软件包（Debian/Ubuntu：sudo apt install wine；Fedora：sudo dnf install wine）')"
# Wine's debugging notes say nothing to a user, and Debian's `wine` would tell the user of a
# system without 32-bit Wine to install it at every start, asking dpkg twice; what stops Wine
# still shows.
export WINEDEBUG="${WINEDEBUG--all}"
# Which Wine this is, which also tells whether it starts at all. Debian's `wine` execs the 32-bit
# loader whenever wine32 is installed, which fails on a kernel that runs no 32-bit code.
if ! wine_version=$("$wine" --version 2>/dev/null </dev/null); then
  loader64=${wine_bin%/*}/../lib/wine/wine64
  if [ -x "$loader64" ] && wine_version=$("$loader64" --version 2>/dev/null </dev/null); then
    wine=$(cd -P "${loader64%/*}" && pwd -P)/wine64
    WINELOADER=$wine
    export WINELOADER
  else
    fail "$(say "Wine does not start here ($wine --version fails): reinstall Wine, or try another Wine package" \
      "Wine 在这里无法启动（$wine --version 失败）：请重新安装 Wine，或换用其他 Wine 软件包")"
  fi
fi

own_prefix=
if [ -n "${WINEPREFIX:-}" ]; then
  if [ -e "$WINEPREFIX" ] && { [ ! -d "$WINEPREFIX" ] || [ ! -w "$WINEPREFIX" ]; }; then
    fail "$(say "the Wine prefix $WINEPREFIX (WINEPREFIX) is not a folder you can write to: fix it, or unset WINEPREFIX to use renpin's own prefix" \
      "WINEPREFIX 指定的 Wine 环境 $WINEPREFIX 不是可写的文件夹：请修正，或取消设置 WINEPREFIX 以使用人品计算器自己的环境")"
  fi
else
  [ -n "${HOME:-}" ] ||
    fail "$(say "HOME is not set, so there is no home folder for renpin's Wine prefix: set HOME, or WINEPREFIX" \
      '没有设置 HOME，找不到存放 Wine 环境的主文件夹：请设置 HOME 或 WINEPREFIX')"
  # XDG_DATA_HOME counts only as an absolute path.
  data=${XDG_DATA_HOME:-}
  case $data in
  /*) ;;
  '') data=$HOME/.local/share ;;
  *)
    warn "$(say "XDG_DATA_HOME is not an absolute path ($data), so it is ignored: renpin's prefix is in $HOME/.local/share" \
      "XDG_DATA_HOME 不是绝对路径（$data），已忽略：Wine 环境放在 $HOME/.local/share 中")"
    data=$HOME/.local/share
    ;;
  esac
  own_prefix=1
  base=$data/renpin
  WINEPREFIX=$base/wineprefix
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
  export WINEDLLOVERRIDES
fi
export WINEPREFIX

# The Chinese font: file, English name and the name Wine knows it by in this locale.
font_file=
english=
name=
# Asking fontconfig takes several processes; its answer is kept beside the program's own prefix
# for this locale until fontconfig's configuration or caches change.
font_cache=
if [ -n "$own_prefix" ]; then
  font_cache=$base/font
  font_cache_valid=1
  for changed in /etc/fonts /etc/fonts/conf.d /var/cache/fontconfig \
    "${XDG_CACHE_HOME:-$HOME/.cache}/fontconfig" "${XDG_CONFIG_HOME:-$HOME/.config}/fontconfig" \
    "$data/fonts" "$HOME/.fonts"; do
    # -nt is not POSIX, but dash, bash, busybox, ksh and zsh all have it.
    # shellcheck disable=SC3013
    if [ -e "$changed" ] && [ ! "$font_cache" -nt "$changed" ]; then
      font_cache_valid=
      break
    fi
  done
  cached=$(first_line "$font_cache")
  if [ -n "$font_cache_valid" ] && [ "${cached%%|*}" = "$language" ]; then
    cached=${cached#*|}
    font_file=${cached%%|*}
    cached=${cached#*|}
    english=${cached%%|*}
    name=${cached#*|}
  fi
fi
if [ -n "$name" ]; then
  :
elif command -v fc-match >/dev/null 2>&1; then
  # "FILE|ENGLISH NAME" of every font with Chinese: fontconfig gives a family's English name
  # first only in an English or C locale.
  chinese=$(LC_ALL=C fc-list -f '%{file}|%{family[0]}\n' ':lang=zh-cn' | sort)
  [ -n "$chinese" ] ||
    fail "$(say 'no Chinese font is installed: install one (Debian/Ubuntu: sudo apt install fonts-wqy-microhei, or fonts-noto-cjk)' \
      '没有安装中文字体：请安装一个（Debian/Ubuntu：sudo apt install fonts-wqy-microhei，或 fonts-noto-cjk）')"
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
  font_file=${font%%|*}
  english=${font#*|}
  case $english in
  'WenQuanYi Zen Hei'*)
    warn "$(say "the Chinese font here is $english, which Wine draws with strokes missing at the size of buttons: install fonts-wqy-microhei (or fonts-noto-cjk) for whole characters" \
      "这里的中文字体是 $english，Wine 在按钮大小下会缺笔画：请安装 fonts-wqy-microhei（或 fonts-noto-cjk）")"
    ;;
  esac
  name=$(fc-match -f '%{family[0]}' "$english:lang=zh-cn")
  [ -n "$name" ] || name=$english
  if [ -n "$font_cache" ] && { [ -d "$base" ] || mkdir -p "$base"; } 2>/dev/null; then
    printf '%s|%s|%s|%s\n' "$language" "$font_file" "$english" "$name" >"$font_cache" 2>/dev/null
  fi
else
  warn "$(say 'no fontconfig (fc-match) here, so no Chinese font is linked; Chinese text may show as empty boxes' \
    '这里没有 fontconfig（fc-match），无法设置中文字体；中文可能显示为方框')"
fi

# Wine's own Marlett by its full path on Wine's Z: drive, the root folder in every new prefix:
# share/wine/fonts beside bin/wine, or beside lib/wine/wine64 where WINE names a loader.
marlett=
wine_dir=${wine_bin%/*}
for fonts in "$wine_dir/../share/wine/fonts" "$wine_dir/../../share/wine/fonts"; do
  if [ -f "$fonts/marlett.ttf" ]; then
    marlett=$(cd -P "$fonts" && pwd -P)/marlett.ttf
    break
  fi
done

# What the settings depend on: when this record is what the prefix last received, nothing is
# written.
settings="renpin-wine $version; $wine $wine_version; locale ${LC_ALL:-${LC_CTYPE:-${LANG:-}}} $language; font $font_file|$english|$name; marlett $marlett"

# A string value of a .reg file, quoted.
reg_string() {
  printf '"%s"' "$(printf '%s' "$1" | sed 's/[\\"]/\\&/g')"
}

# One line of a .reg file for a REG_MULTI_SZ of one string: its UTF-16LE bytes in hex.
multi_sz() {
  printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
    tr -s ' ' '\n' | grep . | paste -sd, - | sed "s/^/\"$1\"=hex(7):/; s/\$/,00,00,00,00/"
}

# The registry values, as a .reg file's text.
registry_file() {
  printf '%s\n' 'Windows Registry Editor Version 5.00'
  if [ -n "$name" ]; then
    printf '\n%s\n%s\n' '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
      "\"Tahoma\"=$(reg_string "$name")"
    printf '\n%s\n' '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]'
    multi_sz Tahoma "${font_file##*/},$english"
    multi_sz 'Tahoma Bold' "${font_file##*/},$english"
    printf '\n%s\n' '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]'
    for face in SimSun NSimSun 宋体 新宋体 'MS Shell Dlg'; do
      printf '%s=%s\n' "$(reg_string "$face")" "$(reg_string "$name")"
    done
  fi
  if [ -n "$marlett" ]; then
    printf '\n%s\n%s\n' '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]' \
      "\"Marlett (TrueType)\"=$(reg_string "Z:$(printf '%s' "$marlett" | tr / \\\\)")"
  fi
}

# Writes the registry values into the prefix PREFIX unless it last received these very ones;
# prints nothing, fails when Wine could not write them. The import file lies in FOLDER.
write_settings() {
  [ "$(first_line "$1/.renpin-settings")" != "$settings" ] || return 0
  [ -n "$name$marlett" ] || return 0
  temporary=$(mktemp "$2/renpin-settings.XXXXXX") || return 1
  # UTF-16 with a byte order mark: Wine's regedit reads hex(7) as UTF-16 only in such a file.
  { printf '\377\376' && registry_file | iconv -f UTF-8 -t UTF-16LE; } >"$temporary" || return 1
  WINEPREFIX=$1 "$wine" regedit /S '\\?\unix'"$temporary" </dev/null >/dev/null 2>&1 9>&- ||
    return 1
  rm -f "$temporary"
  temporary=
  printf '%s\n' "$settings" >"$1/.renpin-settings" || return 1
}

# Whether this Wine runs 32-bit programs in the prefix PREFIX, asked when its record names
# another Wine or none, or when ASK is given; prints yes or no.
runs_32_bit() {
  record="$wine $wine_version"
  # The architecture is on the second line of system.reg.
  arch=
  [ -f "$1/system.reg" ] && { read -r arch && read -r arch; } <"$1/system.reg"
  known=$(first_line "$1/.renpin-wine32")
  if [ "$arch" = '#arch=win32' ]; then
    answer=yes
  elif [ -z "${2:-}" ] && [ "${known#* }" = "$record" ]; then
    answer=${known%% *}
  else
    answer=no
    WINEPREFIX=$1 "$wine" 'C:\windows\syswow64\cmd.exe' /c exit 0 </dev/null >/dev/null 2>&1 9>&- &&
      answer=yes
    printf '%s %s\n' "$answer" "$record" >"$1/.renpin-wine32" 2>/dev/null
  fi
  printf '%s' "$answer"
}

wineserver=${WINESERVER:-$wine_dir/wineserver}
[ -x "$wineserver" ] || wineserver=wineserver
# Waits until Wine has ended in the prefix PREFIX and saved its registry.
wine_done() {
  WINEPREFIX=$1 "$wineserver" -w </dev/null >/dev/null 2>&1 9>&-
}

# A prefix from before the mark, which the launcher of that time finished when Wine had set it up
# and the font settings were in it.
finished_before_mark() {
  [ -f "$1/system.reg" ] && [ -f "$1/userdef.reg" ] &&
    [ -f "$1/drive_c/windows/system32/kernel32.dll" ] &&
    grep -qF '[Software\\Wine\\Fonts\\Replacements]' "$1/user.reg" 2>/dev/null
}

# Makes the program's own prefix unless it is complete, under the lock; a start that waits on the
# lock finds it made.
make_own_prefix() {
  [ -d "$base" ] || mkdir -p "$base" 2>/dev/null ||
    fail "$(say "could not make the folder $base: check that it can be written and that the disk is not full" \
      "无法建立文件夹 $base：请检查它是否可写、磁盘是否已满")"
  [ "$(first_line "$WINEPREFIX/.renpin-prefix")" != "$version" ] || return 0
  # Descriptor 9 holds the lock; no Wine process may inherit it, or a wineserver that stays would
  # hold it after this start has ended.
  exec 9>>"$base/lock" ||
    fail "$(say "could not open $base/lock: check that the folder can be written" \
      "无法打开 $base/lock：请检查该文件夹是否可写")"
  # flock comes with util-linux, which every Debian has; elsewhere one start at a time is assumed.
  if command -v flock >/dev/null 2>&1 && ! flock -n 9; then
    warn "$(say 'another start is preparing the Wine prefix; waiting for it' \
      '另一个启动正在准备 Wine 环境，正在等它完成')"
    flock -w 600 9 ||
      fail "$(say "another start held $base/lock for ten minutes: end it (or log out and in again) and start again" \
        "另一个启动占用 $base/lock 已有十分钟：请结束它（或注销后重新登录）再启动")"
  fi
  if [ "$(first_line "$WINEPREFIX/.renpin-prefix")" = "$version" ]; then
    exec 9>&-
    return 0
  fi
  if [ -d "$WINEPREFIX" ] && finished_before_mark "$WINEPREFIX"; then
    printf '%s\n' "$version" >"$WINEPREFIX/.renpin-prefix" && exec 9>&- && return 0
  fi
  # What an interrupted start left, with any Wine process still running in it.
  for left in "$base"/wineprefix.new.* "$base"/wineprefix.old.*; do
    [ -d "$left" ] || continue
    WINEPREFIX=$left "$wineserver" -k </dev/null >/dev/null 2>&1 9>&-
    rm -rf "$left"
  done
  if [ -e "$WINEPREFIX" ]; then
    start_progress "$(say "the last preparation of the Wine prefix did not finish; preparing it again, usually in under half a minute" \
      '上次没有完成 Wine 环境的准备，正在重新准备，通常不到半分钟')"
  else
    start_progress "$(say 'first start: preparing the Wine prefix, usually in under half a minute' \
      '首次启动：正在准备 Wine 环境，通常不到半分钟')"
  fi
  disk=$(say 'check that the disk is not full, then start again' '请检查磁盘是否已满，然后重新启动')
  new=$(mktemp -d "$base/wineprefix.new.XXXXXX") ||
    fail "$(say "could not make a folder in $base: $disk" "无法在 $base 中建立文件夹：$disk")"
  log=$new.log
  if ! WINEPREFIX=$new "$wine" wineboot -i </dev/null >"$log" 2>&1 9>&- || ! wine_done "$new"; then
    last=$(grep -v 'fixme:' "$log" 2>/dev/null | grep . | tail -n 1)
    fail "$(say "Wine could not prepare its prefix in $new${last:+ ($last)}: $disk" \
      "Wine 无法在 $new 中准备环境${last:+（$last）}：$disk")"
  fi
  if ! write_settings "$new" "$base" || ! runs_32_bit "$new" >/dev/null || ! wine_done "$new"; then
    fail "$(say "could not write the font settings into the new Wine prefix $new: $disk" \
      "无法把字体设置写入新的 Wine 环境 $new：$disk")"
  fi
  printf '%s\n' "$version" >"$new/.renpin-prefix" ||
    fail "$(say "could not mark the new Wine prefix $new as complete: $disk" \
      "无法把新的 Wine 环境 $new 标记为完成：$disk")"
  rm -f "$log"
  if [ -e "$WINEPREFIX" ]; then
    old=$base/wineprefix.old.$$
    mv "$WINEPREFIX" "$old" ||
      fail "$(say "could not move the unfinished Wine prefix $WINEPREFIX aside: remove it and start again" \
        "无法移开未完成的 Wine 环境 $WINEPREFIX：请删除它后重新启动")"
    rm -rf "$old"
  fi
  mv "$new" "$WINEPREFIX" ||
    fail "$(say "could not move the new Wine prefix into $WINEPREFIX: $disk" \
      "无法把新的 Wine 环境移到 $WINEPREFIX：$disk")"
  exec 9>&-
}

if [ -n "$own_prefix" ]; then
  make_own_prefix
elif [ ! -d "$WINEPREFIX" ]; then
  start_progress "$(say "preparing the Wine prefix $WINEPREFIX (WINEPREFIX), usually in under half a minute" \
    "正在准备 WINEPREFIX 指定的 Wine 环境 $WINEPREFIX，通常不到半分钟")"
fi

settings_folder=$WINEPREFIX
[ -n "$own_prefix" ] || settings_folder=${TMPDIR:-/tmp}
if ! write_settings "$WINEPREFIX" "$settings_folder"; then
  [ -z "$prepare_only" ] ||
    fail "$(say "could not write the font settings into the Wine prefix $WINEPREFIX" \
      "无法把字体设置写入 Wine 环境 $WINEPREFIX")"
  warn "$(say 'could not write the font settings into the Wine prefix; starting anyway' \
    '无法把字体设置写入 Wine 环境；仍然启动')"
fi
[ -z "$prepare_only" ] || exit 0

# The 32-bit program where this Wine runs 32-bit programs, else the 64-bit one.
chosen=$program
if [ -f "$program64" ] && [ "$(runs_32_bit "$WINEPREFIX")" = no ]; then
  chosen=$program64
fi
stop_progress

# Runs the program chosen with the desktop's startup identity, which its window's mapping ends.
# In a terminal Wine's messages go straight to it; elsewhere they are kept until Wine ends, so
# that a failure can be told with the last of them.
messages=
run_program() {
  if [ -n "$startup_id" ]; then
    set -- env DESKTOP_STARTUP_ID="$startup_id" "$wine" "$@"
  else
    set -- "$wine" "$@"
  fi
  if [ -n "$messages" ]; then
    "$@" 2>"$messages"
  else
    "$@"
  fi
}

if [ -t 2 ]; then
  :
elif [ -n "$own_prefix" ] && : >"$base/wine-$$.log" 2>/dev/null; then
  messages=$base/wine-$$.log
else
  # Without a file for them, Wine's messages go straight to standard error.
  messages=$(mktemp "${TMPDIR:-/tmp}/renpin-wine.XXXXXX") || messages=
fi
temporary=$messages
status=0
run_program "$chosen" "$@" || status=$?
if [ "$status" -ne 0 ] && [ "$chosen" = "$program" ] && [ -f "$program64" ] &&
  [ "$(runs_32_bit "$WINEPREFIX" ask)" = no ]; then
  # This Wine no longer runs 32-bit programs here.
  chosen=$program64
  status=0
  run_program "$chosen" "$@" || status=$?
fi
if [ -n "$messages" ]; then
  cat "$messages" >&2
fi
if [ "$status" -ne 0 ]; then
  last=
  [ -z "$messages" ] || last=$(grep -v 'fixme:' "$messages" | grep . | tail -n 1)
  if [ -n "$own_prefix" ]; then
    what=$(say "if this keeps happening, remove $WINEPREFIX, and renpin makes it again" \
      "如果反复出现，请删除 $WINEPREFIX，人品计算器会重新建立它")
  else
    what=$(say "the Wine prefix $WINEPREFIX (WINEPREFIX) may be broken: unset WINEPREFIX to use renpin's own" \
      "WINEPREFIX 指定的 Wine 环境 $WINEPREFIX 可能已损坏：请取消设置 WINEPREFIX，以使用人品计算器自己的环境")
  fi
  fail "$(say "Wine could not run $chosen, or it ended with an error (exit status $status)${last:+: $last}; $what" \
    "Wine 无法运行 $chosen，或它出错结束（退出状态 $status）${last:+：$last}；$what")"
fi
