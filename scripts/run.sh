#!/usr/bin/env bash
# `make run`: builds the installer and opens it under Wine on a machine that has the sample
# driver package in its installer folder. Without a display it runs the demo installation
# under Xvfb instead, worked by the end-to-end user program, and reports what was installed.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"

echo "Building the user and checker programs and the sample package's monitors ..."
build_windows "$BUILD/win32" i686-w64-mingw32 e2e-user e2e-check KVUSBMON KVUSBMONUI
build_windows "$BUILD/win64" x86_64-w64-mingw32 e2e-user e2e-check KVUSBMON KVUSBMONUI
echo "Building the release of zenthar.exe (32-bit, the shipped program) and of its 64-bit twin (it does the work on a 64-bit Windows) ..."
ship=$("$ROOT/scripts/ship.sh") || exit 1
echo "The programs that ship are in $ship."

# A 64-bit Windows, as most machines are; the shipped zenthar.exe wherever Wine's 32-bit loader
# runs, its twin directly where it cannot.
folder='C:\NORVA Orbix Printer 4.X'
if why=$(wine32_probe); then
  program=zenthar.exe
  wine_use i386
  echo "Starting the 32-bit zenthar.exe from the installer folder; it hands the work to zenthar64.exe."
else
  program=zenthar64.exe
  wine_use x86_64
  echo "The 32-bit zenthar.exe cannot run on this machine ($why): starting zenthar64.exe directly."
fi

if [ -n "${DISPLAY:-}" ]; then
  prefix=$("$ROOT/tests/e2e/prepare-prefix.sh" "$BUILD/win64" run | tail -1) || exit 1
  wine_start "$prefix"
  echo "Starting the installer under Wine (prefix $prefix) ..."
  WINEPREFIX=$prefix "$WINE" "$folder\\$program"
  wine_stop "$prefix"
  exit 0
fi

demo=$BUILD/demo
rm -rf "$demo"; mkdir -p "$demo"
echo "No display: running the demo installation under Xvfb (\"NORVA MTR444\" on COM1:, code page 866) ..."
"$ROOT/tests/e2e/run-e2e.sh" "$BUILD/win64" "$demo" 01-serial-win7 >"$demo/run.log" 2>&1
shots=$demo/screens/e2e/01-serial-win7
# The verdict and the scenario, without the run that counts it.
cut -d' ' -f1,3- "$demo/steps.txt" 2>/dev/null
echo "Pictures of every dialog the user met: $shots/*.png"
echo "What the user saw: $shots/transcript.txt"
echo "What is installed now, as Wine reports it:"
sed 's/^/  /' "$shots/checks.txt" 2>/dev/null
grep -q '^pass ' "$demo/steps.txt" 2>/dev/null
