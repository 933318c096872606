#!/usr/bin/env bash
# The scripts' own test: fake suites, each with one way a result can go missing, run through the
# real scripts (run_ctest, wine-tests.sh, analyse.sh, run-e2e.sh, expect_verdicts) and added up
# by the real scripts/totals.sh in a scratch build folder. Each case must end in the totals it
# names. Records "pass selftest selftest CASE" or "fail selftest selftest CASE" in the run's steps.txt; takes a
# few seconds and needs neither Wine nor a compiler.
#
#   tests/scripts/selftest.sh
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$ROOT/scripts/common.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fakes=$work/fakes
mkdir -p "$fakes"
failed=0

# verdict CASE DIR EXPECTED_LAST_LINE [PATTERN...]: the totals of scratch build DIR must end in
# EXPECTED_LAST_LINE, fail (every case here has a fault), and show each PATTERN (grep -E).
verdict() {
  [ -n "${SELFTEST_SHOW:-}" ] && { echo "--- $1 ($SECONDS s)"; ZENTHAR_BUILD=$2 "$ROOT/scripts/totals.sh" 2>&1 | sed "s/^/   /"; }
  local name=$1 dir=$2 want=$3 out rc pattern ok=1; shift 3
  out=$(ZENTHAR_BUILD=$dir "$ROOT/scripts/totals.sh" 2>&1)
  rc=$?
  [ "$(tail -1 <<<"$out")" = "$want" ] || { ok=0; echo "$name: last line is not \"$want\""; }
  [ $rc -ne 0 ] || { ok=0; echo "$name: the totals passed"; }
  for pattern in "$@"; do
    grep -qE -- "$pattern" <<<"$out" || { ok=0; echo "$name: no line like /$pattern/"; }
  done
  if [ $ok -eq 1 ]; then
    record selftest "selftest $name" pass; echo "ok   $name"
  else
    record selftest "selftest $name" fail; failed=1; echo "FAIL $name"; sed 's/^/     | /' <<<"$out"
  fi
}

# ---- CTest: a test whose program was never built, a genuine skip, a folder with no tests ----
project=$work/ctest-src
mkdir -p "$project"
cat >"$project/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.20)
project(fake NONE)
enable_testing()
add_test(NAME passes COMMAND ${CMAKE_COMMAND} -E true)
add_test(NAME notbuilt COMMAND ${CMAKE_BINARY_DIR}/program_NOT_BUILT)
add_test(NAME skips COMMAND sh -c "echo '[  SKIPPED ] no printer attached'")
set_tests_properties(skips PROPERTIES SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
EOF
b=$work/ctest
mkdir -p "$b"
if cmake -S "$project" -B "$b/host" >"$b/configure.log" 2>&1; then
  (RESULTS=$b/results; run_ctest host "$b/host" >/dev/null 2>&1)
  verdict ctest-not-run-fails "$b" "1 passed, 1 failed" \
    "^FAILED: host notbuilt: not run: Unable to find executable" "^Not counted: host skipped skips: .*no printer attached"
else
  record selftest "selftest ctest-not-run-fails" fail; failed=1; echo "FAIL ctest-not-run-fails: cmake"; cat "$b/configure.log"
fi
b=$work/ctest-none
mkdir -p "$b/host" "$b/gone"
# A build folder with no tests, and one ctest cannot even enter.
(RESULTS=$b/results; run_ctest host "$b/host"; run_ctest asan "$b/gone/missing") >/dev/null 2>&1
verdict ctest-no-result-fails "$b" "0 passed, 2 failed" \
  "^FAILED: host .*holds no test|^FAILED: host tests: no result file" "^FAILED: asan tests: no result file"

# ---- Windows test programs under a fake Wine ----
# A fake loader: "wineboot" makes the prefix (of the kind WINEARCH asks), "reg" and "cmd" do nothing, a program runs the
# behaviour kept beside it (NAME.behaviour) with the report's Unix path.
cat >"$fakes/wine" <<'EOF'
#!/usr/bin/env bash
case $1 in
  wineboot) mkdir -p "$WINEPREFIX"; echo "#arch=${WINEARCH:-win64}" >"$WINEPREFIX/system.reg"; exit 0 ;;
  reg | cmd) exit 0 ;;
  --version) echo "fake-wine"; exit 0 ;;
