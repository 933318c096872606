#!/usr/bin/env bash
# The shipped program must be one 32-bit GUI file with its manifest inside.
set -uo pipefail
exe=${1:?zenthar.exe}
[ -f "$exe" ] || { echo "missing: $exe" >&2; exit 1; }
desc=$(file -b "$exe")
case "$desc" in
  "PE32 executable (GUI) Intel 80386"*) ;;
  *) echo "not a 32-bit GUI program: $desc" >&2; exit 1 ;;
esac
# No DLLs of the compiler's runtime may be needed beside it.
if i686-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: (libgcc|libstdc|libwinpthread)'; then
  echo "depends on a runtime DLL" >&2; exit 1
fi
grep -q 'requireAdministrator' "$exe" || { echo "no administrator manifest" >&2; exit 1; }
grep -q 'Microsoft.Windows.Common-Controls' "$exe" || { echo "no common controls 6 in the manifest" >&2; exit 1; }
if grep -q 'supportedOS' "$exe"; then echo "the manifest lists supported systems" >&2; exit 1; fi
exit 0
