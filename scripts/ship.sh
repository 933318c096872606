#!/usr/bin/env bash
# Puts the files that ship in one folder, $BUILD/ship: the programs as they lie in the installer
# folder (the 32-bit zenthar.exe and DriverOrbixUninstaller.exe, and the 64-bit builds of the
# same sources as zenthar64.exe and DriverOrbixUninstaller64.exe, to which the 32-bit ones hand
# the work on a 64-bit Windows), and ZentharMsiActions.dll, which the package carries. They come
# from the release builds ($BUILD/release/win32 and win64), stripped, their symbols in
# $BUILD/symbols; signed when a certificate is named (scripts/sign.sh). Prints the folder.
#
#   scripts/ship.sh
set -uo pipefail
. "$(dirname "$0")/common.sh"

ship=$BUILD/ship
build_release "$BUILD/release/win32" i686-w64-mingw32 zenthar DriverOrbixUninstaller ZentharMsiActions
build_release "$BUILD/release/win64" x86_64-w64-mingw32 zenthar DriverOrbixUninstaller
# shipped name <- toolchain|built file
files=(
  "zenthar.exe|i686-w64-mingw32|$BUILD/release/win32/entry/zenthar.exe"
  "DriverOrbixUninstaller.exe|i686-w64-mingw32|$BUILD/release/win32/entry/DriverOrbixUninstaller.exe"
  "zenthar64.exe|x86_64-w64-mingw32|$BUILD/release/win64/entry/zenthar.exe"
  "DriverOrbixUninstaller64.exe|x86_64-w64-mingw32|$BUILD/release/win64/entry/DriverOrbixUninstaller.exe"
  "ZentharMsiActions.dll|i686-w64-mingw32|$BUILD/release/win32/packaging/ZentharMsiActions.dll"
)
# A fresh folder each time: nothing of an older build may be shipped by mistake.
rm -rf "$ship"; mkdir -p "$ship"
for entry in "${files[@]}"; do
  IFS='|' read -r name toolchain built <<<"$entry"
  ship_file "$toolchain" "$built" "$ship/$name" || exit 1
done
sign_if_asked "$ship"/* || exit 1
echo "$ship"
