#!/usr/bin/env bash
# Builds the shipped files a second time, from nothing, in another folder ($BUILD/reproduce),
# and compares them byte for byte with $BUILD/ship: the same sources must give the same files
# whoever builds them, wherever and whenever. Prints each file's hash; fails on any difference.
#
#   scripts/reproduce.sh
set -uo pipefail
. "$(dirname "$0")/common.sh"

# The files compared are the unsigned ones: a signature holds its own time. Shipping again from
# the release builds already made only strips and copies.
ship=$(env -u ZENTHAR_SIGN_PKCS12 "$ROOT/scripts/ship.sh") || exit 1
again=$BUILD/reproduce
rm -rf "$again"; mkdir -p "$again"
second=$(env -u ZENTHAR_SIGN_PKCS12 ZENTHAR_BUILD="$again" "$ROOT/scripts/ship.sh") || exit 1

failed=0
for file in "$ship"/*; do
  name=$(basename "$file")
  first_hash=$(sha256sum <"$file") second_hash=$(sha256sum <"$second/$name" 2>/dev/null)
  if [ "$first_hash" = "$second_hash" ]; then
    echo "reproduce: $name ${first_hash%% *}"
  else
    echo "reproduce: $name differs: ${first_hash%% *} and ${second_hash%% *}" >&2; failed=1
  fi
done
[ "$(ls "$ship" | wc -l)" = "$(ls "$second" | wc -l)" ] || { echo "reproduce: the two folders hold different files" >&2; failed=1; }
exit $failed
