#!/usr/bin/env bash
# Under Wine: the quiet installation of N clones (default 200) against the spooler's own
# floor, each timed as a whole process on the same machine, and the quiet removal of those N.
#
#   bench/wine-quiet.sh PROGRAM [PREFIX] [N]
#
# PROGRAM is a Windows build's entry/zenthar.exe; the removal is the same build's
# DriverOrbixUninstaller.exe and the floor its bench/win/spooler-floor.exe (the driver,
# printer and settings-record calls of each clone, in a loop and nothing else). PREFIX is the
# Wine prefix to run in (used as it is, so it must hold none of the N printers); without it, a
# fresh copy of the end-to-end machine of the program's build. ROUNDS (default 5) rounds of
# the quiet run and its removal beside the floor; the medians are printed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../scripts/wine-env.sh"

# seconds LOG COMMAND...: runs it, its output to LOG; prints its wall time in seconds and its
# exit code.
seconds() {
  local log=$1 start end rc
  shift
  start=$(date +%s.%N)
  "$@" </dev/null >"$log" 2>&1
  rc=$?
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" -v rc="$rc" 'BEGIN { printf "%.2f %d\n", e - s, rc }'
}

if [ "${1:-}" = "--inside" ]; then
  prefix=$2 program=$3 clones=$4 logs=$5 build=$(dirname "$(dirname "$3")")
  trap 'wine_stop "$prefix"' EXIT
  wine_start "$prefix" </dev/null >/dev/null 2>&1
  wine_use "$(pe_machine "$program")"
  export WINEPREFIX=$prefix
  datatypes() { "$WINE64" regedit /S 'C:\bench-datatypes.reg' >/dev/null 2>&1; }
  # The spooler copies a driver's files from the driver directory at each registration: the
  # floor starts from the driver directory as the installation's own copy step left it (the
  # removal takes the files away).
  drivers=$prefix/drive_c/windows/system32/spool/drivers
  left=$(mktemp -d)
  quiet() {
    datatypes
    read -r time rc < <(seconds "$logs/quiet-$round.log" timeout 900 "$WINE" "$program" /quiet /clones "$clones" /interface parallel /port LPT1:)
    echo "quiet $time $rc"
    rm -rf "${left:?}"/*
    for dir in "$drivers"/*/; do
      mkdir -p "$left/$(basename "$dir")"
      find "$dir" -maxdepth 1 -type f -exec cp -p {} "$left/$(basename "$dir")/" \;
    done
    read -r time rc < <(seconds "$logs/removal-$round.log" timeout 900 "$WINE" "$build/entry/DriverOrbixUninstaller.exe" /quiet)
    echo "removal $time $rc"
  }
  floor() {
    datatypes
    cp -rp "$left"/. "$drivers"/
    read -r time rc < <(seconds "$logs/floor-$round.log" timeout 900 "$WINE" "$build/bench/win/spooler-floor.exe" "$clones" LPT1:)
    echo "floor $time $rc"
    timeout 900 "$WINE" "$build/entry/DriverOrbixUninstaller.exe" /quiet </dev/null >"$logs/removal-floor-$round.log" 2>&1
  }
  # Each round times the quiet run, its removal and the floor, each removal leaving the
  # machine as it was. The machine is shared: the rounds alternate which of the two runs goes
  # first, so that both meet the same load (the first round starts with the quiet run, whose
  # copy step the floor's driver directory is taken from).
  for round in $(seq 1 "${ROUNDS:-5}"); do
    if [ $((round % 2)) = 1 ]; then quiet; floor; else floor; quiet; fi
  done
  rm -rf "$left"
  exit
fi

program=${1:?path of zenthar.exe}
[ -f "$program" ] || { echo "wine quiet: no $program" >&2; exit 1; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
build=$(dirname "$(dirname "$program")")
clones=${3:-200}
logs=$BUILD/bench-wine-quiet-$(basename "$build")
rm -rf "$logs"; mkdir -p "$logs"
for exe in entry/DriverOrbixUninstaller.exe bench/win/spooler-floor.exe; do
  [ -f "$build/$exe" ] || { echo "wine quiet: no $build/$exe (build the Windows build)" >&2; exit 1; }
done
machine=$(pe_machine "$program")
if [ "$machine" = i386 ]; then
  why=$(wine32_probe) || { echo "wine quiet: Wine's 32-bit loader does not run here: $why" >&2; exit 1; }
fi
if [ -n "${2:-}" ]; then
  prefix=$2
else
  prefix=$("$here/../tests/e2e/prepare-prefix.sh" "$build" "bench-quiet-$machine") || exit 1
fi
# Wine 8 cannot open a printer added without a data type, as the installation adds it (see
# tests/e2e/run-e2e.sh, printer-datatype): the value is set for each clone before each run
# that adds them (a removal takes it away with the printer).
{
  echo REGEDIT4
  for i in $(seq 1 "$clones"); do
    printf '\n[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\Print\\Printers\\NORVA Orbix #%d]\n"Datatype"="RAW"\n' "$i"
  done
} >"$prefix/drive_c/bench-datatypes.reg"

xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inside "$prefix" "$program" "$clones" "$logs" >"$logs/times.txt"
if [ -z "${2:-}" ]; then wine_stop "$prefix"; rm -rf "$prefix" 2>/dev/null || { sleep 2; rm -rf "$prefix"; }; fi
# median KIND: the median of that kind's times; failed runs are counted apart.
median() { awk -v k="$1" '$1 == k { print $2 }' "$logs/times.txt" | sort -n | awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
failed=$(awk '$3 != 0' "$logs/times.txt" | wc -l)
quiet=$(median quiet) floor=$(median floor) removal=$(median removal)
if [ -z "$floor" ]; then echo "wine quiet: the run did not finish (see $logs)" >&2; exit 1; fi
rounds=$(grep -c '^quiet' "$logs/times.txt")
echo "Quiet run under Wine, $clones clones: $program ($machine), median of $rounds rounds"
printf '  %-60s %8.2f s\n' "zenthar.exe /quiet /clones $clones (whole process)" "$quiet"
printf '  %-60s %8.2f s\n' "the spooler's floor: the same spooler calls, nothing else" "$floor"
printf '  %-60s %8.2f s\n' "DriverOrbixUninstaller.exe /quiet (the $clones removed)" "$removal"
awk -v q="$quiet" -v f="$floor" 'BEGIN { printf "  ratio quiet run / floor: %.3f (goal <= 1.10)\n", q / f }'
if [ "$failed" != 0 ]; then echo "  $failed runs failed (see $logs)"; exit 1; fi
