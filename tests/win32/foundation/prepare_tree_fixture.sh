#!/usr/bin/env bash
# prepare_tree_fixture.sh SCRIPTS_DIR WINEPREFIX FIXTURE_DIR [clean]
# Host side of the file-tree tests, made before and removed after them:
#  - links/: a tree holding directory links. Wine presents a host symbolic
#    link to a folder as a directory reparse point.
#  - drive/: mapped as drive K: of the prefix, so that what an operation does
#    with the root of the current drive lands in a scratch folder.
set -euo pipefail
scripts=$1
export WINEPREFIX=$2
dir=$3
drive="$WINEPREFIX/dosdevices/k:"

if [ "${4:-}" = clean ]; then
  if [ -L "$drive" ] && [ "$(readlink "$drive")" = "$dir/drive" ]; then rm -f "$drive"; fi
  rm -rf "$dir"
  exit 0
fi

# The prefix (and its dosdevices folder) must exist before K: is added.
"$scripts/wine-run" --in "$(dirname "$WINEPREFIX")" cmd /c exit >/dev/null 2>&1 || true

rm -rf "$dir"
mkdir -p "$dir/links/tree/sub" "$dir/links/target/inner" "$dir/drive/cwd"
printf keep > "$dir/links/target/keep.txt"
printf inner > "$dir/links/target/inner/inner.txt"
printf own > "$dir/links/tree/own.txt"
printf own > "$dir/links/tree/sub/own.txt"
ln -s "$dir/links/target" "$dir/links/tree/link"
ln -s "$dir/links/target" "$dir/links/tree/sub/deeplink"
printf marker > "$dir/drive/marker.txt"
if [ ! -e "$drive" ] || [ "$(readlink "$drive")" = "$dir/drive" ]; then
  ln -sfn "$dir/drive" "$drive"
fi
# The tests delete and create in the fixture as Windows code does: as the
# user Wine runs as.
source "$scripts/lib/wine-user.sh"
kvn_wine_owns "$dir"
