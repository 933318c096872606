#!/usr/bin/env bash
# The end-to-end scenarios: the shipped zenthar.exe under Wine and Xvfb, started from the
# installer folder as a person starts it and worked by e2e-user.exe like a person at the
# screen, then Wine's spooler, registry and files read back by e2e-check.exe. Each scenario
# starts from a fresh copy of the prepared machine (prepare-prefix.sh), whose installer folder
# holds the shipped programs (scripts/ship.sh), or from the machine an earlier scenario left.
#
#   tests/e2e/run-e2e.sh BUILD_DIR RESULTS_DIR [SCENARIO...]
#
# BUILD_DIR is the Windows build of the user and checker programs; its width says which
# Windows the scenarios meet. x86_64: a 64-bit prefix, where the 32-bit zenthar.exe (through
# Wine's 32-bit loader) hands the work to zenthar64.exe. On a machine that cannot execute that
# loader the installer folder's zenthar.exe and DriverOrbixUninstaller.exe are the 64-bit
# twins themselves, a note says so, and the scenarios whose point is the hand-over are noted
# as not run instead of run. i686: a 32-bit prefix (WINEARCH=win32), where the 32-bit program
# does everything itself; it needs the 32-bit loader. For each scenario one line "pass e2e64 e2e <name>" or "fail e2e64 e2e <name>" (for the 32-bit
# prefix "pass e2e32 e2e32 <name>", ...) is appended to RESULTS_DIR/steps.txt, also when the
# scenario could not be run at all; pictures, the transcript and the checker's report go to
# RESULTS_DIR/screens/e2e/<name>/ (e2e32/<name>/).
#
# The two Windows differ: a line of any section that starts with "win32:" applies to the
# 32-bit prefix alone, one that starts with "win64:" to the 64-bit prefix alone, one that
# starts with "wow64:" to the 64-bit prefix where the 32-bit program hands over (not where the
# twins stand in for it); every other line to both. A new scenario's lines need a tag only
# where the two differ (on the 32-bit Windows the driver is filed under "Windows NT x86" in
# w32x86 from the 32-bit file sets, the uninstall entry has no Wow6432Node to go to). The checker reads files and keys as they are on the machine (no
# redirection to syswow64 or Wow6432Node); its spooler calls are its own (drivers and driver
# directory of its environment, the machine's native one).
#
# A scenario is tests/e2e/scenarios/<name>.scenario, in three sections:
#   [machine]  how the machine differs before the run:
#                after NAME          start from the machine scenario NAME left (NAME must
#                                    run earlier in the same call)
#                windows VERSION     winecfg -v VERSION (win7, win10, ...)
#                app-windows VERSION the version Wine reports to the installer alone (both
#                                    widths of it)
#                spooler-start N     the Start value of the Spooler service (4: disabled)
#                delete-key PATH     remove a key below HKLM (to see whether the run writes it)
#                dword NAME N PATH   a REG_DWORD value NAME = N in the key PATH below HKLM (a
#                                    policy an administrator set)
#                port-key NAME       a Standard TCP/IP port key the administrator made before
#                                    the run (PortNumber 9101 alone)
#                delete-file PATH    remove a file of drive C: (it must be there)
#                put-file "PATH" TEXT  a file of drive C: with one line of text (a file a user
#                                    planted)
#                start-in "PATH"     the folder of drive C: from which the user program, and so
#                                    every program it starts, is started (as Explorer starts a
#                                    program from its own folder)
#                handover            the scenario is about the 32-bit program handing over to
#                                    its twin: not run where the twins stand in for it
#                printer-datatype NAME  the data type RAW for a printer the run will add: Wine 8
#                                    stores a printer added without one (as the installer
#                                    adds it) but cannot open it afterwards, so its AddPrinter
#                                    fails; Windows takes the print processor's default, RAW.
#                                    Wine keeps the value when AddPrinter overwrites the key.
#   [user]     the steps of e2e-user.exe:
#                start [ARGUMENT...]; end-windowless CODE [SECONDS] (the program must end
#                with CODE and never show a window); wait CAPTION [SECONDS]; look CAPTION (a
#                window behind a modal one); ok; escape; click C; close C (click and wait
#                for the window to go); tick ROW; type C TEXT; pick C LABEL; ip C A.B.C.D;
#                focus C; key space|down|up|tab|enter (to the focused control, as typed);
#                expect C text|enabled|visible|checked|progress|address|count|selected|focus VALUE
#                (C window: the current window itself);
#                rows C NAME STATE...; message TEXT; shot [LABEL]; describe; pause MS;
#                processes EXE COUNT; end [SECONDS]; start-beside [ARGUMENT...] (a second run
#                while the first goes on); beside-ends CODE [SECONDS]; add-printer NAME PORT (another maker's
#                printer and driver); run-entry KEY [ARG...] (start the UninstallString under
#                HKLM\KEY, later steps work that program); exit-code N; lines C TEXT...
#              C is a control of the current window by its name in resources/ControlNames.h:
#              the dialog's short name, a dot, the control's name (main.install, interface.port,
#              address.field, default.ok, ...).
#   [after]    the checks of e2e-check.exe:
#                printer NAME PORT; no-printer NAME; printers PREFIX N; driver NAME;
#                drivers PREFIX N; record PRINTER CODEPAGE; default NAME; monitor NAME DLL;
#                no-monitor NAME; port NAME; driverdir PATH; driverdir-files N;
#                driverdir-file NAME CONTENT; file PATH CONTENT; file-line PATH LINE; no-file PATH; exists PATH;
#                key PATH N; key-class PATH CLASS;
#                no-key PATH; value PATH NAME dword|sz DATA; service NAME STATE; no-port NAME;
#                file-line PATH TEXT (PATH may be "A|B": one of the two files has the line)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
# The program a person starts, where they find it.
program='C:\NORVA Orbix Printer 4.X\zenthar.exe'

