#!/usr/bin/env bash
# Reads the version resource back from each shipped file under Wine (the 64-bit build's
# version-readback.exe: GetFileVersionInfoA, VerQueryValueA) and compares it with what the file
# must say: the numbers of resources/Version.h, and its own name, width and description. Prints
# each difference; fails on any, and on a file missing.
#
#   scripts/check-versions.sh [FOLDER]      FOLDER: the shipped files (default $BUILD/ship)
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"

folder=$(cd "${1:-$BUILD/ship}" && pwd) || exit 1
# file|FileDescription|InternalName|type
expected_files=(
  "zenthar.exe|Zenthar printer driver installer (32-bit)|zenthar|app"
  "zenthar64.exe|Zenthar printer driver installer (64-bit)|zenthar64|app"
  "DriverOrbixUninstaller.exe|NORVA Orbix printer driver uninstaller (32-bit)|DriverOrbixUninstaller|app"
  "DriverOrbixUninstaller64.exe|NORVA Orbix printer driver uninstaller (64-bit)|DriverOrbixUninstaller64|app"
  "ZentharMsiActions.dll|Zenthar Windows Installer actions (32-bit)|ZentharMsiActions|dll"
)

number() { sed -n "s/^#define ZENTHAR_VERSION_$1 \([0-9]*\)\$/\1/p" "$ROOT/resources/Version.h"; }
major=$(number MAJOR) minor=$(number MINOR) build=$(number BUILD)
[ -n "$major" ] && [ -n "$minor" ] && [ -n "$build" ] || { echo "check-versions: no version numbers in resources/Version.h" >&2; exit 1; }

expected() {   # name description internal type
  printf '%s\n' "$1|fixed|$major.$minor.$build.0" "$1|fixed-product|$major.$minor.0.0" "$1|type|$4" \
    "$1|translation|040904b0" "$1|CompanyName|NORVA" "$1|FileDescription|$2" \
    "$1|FileVersion|$major.$minor.$build" "$1|InternalName|$3" "$1|OriginalFilename|$1" \
    "$1|ProductName|Zenthar" "$1|ProductVersion|$major.$minor"
}

build_windows "$BUILD/win64" x86_64-w64-mingw32 version-readback
wine_base_prefix || exit 1
prefix=$(wine_copy_prefix versions)
trap 'wine_stop "$prefix"' EXIT

want=$(mktemp) got=$(mktemp)
trap 'wine_stop "$prefix"; rm -f "$want" "$got"' EXIT
paths=() missing=0
for entry in "${expected_files[@]}"; do
  IFS='|' read -r name description internal type <<<"$entry"
  [ -f "$folder/$name" ] || { echo "check-versions: no $folder/$name" >&2; missing=1; continue; }
  expected "$name" "$description" "$internal" "$type" >>"$want"
  paths+=("$(winepath_of "$folder/$name")")
done
[ ${#paths[@]} -gt 0 ] || exit 1
WINEPREFIX=$prefix timeout -k 10 120 "$WINE64" "$BUILD/win64/tests/resources/version-readback.exe" "${paths[@]}" \
  </dev/null 2>/dev/null | tr -d '\r' >"$got"
if ! diff "$want" "$got" >&2; then
  echo "check-versions: the version resources differ from what the files must say (< wanted, > read back)" >&2
  exit 1
fi
echo "check-versions: ${#paths[@]} files say what they are ($major.$minor.$build)"
exit $missing
