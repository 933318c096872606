#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build/rel-fuzz and runs each on its corpus.
#   scripts/fuzz.sh --smoke    each target for a few seconds (make test)
#   scripts/fuzz.sh [SECONDS]  each target for SECONDS (default 300), then the fault matrix
#                              with every error number on every call (make fuzz)
# Prints executions and crashes per target; a crash leaves its input in
# build/rel-fuzz/artifacts/<target>/ and fails the script.
set -uo pipefail
. "$(dirname "$0")/common.sh"

mode=long
seconds=300
case ${1:-} in
  --smoke) mode=smoke; seconds=${FUZZ_SMOKE_SECONDS:-10} ;;
  "") ;;
  *) seconds=$1 ;;
esac
JOBS=${JOBS:-2}
[ "$JOBS" -gt 2 ] && JOBS=2

dir=$BUILD/rel-fuzz
mkdir -p "$dir"
CC=clang CXX=clang++ configure "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTHAR_FUZZ=ON || exit 1
if ! cmake --build "$dir" -j "$JOBS" --target fuzzers >"$dir.build.log" 2>&1; then
  tail -40 "$dir.build.log" >&2
  exit 1
fi

failed=0
for target in Copies PortNames PrinterNames Address UsbDevice Comspec SecurityDescriptor; do
  work=$dir/corpus/$target
  artifacts=$dir/artifacts/$target/
  mkdir -p "$work" "$artifacts"
  limits=()
  case $target in
    Copies) [ $mode = long ] && limits=(-max_len=1048576) ;;   # the box takes up to 1 MiB
    Comspec) limits=(-max_len=12288) ;;                         # past the 4096-byte command line
  esac
  log=$dir/$target.log
  "$dir/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$artifacts" "${limits[@]}" "$work" "$ROOT/fuzz/corpus/$target" >"$log" 2>&1
  rc=$?
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  crashes=0
  if [ $rc -ne 0 ]; then
    crashes=1
    failed=1
    grep -E 'ERROR|FUZZ_CHECK|runtime error|\.cpp:[0-9]+:|Test unit written' "$log" | head -8 >&2
  fi
  echo "fuzz $target: ${executions:-0} executions in ${seconds} s, $crashes crashes"
done

if [ $mode = long ]; then
  host=$BUILD/rel-host
  mkdir -p "$host"
  configure "$host" || exit 1
  if cmake --build "$host" -j "$JOBS" --target fault_matrix >"$host.build.log" 2>&1; then
    ZENTHAR_MATRIX_FULL=1 "$host/tests/faults/fault_matrix" | grep -E '^\[ matrix|^  call' || failed=1
  else
    tail -40 "$host.build.log" >&2
    failed=1
  fi
fi
exit $failed
