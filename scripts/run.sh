#!/usr/bin/env bash
# `make run`: builds the installer and opens it under Wine on a machine that has the sample
# driver package in its installer folder. Without a display it runs the demo installation
# under Xvfb instead, worked by the end-to-end user program, and reports what was installed.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"

echo "Building zenthar.exe (32-bit, the shipped program) ..."
build_windows "$BUILD/win32" i686-w64-mingw32 zenthar DriverOrbixUninstaller e2e-user e2e-check
echo "Building the 64-bit build of the same sources (its port monitor stand-in goes into the driver package) ..."
build_windows "$BUILD/win64" x86_64-w64-mingw32 zenthar DriverOrbixUninstaller e2e-user e2e-check KVUSBMON KVUSBMONUI
echo "The 32-bit zenthar.exe is at $BUILD/win32/entry/zenthar.exe."

# The shipped program wherever Wine's 32-bit loader runs; the 64-bit build where it cannot.
if why=$(wine32_probe); then
  run=$BUILD/win32 kind=e2e32
  echo "Wine's 32-bit loader runs here: starting the 32-bit zenthar.exe."
else
  run=$BUILD/win64 kind=e2e
  echo "The 32-bit product cannot run on this machine ($why): starting the 64-bit build instead."
fi
wine_use "$(pe_machine "$run/entry/zenthar.exe")"

if [ -n "${DISPLAY:-}" ]; then
  prefix=$("$ROOT/tests/e2e/prepare-prefix.sh" "$run" run | tail -1) || exit 1
  wine_start "$prefix"
  echo "Starting the installer under Wine (prefix $prefix) ..."
  WINEPREFIX=$prefix "$WINE" "$run/entry/zenthar.exe"
  wine_stop "$prefix"
  exit 0
fi

demo=$BUILD/demo
rm -rf "$demo"; mkdir -p "$demo"
echo "No display: running the demo installation under Xvfb (\"NORVA MTR444\" on COM1:, code page 866) ..."
"$ROOT/tests/e2e/run-e2e.sh" "$run" "$demo" 01-serial-win7 >"$demo/run.log" 2>&1
shots=$demo/screens/$kind/01-serial-win7
cat "$demo/steps.txt" 2>/dev/null
echo "Pictures of every dialog the user met: $shots/*.png"
echo "What the user saw: $shots/transcript.txt"
echo "What is installed now, as Wine reports it:"
sed 's/^/  /' "$shots/checks.txt" 2>/dev/null
grep -q '^pass ' "$demo/steps.txt" 2>/dev/null
