#!/usr/bin/env bash
# Checks the third-party notices that a release carries, made from the program's linker map:
#   notices_check.sh MAP
# They must name every third-party archive that gave the link a member; and a map with an
# archive that no package installed (so of unknown licence) must stop the notices.
set -euo pipefail

map=$1
notices_script=$(cd "$(dirname "$0")/../.." && pwd)/scripts/third-party-notices
work=$(mktemp -d)
# The changed map stays beside the real one, whose paths are relative to its folder.
changed_map=$(dirname "$map")/renpin-with-unknown.map
trap 'rm -rf "$work" "$changed_map"' EXIT

"$notices_script" "$map" "$work/notices.txt"
archives=$(awk '/^Archive member included/ { on = 1; next } /^Discarded input sections/ { on = 0 }
  on && match($0, /^\/[^ (]+\.a\(/) { path = substr($0, 1, RLENGTH - 1); sub(/.*\//, "", path); print path }' \
  "$map" | sort -u)
[ -n "$archives" ] || { echo "notices_check: $map names no third-party archive" >&2; exit 1; }
# The files each heading says its licence covers.
named=$(awk '/linked in from:$/ { on = 1; next } on && /^  / { print; next } { on = 0 }' \
  "$work/notices.txt" | tr -s ' ' '\n')
for archive in $archives; do
  if ! grep -qxF "$archive" <<<"$named"; then
    echo "notices_check: the notices do not name $archive" >&2
    exit 1
  fi
done

# The same link with one more archive, from a folder of no package.
touch "$work/libunknown.a"
sed "/^Archive member included/a $work/libunknown.a(unknown.o)\n                              main.o (unknown)" \
  "$map" >"$changed_map"
if "$notices_script" "$changed_map" "$work/unknown.txt" 2>"$work/errors"; then
  echo "notices_check: an archive of unknown licence went into the notices unremarked" >&2
  exit 1
fi
grep -qF "$work/libunknown.a" "$work/errors" || {
  cat "$work/errors" >&2
  echo "notices_check: the failure does not name the archive" >&2
  exit 1
}
echo "notices_check: $(wc -w <<<"$archives") archives named; an unknown one is refused"
