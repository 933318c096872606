#!/usr/bin/env bash
# Adds up every result of a test run: the JUnit files of CTest and GoogleTest, and the
# plain step results, and prints the closing line "N passed, M failed".
set -uo pipefail
. "$(dirname "$0")/common.sh"

passed=0; failed=0
shopt -s nullglob globstar
for xml in "$RESULTS"/**/*.xml; do
  # The root element carries the counts for the whole file.
  # CTest writes the root element's attributes one per line.
  root=$(head -c 4096 "$xml" | tr '\n\t' '  ' | grep -m1 -oE '<testsuites? [^>]*>' | head -1 || true)
  tests=$(grep -oE ' tests="[0-9]+"' <<<"$root" | grep -oE '[0-9]+' || echo 0)
  fails=$(grep -oE ' failures="[0-9]+"' <<<"$root" | grep -oE '[0-9]+' || echo 0)
  errors=$(grep -oE ' errors="[0-9]+"' <<<"$root" | grep -oE '[0-9]+' || echo 0)
  skipped=$(grep -oE ' (skipped|disabled)="[0-9]+"' <<<"$root" | grep -oE '[0-9]+' | awk '{s+=$1} END {print s+0}')
  bad=$((fails + errors))
  passed=$((passed + tests - bad - ${skipped:-0}))
  failed=$((failed + bad))
done
if [ -f "$RESULTS/steps.txt" ]; then
  p=$(grep -c '^pass ' "$RESULTS/steps.txt" || true)
  f=$(grep -c '^fail ' "$RESULTS/steps.txt" || true)
  passed=$((passed + p)); failed=$((failed + f))
  grep '^fail ' "$RESULTS/steps.txt" | sed 's/^fail /FAILED: /' >&2 || true
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
