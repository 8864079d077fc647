#!/usr/bin/env bash
# The Debian package as Debian holds its own: lintian with no error and no warning, and the
# desktop entry and the AppStream metainfo it installs accepted by their validators:
#   lint.sh DEB
set -euo pipefail
deb=$1
[ -f "$deb" ] || { echo "lint: no $deb; scripts/package packs it" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# lintian refuses nothing as root, but says so on standard error.
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>/dev/null || status=1
if grep -q '^[EW]: ' "$work/lintian" || [ "$status" -ne 0 ]; then
  echo "lint: lintian reports:" >&2
  cat "$work/lintian" >&2
  status=1
fi

dpkg-deb -x "$deb" "$work/tree"
desktop=$(find "$work/tree/usr/share/applications" -name '*.desktop')
metainfo=$(find "$work/tree/usr/share/metainfo" -name '*.metainfo.xml')
if [ -z "$desktop" ] || [ -z "$metainfo" ]; then
  echo "lint: the package has no desktop entry or no metainfo" >&2
  exit 1
fi
# desktop-file-validate prints its complaints, and exits 0 for some of them.
complaints=$(desktop-file-validate "$desktop" 2>&1) || status=1
if [ -n "$complaints" ]; then
  echo "lint: desktop-file-validate: $complaints" >&2
  status=1
fi
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream" 2>&1 || {
  echo "lint: appstreamcli validate:" >&2
  cat "$work/appstream" >&2
  status=1
}
# The component's launchable is the desktop entry the package installs, and its icon is there.
id=$(basename "$metainfo" .metainfo.xml)
if [ "$(basename "$desktop")" != "$id.desktop" ]; then
  echo "lint: the desktop entry $(basename "$desktop") is not named after the component $id" >&2
  status=1
fi
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 16 24 32 48 64 128 256; do
  png=$work/tree/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  if [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" != "${size}x${size}" ]; then
    echo "lint: no ${size}x${size} icon $icon.png" >&2
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "lint: lintian, desktop-file-validate and appstreamcli accept $(basename "$deb")"
exit "$status"
