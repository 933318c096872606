#!/usr/bin/env bash
# Under Wine: a 20-clone run's wall time against the sum of its designed pauses (goal ≤ 1.05).
# Runs the scenario bench/wine/twenty-clones.scenario with the end-to-end user program and
# reads the times from its transcript.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/common.sh"
out=$BUILD/bench-wine
rm -rf "$out"; mkdir -p "$out"
"$ROOT/tests/e2e/run-e2e.sh" "$BUILD/win64" "$out" "$ROOT/bench/wine/twenty-clones.scenario" >"$out/run.log" 2>&1
transcript=$out/screens/e2e/twenty-clones/transcript.txt
[ -f "$transcript" ] && grep -q '^pass ' "$out/steps.txt" || { echo "wine ratio: the run failed (see $out)" >&2; exit 1; }
# The user closes the interface dialog, then the default-printer question appears (the user's
# pause to look at a new window comes after that line, outside the run).
start=$(grep -m1 'step .*: close interface.ok' "$transcript" | sed -E 's/^\[ *([0-9.]+)\].*/\1/')
end=$(grep -m1 'appeared "Set Default Printer Information Dialog"' "$transcript" | sed -E 's/^\[ *([0-9.]+)\].*/\1/')
awk -v s="$start" -v e="$end" 'BEGIN {
  pauses = 1.0 + 20 * 2.5
  wall = e - s
  printf "20-clone run under Wine: wall %.2f s, designed pauses %.2f s, ratio %.3f (goal <= 1.05)\n", wall, pauses, wall / pauses
}'
