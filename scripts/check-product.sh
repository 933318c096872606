#!/usr/bin/env bash
# Each shipped program (zenthar.exe, DriverOrbixUninstaller.exe) must be one 32-bit GUI file
# with its manifest inside.
#
#   scripts/check-product.sh EXE...
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: check-product.sh EXE..." >&2; exit 2; }
failed=0
for exe in "$@"; do
  fail() { echo "$exe: $1" >&2; failed=1; }
  [ -f "$exe" ] || { fail "missing"; continue; }
  desc=$(file -b "$exe")
  case "$desc" in
    "PE32 executable (GUI) Intel 80386"*) ;;
    *) fail "not a 32-bit GUI program: $desc"; continue ;;
  esac
  # No DLLs of the compiler's runtime may be needed beside it.
  if i686-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread)'; then
    fail "depends on a runtime DLL"
  fi
  grep -q 'requireAdministrator' "$exe" || fail "no administrator manifest"
  grep -q 'Microsoft.Windows.Common-Controls' "$exe" || fail "no common controls 6 in the manifest"
  if grep -q 'supportedOS' "$exe"; then fail "the manifest lists supported systems"; fi
done
exit $failed
