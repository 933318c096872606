#!/usr/bin/env bash
# Under Wine: a 20-clone run's wall time against the sum of its designed pauses (goal ≤ 1.03).
# Runs the scenario bench/wine/twenty-clones.scenario with the end-to-end user program and
# reads the times from its transcript.
#
#   bench/wine-ratio.sh [BUILD_DIR]
#
# BUILD_DIR is the Windows build whose zenthar.exe runs (default: the i686 build, the shipped
# program).
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/common.sh"
build=${1:-$BUILD/win32}
out=$BUILD/bench-wine-$(basename "$build")
rm -rf "$out"; mkdir -p "$out"
"$ROOT/tests/e2e/run-e2e.sh" "$build" "$out" "$ROOT/bench/wine/twenty-clones.scenario" >"$out/run.log" 2>&1
transcript=$(ls "$out"/screens/e2e*/twenty-clones/transcript.txt 2>/dev/null | head -1)
[ -f "$transcript" ] && grep -q '^pass ' "$out/steps.txt" || { echo "wine ratio: the run failed (see $out)" >&2; exit 1; }
# The user closes the interface dialog, then the default-printer question appears (the user's
# pause to look at a new window comes after that line, outside the run).
start=$(grep -m1 'step .*: close interface.ok' "$transcript" | sed -E 's/^\[ *([0-9.]+)\].*/\1/')
end=$(grep -m1 'appeared "Set Default Printer Information Dialog"' "$transcript" | sed -E 's/^\[ *([0-9.]+)\].*/\1/')
awk -v s="$start" -v e="$end" 'BEGIN {
  pauses = 1.0 + 20 * 2.5
  wall = e - s
  printf "20-clone dialog run under Wine: wall %.2f s, designed pauses %.2f s, ratio %.3f (goal <= 1.03)\n", wall, pauses, wall / pauses
}'
