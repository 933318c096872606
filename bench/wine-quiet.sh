#!/usr/bin/env bash
# Under Wine: the 20-clone installation without windows beside the dialog run of
# bench/wine-ratio.sh (goal: the quiet run takes at most a tenth of the dialog run's time).
# The quiet run is timed whole, from the program's start to its end; the dialog run from the
# interface dialog's OK to the default-printer question, as wine-ratio.sh times it, so the
# quiet figure also carries the start-up the dialog figure leaves out.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/scripts/common.sh"
out=$BUILD/bench-wine-quiet
rm -rf "$out"; mkdir -p "$out"
"$ROOT/tests/e2e/run-e2e.sh" "$BUILD/win64" "$out" "$ROOT/bench/wine/twenty-clones-quiet.scenario" >"$out/run.log" 2>&1
transcript=$out/screens/e2e/twenty-clones-quiet/transcript.txt
[ -f "$transcript" ] && grep -q '^pass ' "$out/steps.txt" || { echo "wine quiet: the run failed (see $out)" >&2; exit 1; }
at() { grep -m1 "$2" "$1" | sed -E 's/^\[ *([0-9.]+)\].*/\1/'; }
quiet=$(awk -v s="$(at "$transcript" 'started ')" -v e="$(at "$transcript" 'the program ended')" 'BEGIN { printf "%.2f", e - s }')
dialogs=$BUILD/bench-wine/screens/e2e/twenty-clones/transcript.txt
if [ -f "$dialogs" ]; then
  dialog=$(awk -v s="$(at "$dialogs" 'step .*: close 1')" -v e="$(at "$dialogs" 'appeared "Set Default Printer Information Dialog"')" \
    'BEGIN { printf "%.2f", e - s }')
  awk -v q="$quiet" -v d="$dialog" 'BEGIN {
    printf "20-clone run under Wine: quiet %.2f s (whole program), dialogs %.2f s, ratio %.3f (goal <= 0.10)\n", q, d, q / d }'
else
  echo "20-clone run under Wine: quiet $quiet s (whole program); no dialog run to compare with (run bench/wine-ratio.sh first)"
fi
