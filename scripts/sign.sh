#!/usr/bin/env bash
# Signs files in place (Authenticode, SHA-256) with Debian's osslsigncode, from the certificate
# the organisation gives through its environment; nothing of it is ever kept in this tree.
#
#   ZENTHAR_SIGN_PKCS12=FILE ZENTHAR_SIGN_PASSWORD=... [ZENTHAR_SIGN_TIMESTAMP=URL] scripts/sign.sh FILE...
#
#   ZENTHAR_SIGN_PKCS12     the code-signing certificate with its key, as a PKCS#12 file
#   ZENTHAR_SIGN_PASSWORD   that file's password
#   ZENTHAR_SIGN_TIMESTAMP  an RFC 3161 time-stamp server (optional): a time-stamped signature
#                           stays valid after the certificate expires
# The password reaches osslsigncode through a pipe, not its command line, which any user of the
# machine can read. A file that cannot be signed is left as it was and the script fails.
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: sign.sh FILE..." >&2; exit 2; }
pkcs12=${ZENTHAR_SIGN_PKCS12:-}
[ -n "$pkcs12" ] && [ -f "$pkcs12" ] || { echo "sign: ZENTHAR_SIGN_PKCS12 names no file: '$pkcs12'" >&2; exit 2; }
[ -n "${ZENTHAR_SIGN_PASSWORD+set}" ] || { echo "sign: ZENTHAR_SIGN_PASSWORD is not set" >&2; exit 2; }
command -v osslsigncode >/dev/null || { echo "sign: osslsigncode is missing (make deps installs it)" >&2; exit 1; }
timestamp=()
[ -n "${ZENTHAR_SIGN_TIMESTAMP:-}" ] && timestamp=(-ts "$ZENTHAR_SIGN_TIMESTAMP")

failed=0
for file in "$@"; do
  signed=$file.signed
  rm -f "$signed"
  if osslsigncode sign -pkcs12 "$pkcs12" -readpass <(printf '%s' "$ZENTHAR_SIGN_PASSWORD") -h sha256 \
       -n "Zenthar" "${timestamp[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1 &&
     mv -f "$signed" "$file"; then
    rm -f "$signed.log"; echo "signed $file"
  else
    echo "sign: $file could not be signed:" >&2; cat "$signed.log" >&2
    rm -f "$signed" "$signed.log"; failed=1
  fi
done
exit $failed
