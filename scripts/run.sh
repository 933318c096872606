#!/usr/bin/env bash
# `make run`: builds the installer, prepares a Wine prefix and opens the installer on the
# display; without a display it runs under Xvfb and reports what happened.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"

build_windows() {   # dir toolchain
  mkdir -p "$1"
  configure "$1" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/$2.cmake" &&
    cmake --build "$1" -j "$JOBS" --target zenthar >"$1.build.log" 2>&1 || { tail -30 "$1.build.log" >&2; exit 1; }
}

echo "Building zenthar.exe (32-bit, the shipped program) ..."
build_windows "$BUILD/win32" i686-w64-mingw32
echo "Building the 64-bit build of the same sources (the one Wine can start here) ..."
build_windows "$BUILD/win64" x86_64-w64-mingw32

wine_base_prefix
prefix=$(wine_copy_prefix run)
wine_start "$prefix"
exe=$BUILD/win64/entry/zenthar.exe
echo "Starting $exe under Wine (prefix $prefix) ..."
if [ -n "${DISPLAY:-}" ]; then
  WINEPREFIX=$prefix "$WINE" "$exe"
else
  WINEPREFIX=$prefix xvfb-run -a -s "-screen 0 1024x768x24" "$WINE" "$exe"
fi
rc=$?
wine_stop "$prefix"
echo "zenthar.exe ended with exit code $rc."
echo "So far the program only starts and ends: its dialogs are not built yet, and it installs nothing."
echo "The 32-bit zenthar.exe is at $BUILD/win32/entry/zenthar.exe."
