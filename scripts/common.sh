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

# record NAME pass|fail: a result that is not a GoogleTest case (a build, a scenario).
record() {
  mkdir -p "$RESULTS"
  echo "$2 $1" >>"$RESULTS/steps.txt"
}
