#!/usr/bin/env bash
# The launcher in surroundings where it cannot work: with no `wine` on PATH, with no Chinese font
# known to fontconfig, alone, without renpin.exe, and with a relative WINEPREFIX. Each must end it
# with one line on standard error that says what to do, in English under C.UTF-8 and in Chinese
# under zh_CN.UTF-8, and a non-zero exit, before Wine has started (Wine makes its prefix on its
# first start). Started from a desktop's menu, with no terminal, the same line must reach the
# desktop's notifications too:
#   launcher_errors.sh LAUNCHER PROGRAM
set -euo pipefail
launcher=$1
program=$2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/app" "$work/alone" "$work/home" "$work/bin" "$work/no-fonts" "$work/desktop"
cp "$launcher" "$work/app/renpin-wine.sh"
cp "$launcher" "$work/alone/renpin-wine.sh"
cp "$program" "$work/app/renpin.exe"

# Runs the launcher of the folder given in a new home folder with the environment given; checks
# what it said.
expect_error() {
  local what=$1 folder=$2 status=0
  shift 2
  env -i HOME="$work/home" LANG=C.UTF-8 "$@" "$work/$folder/renpin-wine.sh" \
    >"$work/out" 2>"$work/err" || status=$?
  local started=
  [ -z "$(ls -A "$work/home")" ] || started=1
  if [ "$status" -eq 0 ] || [ -s "$work/out" ] || [ "$(wc -l <"$work/err")" -ne 1 ] ||
    [ -n "$started" ]; then
    echo "launcher_errors: $what: exit status $status, standard error:" >&2
    cat "$work/err" >&2
    [ -z "$started" ] || echo "launcher_errors: $what: Wine was started" >&2
    exit 1
  fi
  cat "$work/err"
}

# Every command of the system but Wine's.
find /usr/bin -maxdepth 1 ! -name 'wine*' ! -type d -exec ln -s -t "$work/bin" {} +
# expect_words WHAT LINE PATTERN: the line must match the pattern.
expect_words() {
  # shellcheck disable=SC2053
  if [[ $2 != $3 ]]; then
    echo "launcher_errors: $1: the message is not the one expected: $2" >&2
    exit 1
  fi
}
no_wine=$(expect_error "no wine" app PATH="$work/bin")
expect_words "no wine" "$no_wine" '*Wine is not installed*sudo apt install wine*sudo dnf install wine*'
no_wine_zh=$(expect_error "no wine, in Chinese" app PATH="$work/bin" LANG=zh_CN.UTF-8)
expect_words "no wine, in Chinese" "$no_wine_zh" '*没有安装 Wine*sudo apt install wine*sudo dnf install wine*'
relative=$(expect_error "a relative WINEPREFIX" app PATH="$PATH" WINEPREFIX=wine)
expect_words "a relative WINEPREFIX" "$relative" '*WINEPREFIX must be an absolute path*'

cat >"$work/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$work/no-fonts</dir><cachedir>$work/cache</cachedir></fontconfig>
EOF
no_font=$(expect_error "no Chinese font" app PATH="$PATH" FONTCONFIG_FILE="$work/fonts.conf")
expect_words "no Chinese font" "$no_font" '*fonts-wqy-microhei*fonts-noto-cjk*'
no_font_zh=$(expect_error "no Chinese font, in Chinese" app PATH="$PATH" \
  FONTCONFIG_FILE="$work/fonts.conf" LANG=zh_CN.UTF-8)
expect_words "no Chinese font, in Chinese" "$no_font_zh" '*没有安装中文字体*fonts-wqy-microhei*fonts-noto-cjk*'
no_program=$(expect_error "no renpin.exe" alone PATH="$PATH")
expect_words "no renpin.exe" "$no_program" '*no renpin.exe in*unpack the whole zip*'

# From the menu: a display, no terminal, and the desktop's notifications, which note what they get.
printf '#!/bin/sh\nprintf "%%s|" "$@" >>"%s"\n' "$work/notified" >"$work/desktop/notify-send"
chmod +x "$work/desktop/notify-send"
from_menu=$(expect_error "no renpin.exe, from the menu" alone PATH="$work/desktop:$PATH" DISPLAY=:99 \
  LANG=zh_CN.UTF-8)
notified=$(cat "$work/notified" 2>/dev/null || true)
if [[ $notified != *"人品计算器|"*"中没有 renpin.exe"*"请把 zip 压缩包完整解压"* ]]; then
  echo "launcher_errors: from the menu, the desktop was told: '$notified' of: $from_menu" >&2
  exit 1
fi
printf '%s\n' "$no_wine" "$no_wine_zh" "$relative" "$no_font" "$no_font_zh" "$no_program" "$from_menu" \
  "launcher_errors: all end so, before Wine starts, and a desktop notification tells it too"
