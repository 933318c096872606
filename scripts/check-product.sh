#!/usr/bin/env bash
# Each shipped program must be one GUI file of the release build (no debug sections: its
# symbols are kept apart, in build/symbols) with its version resource and its manifest inside:
# the 32-bit ones (zenthar.exe, DriverOrbixUninstaller.exe) PE32 for i386, their 64-bit twins
# (the same names ending in 64) PE32+ for x86-64. Each imports at load time only Windows' KnownDLLs and the
# common controls: any other library named in its import table would be looked for beside the
# program first, where a user may have put a file of that name (the spooler's and setup
# libraries are loaded at run time from the system directory instead).
#
#   scripts/check-product.sh EXE...
set -uo pipefail
allowed_imports="kernel32.dll user32.dll gdi32.dll advapi32.dll msvcrt.dll comctl32.dll"
[ $# -gt 0 ] || { echo "usage: check-product.sh EXE..." >&2; exit 2; }
failed=0
for exe in "$@"; do
  fail() { echo "$exe: $1" >&2; failed=1; }
  [ -f "$exe" ] || { fail "missing"; continue; }
  desc=$(file -b "$exe")
  case "$(basename "$exe")" in
    *64.exe) want="PE32+ executable (GUI) x86-64" objdump=x86_64-w64-mingw32-objdump ;;
    *) want="PE32 executable (GUI) Intel 80386" objdump=i686-w64-mingw32-objdump ;;
  esac
  case "$desc" in
    "$want"*) ;;
    *) fail "not a $want program: $desc"; continue ;;
  esac
  imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p') || imports=
  [ -n "$imports" ] || fail "no import table could be read"
  for library in $imports; do
    case " $allowed_imports " in
      *" ${library,,} "*) ;;
      *) fail "imports $library at load time (allowed: $allowed_imports)" ;;
    esac
  done
  debug=$("$objdump" -h "$exe" | awk '$2 ~ /^\.z?debug/ { printf "%s ", $2 }')
  [ -z "$debug" ] || fail "debug sections inside (not the release build, or not stripped): $debug"
  grep -qaP 'V\x00S\x00_\x00V\x00E\x00R\x00S\x00I\x00O\x00N\x00_\x00I\x00N\x00F\x00O\x00' "$exe" ||
    fail "no version resource"
  grep -q 'requireAdministrator' "$exe" || fail "no administrator manifest"
  grep -q 'Microsoft.Windows.Common-Controls' "$exe" || fail "no common controls 6 in the manifest"
  if grep -q 'supportedOS' "$exe"; then fail "the manifest lists supported systems"; fi
done
exit $failed
