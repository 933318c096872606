# Shared settings of the scripts: where builds, results and Wine prefixes live.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${ZENTHAR_BUILD:-$ROOT/build}
RESULTS=$BUILD/results
JOBS=${JOBS:-$(nproc)}

# configure DIR [cmake args...]: configures a build folder once; later builds are incremental.
configure() {
  local dir=$1; shift
  if [ ! -f "$dir/Makefile" ]; then
    cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >"$dir.configure.log" 2>&1 || {
      cat "$dir.configure.log" >&2; return 1; }
  fi
}

# build_windows DIR TOOLCHAIN TARGET...: those targets of a Windows Debug build (the test
# programs' build), configured once; a failed build shows its log's end and ends the script.
build_windows() { windows_build Debug "$@"; }

# build_release DIR TOOLCHAIN TARGET...: the same of a release build (cmake/Release.cmake), the
# build that ships.
build_release() { windows_build Release "$@"; }

windows_build() {   # Debug|Release dir toolchain target...
  local type=$1 dir=$2 toolchain=$3 targets=() t; shift 3
  for t in "$@"; do targets+=(--target "$t"); done
  mkdir -p "$dir"
  configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/$toolchain.cmake" -DCMAKE_BUILD_TYPE="$type" &&
    cmake --build "$dir" -j "$JOBS" "${targets[@]}" >"$dir.build.log" 2>&1 || { tail -30 "$dir.build.log" >&2; exit 1; }
}

# ship_file TOOLCHAIN BUILT SHIPPED [SYMBOLS_DIR]: BUILT as it ships, without its symbols, which go
# to SYMBOLS_DIR (default $BUILD/symbols) as <shipped name>.debug, named inside the shipped file
# so that a debugger finds them. objcopy would write the time into the PE header; with
# SOURCE_DATE_EPOCH it writes none, and the same build gives the same file.
ship_file() {   # toolchain built shipped [symbols dir]
  local objcopy=$1-objcopy built=$2 shipped=$3 symbols=${4:-$BUILD/symbols}
  local debug=$symbols/$(basename "$3").debug
  mkdir -p "$symbols"
  rm -f "$debug" "$shipped"
  SOURCE_DATE_EPOCH=0 "$objcopy" --only-keep-debug "$built" "$debug" &&
    SOURCE_DATE_EPOCH=0 "$objcopy" --strip-all --add-gnu-debuglink="$debug" "$built" "$shipped"
}

# sign_if_asked FILE...: signs the files in place (scripts/sign.sh) when the organisation's
# certificate is named (ZENTHAR_SIGN_PKCS12); otherwise leaves them as they are.
sign_if_asked() {
  [ -n "${ZENTHAR_SIGN_PKCS12:-}" ] || return 0
  "$ROOT/scripts/sign.sh" "$@" >&2
}

# record RUN NAME pass|fail: a result that is not a GoogleTest case (a build, a scenario),
# counted in RUN, one of the runs of scripts/count-results.py (host, builds, e2e64, ...); a
# line naming another run is a failure in the totals, and so is a call of another shape.
record() {
  mkdir -p "$RESULTS"
  if [ $# -ne 3 ] || { [ "$3" != pass ] && [ "$3" != fail ]; }; then
    echo "record: wants RUN NAME pass|fail, was given: $*" >&2
    echo "fail record-misuse $*" >>"$RESULTS/steps.txt"
    return 1
  fi
  echo "$3 $1 $2" >>"$RESULTS/steps.txt"
}

# note RUN TEXT: something said about RUN that is neither a pass nor a failure (a run this
# machine cannot make, with its reason). scripts/totals.sh prints it apart from the counts.
note() {
  mkdir -p "$RESULTS"
  echo "note $1 $2" >>"$RESULTS/steps.txt"
}

# failures_in XML: the number of failed cases in one result file (scripts/count-results.py);
# 1 when the file cannot be read.
failures_in() {
  local counts
  counts=$(python3 "$ROOT/scripts/count-results.py" --file "$1" 2>/dev/null) || { echo 1; return; }
  echo "${counts#* }"
}

# run_ctest NAME DIR [ctest args...]: the CTest tests of a build folder, their JUnit file as
# $RESULTS/NAME.xml. A run that leaves no file, or whose exit code says more went wrong than
# its file shows, is a failure of its own.
run_ctest() {
  local name=$1 dir=$2 xml=$RESULTS/$1.xml rc; shift 2
  mkdir -p "$RESULTS"; rm -f "$xml"
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j "$JOBS" --output-junit "$xml" "$@") \
    >"$dir.ctest.log" 2>&1
  rc=$?
  if [ ! -s "$xml" ]; then
    record "$name" "$name tests: no result file (ctest exit $rc)" fail
  elif [ $rc -ne 0 ] && [ "$(failures_in "$xml")" = 0 ]; then
    record "$name" "$name tests: ctest exit $rc with no failed test in its report" fail
  fi
  return $rc
}

# expect_verdicts RUN KIND NAME...: every NAME must have left a line "pass RUN KIND NAME" or
# "fail RUN KIND NAME" in steps.txt, or a note "note RUN KIND NAME not run: WHY" (a scenario
# this machine cannot make); each that did not is a failure.
expect_verdicts() {
  local run=$1 kind=$2 name missing=0; shift 2
  for name in "$@"; do
    if ! grep -qxF -e "pass $run $kind $name" -e "fail $run $kind $name" "$RESULTS/steps.txt" 2>/dev/null &&
       ! grep -qF "note $run $kind $name not run: " "$RESULTS/steps.txt" 2>/dev/null; then
      record "$run" "$kind $name: no verdict" fail; missing=1
    fi
  done
  return $missing
}
