#!/bin/bash
# Signs executables and Windows Installer packages with Authenticode, SHA-256, in place.
# Usage: sign.sh CERTIFICATE.pfx PASSWORD FILE...
# With TIMESTAMP_URL set (an RFC 3161 time-stamp server), each signature is time-stamped, so it
# stays valid after the certificate expires.
set -euo pipefail
[ $# -ge 3 ] || { echo "usage: $0 CERTIFICATE.pfx PASSWORD FILE..." >&2; exit 2; }
certificate=$1 password=$2
shift 2
[ -r "$certificate" ] || { echo "sign.sh: cannot read $certificate" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The password reaches osslsigncode through a file only this user reads, not its command line.
(umask 077 && printf '%s' "$password" > "$work/password")
timestamp=()
[ -n "${TIMESTAMP_URL:-}" ] && timestamp=(-ts "$TIMESTAMP_URL")
for file in "$@"; do
  [ -f "$file" ] || { echo "sign.sh: no file $file" >&2; exit 1; }
  unsigned="$work/unsigned" signed="$work/signed"
  # A file signed before (a build signed twice) gets the new signature in place of the old one.
  osslsigncode remove-signature -in "$file" -out "$unsigned" >/dev/null 2>&1 || cp "$file" "$unsigned"
  rm -f "$signed"
  osslsigncode sign -pkcs12 "$certificate" -readpass "$work/password" -h sha256 \
    -n "Orvane Outlook Plug-in" "${timestamp[@]}" -in "$unsigned" -out "$signed" >/dev/null
  # Written over, not replaced: the file keeps its owner and mode.
  cat "$signed" > "$file"
  rm -f "$unsigned"
  echo "sign.sh: signed $file"
done
