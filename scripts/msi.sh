#!/usr/bin/env bash
# `make msi [PACKAGE=folder]`: the Windows Installer package of a driver package folder, in
# build/msi, carrying this tree's shipped programs and action library (scripts/ship.sh: the
# release builds, signed when a certificate is named, and then the package is signed too).
# Without PACKAGE it wraps the sample package the tests use (test material: the driver files are
# placeholders). A PACKAGE folder is copied first; the shipped programs take the place of any
# programs in it. Prints the package's path last.
set -euo pipefail
. "$(dirname "$0")/common.sh"

ship=$("$ROOT/scripts/ship.sh")
package=${1:-}
if [ -z "$package" ]; then
  build_windows "$BUILD/win32" i686-w64-mingw32 KVUSBMON KVUSBMONUI
  build_windows "$BUILD/win64" x86_64-w64-mingw32 KVUSBMON KVUSBMONUI
  package=$("$ROOT/packaging/sample-package.sh" "$BUILD/msi/sample")
else
  staged=$BUILD/msi/package
  rm -rf "$staged"; mkdir -p "$BUILD/msi"
  cp -r "$package" "$staged"
  cp "$ship"/*.exe "$staged/"
  package=$staged
fi
msi=$("$ROOT/packaging/make-msi.sh" "$package" "$ship/ZentharMsiActions.dll" "$BUILD/msi" | tail -1)
sign_if_asked "$msi"
echo "$msi"
