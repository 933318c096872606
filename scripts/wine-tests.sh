#!/usr/bin/env bash
# Runs every Windows test program of a build folder (its wine-tests.txt) under Wine and Xvfb,
# each in a fresh copy of the booted prefix, writing a GoogleTest XML file per program to
# $RESULTS/wine (x86_64 programs, through wine64 in a 64-bit prefix) or $RESULTS/wine32 (i386
# programs, through Wine's 32-bit loader in a 32-bit prefix). A program that hangs is ended
# after ZENTHAR_WINE_TIMEOUT seconds (600).
#
#   scripts/wine-tests.sh [--none-expected] BUILD_DIR   all programs of the build
#   scripts/wine-tests.sh --one PREFIX EXE XML LOG      (internal: one run inside Xvfb)
#
# The XML file counts the cases; the program's exit status counts too: a program that ends
# badly after writing its report (a crash on the way out, the time-out) is a failure of its
# own, and so is one that leaves no report, a listed program that is missing, and a build
# with no list (unless --none-expected says the build has no test programs).
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
  wine_use "$(pe_machine "$exe")"
  WINEPREFIX=$run_prefix timeout -k 10 "$timeout_seconds" \
    "$WINE" "$exe" --gtest_output="xml:$(winepath_of "$xml")" </dev/null >"$log" 2>&1
  rc=$?
  [ $rc -eq 124 ] && echo "timed out after $timeout_seconds s" >>"$log"
  return $rc
}

if [ "${1:-}" = "--one" ]; then
  shift; run_one "$@"; exit
fi

none_expected=0
[ "${1:-}" = "--none-expected" ] && { none_expected=1; shift; }
build=${1:?build folder}
list=$build/wine-tests.txt
# The steps' first word: wine for the 64-bit build, wine32 for the 32-bit one; their run in the
# totals: wine64 and wine32.
kind=wine run=wine64
[ "$(pe_machine "$build/entry/zenthar.exe")" = i386 ] && kind=wine32 run=wine32
if [ ! -s "$list" ]; then
  if [ $none_expected -eq 1 ]; then echo "no Windows test programs in $build (none expected)" >&2; exit 0; fi
  echo "$kind: $list is missing or empty" >&2
  record "$run" "$kind programs: no list of Windows test programs in $build" fail; exit 1
fi
results=$RESULTS/$kind
mkdir -p "$results"
# The 32-bit programs meet a 32-bit Windows, the one they run on by themselves; on a 64-bit
# one the work is their 64-bit twins'.
base=$WINE_BASE boot=wine_base_prefix
[ $kind = wine32 ] && base=$WINE_BASE32 boot=wine_base_prefix32
$boot || { record "$run" "$kind prefix" fail; exit 1; }

failures=0
fail() {   # name why
  echo "$1: $2" >&2
  record "$run" "$kind $1: $2" fail; failures=$((failures + 1))
}
while read -r exe; do
  [ -n "$exe" ] || continue
  name=$(basename "$exe" .exe)
  xml=$results/$name.xml
  log=$results/$name.log
  rm -f "$xml"
  echo "== $kind: $name" >&2
  [ -f "$exe" ] || { fail "$name" "the program $exe is missing"; continue; }
  machine=$(pe_machine "$exe")
  if [ "$kind/$machine" != wine/x86_64 ] && [ "$kind/$machine" != wine32/i386 ]; then
    fail "$name" "a program for $machine in a list of $kind programs"; continue
  fi
  prefix=$(wine_copy_prefix "test-$kind-$name" "$base")
  start=$(date +%s)
  xvfb-run -a -s "-screen 0 1024x768x24" "$0" --one "$prefix" "$exe" "$xml" "$log"
  rc=$?
  echo "$name: exit $rc after $(( $(date +%s) - start )) s" >&2
  if [ ! -s "$xml" ]; then
    # No report at all: the program crashed or hung before GoogleTest could write one.
    tail -20 "$log" >&2
    fail "$name" "no test report (exit $rc)"
  else
    grep -E '^\[  (FAILED|PASSED|SKIPPED) ' "$log" | tail -3 >&2
    grep '^wine-departs: ' "$log" >&2 || true
    if [ $rc -ne 0 ] && [ "$(failures_in "$xml")" = 0 ]; then
      # The report says all went well, the program's end says otherwise.
      tail -5 "$log" >&2
      if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then fail "$name" "timed out after its report (exit $rc)"
      else fail "$name" "ended with exit $rc after a report without failures"; fi
    elif [ $rc -ne 0 ]; then
      failures=$((failures + 1))
    fi
  fi
  # A prefix takes hundreds of megabytes: kept only to look into a failure.
  [ $rc -eq 0 ] && rm -rf "$prefix"
done <"$list"
[ $failures -eq 0 ]
