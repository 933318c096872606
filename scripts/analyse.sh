#!/usr/bin/env bash
# Static analysis: clang-tidy (checks in .clang-tidy) on the code that builds natively; its
# function-size and unused-parameter checks alone on the tests and tools and, through the
# cross builds' compile commands (i686, and x86_64 for what builds at that width alone), on the
# sources that build only for Windows; cppcheck on the whole tree, Windows sources included;
# and the layout of every source (scripts/format.sh).
# Prints every finding; fails on any finding that is not in the accepted list below (each with
# its reason).
set -uo pipefail
. "$(dirname "$0")/common.sh"

# A missing analyser finds nothing: that is a failure, not a clean tree.
for tool in clang-tidy cppcheck python3 clang-format-14; do
  command -v "$tool" >/dev/null 2>&1 || { echo "static analysis: $tool is missing; nothing was analysed" >&2; exit 1; }
done

# Only configured: clang-tidy needs their compile_commands.json. The native one lists the
# fuzzers and the benchmarks too; the x86_64 one adds the tests built for that width alone.
dir=$BUILD/analysis-host
windir=$BUILD/analysis-win32
win64dir=$BUILD/analysis-win64
mkdir -p "$dir" "$windir" "$win64dir"
configure "$dir" -DZENTHAR_FUZZ=ON -DZENTHAR_BENCH=ON || exit 1
configure "$windir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/i686-w64-mingw32.cmake" || exit 1
configure "$win64dir" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchains/x86_64-w64-mingw32.cmake" || exit 1
JOBS=${JOBS:-2}
[ "$JOBS" -gt 2 ] && JOBS=2

# Findings looked at and kept, as "path-pattern check": why.
accepted=(
  # Test and tool code of other suites: small ints whose product cannot overflow (sizes of
  # test pictures), a deliberate string with its terminating zero, atoi on a test's own text,
  # an integer division that is meant, a false bounds warning on an empty range.
  "tests/common/ArtReading.h bugprone-implicit-widening-of-multiplication-result"
  "tests/tools/ArtgenTest.cpp bugprone-integer-division"
  "tests/install/InstallationRunTest.cpp bugprone-string-constructor"
  "tests/ui/FrameworkContractTest.cpp cert-err34-c"
  "tests/connection/ScreensTest.cpp containerOutOfBounds"
  "platform/sim/SimSpooler.cpp bugprone-implicit-widening-of-multiplication-result"
  "tests/connection/NetworkPortTest.cpp passedByValue"
  # The headless user script keeps a copy of each step's text in the step itself.
  "ui/headless/HeadlessBackend.cpp performance-unnecessary-value-param"
  # Both copies stay inside zeroed memory: the record's text entries get constant texts of at
  # most ten characters; the dialog's buffer is cleared and filled to size - 1.
  "install/DeviceConfigRecord.cpp bugprone-not-null-terminated-result"
  "ui/Dialog.cpp bugprone-not-null-terminated-result"
  # The address fuzzer may fill the dialog's whole field and leave no zero, on purpose: the port
  # code must read the field within its size.
  "fuzz/AddressFuzz.cpp bugprone-not-null-terminated-result"
  # Small value types of the art generator (vectors, colours) are passed by value on purpose.
  "tools/artgen/ passedByValue"
  "tools/artgen/ useInitializationList"
  # cppcheck 2.10 cannot read chrono literals (2s) and gives up on these files; clang-tidy
  # checks them.
  "platform/sim/ cppcheckError"
)

is_accepted() {   # path check
  local entry
  for entry in "${accepted[@]}"; do
    [[ $1 == *"${entry% *}"* && $2 == "${entry#* }" ]] && return 0
  done
  return 1
}

findings=$dir/findings.txt
: >"$findings"

echo "== clang-tidy" >&2
# Three lists: what runs natively (the system, the simulated machine, the headless screen,
# the fault matrix, fuzzers and benchmarks) gets every check; the other tests and the tools
# get the size and parameter checks (the full set was written for product code: on test code
# it mostly flags what tests do on purpose); so do the sources that build only for Windows.
python3 - "$dir/compile_commands.json" "$windir/compile_commands.json" "$win64dir/compile_commands.json" "$ROOT" "$dir" <<'PY' || { echo "static analysis: no lists of files for clang-tidy" >&2; exit 1; }
import json, sys
native, windows, windows64, root, out = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4] + "/", sys.argv[5]
lists = {"full": [], "size": [], "windows": [], "windows64": []}
seen = set()
for entry in json.load(open(native)):
    rel = entry["file"].replace(root, "")
    if "googletest" in rel or entry["file"] in seen:
        continue
    seen.add(entry["file"])
    full = not rel.startswith(("tests/", "tools/")) or rel.startswith("tests/faults/")
    lists["full" if full else "size"].append(entry["file"])
for name, database in (("windows", windows), ("windows64", windows64)):
    for entry in json.load(open(database)):
        if "googletest" in entry["file"] or entry["file"] in seen:
            continue
        seen.add(entry["file"])
        lists[name].append(entry["file"])
