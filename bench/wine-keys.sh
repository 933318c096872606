#!/usr/bin/env bash
# Under Wine and Xvfb: the copies box of the real main dialog, timed key by key with 2, 20 and
# 200 rows, and clone mode switched with 200 in the box (bench/win/WindowBench.cpp).
#
#   bench/wine-keys.sh PROGRAM [PREFIX]
#
# PROGRAM is a Windows build's entry/zenthar.exe; the benchmark program is that build's
# bench/win/window-bench.exe and runs through the Wine loader of the program's width. PREFIX
# is the Wine prefix to run in (used as it is); without it, a fresh copy of the end-to-end
# machine of the program's build (tests/e2e/prepare-prefix.sh).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/wine-env.sh"

if [ "${1:-}" = "--inside" ]; then
  prefix=$2 program=$3 bench=$4
  trap 'wine_stop "$prefix"' EXIT
  wine_start "$prefix" </dev/null >/dev/null 2>&1
  wine_use "$(pe_machine "$program")"
  WINEPREFIX=$prefix timeout -k 10 600 "$WINE" "$bench" "$(winepath_of "$program")" "${ROUNDS:-5}" </dev/null
  exit
fi

program=${1:?path of zenthar.exe}
[ -f "$program" ] || { echo "wine keys: no $program" >&2; exit 1; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
build=$(dirname "$(dirname "$program")")
bench=${ZENTHAR_WINDOW_BENCH:-$build/bench/win/window-bench.exe}
[ -f "$bench" ] || { echo "wine keys: no $bench (build the Windows build)" >&2; exit 1; }
machine=$(pe_machine "$program")
if [ "$machine" = i386 ]; then
  why=$(wine32_probe) || { echo "wine keys: Wine's 32-bit loader does not run here: $why" >&2; exit 1; }
fi
if [ -n "${2:-}" ]; then
  prefix=$2
else
  prefix=$("$here/../tests/e2e/prepare-prefix.sh" "$build" "bench-keys-$machine") || exit 1
fi
echo "Copies box of the real main dialog under Wine: $program ($machine), prefix $prefix"
xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$prefix" "$program" "$bench"
rc=$?
[ -n "${2:-}" ] || { wine_stop "$prefix"; rm -rf "$prefix"; }
exit $rc
