#!/usr/bin/env bash
# The end-to-end scenarios: the real zenthar.exe under Wine and Xvfb, worked by e2e-user.exe
# like a person at the screen, then Wine's spooler, registry and files read back by
# e2e-check.exe. Each scenario starts from a fresh copy of the prepared machine
# (prepare-prefix.sh) or from the machine an earlier scenario left.
#
#   tests/e2e/run-e2e.sh BUILD_DIR RESULTS_DIR [SCENARIO...]
#
# BUILD_DIR is the x86_64 Windows build (Wine's 32-bit loader cannot start here). For each
# scenario one line "pass e2e <name>" or "fail e2e <name>" is appended to
# RESULTS_DIR/steps.txt; pictures, the transcript and the checker's report go to
# RESULTS_DIR/screens/e2e/<name>/.
#
# A scenario is tests/e2e/scenarios/<name>.scenario, in three sections:
#   [machine]  how the machine differs before the run:
#                after NAME          start from the machine scenario NAME left (NAME must
#                                    run earlier in the same call)
#                windows VERSION     winecfg -v VERSION (win7, win10, ...)
#                app-windows VERSION the version Wine reports to zenthar.exe alone
#                spooler-start N     the Start value of the Spooler service (4: disabled)
#                delete-key PATH     remove a key below HKLM (to see whether the run writes it)
#                printer-datatype NAME  the data type RAW for a printer the run will add: Wine 8
#                                    stores a printer added without one (as the installer
#                                    adds it) but cannot open it afterwards, so its AddPrinter
#                                    fails; Windows takes the print processor's default, RAW.
#                                    Wine keeps the value when AddPrinter overwrites the key.
#   [user]     the steps of e2e-user.exe:
#                start; wait CAPTION [SECONDS]; look CAPTION (a window behind a modal one); ok; escape; click ID; close ID (click and wait
#                for the window to go); tick ROW; type ID TEXT; pick ID LABEL; ip ID A.B.C.D;
#                expect ID text|enabled|visible|checked|progress|address|count|selected VALUE;
#                rows ID NAME STATE...; message TEXT; shot [LABEL]; describe; pause MS;
#                processes EXE COUNT; end [SECONDS]
#   [after]    the checks of e2e-check.exe:
#                printer NAME PORT; no-printer NAME; printers PREFIX N; driver NAME;
#                drivers PREFIX N; record PRINTER CODEPAGE; default NAME; monitor NAME DLL;
#                no-monitor NAME; port NAME; driverdir PATH; driverdir-files N;
#                driverdir-file NAME CONTENT; file PATH CONTENT; no-file PATH; exists PATH;
#                key PATH N; key-class PATH CLASS;
#                no-key PATH; value PATH NAME dword|sz DATA; service NAME STATE
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"

# Internal: one scenario, already under Xvfb.
if [ "${1:-}" = "--inside" ]; then
  prefix=$2 build=$3 dir=$4 machine_file=$5
  trap 'wine_stop "$prefix"' EXIT
  while read -r verb value; do
    case $verb in
      windows) WINEPREFIX=$prefix timeout 60 "$WINE" winecfg -v "$value" ;;
      app-windows) WINEPREFIX=$prefix "$WINE" reg add 'HKCU\Software\Wine\AppDefaults\zenthar.exe' /v Version /d "$value" /f ;;
      spooler-start) WINEPREFIX=$prefix "$WINE" reg add 'HKLM\System\CurrentControlSet\Services\Spooler' /v Start /t REG_DWORD /d "$value" /f ;;
      printer-datatype) WINEPREFIX=$prefix "$WINE" reg add "HKLM\System\CurrentControlSet\Control\Print\Printers\\$value" /v Datatype /d RAW /f ;;
      delete-key) WINEPREFIX=$prefix "$WINE" reg delete "HKLM\\$value" /f ;;
      after | '') ;;
      *) echo "unknown machine setting: $verb" >&2; exit 1 ;;
    esac
  done <"$machine_file" >>"$dir/setup.log" 2>&1
  # The settings are read by Wine's services and by each program as it starts: a fresh
  # server sees them all, and its spooler service starts out stopped.
  wine_stop "$prefix"
  wine_start "$prefix" </dev/null >/dev/null 2>&1
  WINEPREFIX=$prefix timeout -k 10 300 "$WINE" "$build/tests/e2e/e2e-user.exe" \
    "$(winepath_of "$build/entry/zenthar.exe")" "$(winepath_of "$dir/user.steps")" "$(winepath_of "$dir")" \
    </dev/null >"$dir/user.log" 2>&1
  user=$?
  WINEPREFIX=$prefix timeout -k 10 120 "$WINE" "$build/tests/e2e/e2e-check.exe" "$(winepath_of "$dir/after.checks")" \
    </dev/null >"$dir/checks.txt" 2>&1
  check=$?
  echo "user $user check $check" >"$dir/result.txt"
  [ $user -eq 0 ] && [ $check -eq 0 ]
  exit
