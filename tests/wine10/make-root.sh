#!/usr/bin/env bash
# Makes, once, a Debian 13 (trixie) root for the tests that run on Debian 13:
#   make-root.sh ROOT win32|win64    with its Wine 10, for the tests labelled wine10
#   make-root.sh ROOT bare           without Wine, for installing the Debian package (debian13)
# The first holds what a Linux user of Debian 13 installs (Wine with its recommended fonts and X
# libraries, both WenQuanYi fonts) and what the tests need (Xvfb, tesseract, the locales, ctest);
# win32 adds 32-bit Wine (wine32:i386). The bare one holds only what the tests need, has no i386
# architecture, and keeps in apt's cache what `apt install` of Wine and a Chinese font downloads,
# so that each test installs them without the network. A root that these very steps made is
# kept. Every mount is made inside a mount namespace of this script's own (unshare -m), so none
# outlives it and ROOT can always be removed. Where the root cannot be made it says why in one
# line, removes what it began and exits 1; the log of the attempt is ROOT.log.
set -euo pipefail
root=$(realpath -m "$1")
arch=$2

tools=(xvfb x11-utils tesseract-ocr tesseract-ocr-chi-sim locales unzip)
downloads=()
if [ "$arch" = bare ]; then
  packages=("${tools[@]}")
  # What the package depends on and recommends, with what these recommend in turn.
  downloads=(wine fontconfig fonts-wqy-microhei libnotify-bin zenity)
else
  packages=(
    wine wine64 fonts-wine fonts-liberation libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1
    libxcomposite1 libxfixes3 libxxf86vm1 fontconfig fonts-wqy-zenhei fonts-wqy-microhei
    "${tools[@]}" cmake
  )
  [ "$arch" = win32 ] && packages+=(wine32:i386)
fi
mark="renpin debian13 root 2: ${packages[*]} / ${downloads[*]}"
if [ "$(cat "$root/.renpin-root" 2>/dev/null)" = "$mark" ]; then
  exit 0
fi

fail() {
  echo "make-root: $*" >&2
  exit 1
}
[ "$(id -u)" -eq 0 ] || fail "making the Debian 13 root needs root (debootstrap, unshare, chroot)"
for command in debootstrap unshare chroot; do
  command -v "$command" >/dev/null || fail "no $command here (scripts/setup installs debootstrap)"
done
# Nothing may be mounted below a root that is about to be removed.
if awk -v root="$root" '$2 == root || index($2, root "/") == 1 { found = 1 } END { exit !found }' \
  /proc/mounts; then
  fail "something is mounted below $root; it is left as it is"
fi
rm -rf "$root"
mkdir -p "$root"

# The Debian mirror that this machine's apt uses, else debootstrap's own.
mirror=$(
  . /etc/os-release
  {
    awk -v suite="$VERSION_CODENAME" '$1 == "deb" && $3 == suite { print $2 }' \
      /etc/apt/sources.list 2>/dev/null
    awk -v suite="$VERSION_CODENAME" 'BEGIN { RS = "" }
      $0 ~ ("Suites:[^\n]*[ \t]" suite "([ \t\n]|$)") && match($0, /URIs:[ \t]*[^ \t\n]+/) {
        uri = substr($0, RSTART, RLENGTH); sub(/URIs:[ \t]*/, "", uri); print uri
      }' /etc/apt/sources.list.d/*.sources 2>/dev/null
  } | head -n 1
) || true

log=$root.log
if ! unshare -m bash -s "$root" "$arch" "$mirror" "${packages[*]}" "${downloads[*]}" >"$log" 2>&1 <<'EOF'; then
set -euxo pipefail
root=$1
arch=$2
mirror=$3
read -ra packages <<<"$4"
read -ra downloads <<<"$5"
mount --make-rprivate /
debootstrap --variant=minbase trixie "$root" ${mirror:+"$mirror"}
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
in_root() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"
}
[ "$arch" != win32 ] || in_root dpkg --add-architecture i386
in_root apt-get update
in_root apt-get install -y --no-install-recommends "${packages[@]}" </dev/null
in_root apt-get clean
[ "${#downloads[@]}" -eq 0 ] || in_root apt-get install -y --download-only "${downloads[@]}" </dev/null
in_root sed -i 's/^# *\(\(zh_CN\|en_US\).UTF-8 UTF-8\)/\1/' /etc/locale.gen
in_root locale-gen
EOF
  rm -rf "$root"
  fail "could not make the Debian 13 root (is the Debian archive reachable?); its log: $log"
fi
echo "$mark" >"$root/.renpin-root"
