#!/usr/bin/env bash
# Puts the programs that ship in one folder, $BUILD/ship, as they lie in the installer folder:
# the 32-bit zenthar.exe and DriverOrbixUninstaller.exe, and the 64-bit builds of the same
# sources as zenthar64.exe and DriverOrbixUninstaller64.exe, to which the 32-bit ones hand the
# work on a 64-bit Windows. Needs both Windows builds; prints the folder.
#
#   scripts/ship.sh
set -uo pipefail
. "$(dirname "$0")/common.sh"

ship=$BUILD/ship
# shipped name <- built file
files=(
  "zenthar.exe|$BUILD/win32/entry/zenthar.exe"
  "DriverOrbixUninstaller.exe|$BUILD/win32/entry/DriverOrbixUninstaller.exe"
  "zenthar64.exe|$BUILD/win64/entry/zenthar.exe"
  "DriverOrbixUninstaller64.exe|$BUILD/win64/entry/DriverOrbixUninstaller.exe"
)
missing=0
for entry in "${files[@]}"; do
  [ -f "${entry#*|}" ] || { echo "ship: no ${entry#*|} (build both Windows builds)" >&2; missing=1; }
done
[ $missing -eq 0 ] || exit 1
# A fresh folder each time: nothing of an older build may be shipped by mistake.
rm -rf "$ship"; mkdir -p "$ship"
for entry in "${files[@]}"; do cp "${entry#*|}" "$ship/${entry%%|*}" || exit 1; done
echo "$ship"