# Internal: one scenario, already under Xvfb. The machine is set up, and the user and checker
# programs run, through the loader the prefix boots with.
if [ "${1:-}" = "--inside" ]; then
  prefix=$2 build=$3 dir=$4 machine_file=$5 start_in=
  trap 'wine_stop "$prefix"' EXIT
  wine_use_prefix "$prefix"
  while read -r verb value; do
    case $verb in
      windows) WINEPREFIX=$prefix timeout 60 "$WINE" winecfg -v "$value" ;;
      app-windows)
        for exe in zenthar.exe zenthar64.exe; do
          WINEPREFIX=$prefix "$WINE" reg add "HKCU\\Software\\Wine\\AppDefaults\\$exe" /v Version /d "$value" /f
        done ;;
      delete-file)
        file=${value#[Cc]:\\}
        file=$prefix/drive_c/${file//\\//}
        [ -f "$file" ] || { echo "delete-file: no $value" >&2; exit 1; }
        rm -f "$file" ;;
      put-file)
        file=${value#\"}; file=${file%%\"*}; file=${file#[Cc]:\\}
        printf '%s\r\n' "${value#\"*\" }" >"$prefix/drive_c/${file//\\//}" || exit 1 ;;
      start-in)
        file=${value//\"/}; file=${file#[Cc]:\\}
        start_in=$prefix/drive_c/${file//\\//}
        [ -d "$start_in" ] || { echo "start-in: no folder $value" >&2; exit 1; } ;;
      handover) ;;
      spooler-start) WINEPREFIX=$prefix "$WINE" reg add 'HKLM\System\CurrentControlSet\Services\Spooler' /v Start /t REG_DWORD /d "$value" /f ;;
      printer-datatype) WINEPREFIX=$prefix "$WINE" reg add "HKLM\System\CurrentControlSet\Control\Print\Printers\\$value" /v Datatype /d RAW /f ;;
      delete-key) WINEPREFIX=$prefix "$WINE" reg delete "HKLM\\$value" /f ;;
      dword)
        read -r name data key <<<"$value"
        WINEPREFIX=$prefix "$WINE" reg add "HKLM\\$key" /v "$name" /t REG_DWORD /d "$data" /f ;;
      port-key) WINEPREFIX=$prefix "$WINE" reg add "HKLM\\System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\$value" /v PortNumber /t REG_DWORD /d 9101 /f ;;
      after | '') ;;
      *) echo "unknown machine setting: $verb" >&2; exit 1 ;;
    esac
  done <"$machine_file" >>"$dir/setup.log" 2>&1
  # The settings are read by Wine's services and by each program as it starts: a fresh
  # server sees them all, and its spooler service starts out stopped.
  wine_stop "$prefix"
  wine_start "$prefix" </dev/null >/dev/null 2>&1
  (cd "${start_in:-.}" && WINEPREFIX=$prefix timeout -k 10 300 "$WINE" "$build/tests/e2e/e2e-user.exe" \
    "$program" "$(winepath_of "$dir/user.steps")" "$(winepath_of "$dir")" \
    </dev/null >"$dir/user.log" 2>&1)
  user=$?
  WINEPREFIX=$prefix timeout -k 10 120 "$WINE" "$build/tests/e2e/e2e-check.exe" "$(winepath_of "$dir/after.checks")" \
    </dev/null >"$dir/checks.txt" 2>&1
  check=$?
  echo "user $user check $check" >"$dir/result.txt"
  [ $user -eq 0 ] && [ $check -eq 0 ]
  exit
fi