for name, files in lists.items():
    with open("%s/files-%s.txt" % (out, name), "w") as listing:
        listing.writelines(f + "\n" for f in files)
PY
for name in full size windows; do
  [ -s "$dir/files-$name.txt" ] || { echo "static analysis: clang-tidy was given no file ($name)" >&2; exit 1; }
done
size_checks=(--checks='-*,readability-function-size,misc-unused-parameters')
# clang finds mingw's C++ headers only when told; -nostdinc++ keeps the host's out. GCC lets a
# definition add dllexport to a declaration of the Windows headers, which clang calls an error.
windows_args() {   # target triple: the clang-tidy arguments for a mingw-w64 compile command
  local triple=$1 cxx=/usr/lib/gcc/$1-w64-mingw32/12-posix/include/c++ include
  [ -d "$cxx" ] || { echo "static analysis: no mingw C++ headers in $cxx" >&2; return 1; }
  args=(--extra-arg=--target="$triple-w64-mingw32" --extra-arg=-nostdinc++
        --extra-arg=-Wno-dll-attribute-on-redeclaration)
  for include in "$cxx" "$cxx/$triple-w64-mingw32" "$cxx/backward" "/usr/$triple-w64-mingw32/include"; do
    args+=(--extra-arg-before=-isystem --extra-arg-before="$include")
  done
}

# The headers of this checkout, wherever it lies (a CI clone is not the developer's folder).
header_filter="^$ROOT/(app|install|uninstall|spooler|connection|controls|core|ui|platform|resources|tests|fuzz|bench|entry|packaging|tools)/"
tidy() {   # list build-dir [clang-tidy args...]
  local list=$1 build=$2 start=$SECONDS; shift 2
  # xargs says 123 when an instance reported an error (a finding, kept below); any other
  # failure means clang-tidy did not run through.
  xargs -P "$JOBS" -n 1 clang-tidy -p "$build" --quiet --header-filter="$header_filter" "$@" <"$dir/files-$list.txt" 2>/dev/null |
    grep -E "^/.*: (warning|error): .*\[[a-z0-9.,-]+\]$" |
    sed -E "s#^$ROOT/##; s#^([^:]+):([0-9]+):[0-9]+: (warning|error): (.*) \[([^]]+)\]\$#\1:\2 \5 \4#" |
    sort -u >>"$findings"
  local rc=${PIPESTATUS[0]}
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 123 ]; then echo "static analysis: clang-tidy failed on the $list list (xargs exit $rc)" >&2; exit 1; fi
  echo "clang-tidy, $list list: $(wc -l <"$dir/files-$list.txt") files, $((SECONDS - start)) s" >&2
}
tidy full "$dir"
tidy size "$dir" "${size_checks[@]}"
windows_args i686 || exit 1
tidy windows "$windir" "${size_checks[@]}" "${args[@]}"
windows_args x86_64 || exit 1
[ -s "$dir/files-windows64.txt" ] && tidy windows64 "$win64dir" "${size_checks[@]}" "${args[@]}"

echo "== cppcheck" >&2
start=$SECONDS
cd "$ROOT" || exit 1
cppcheck --enable=warning,performance,portability --std=c++20 --language=c++ --library=googletest -j "$JOBS" \
  --quiet --inline-suppr -I "$ROOT" --suppress=missingIncludeSystem --template='{file}:{line} {id} {message}' \
  app uninstall install spooler connection controls core ui platform resources entry tools fuzz bench tests 2>&1 |
  grep -E "^[a-z]" | sort -u >>"$findings"
cppcheck_rc=${PIPESTATUS[0]}
[ "$cppcheck_rc" -eq 0 ] || { echo "static analysis: cppcheck failed (exit $cppcheck_rc)" >&2; exit 1; }
echo "cppcheck: $((SECONDS - start)) s" >&2

echo "== layout" >&2
start=$SECONDS
# A file that is not laid out as .clang-format says is a finding of its own.
"$ROOT/scripts/format.sh" --check 2>/dev/null | sed -E 's#^(.*): not formatted$#\1:1 clang-format not laid out as .clang-format says (scripts/format.sh lays it out)#' >>"$findings"
format_rc=${PIPESTATUS[0]}
[ "$format_rc" -le 1 ] || { echo "static analysis: scripts/format.sh failed (exit $format_rc)" >&2; exit 1; }
echo "layout: $((SECONDS - start)) s" >&2

new=0; kept=0
while IFS= read -r line; do
  [ -z "$line" ] && continue
  where=${line%% *}; rest=${line#* }; check=${rest%% *}
  if is_accepted "${where%%:*}" "$check"; then
    kept=$((kept + 1)); echo "accepted: $line"
  else
    new=$((new + 1)); echo "FINDING:  $line"
  fi
done <"$findings"
echo "static analysis: $new findings, $kept accepted with their reasons"
[ "$new" -eq 0 ]
