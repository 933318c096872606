#!/usr/bin/env bash
# Lays out every C++ source of the tree (the product, its tests, tools, fuzzers, benchmarks and
# packaging) as .clang-format says. The version is pinned: another clang-format lays some lines
# out differently, and the check would then fail on a tree nobody changed.
#
#   scripts/format.sh           rewrites the files that are not formatted, naming each
#   scripts/format.sh --check   changes nothing: names each file that is not formatted
#                               ("PATH: not formatted") and fails when there is one
# Exit codes: 0 done, 1 files not formatted (--check), 2 nothing could be checked or rewritten.
set -uo pipefail
. "$(dirname "$0")/common.sh"

FORMAT=${ZENTHAR_CLANG_FORMAT:-clang-format-14}
folders=(app install uninstall core connection spooler controls ui platform resources entry packaging tools fuzz
         bench tests)

case ${1:-} in
  "") check=0 ;;
  --check) check=1 ;;
  *) echo "usage: scripts/format.sh [--check]" >&2; exit 2 ;;
esac
# Without the formatter or its settings nothing is checked: that is a failure, not a clean tree.
command -v "$FORMAT" >/dev/null 2>&1 || { echo "format: $FORMAT is missing; nothing was checked" >&2; exit 2; }
[ -f "$ROOT/.clang-format" ] || { echo "format: $ROOT/.clang-format is missing; nothing was checked" >&2; exit 2; }

cd "$ROOT" || exit 2
mapfile -d '' files < <(find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 2>/dev/null | sort -z)
[ ${#files[@]} -gt 0 ] || { echo "format: no source found under $ROOT" >&2; exit 2; }

laid_out=$(mktemp)
trap 'rm -f "$laid_out"' EXIT
unformatted=0
for file in "${files[@]}"; do
  "$FORMAT" --style=file "$file" >"$laid_out" || { echo "format: $FORMAT could not read $file" >&2; exit 2; }
  cmp -s "$laid_out" "$file" && continue
  unformatted=$((unformatted + 1))
  if [ $check -eq 1 ]; then
    echo "$file: not formatted"
  else
    "$FORMAT" --style=file -i "$file" || { echo "format: $FORMAT could not rewrite $file" >&2; exit 2; }
    echo "$file: formatted"
  fi
done
if [ $check -eq 1 ] && [ $unformatted -gt 0 ]; then
  echo "format: $unformatted of ${#files[@]} files are not formatted (scripts/format.sh formats them)" >&2
  exit 1
fi
exit 0
