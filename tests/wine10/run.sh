#!/usr/bin/env bash
# Runs a Windows preset's tests labelled wine10 on Debian 13's Wine 10, in the root that
# make-root.sh made:
#   run.sh ROOT PRESET
# The project is seen inside the root at its own path, so the build's test commands run as they
# are; the preset's Wine session (prefix and display) is one of the root's own, under
# build/wine10/, in place of the host's. Every mount is made inside a mount namespace of this
# script's own, so none outlives it. Prints ctest's output.
set -euo pipefail
root=$(realpath "$1")
preset=$2
project=$(cd "$(dirname "$0")/../.." && pwd)
build=$project/build/$preset
session=$project/build/wine10/session-$preset
mkdir -p "$session" "$build/wine"

exec unshare -m bash -s "$root" "$project" "$build" "$session" <<'EOF'
set -euo pipefail
root=$1
project=$2
build=$3
session=$4
mount --make-rprivate /
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/tmp"
mkdir -p "$root$project"
mount --bind "$project" "$root$project"
mount --bind "$session" "$root$build/wine"
exec chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
  ctest --test-dir "$build" -L wine10 --timeout 600 --output-on-failure </dev/null
EOF
