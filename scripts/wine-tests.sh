#!/usr/bin/env bash
# Runs every Windows test program of a build folder (its wine-tests.txt) under Wine and Xvfb,
# each in a fresh copy of the booted prefix, writing a GoogleTest XML file per program to
# $RESULTS/wine. A program that hangs is ended after ZENTHAR_WINE_TIMEOUT seconds (600).
#
#   scripts/wine-tests.sh BUILD_DIR             all programs of the build
#   scripts/wine-tests.sh --one PREFIX EXE XML LOG   (internal: one run inside Xvfb)
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"

timeout_seconds=${ZENTHAR_WINE_TIMEOUT:-600}

# One program, already under Xvfb: its own wine server and background services first, so
# that the program's own start is not held up by them, and nothing of Wine left afterwards.
run_one() {
  run_prefix=$1
  local exe=$2 xml=$3 log=$4 rc
  # Wine's server and services hold this script's output open: they must not outlive it.
  trap 'wine_stop "$run_prefix"' EXIT
  wine_start "$run_prefix" </dev/null >/dev/null 2>&1
  WINEPREFIX=$run_prefix timeout -k 10 "$timeout_seconds" \
    "$WINE" "$exe" --gtest_output="xml:$(winepath_of "$xml")" </dev/null >"$log" 2>&1
  rc=$?
  [ $rc -eq 124 ] && echo "timed out after $timeout_seconds s" >>"$log"
  return $rc
}

if [ "${1:-}" = "--one" ]; then
  shift; run_one "$@"; exit
fi

build=${1:?build folder}
list=$build/wine-tests.txt
[ -f "$list" ] || { echo "no Windows test programs in $build" >&2; exit 0; }
mkdir -p "$RESULTS/wine"
wine_base_prefix || { record "wine prefix" fail; exit 1; }

failures=0
while read -r exe; do
  [ -n "$exe" ] || continue
  name=$(basename "$exe" .exe)
  xml=$RESULTS/wine/$name.xml
  log=$RESULTS/wine/$name.log
  rm -f "$xml"
  echo "== wine: $name" >&2
  if [ "$(pe_machine "$exe")" != x86_64 ]; then
    # Only wine64 runs here (no 32-bit loader): the x86_64 build's programs are the ones to test.
    echo "$name: not an x86_64 program; run the tests of the x86_64 build" >&2
    record "wine $name" fail; failures=$((failures + 1)); continue
  fi
  prefix=$(wine_copy_prefix "test-$name")
  start=$(date +%s)
  xvfb-run -a -s "-screen 0 1024x768x24" "$0" --one "$prefix" "$exe" "$xml" "$log"
  rc=$?
  echo "$name: exit $rc after $(( $(date +%s) - start )) s" >&2
  if [ ! -s "$xml" ]; then
    # No report at all: the program crashed or hung before GoogleTest could write one.
    echo "$name: no test report" >&2; tail -20 "$log" >&2
    record "wine $name" fail; failures=$((failures + 1))
  else
    grep -E '^\[  (FAILED|PASSED) ' "$log" | tail -3 >&2
    grep '^wine-departs: ' "$log" >&2 || true
    [ $rc -eq 0 ] || failures=$((failures + 1))
  fi
done <"$list"
[ $failures -eq 0 ]
