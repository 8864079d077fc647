#!/usr/bin/env bash
# The Debian package and the release zip on Debian 13 as its users meet them, in the root that
# tests/wine10/make-root.sh made bare: no Wine, no Chinese font and no i386 architecture.
#   debian13.sh package ROOT DEB LEGIBLE_TEXT_EXE
#       `apt-get install ./DEB` must bring Wine and a font; then, as a user who is not root, the
#       desktop entry's command must open two windows at two first starts at once, and, after a
#       first start killed at three points, a window that reads right under zh_CN.UTF-8,
#       en_US.UTF-8 and C.UTF-8 in turn (launcher_test.sh menu), showing a progress window while
#       it makes the prefix; `apt-get remove` must leave nothing of the package in /usr.
#   debian13.sh zip ROOT ZIP LEGIBLE_TEXT_EXE
#       after `apt-get install wine fonts-wqy-microhei` alone, the zip's launcher, as such a user,
#       after a first start killed at three points, under zh_CN.UTF-8.
# Both run with the 64-bit program, which is all that Wine runs there. The root
# is left as it was: the test runs in an overlay of it whose upper layer is thrown away, and every
# mount is made inside a mount namespace of this script's own. Exits 77 (skipped) without ROOT.
set -euo pipefail
mode=$1
root=$(realpath -m "$2")
file=$(realpath "$3")
legible_text=$(realpath "$4")
project=$(cd "$(dirname "$0")/../.." && pwd)

if [ ! -f "$root/.renpin-root" ]; then
  echo "debian13: no Debian 13 root in $root (tests/wine10/make-root.sh $root bare makes it); skipped" >&2
  exit 77
