#!/usr/bin/env bash
# The machines of the end-to-end scenarios: a booted Wine prefix (crash dialog off) with the
# sample driver package in the installer folder and the universal driver in the driver
# directory; each copy also gets the shipped programs there ($BUILD/ship, scripts/ship.sh), as
# an administrator's copy of the installer folder has them. Made once and remade only when
# the package or its monitors change; each scenario then works in a copy.
#
#   tests/e2e/prepare-prefix.sh BUILD_DIR          make the machine (idempotent)
#   tests/e2e/prepare-prefix.sh BUILD_DIR NAME     also print the path of a fresh copy
#
# BUILD_DIR is the Windows build whose user and checker programs will work the machine; its
# width says which Windows: x86_64, a 64-bit prefix (e2e-machine, copies e2e-NAME); i686, a
# 32-bit prefix (e2e-machine32, copies e2e-NAME too: run-e2e.sh names them 32-...). The
# package's monitor libraries are both builds' stand-ins (tests/e2e/KVUSBMON.dll of
# $BUILD/win32 and $BUILD/win64), so each Windows installs the monitor of its own width.
# Prefixes live in $ZENTHAR_WINE_ROOT (default build/wine).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"

build=$(cd "${1:?Windows build folder}" && pwd)
if [ "$(pe_machine "$build/tests/e2e/e2e-user.exe")" = i386 ]; then
  width=32 machine=$WINE_ROOT/e2e-machine32 base=$WINE_BASE32 boot=wine_base_prefix32
else
  width=64 machine=$WINE_ROOT/e2e-machine base=$WINE_BASE boot=wine_base_prefix
fi
# The machine is set up by the loader it boots with.
if [ $width = 32 ]; then wine_use i386; else wine_use x86_64; fi
x86_monitors=$BUILD/win32/tests/e2e
x64_monitors=$BUILD/win64/tests/e2e

for dll in KVUSBMON.dll KVUSBMONUI.dll; do
  for want in "i386 $x86_monitors" "x86_64 $x64_monitors"; do
    [ -f "${want#* }/$dll" ] || { echo "prepare-prefix: no ${want#* }/$dll (build both Windows builds)" >&2; exit 1; }
    [ "$(pe_machine "${want#* }/$dll")" = "${want%% *}" ] || { echo "prepare-prefix: ${want#* }/$dll is not ${want%% *}" >&2; exit 1; }
  done
done
# Without Wine's own copy of "MS Sans Serif" every dialog takes another size.
ls /usr/share/wine/fonts/sserife.fon >/dev/null 2>&1 || { echo "prepare-prefix: fonts-wine is missing" >&2; exit 1; }

package_stamp() {
  cat "$here/make-package.sh" "$x86_monitors"/KVUSBMON*.dll "$x64_monitors"/KVUSBMON*.dll "$base/system.reg" 2>/dev/null |
    md5sum | cut -d' ' -f1
}
stamp=$(package_stamp || true)
if [ "$(cat "$machine/.e2e-ready" 2>/dev/null)" != "$stamp" ]; then
  $boot >&2
  stamp=$(package_stamp)
  rm -rf "$machine"
  cp -a "$base" "$machine"
  rm -f "$machine/.booted"
  "$here/make-package.sh" "$machine/drive_c" "$x86_monitors" "$x64_monitors" $width
  # The stock spooler service must be there for the program's start-up check to start it.
  if ! WINEPREFIX=$machine "$WINE" reg query 'HKLM\System\CurrentControlSet\Services\Spooler' /v ImagePath >/dev/null 2>&1; then
    echo "prepare-prefix: the prefix has no Spooler service" >&2; exit 1
  fi
  WINEPREFIX=$machine "$WINESERVER" -w
  echo "$stamp" >"$machine/.e2e-ready"
fi

if [ $# -ge 2 ]; then
  ship=$BUILD/ship
  programs=(zenthar.exe zenthar64.exe DriverOrbixUninstaller.exe DriverOrbixUninstaller64.exe)
  for exe in "${programs[@]}"; do
    [ -f "$ship/$exe" ] || { echo "prepare-prefix: no $ship/$exe (scripts/ship.sh)" >&2; exit 1; }
  done
  copy=$WINE_ROOT/e2e-$2
  rm -rf "$copy"
  cp -a "$machine" "$copy"
  rm -f "$copy/.e2e-ready"
  for exe in "${programs[@]}"; do cp "$ship/$exe" "$copy/drive_c/NORVA Orbix Printer 4.X/"; done
  echo "$copy"
fi
