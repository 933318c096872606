#!/usr/bin/env bash
# Builds everything and runs every suite; ends with the totals of scripts/totals.sh, whose
# last line is "N passed, M failed". Suites: the scripts' self-test, native (host),
# AddressSanitizer + UndefinedBehaviorSanitizer, ThreadSanitizer, the two Windows builds (Debug,
# for the test programs) and the release builds that ship, the test programs under Wine (64-bit
# build; 32-bit build where Wine's 32-bit loader runs), the gallery, the end-to-end scenarios (on
# a 64-bit and, where that loader runs, a 32-bit Windows) and the package, all three on the
# release programs; the shipped files' versions, a second release build compared with the
# first, the signing step, fuzzing and static analysis.
set -uo pipefail
. "$(dirname "$0")/wine-env.sh"

rm -rf "$RESULTS"; mkdir -p "$RESULTS"

# First the scripts' own self-test: a fault in how results reach the totals shows at once.
echo "== self-test of the scripts" >&2
"$ROOT/tests/scripts/selftest.sh" >"$BUILD/selftest.log" 2>&1 || cat "$BUILD/selftest.log" >&2
grep -q '^[a-z]* selftest ' "$RESULTS/steps.txt" 2>/dev/null || record selftest "selftest run: it recorded nothing" fail

native_suite() {   # name dir [cmake args...] -- [ctest args...]
  local name=$1 dir=$2; shift 2
  local cargs=() targs=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cargs+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targs=("$@")
  echo "== $name: build" >&2
  mkdir -p "$dir"
  local targets=()
  for t in ${SUITE_TARGETS:-}; do targets+=(--target "$t"); done
  if configure "$dir" "${cargs[@]}" && cmake --build "$dir" -j "$JOBS" "${targets[@]}" >"$dir.build.log" 2>&1; then
    record "$name" "$name build" pass
  else
    tail -40 "$dir.build.log" >&2; record "$name" "$name build" fail; return
  fi
  echo "== $name: tests" >&2
  run_ctest "$name" "$dir" "${targs[@]}" || tail -60 "$dir.ctest.log" >&2
  tail -3 "$dir.ctest.log" >&2
}

cross_build() {   # name dir toolchain
  local name=$1 dir=$2 toolchain=$3
  echo "== $name: build" >&2
  mkdir -p "$dir"
  if configure "$dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/$toolchain.cmake" &&
     cmake --build "$dir" -j "$JOBS" >"$dir.build.log" 2>&1; then
    record builds "$name build" pass
  else
    tail -40 "$dir.build.log" >&2; record builds "$name build" fail
  fi
}

native_suite host "$BUILD/host"
native_suite asan "$BUILD/asan" -DZENTHAR_SANITIZE=address
# Only the programs whose tests start threads are built for ThreadSanitizer.
SUITE_TARGETS="contract_sim sim_thread_tests usb_reconnect_tests reconnect_stress" \
  native_suite tsan "$BUILD/tsan" -DZENTHAR_SANITIZE=thread -- -L threads
