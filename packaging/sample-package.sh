#!/usr/bin/env bash
# The sample driver package as a folder to wrap: the end-to-end machine's package (placeholder
# driver files, the stand-in monitors) with this tree's four shipped programs in it (build/ship:
# scripts/ship.sh makes it first).
#
#   packaging/sample-package.sh OUTPUT_DIR       prints the package folder's path
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZENTHAR_BUILD:-$root/build}
out=${1:?output folder}
rm -rf "$out"; mkdir -p "$out/drive_c"
"$root/tests/e2e/make-package.sh" "$out/drive_c" "$build/win32/tests/e2e" "$build/win64/tests/e2e" 64 >&2
package="$out/drive_c/NORVA Orbix Printer 4.X"
ship=$build/ship
[ -f "$ship/zenthar.exe" ] || { echo "sample-package: no $ship/zenthar.exe (scripts/ship.sh)" >&2; exit 1; }
cp "$ship"/*.exe "$package/"
echo "$package"