fi

build=$(cd "${1:?x86_64 build folder}" && pwd)
results=${2:?results folder}
shift 2
mkdir -p "$results" && results=$(cd "$results" && pwd)
screens=$results/screens/e2e
for exe in entry/zenthar.exe tests/e2e/e2e-user.exe tests/e2e/e2e-check.exe; do
  [ -f "$build/$exe" ] || { echo "e2e: no $build/$exe (build the x86_64 Windows build)" >&2; exit 1; }
  [ "$(pe_machine "$build/$exe")" = x86_64 ] || { echo "e2e: $exe is not an x86_64 program" >&2; exit 1; }
done

if [ $# -gt 0 ]; then
  scenarios=()
  # A name is one of ours; a path to a .scenario file is taken as it is (the benchmarks').
  for name in "$@"; do
    case "$name" in
      */*.scenario) scenarios+=("$(cd "$(dirname "$name")" && pwd)/$(basename "$name")") ;;
      *) scenarios+=("$here/scenarios/$name.scenario") ;;
    esac
  done
else
  scenarios=("$here"/scenarios/*.scenario)
fi

section() {   # file name: the lines of one section
  awk -v want="[$2]" '/^\[.*\]$/ { inside = ($0 == want); next } inside' "$1"
}

"$here/prepare-prefix.sh" "$build" || { echo "fail e2e machine" >>"$results/steps.txt"; exit 1; }

# A prefix takes 700 MB: each goes once no later scenario starts from it, unless its scenario
# failed (kept to look into) or ZENTHAR_E2E_KEEP=1.
needed_later() {   # name
  cat "$here"/scenarios/*.scenario | awk -v n="$1" '$1 == "after" && $2 == n { found = 1 } END { exit !found }'
}
finished=()
failures=0
for file in "${scenarios[@]}"; do
  name=$(basename "$file" .scenario)
  dir=$screens/$name
  rm -rf "$dir"; mkdir -p "$dir"
  section "$file" machine >"$dir/machine.settings"
  section "$file" user >"$dir/user.steps"
  section "$file" after >"$dir/after.checks"
  after=$(awk '$1 == "after" { print $2 }' "$dir/machine.settings")
  if [ -n "$after" ]; then
    prefix=$WINE_ROOT/e2e-$name
    rm -rf "$prefix"
    if [ -d "$WINE_ROOT/e2e-$after" ]; then cp -a "$WINE_ROOT/e2e-$after" "$prefix"; else prefix=; fi
  else
    prefix=$("$here/prepare-prefix.sh" "$build" "$name")
  fi
  start=$(date +%s)
  if [ -z "$prefix" ]; then
    echo "no machine of scenario $after to start from" >"$dir/result.txt"; rc=1
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$prefix" "$build" "$dir" "$dir/machine.settings"
    rc=$?
  fi
  for bmp in "$dir"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm -f "$bmp"
  done
  seconds=$(( $(date +%s) - start ))
  if [ $rc -eq 0 ]; then
    echo "pass e2e $name" >>"$results/steps.txt"
    echo "e2e $name: pass ($seconds s)" >&2
  else
    failures=$((failures + 1))
    echo "fail e2e $name" >>"$results/steps.txt"
    echo "e2e $name: FAIL ($seconds s); see $dir" >&2
    grep -h -E '^(FAIL|.*FAIL:)' "$dir/user.log" "$dir/checks.txt" 2>/dev/null | head -10 >&2
  fi
  if [ $rc -eq 0 ] && [ "${ZENTHAR_E2E_KEEP:-0}" != 1 ]; then
    finished+=("$name")
    needed_later "$name" || rm -rf "$WINE_ROOT/e2e-$name"
  fi
done
if [ "${ZENTHAR_E2E_KEEP:-0}" != 1 ]; then
  for name in "${finished[@]}"; do rm -rf "$WINE_ROOT/e2e-$name"; done
fi
[ $failures -eq 0 ]
