#!/usr/bin/env bash
# Adds up every result of a test run (scripts/count-results.py says how each is judged): first
# what each run counted, then anything said but not counted and every failure, and last the
# closing line "N passed, M failed" on its own. Fails unless something passed and nothing failed.
set -uo pipefail
. "$(dirname "$0")/common.sh"

exec python3 "$ROOT/scripts/count-results.py" "$RESULTS"