fi
[ -f "$file" ] || { echo "debian13: no $file; scripts/package packs it" >&2; exit 1; }
case $file in
"$project"/*) ;;
*) echo "debian13: $file must lie inside $project, which the root sees" >&2; exit 1 ;;
esac

exec unshare -m bash -s "$mode" "$root" "$file" "$legible_text" "$project" <<'EOS'
set -euo pipefail
mode=$1
root=$2
file=$3
legible_text=$4
project=$5
mount --make-rprivate /
layers=$(mktemp -d)
mount -t tmpfs tmpfs "$layers"
mkdir "$layers/upper" "$layers/work" "$layers/merged"
mount -t overlay overlay -o "lowerdir=$root,upperdir=$layers/upper,workdir=$layers/work" \
  "$layers/merged"
merged=$layers/merged
mount -t proc proc "$merged/proc"
mount --rbind /dev "$merged/dev"
mount -t tmpfs -o mode=1777 tmpfs "$merged/tmp"
mkdir -p "$merged$project"
mount --bind -o ro "$project" "$merged$project"
in_root() {
  chroot "$merged" env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
    DEBIAN_FRONTEND=noninteractive "$@"
}
fail() {
  echo "debian13: $*" >&2
  exit 1
}

if [ -n "$(in_root dpkg --print-foreign-architectures)" ] || in_root sh -c 'command -v wine'; then
  fail "the root has Wine or a foreign architecture already"
fi
in_root useradd --create-home --shell /bin/bash tester
# Its virtual display, which the user's programs reach through the root's /tmp.
fifo=$merged/tmp/display.fifo
mkfifo "$fifo"
# Started without a function or a subshell between, so that $! is Xvfb itself (chroot and env
# exec it) and the trap ends it.
chroot "$merged" env -i PATH=/usr/bin:/bin Xvfb -displayfd 4 -screen 0 1280x1024x24 -nolisten tcp \
  4>"$fifo" </dev/null >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
display=:$(timeout 30 head -n 1 "$fifo")
as_tester() {
  chroot --userspec=tester:tester "$merged" env -i HOME=/home/tester \
    PATH=/usr/local/bin:/usr/bin:/bin:/usr/games DISPLAY="$display" LANG=zh_CN.UTF-8 "$@"
}
session=/tmp/session
as_tester mkdir -p "$session"
# The desktop's progress window and notifications, noting what they are given and when a progress
# window is closed; a progress window stays until it is.
desktop_log=$merged/tmp/desktop.log
cat >"$merged/usr/local/bin/zenity" <<'EOF2'
#!/bin/sh
printf 'zenity|%s\n' "$*" >>/tmp/desktop.log
case " $* " in
*" --progress "*)
  sleep 600 &
  trap 'kill $!; echo "zenity|closed" >>/tmp/desktop.log; exit 0' TERM
  wait
  ;;
esac
EOF2
printf '#!/bin/sh\nprintf "notify-send|%%s\\n" "$*" >>/tmp/desktop.log\n' >"$merged/usr/local/bin/notify-send"
chmod 0755 "$merged/usr/local/bin/zenity" "$merged/usr/local/bin/notify-send"

case $mode in
package)
  started=$(date +%s)
  in_root apt-get install -y "$file" </dev/null >"$layers/apt.log" 2>&1 ||
    { cat "$layers/apt.log" >&2; fail "apt-get install of the package failed"; }
  echo "debian13: apt-get install of the package took $(($(date +%s) - started)) s:" \
    "$(grep -E '^[0-9]+ (upgraded|newly)' "$layers/apt.log")"
  owned=$(in_root dpkg-query -L renpin)
  desktop=$(grep '^/usr/share/applications/.*\.desktop$' <<<"$owned")
  as_tester bash "$project/tests/end_to_end/launcher_test.sh" --together --interrupt menu \
    "$desktop" "$legible_text" "$session" win64 zh_CN.UTF-8 en_US.UTF-8 C.UTF-8 ||
    fail "the desktop entry's command did not open a window that reads right"
  # The first starts showed what they did in a progress window, in Chinese, and closed it.
  progress=$(grep -cE '^zenity\|--progress --pulsate --no-cancel --title=人品计算器 --text=.*(正在准备 Wine 环境|正在重新准备)' \
    "$desktop_log" || true)
  closed=$(grep -c '^zenity|closed$' "$desktop_log" || true)
  # Those killed with their first start are not closed; the others, two, are.
  if [ "$closed" -lt 2 ] || [ "$progress" -lt "$closed" ]; then
    cat "$desktop_log" >&2
    fail "the first starts showed $progress progress windows and closed $closed of them"
  fi
  echo "debian13: the first starts showed $progress progress windows on the desktop; $closed closed by themselves"
  in_root apt-get remove -y renpin </dev/null >"$layers/apt.log" 2>&1 ||
    { cat "$layers/apt.log" >&2; fail "apt-get remove of the package failed"; }
  # What it owned is gone, but for folders that other packages own too.
  while IFS= read -r path; do
    [ "$path" != /. ] || continue
    [ -e "$merged$path" ] || [ -L "$merged$path" ] || continue
    if [ -d "$merged$path" ] && [ ! -L "$merged$path" ] && in_root dpkg-query -S "$path" >/dev/null 2>&1; then
      continue
    fi
    fail "apt-get remove left $path"
  done <<<"$owned"
  left=$(find "$merged/usr" -iname '*renpin*')
  [ -z "$left" ] || fail "apt-get remove left ${left//$merged/}"
  echo "debian13: apt-get remove left nothing of the package in /usr"
  ;;
zip)
  in_root apt-get install -y wine fonts-wqy-microhei </dev/null >"$layers/apt.log" 2>&1 ||
    { cat "$layers/apt.log" >&2; fail "apt-get install wine fonts-wqy-microhei failed"; }
  # The user unpacks it where they like; the root sees the project read-only.
  as_tester cp "$file" "$session/renpin.zip"
  as_tester bash "$project/tests/end_to_end/launcher_test.sh" --interrupt zip "$session/renpin.zip" \
    "$legible_text" "$session" win64 zh_CN.UTF-8 ||
    fail "the zip's launcher did not open a window that reads right"
  ;;
esac
EOS
