#!/usr/bin/env bash
# Static analysis: clang-tidy (checks in .clang-tidy) on the code that builds natively, and
# cppcheck on the whole tree, Windows sources included. Prints every finding; fails on any
# finding that is not in the accepted list below (each with its reason).
set -uo pipefail
. "$(dirname "$0")/common.sh"

# A missing analyser finds nothing: that is a failure, not a clean tree.
for tool in clang-tidy cppcheck python3; do
  command -v "$tool" >/dev/null 2>&1 || { echo "static analysis: $tool is missing; nothing was analysed" >&2; exit 1; }
done

dir=$BUILD/rel-tidy
mkdir -p "$dir"
configure "$dir" || exit 1   # only configured: clang-tidy needs its compile_commands.json
JOBS=${JOBS:-2}
[ "$JOBS" -gt 2 ] && JOBS=2

# Findings looked at and kept, as "path-pattern check": why.
accepted=(
  # Test and tool code of other suites: small ints whose product cannot overflow (sizes of
  # test pictures), a deliberate string with its terminating zero, atoi on a test's own text,
  # an integer division that is meant, a false bounds warning on an empty range.
  "tests/common/ArtReading.h bugprone-implicit-widening-of-multiplication-result"
  "tests/tools/ArtgenTest.cpp bugprone-integer-division"
  "tests/install/InstallationRunTest.cpp bugprone-string-constructor"
  "tests/ui/ContractTest.cpp cert-err34-c"
  "tests/connection/ScreensTest.cpp containerOutOfBounds"
  "platform/sim/SimSpooler.cpp bugprone-implicit-widening-of-multiplication-result"
  "tests/connection/NetworkPortTest.cpp passedByValue"
  # The headless user script keeps a copy of each step's text in the step itself.
  "ui/headless/HeadlessBackend.cpp performance-unnecessary-value-param"
  # Both copies stay inside zeroed memory: the record's text entries get constant texts of at
  # most ten characters; the dialog's buffer is cleared and filled to size - 1.
  "install/DeviceConfigRecord.cpp bugprone-not-null-terminated-result"
  "ui/Dialog.cpp bugprone-not-null-terminated-result"
  # Small value types of the art generator (vectors, colours) are passed by value on purpose.
  "tools/artgen/ passedByValue"
  "tools/artgen/ useInitializationList"
  # cppcheck 2.10 cannot read chrono literals (2s) and gives up on these files; clang-tidy
  # checks them.
  "platform/sim/ cppcheckError"
)

is_accepted() {   # path check
  local entry
  for entry in "${accepted[@]}"; do
    [[ $1 == *"${entry% *}"* && $2 == "${entry#* }" ]] && return 0
  done
  return 1
}

findings=$dir/findings.txt
: >"$findings"

echo "== clang-tidy" >&2
# The system, the simulated machine, the headless screen, the fault matrix, fuzzers and
# benchmarks: what runs natively. (The Windows backends need <windows.h>: cppcheck below.)
files=$dir/files.txt
python3 - "$dir/compile_commands.json" "$ROOT" >"$files" <<'PY' || { echo "static analysis: no list of files for clang-tidy" >&2; exit 1; }
import json, sys
root = sys.argv[2] + "/"
skip = ("tests/", "tools/", "googletest")
for entry in json.load(open(sys.argv[1])):
    rel = entry["file"].replace(root, "")
    if not rel.startswith(skip) or rel.startswith("tests/faults/"):
        print(entry["file"])
PY
[ -s "$files" ] || { echo "static analysis: clang-tidy was given no file" >&2; exit 1; }
# xargs says 123 when an instance reported an error (a finding, kept below); any other
# failure means clang-tidy did not run through.
# The headers of this checkout, wherever it lies (a CI clone is not the developer's folder).
header_filter="^$ROOT/(app|install|uninstall|spooler|connection|controls|core|ui|platform|resources|tests|fuzz|bench|entry|tools)/"
xargs -P "$JOBS" -n 1 clang-tidy -p "$dir" --quiet --header-filter="$header_filter" <"$files" 2>/dev/null |
  grep -E "^/.*: (warning|error): .*\[[a-z0-9.,-]+\]$" |
  sed -E "s#^$ROOT/##; s#^([^:]+):([0-9]+):[0-9]+: (warning|error): (.*) \[([^]]+)\]\$#\1:\2 \5 \4#" |
  sort -u >>"$findings"
tidy=${PIPESTATUS[0]}
if [ "$tidy" -ne 0 ] && [ "$tidy" -ne 123 ]; then echo "static analysis: clang-tidy failed (xargs exit $tidy)" >&2; exit 1; fi

echo "== cppcheck" >&2
cd "$ROOT" || exit 1
cppcheck --enable=warning,performance,portability --std=c++20 --language=c++ --library=googletest -j "$JOBS" \
  --quiet --inline-suppr -I "$ROOT" --suppress=missingIncludeSystem --template='{file}:{line} {id} {message}' \
  app uninstall install spooler connection controls core ui platform resources entry tools fuzz bench tests 2>&1 |
  grep -E "^[a-z]" | sort -u >>"$findings"
cppcheck_rc=${PIPESTATUS[0]}
[ "$cppcheck_rc" -eq 0 ] || { echo "static analysis: cppcheck failed (exit $cppcheck_rc)" >&2; exit 1; }

new=0; kept=0
while IFS= read -r line; do
  [ -z "$line" ] && continue
  where=${line%% *}; rest=${line#* }; check=${rest%% *}
  if is_accepted "${where%%:*}" "$check"; then
    kept=$((kept + 1)); echo "accepted: $line"
  else
    new=$((new + 1)); echo "FINDING:  $line"
  fi
done <"$findings"
echo "static analysis: $new findings, $kept accepted with their reasons"
[ "$new" -eq 0 ]
