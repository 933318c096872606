#!/usr/bin/env bash
# make bench: builds the benchmarks optimised in build/rel-bench and runs them; prints each
# figure with its goal and the machine it ran on.
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
"$dir/bench/zenthar_bench" "$@"

# The Wine figure needs the x86_64 Windows build with the end-to-end programs.
. "$ROOT/scripts/common.sh"
mkdir -p "$BUILD/win64"
configure "$BUILD/win64" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/x86_64-w64-mingw32.cmake"
cmake --build "$BUILD/win64" -j "${JOBS:-2}" >"$BUILD/win64.build.log" 2>&1 || { tail -40 "$BUILD/win64.build.log" >&2; exit 1; }
"$ROOT/bench/wine-ratio.sh"
"$ROOT/bench/wine-quiet.sh"
