#!/usr/bin/env bash
# Proves the signing step (make sign) with a throw-away self-signed certificate made here, in
# the build folder: the shipped files and the package are made and signed as an organisation
# makes and signs its copy, each must pass `osslsigncode verify` against that certificate, and
# a copy of each with one byte changed after signing must fail it. Leaves the signed files in
# $BUILD/ship and $BUILD/msi; prints one line per check.
#
#   scripts/check-signing.sh
set -uo pipefail
. "$(dirname "$0")/common.sh"

dir=$BUILD/signing-check
rm -rf "$dir"; mkdir -p "$dir"
password=$(openssl rand -hex 16)
# The password reaches openssl through its environment, as it reaches sign.sh.
openssl req -x509 -newkey rsa:3072 -sha256 -nodes -days 2 -subj "/CN=Zenthar throw-away test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$dir/signer.key" -out "$dir/signer.pem" >"$dir/openssl.log" 2>&1 &&
  SIGNER_PASSWORD=$password openssl pkcs12 -export -inkey "$dir/signer.key" -in "$dir/signer.pem" \
    -out "$dir/signer.p12" -passout env:SIGNER_PASSWORD >>"$dir/openssl.log" 2>&1 ||
  { cat "$dir/openssl.log" >&2; echo "check-signing: no throw-away certificate" >&2; exit 1; }
rm -f "$dir/signer.key"

export ZENTHAR_SIGN_PKCS12=$dir/signer.p12 ZENTHAR_SIGN_PASSWORD=$password
unset ZENTHAR_SIGN_TIMESTAMP
ship=$("$ROOT/scripts/ship.sh") || { echo "check-signing: the shipped files were not made and signed" >&2; exit 1; }
msi=$("$ROOT/scripts/msi.sh" 2>"$dir/msi.log" | tail -1) && [ -f "$msi" ] ||
  { tail -20 "$dir/msi.log" >&2; echo "check-signing: the package was not made and signed" >&2; exit 1; }

verify() { osslsigncode verify -CAfile "$dir/signer.pem" -in "$1" >"$dir/verify.log" 2>&1; }
failed=0 checked=0
for file in "$ship"/* "$msi"; do
  name=$(basename "$file")
  if verify "$file"; then
    echo "check-signing: $name passes verification"
  else
    cat "$dir/verify.log" >&2; echo "check-signing: $name fails verification" >&2; failed=1
  fi
  # One byte in the middle of the file, well before the signature at its end.
  changed=$dir/changed-$name
  python3 -c 'import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[len(data) // 2] ^= 0xFF
open(sys.argv[2], "wb").write(data)' "$file" "$changed"
  if verify "$changed"; then
    echo "check-signing: $name still passes verification after a byte was changed" >&2; failed=1
  else
    echo "check-signing: $name with a byte changed fails verification"
  fi
  checked=$((checked + 1))
done
# The four programs, the action library and the package.
[ $checked -eq 6 ] || { echo "check-signing: $checked files checked, 6 expected" >&2; failed=1; }
exit $failed
