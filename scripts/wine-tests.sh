#!/usr/bin/env bash
# Runs every Windows test program of a build folder (its wine-tests.txt) under Wine and Xvfb,
# each in a fresh copy of the booted prefix, writing a GoogleTest XML file per program.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"

build=${1:?build folder}
list=$build/wine-tests.txt
[ -f "$list" ] || { echo "no Windows test programs in $build" >&2; exit 0; }
mkdir -p "$RESULTS/wine"
wine_base_prefix

while read -r exe; do
  [ -n "$exe" ] || continue
  name=$(basename "$exe" .exe)
  prefix=$(wine_copy_prefix "test-$name")
  echo "== wine: $name" >&2
  wine_start "$prefix"
  xml=$RESULTS/wine/$name.xml
  WINEPREFIX=$prefix timeout 600 xvfb-run -a -s "-screen 0 1024x768x24" \
    "$WINE" "$exe" --gtest_output="xml:$(winepath_of "$xml")" >"$BUILD/wine-$name.log" 2>&1
  rc=$?
  wine_stop "$prefix"
  if [ ! -s "$xml" ]; then
    # No report at all: the program crashed or hung before GoogleTest could write one.
    echo "$name: no test report (exit $rc)" >&2; tail -20 "$BUILD/wine-$name.log" >&2
    record "wine $name" fail
  else
    grep -E '^\[  (FAILED|PASSED) ' "$BUILD/wine-$name.log" | tail -3 >&2
  fi
done <"$list"