build=${1:?Windows build folder}
results=${2:?results folder}
shift 2
mkdir -p "$results" && results=$(cd "$results" && pwd)

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

# The build's width names the machine and the results: e2e for the 64-bit prefix, e2e32 for
# the 32-bit one.
machine=$(pe_machine "$build/tests/e2e/e2e-user.exe")
case $machine in
  i386) kind=e2e32 run=e2e32 own=win32 also=win32 copies=e2e-32- ;;
  *) kind=e2e run=e2e64 own=win64 also=wow64 copies=e2e- ;;
esac
screens=$results/screens/$kind
handover=1

# cannot_run WHY: no scenario can run; each still gets its verdict.
cannot_run() {
  local file
  echo "$kind: $1" >&2
  for file in "${scenarios[@]}"; do echo "fail $run $kind $(basename "$file" .scenario)" >>"$results/steps.txt"; done
  exit 1
}
[ -d "$build" ] && build=$(cd "$build" && pwd)
for exe in tests/e2e/e2e-user.exe tests/e2e/e2e-check.exe; do
  [ -f "$build/$exe" ] || cannot_run "no $build/$exe (build the Windows build)"
  [ "$(pe_machine "$build/$exe")" = "$machine" ] || cannot_run "$exe is not a $machine program like tests/e2e/e2e-user.exe"
done
if ! why=$(wine32_probe); then
  [ "$machine" = i386 ] && cannot_run "Wine's 32-bit loader does not run here: $why"
  # The 64-bit Windows can still be met, by the twins that do the work there.
  handover=0 also=win64
  echo "note $run $kind the shipped 32-bit programs were not run, their 64-bit twins stood in for them: $why" >>"$results/steps.txt"
fi
[ "$machine" = i386 ] || [ "$machine" = x86_64 ] || cannot_run "tests/e2e/e2e-user.exe is neither an i686 nor an x86_64 program"
for file in "${scenarios[@]}"; do [ -f "$file" ] || cannot_run "no scenario $file"; done
"$here/../../scripts/ship.sh" >/dev/null || cannot_run "the shipped folder could not be put together"

section() {   # file name: the lines of one section that apply to this build, without their tag
  awk -v want="[$2]" -v own="$own:" -v also="$also:" '
    /^\[.*\]$/ { inside = ($0 == want); next }
    !inside { next }
    $1 == own || $1 == also { sub(/^[ \t]*[a-z0-9]+:[ \t]*/, ""); print; next }
    $1 == "win32:" || $1 == "win64:" || $1 == "wow64:" { next }
    { print }' "$1"
}

"$here/prepare-prefix.sh" "$build" || cannot_run "the machine of the scenarios could not be prepared"

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
  if [ $handover = 0 ] && grep -qx handover "$dir/machine.settings"; then
    echo "note $run $kind $name not run: it needs the 32-bit program, which cannot run here" >>"$results/steps.txt"
    echo "$kind $name: not run (needs the 32-bit program)" >&2
    continue
  fi
  after=$(awk '$1 == "after" { print $2 }' "$dir/machine.settings")
  if [ -n "$after" ]; then
    prefix=$WINE_ROOT/$copies$name
    rm -rf "$prefix"
    if [ -d "$WINE_ROOT/$copies$after" ]; then cp -a "$WINE_ROOT/$copies$after" "$prefix"; else prefix=; fi
  else
    prefix=$("$here/prepare-prefix.sh" "$build" "${copies#e2e-}$name")
    if [ -n "$prefix" ] && [ $handover = 0 ]; then
      for exe in zenthar DriverOrbixUninstaller; do
        cp "$prefix/drive_c/NORVA Orbix Printer 4.X/${exe}64.exe" "$prefix/drive_c/NORVA Orbix Printer 4.X/$exe.exe"
      done
    fi
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
    echo "pass $run $kind $name" >>"$results/steps.txt"
    echo "$kind $name: pass ($seconds s)" >&2
  else
    failures=$((failures + 1))
    echo "fail $run $kind $name" >>"$results/steps.txt"
    echo "$kind $name: FAIL ($seconds s); see $dir" >&2
    grep -h -E '^(FAIL|.*FAIL:)' "$dir/user.log" "$dir/checks.txt" 2>/dev/null | head -10 >&2
  fi
  if [ $rc -eq 0 ] && [ "${ZENTHAR_E2E_KEEP:-0}" != 1 ]; then
    finished+=("$name")
    needed_later "$name" || rm -rf "$WINE_ROOT/$copies$name"
  fi
done
if [ "${ZENTHAR_E2E_KEEP:-0}" != 1 ]; then
  for name in "${finished[@]}"; do rm -rf "$WINE_ROOT/$copies$name"; done
fi
[ $failures -eq 0 ]