esac
xml=${2#--gtest_output=xml:Z:}
exec bash "${1%.exe}.behaviour" "${xml//\\//}"
EOF
printf '#!/bin/sh\nexit 0\n' >"$fakes/wineserver"
# xvfb-run without the X server: the programs here draw nothing.
cat >"$fakes/xvfb-run" <<'EOF'
#!/usr/bin/env bash
while [ $# -gt 0 ]; do case $1 in -a) shift ;; -s) shift 2 ;; *) break ;; esac; done
exec "$@"
EOF
chmod +x "$fakes"/*

b=$work/wine
programs=$b/win64/tests
mkdir -p "$programs"
# program NAME MACHINE BEHAVIOUR: a file that reads as a PE program of MACHINE (8664 or 014c)
# and the shell lines it stands for ($1 is where its report goes).
program() {
  { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00'
    if [ "$2" = 8664 ]; then printf '\x64\x86'; else printf '\x4c\x01'; fi; } >"$programs/$1.exe"
  printf '%s\n' "$3" >"$programs/$1.behaviour"
  echo "$programs/$1.exe" >>"$b/win64/wine-tests.txt"
}
report() {   # the XML text of one suite: "pass NAME", "fail NAME", "skip NAME" words
  local out="" kind name
  while [ $# -gt 0 ]; do
    kind=$1 name=$2; shift 2
    case $kind in
      pass) out+="<testcase name=\"$name\" status=\"run\" result=\"completed\" classname=\"S\"/>" ;;
      fail) out+="<testcase name=\"$name\" status=\"run\" result=\"completed\" classname=\"S\"><failure message=\"x.cpp:1&#x0A;Expected 1\"/></testcase>" ;;
      skip) out+="<testcase name=\"$name\" status=\"run\" result=\"skipped\" classname=\"S\"><skipped message=\"x.cpp:2&#x0A;no device here\"/></testcase>" ;;
    esac
  done
  # GoogleTest's root element carries no skipped count.
  echo "<?xml version=\"1.0\"?><testsuites tests=\"9\" failures=\"0\" disabled=\"0\" errors=\"0\" name=\"AllTests\"><testsuite name=\"S\">$out</testsuite></testsuites>"
}
program good 8664 "echo '$(report pass a pass b)' >\"\$1\"; exit 0"
program crashes-after-report 8664 "echo '$(report pass a)' >\"\$1\"; kill -SEGV \$\$"
program hangs-after-report 8664 "echo '$(report pass a)' >\"\$1\"; exec sleep 30"
program no-report 8664 "exit 3"
program skips 8664 "echo '$(report pass a skip b)' >\"\$1\"; exit 0"
program wrong-width 014c "exit 0"
export ZENTHAR_WINE64=$fakes/wine ZENTHAR_WINE32=$fakes/wine ZENTHAR_WINESERVER=$fakes/wineserver
PATH=$fakes:$PATH ZENTHAR_BUILD=$b ZENTHAR_WINE_TIMEOUT=2 "$ROOT/scripts/wine-tests.sh" "$b/win64" >/dev/null 2>&1 &&
  echo "fail wine64 wine wine-tests.sh passed a run with failures" >>"$b/results/steps.txt"
verdict wine-exit-status-counts "$b" "5 passed, 4 failed" \
  "^FAILED: wine crashes-after-report: ended with exit 139" "^FAILED: wine hangs-after-report: timed out" \
  "^FAILED: wine no-report: no test report" "^FAILED: wine wrong-width" "^Not counted: wine64 skipped S.b: .*no device here" \
  "^  wine64 .* 5 passed, 4 failed"
b=$work/wine-nolist
mkdir -p "$b/win64"
ZENTHAR_BUILD=$b "$ROOT/scripts/wine-tests.sh" "$b/win64" >/dev/null 2>&1
verdict wine-missing-list-fails "$b" "0 passed, 1 failed" "^FAILED: wine programs: no list"

# The 32-bit loader that cannot start here: one line, neither passed nor failed.
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$fakes/wine32-refused"
chmod +x "$fakes/wine32-refused"
b=$work/wine32
(
  export ZENTHAR_BUILD=$b ZENTHAR_WINE32=$fakes/wine32-refused
  . "$ROOT/scripts/wine-env.sh"
  why=$(wine32_probe) || note wine32 "wine32 the 32-bit product was not run on this machine: $why"
  record host "host build" pass
)
out=$(ZENTHAR_BUILD=$b "$ROOT/scripts/totals.sh" 2>&1)
if [ "$(tail -1 <<<"$out")" = "1 passed, 0 failed" ] &&
   grep -q "^Not counted: wine32 the 32-bit product was not run on this machine: .*exit 126.*Exec format error" <<<"$out"; then
  record selftest "selftest wine32-refused-is-a-note" pass; echo "ok   wine32-refused-is-a-note"
else
  record selftest "selftest wine32-refused-is-a-note" fail; failed=1; echo "FAIL wine32-refused-is-a-note"; echo "$out"
fi

# ---- Static analysis without its analysers ----
b=$work/analyse
mkdir -p "$b/bin" "$b/results"
for tool in dirname nproc cppcheck clang-tidy clang-format-14 python3 bash; do ln -s "$(command -v "$tool")" "$b/bin/$tool"; done
for tool in clang-tidy cppcheck clang-format-14; do
  mv "$b/bin/$tool" "$b/bin/$tool.away"
  (PATH=$b/bin ZENTHAR_BUILD=$b "$b/bin/bash" "$ROOT/scripts/analyse.sh" >"$b/$tool.log" 2>&1) &&
    echo "pass analysis static analysis" >>"$b/results/steps.txt" || echo "fail analysis static analysis" >>"$b/results/steps.txt"
  mv "$b/bin/$tool.away" "$b/bin/$tool"
  grep -q "$tool is missing" "$b/$tool.log" || echo "fail analysis static analysis: $tool not named" >>"$b/results/steps.txt"
done
verdict analyser-missing-fails "$b" "0 passed, 3 failed"

# ---- End-to-end scenarios that leave no verdict ----
b=$work/e2e
mkdir -p "$b/win64/entry"
# The programs are not built: run-e2e.sh cannot start a scenario, yet each gets its verdict.
ZENTHAR_BUILD=$b "$ROOT/tests/e2e/run-e2e.sh" "$b/win64" "$b/results" 01-serial-win7 10-interface-cancelled >/dev/null 2>&1 &&
  echo "pass e2e64 e2e run-e2e.sh passed without programs" >>"$b/results/steps.txt"
verdict e2e-unrun-scenarios-fail "$b" "0 passed, 2 failed" "^FAILED: e2e 01-serial-win7$" "^FAILED: e2e 10-interface-cancelled$"
b=$work/e2e-silent
mkdir -p "$b/results"
# A run that stopped after its first scenario; a scenario this machine cannot make is said
# instead of counted.
printf 'pass e2e64 e2e 01-serial-win7\nnote e2e64 e2e 14-twin-missing not run: no 32-bit loader\n' >"$b/results/steps.txt"
(RESULTS=$b/results; expect_verdicts e2e64 e2e 01-serial-win7 14-twin-missing 02-serial-win10) >/dev/null 2>&1
verdict e2e-missing-verdict-fails "$b" "1 passed, 1 failed" "^FAILED: e2e 02-serial-win10: no verdict" \
  "^Not counted: e2e 14-twin-missing not run: no 32-bit loader"

# ---- A step counted in no run ----
# A run the totals do not list, a step written the old way (no run), a line with no verdict:
# each would be counted nowhere and is a failure instead.
b=$work/buckets
mkdir -p "$b/results"
(
  RESULTS=$b/results
  record builds "win64 build" pass
  record release "release files built twice" pass
  record bench "bench figures" pass
  record "host build" pass
  echo "passed host host tests" >>"$RESULTS/steps.txt"
) 2>/dev/null
verdict unknown-run-fails "$b" "2 passed, 3 failed" \
  '^FAILED: steps.txt: a line with no run .*: pass bench bench figures$' \
  '^FAILED: steps.txt: a line with no run .*: fail record-misuse host build pass$' \
  '^FAILED: steps.txt: a line with no run .*: passed host' \
  "^  builds .* 1 passed, 0 failed" "^  release .* 1 passed, 0 failed"

exit $failed
