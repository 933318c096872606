#!/usr/bin/env bash
# `make msi [PACKAGE=folder]`: the Windows Installer package of a driver package folder, in
# build/msi. Without PACKAGE it wraps the sample package the tests use (test material: the
# driver files are placeholders), with the programs of this tree's Windows builds in it.
set -euo pipefail
. "$(dirname "$0")/common.sh"

build_windows "$BUILD/win32" i686-w64-mingw32 zenthar DriverOrbixUninstaller ZentharMsiActions
package=${1:-}
if [ -z "$package" ]; then
  build_windows "$BUILD/win32" i686-w64-mingw32 KVUSBMON KVUSBMONUI
  build_windows "$BUILD/win64" x86_64-w64-mingw32 zenthar DriverOrbixUninstaller KVUSBMON KVUSBMONUI
  package=$("$ROOT/packaging/sample-package.sh" "$BUILD/msi/sample")
fi
"$ROOT/packaging/make-msi.sh" "$package" "$BUILD/win32/packaging/ZentharMsiActions.dll" "$BUILD/msi"
