#!/usr/bin/env bash
# Signs the Windows program for a publisher, with Authenticode through osslsigncode:
#   sign.sh IN OUT CERTIFICATES KEY [PASSWORD_FILE] [TIMESTAMP_URL]
# CERTIFICATES is the publisher's certificate with its chain and KEY its private key, both
# PEM. An empty PASSWORD_FILE means the key is not encrypted; with a TIMESTAMP_URL an
# RFC 3161 authority countersigns, so the signature outlives the certificate.
set -euo pipefail
in="$1" out="$2" certificates="$3" key="$4" password_file="${5:-}" timestamp_url="${6:-}"

arguments=(sign -certs "$certificates" -key "$key" -h sha256 -n "ORVALIS Brelvan start-up menu")
[ -n "$password_file" ] && arguments+=(-readpass "$password_file")
[ -n "$timestamp_url" ] && arguments+=(-ts "$timestamp_url")

rm -f "$out"
osslsigncode "${arguments[@]}" -in "$in" -out "$out" > /dev/null
osslsigncode verify -in "$out" -CAfile "$certificates" > /dev/null ||
    osslsigncode verify -in "$out" > /dev/null ||
    { echo "sign.sh: the signature on $out does not verify against its own certificates" >&2; exit 1; }
echo "Signed $out"