cross_build win32 "$BUILD/win32" i686-w64-mingw32
cross_build win64 "$BUILD/win64" x86_64-w64-mingw32
# What ships: the release builds' four programs in one folder, each checked as a customer
# receives it, and the version resource of each shipped file read back as Windows reads it.
echo "== release builds, the shipped files" >&2
if ship=$("$ROOT/scripts/ship.sh") && "$ROOT/scripts/check-product.sh" "$ship"/*.exe; then
  record builds "product files" pass
else
  record builds "product files" fail
fi
if "$ROOT/scripts/check-versions.sh" >"$BUILD/versions.log" 2>&1; then
  record release "version resources read back" pass
else
  tail -20 "$BUILD/versions.log" >&2; record release "version resources read back" fail
fi
# The shipped program is the 32-bit one; some machines cannot execute Wine's 32-bit loader.
if why=$(wine32_probe); then
  wine32=1
else
  wine32=0
  echo "The 32-bit product was not run on this machine: $why." >&2
  note wine32 "wine32 the 32-bit product was not run on this machine: $why"
fi
"$ROOT/scripts/wine-tests.sh" "$BUILD/win64" || true
[ $wine32 -eq 1 ] && { "$ROOT/scripts/wine-tests.sh" "$BUILD/win32" || true; }
# The gallery of the release build, as the dialogs ship.
if (build_release "$BUILD/release/win64" x86_64-w64-mingw32 gallery) &&
   "$ROOT/tests/e2e/gallery/run-gallery.sh" "$BUILD/release/win64" "$RESULTS/screens/gallery" >"$BUILD/gallery.log" 2>&1; then
  record gallery "gallery of every dialog" pass
else
  tail -20 "$BUILD/gallery.log" >&2; record gallery "gallery of every dialog" fail
fi
# The shipped program under Wine, worked by a user program, checked against Wine's own state,
# on a 64-bit Windows (where it hands the work to its 64-bit twin) and a 32-bit one; every
# scenario must leave its verdict.
scenarios=()
for file in "$ROOT"/tests/e2e/scenarios/*.scenario; do scenarios+=("$(basename "$file" .scenario)"); done
"$ROOT/tests/e2e/run-e2e.sh" "$BUILD/win64" "$RESULTS" >"$BUILD/e2e.log" 2>&1 || tail -30 "$BUILD/e2e.log" >&2
expect_verdicts e2e64 e2e "${scenarios[@]}"
if [ $wine32 -eq 1 ]; then
  "$ROOT/tests/e2e/run-e2e.sh" "$BUILD/win32" "$RESULTS" >"$BUILD/e2e32.log" 2>&1 || tail -30 "$BUILD/e2e32.log" >&2
  expect_verdicts e2e32 e2e32 "${scenarios[@]}"
fi
echo "Pictures of the dialogs: $RESULTS/screens" >&2

# The Windows Installer package of the sample package: built, its tables read, and run by
# Wine's msiexec (install by properties, refused properties, removal).
if "$ROOT/scripts/msi.sh" >"$BUILD/msi.log" 2>&1; then
  record msi "msi package built" pass
  "$ROOT/tests/packaging/run-msi.sh" "$BUILD/msi/NORVA Orbix Printer 4.64.msi" "$BUILD/win64" "$RESULTS" >>"$BUILD/msi.log" 2>&1 ||
    tail -20 "$BUILD/msi.log" >&2
else
  tail -20 "$BUILD/msi.log" >&2; record msi "msi package built" fail
fi
msi_cases=(tables)
[ $wine32 -eq 1 ] && msi_cases+=(install-by-properties bad-properties remove existing-folder removal-refused log-link)
expect_verdicts msi msi "${msi_cases[@]}"

# The same sources give the same files: the release programs built once more from nothing in
# another folder. Then the signing step, with a throw-away certificate (it leaves build/ship and
# build/msi signed, so it comes after every run of them).
echo "== release: built twice, signed" >&2
if "$ROOT/scripts/reproduce.sh" >"$BUILD/reproduce.log" 2>&1; then
  record release "release files built twice are the same" pass
else
  tail -20 "$BUILD/reproduce.log" >&2; record release "release files built twice are the same" fail
fi
if "$ROOT/scripts/check-signing.sh" >"$BUILD/signing.log" 2>&1; then
  record release "signed files verified, changed ones refused" pass
else
  tail -20 "$BUILD/signing.log" >&2; record release "signed files verified, changed ones refused" fail
fi

# Reliability: the fuzz targets for a few seconds each, and static analysis. (The fault matrix
# runs inside the native suites, label "matrix"; the USB reconnect stress run under
# ThreadSanitizer, label "threads".)
if "$ROOT/scripts/fuzz.sh" --smoke >"$BUILD/fuzz.log" 2>&1; then
  record fuzz "fuzz smoke runs" pass
else
  tail -20 "$BUILD/fuzz.log" >&2; record fuzz "fuzz smoke runs" fail
fi
grep '^fuzz ' "$BUILD/fuzz.log" >&2
if "$ROOT/scripts/analyse.sh" >"$BUILD/analyse.log" 2>&1; then
  record analysis "static analysis" pass
else
  grep -E 'FINDING' "$BUILD/analyse.log" | head -20 >&2; record analysis "static analysis" fail
fi
tail -1 "$BUILD/analyse.log" >&2

"$ROOT/scripts/totals.sh"
