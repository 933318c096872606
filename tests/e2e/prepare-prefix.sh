#!/usr/bin/env bash
# The machine of the end-to-end scenarios: a booted Wine prefix (crash dialog off) with the
# sample driver package in the installer folder and the universal driver in the driver
# directory; each copy also gets the build's DriverOrbixUninstaller.exe there. Made once and remade only when the package or its monitor changes; each
# scenario then works in a copy.
#
#   tests/e2e/prepare-prefix.sh BUILD_DIR          make the machine (idempotent)
#   tests/e2e/prepare-prefix.sh BUILD_DIR NAME     also print the path of a fresh copy
#
# BUILD_DIR is the Windows build whose scenarios will run. The package's monitor libraries are
# the x86_64 build's stand-ins (tests/e2e/KVUSBMON.dll): the prefix is a 64-bit Windows, whose
# installation takes the 64-bit monitor of Win64\x64. For the i686 build they come from the
# x86_64 build beside it (BUILD_DIR/../win64, or $ZENTHAR_MONITOR_BUILD), so both builds meet
# the same machine. Prefixes live in $ZENTHAR_WINE_ROOT (default build/wine), as e2e-machine
# and e2e-NAME.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"

build=$(cd "${1:?Windows build folder}" && pwd)
monitor_build=$build
if [ "$(pe_machine "$build/entry/zenthar.exe")" = i386 ]; then
  monitor_build=${ZENTHAR_MONITOR_BUILD:-$(dirname "$build")/win64}
fi
monitors=$monitor_build/tests/e2e
machine=$WINE_ROOT/e2e-machine

for dll in KVUSBMON.dll KVUSBMONUI.dll; do
  [ -f "$monitors/$dll" ] || { echo "prepare-prefix: no $monitors/$dll (build the x86_64 Windows build)" >&2; exit 1; }
  [ "$(pe_machine "$monitors/$dll")" = x86_64 ] || { echo "prepare-prefix: $dll is not x86_64" >&2; exit 1; }
done
# Without Wine's own copy of "MS Sans Serif" every dialog takes another size.
ls /usr/share/wine/fonts/sserife.fon >/dev/null 2>&1 || { echo "prepare-prefix: fonts-wine is missing" >&2; exit 1; }

package_stamp() {
  cat "$here/make-package.sh" "$monitors/KVUSBMON.dll" "$monitors/KVUSBMONUI.dll" "$WINE_BASE/system.reg" 2>/dev/null |
    md5sum | cut -d' ' -f1
}
stamp=$(package_stamp || true)
if [ "$(cat "$machine/.e2e-ready" 2>/dev/null)" != "$stamp" ]; then
  wine_base_prefix >&2
  stamp=$(package_stamp)
  rm -rf "$machine"
  cp -a "$WINE_BASE" "$machine"
  rm -f "$machine/.booted"
  "$here/make-package.sh" "$machine/drive_c" "$monitors"
  # The stock spooler service must be there for the program's start-up check to start it.
  if ! WINEPREFIX=$machine "$WINE" reg query 'HKLM\System\CurrentControlSet\Services\Spooler' /v ImagePath >/dev/null 2>&1; then
    echo "prepare-prefix: the prefix has no Spooler service" >&2; exit 1
  fi
  WINEPREFIX=$machine "$WINESERVER" -w
  echo "$stamp" >"$machine/.e2e-ready"
fi

if [ $# -ge 2 ]; then
  # The uninstaller the entry names lies in the installer folder, the build's own (its width
  # is the program's).
  uninstaller=$build/entry/DriverOrbixUninstaller.exe
  [ -f "$uninstaller" ] || { echo "prepare-prefix: no $uninstaller (build the Windows build)" >&2; exit 1; }
  copy=$WINE_ROOT/e2e-$2
  rm -rf "$copy"
  cp -a "$machine" "$copy"
  rm -f "$copy/.e2e-ready"
  cp "$uninstaller" "$copy/drive_c/NORVA Orbix Printer 4.X/"
  echo "$copy"
fi
