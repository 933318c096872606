#!/usr/bin/env bash
# Each shipped program must be one GUI file with its manifest inside: the 32-bit ones
# (zenthar.exe, DriverOrbixUninstaller.exe) PE32 for i386, their 64-bit twins (the same names
# ending in 64) PE32+ for x86-64.
#
#   scripts/check-product.sh EXE...
set -uo pipefail
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
  # No DLLs of the compiler's runtime may be needed beside it.
  if "$objdump" -p "$exe" | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread)'; then
    fail "depends on a runtime DLL"
  fi
  grep -q 'requireAdministrator' "$exe" || fail "no administrator manifest"
  grep -q 'Microsoft.Windows.Common-Controls' "$exe" || fail "no common controls 6 in the manifest"
  if grep -q 'supportedOS' "$exe"; then fail "the manifest lists supported systems"; fi
done
exit $failed
