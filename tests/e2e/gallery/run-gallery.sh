#!/usr/bin/env bash
# Takes a picture of every dialog, icon and bitmap of the program under Wine and Xvfb.
#
#   tests/e2e/gallery/run-gallery.sh BUILD_DIR OUT_DIR
#
# BUILD_DIR is an x86_64 Windows build (its tests/e2e/gallery/gallery.exe); OUT_DIR receives
# dialog-<id>.png, owned-<id>.png (the two dialogs the main dialog owns during an installation,
# as they open over it), icon-<id>.png, bitmap-<id>.png and gallery.log. Fails when a dialog has
# no picture; icons and bitmaps missing from the resources are only listed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../../scripts/wine-env.sh"

# Internal: the run itself, already under Xvfb.
if [ "${1:-}" = "--inside" ]; then
  prefix=$2 exe=$3 raw=$4
  trap 'wine_stop "$prefix"' EXIT
  wine_start "$prefix" </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix timeout -k 10 300 "$WINE" "$exe" "$(winepath_of "$raw")" </dev/null
  exit
fi

build=$(cd "${1:?build folder}" && pwd)
out=${2:?output folder}
mkdir -p "$out" && out=$(cd "$out" && pwd)
exe=$build/tests/e2e/gallery/gallery.exe
[ -f "$exe" ] || { echo "gallery: no $exe (build the x86_64 Windows build first)" >&2; exit 1; }
[ "$(pe_machine "$exe")" = x86_64 ] || { echo "gallery: $exe is not an x86_64 program" >&2; exit 1; }

wine_base_prefix || exit 1
prefix=$(wine_copy_prefix gallery)
raw=$out/raw
rm -rf "$raw" "$out"/*.png; mkdir -p "$raw"
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$prefix" "$exe" "$raw" >"$out/gallery.log" 2>&1
rc=$?
for bmp in "$raw"/*.bmp; do
  [ -e "$bmp" ] || continue
  convert "$bmp" "$out/$(basename "${bmp%.bmp}").png" || rc=1
done
rm -rf "$raw"

missing=0
for id in 100 102 129 138 140 141 142 143 200 201 202; do
  [ -s "$out/dialog-$id.png" ] || { echo "gallery: dialog $id has no picture" >&2; missing=1; }
done
grep -E 'missing|not ' "$out/gallery.log" >&2 || true
[ $missing -eq 0 ] && [ $rc -eq 0 ]
