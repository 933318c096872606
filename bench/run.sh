#!/usr/bin/env bash
# make bench: builds the benchmarks and runs them; prints each figure with its goal and the
# machine it ran on.
#   1. Our code only: Google Benchmark programs, optimised (build/rel-bench), on the headless
#      backend and the simulated machine.
#   2. The real programs under Wine and Xvfb, from the Windows builds (build/win32, the shipped
#      i686 program, and build/win64): the copies box key by key on the real main dialog (both
#      builds), the 20-clone dialog run against its designed pauses and the 200-clone quiet
#      run against the spooler's floor (the i686 program).
# ZENTHAR_BENCH_I686_PREFIX names a Wine prefix for the i686 program's key and quiet runs
# (default: fresh copies of the 32-bit end-to-end machine).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${ZENTHAR_BUILD:-$ROOT/build}
dir=$BUILD/rel-bench
mkdir -p "$dir"
if [ ! -f "$dir/Makefile" ]; then
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DZENTHAR_BENCH=ON >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log" >&2; exit 1; }
fi
cmake --build "$dir" -j "${JOBS:-2}" --target zenthar_bench >"$dir.build.log" 2>&1 ||
  { tail -40 "$dir.build.log" >&2; exit 1; }
echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores, $(uname -sr)"
echo "Load: $(uptime | sed 's/.*load average/load average/')"
echo
echo "== Our code only (headless backend, simulated machine)"
# A goal missed here still lets the Wine figures be measured; the exit status says it.
status=0
"$dir/bench/zenthar_bench" "$@" || status=1

# The Windows builds with what the Wine figures run: the programs, the end-to-end user and
# checker, the benchmark programs, and the x86_64 build's stand-in port monitor (the machine
# of both builds' runs has it).
. "$ROOT/scripts/wine-env.sh"
targets=()
for target in zenthar DriverOrbixUninstaller e2e-user e2e-check window-bench spooler-floor KVUSBMON KVUSBMONUI; do
  targets+=(--target "$target")
done
for build in win64:x86_64 win32:i686; do
  name=${build%%:*}
  mkdir -p "$BUILD/$name"
  configure "$BUILD/$name" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/${build#*:}-w64-mingw32.cmake"
  cmake --build "$BUILD/$name" -j "${JOBS:-2}" "${targets[@]}" >"$BUILD/$name.bench-build.log" 2>&1 ||
    { tail -40 "$BUILD/$name.bench-build.log" >&2; exit 1; }
done

echo
echo "== The real programs under Wine and Xvfb"
# The i686 program is measured on a 32-bit Windows (the 32-bit machine), where it does the work
# itself. On a 64-bit Windows it hands the run to its 64-bit twin, so the window a person types
# into there is the x86_64 build's, measured second.
machine32() {   # NAME: a fresh copy of the 32-bit machine, or the prefix the caller named
  if [ -n "${ZENTHAR_BENCH_I686_PREFIX:-}" ]; then echo "$ZENTHAR_BENCH_I686_PREFIX"; return; fi
  "$ROOT/tests/e2e/prepare-prefix.sh" "$BUILD/win32" "$1" | tail -1
}
if why=$(wine32_probe); then
  "$ROOT/bench/wine-keys.sh" "$BUILD/win32/entry/zenthar.exe" "$(machine32 bench-keys-32)" || status=1
else
  echo "The i686 program's figures: not measured, Wine's 32-bit loader does not run here: $why"
  status=1
fi
echo
"$ROOT/bench/wine-keys.sh" "$BUILD/win64/entry/zenthar.exe" || status=1
if [ -z "${why:-}" ]; then
  echo
  "$ROOT/bench/wine-ratio.sh" "$BUILD/win32" || status=1
  echo
  "$ROOT/bench/wine-quiet.sh" "$BUILD/win32/entry/zenthar.exe" "$(machine32 bench-quiet-32)" || status=1
fi
exit $status
