#!/usr/bin/env bash
# Builds "NORVA Orbix Printer 4.64.msi" from a driver package folder with Debian's wixl.
#
#   packaging/make-msi.sh PACKAGE_DIR ACTIONS_DLL OUTPUT_DIR
#
# PACKAGE_DIR is the folder the package installs as "C:\NORVA Orbix Printer 4.X": the driver
# files and the programs (zenthar.exe, zenthar64.exe, DriverOrbixUninstaller.exe,
# DriverOrbixUninstaller64.exe). ACTIONS_DLL is the i686 build's ZentharMsiActions.dll.
# Prints the package's path.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
package=$(cd "${1:?package folder}" && pwd)
actions=${2:?ZentharMsiActions.dll}
output=${3:?output folder}
mkdir -p "$output"
output=$(cd "$output" && pwd)

command -v wixl >/dev/null && command -v wixl-heat >/dev/null || {
  echo "make-msi: wixl is missing (Debian package wixl; make deps installs it)" >&2; exit 1; }
[ -f "$actions" ] || { echo "make-msi: no $actions (build the i686 Windows build)" >&2; exit 1; }
for program in zenthar.exe DriverOrbixUninstaller.exe; do
  [ -f "$package/$program" ] || { echo "make-msi: $package has no $program" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One component per file, in a fragment wixl-heat writes from the folder's list.
(cd "$package" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) |
  wixl-heat -p "" --component-group PackageFiles --var var.PackageDir --directory-ref INSTALLFOLDER \
    >"$work/files.wxs"
msi="$output/NORVA Orbix Printer 4.64.msi"
# wixl takes sources relative to the folder it runs in.
cp "$here/zenthar.wxs" "$actions" "$work/"
ln -s "$package" "$work/package"
(cd "$work" && wixl -a x86 -D PackageDir=package -D ActionsDll="$(basename "$actions")" -o package.msi zenthar.wxs files.wxs)
mv "$work/package.msi" "$msi"
echo "$msi"
