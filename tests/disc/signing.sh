#!/usr/bin/env bash
# A publisher's signing, with a throwaway self-signed certificate made here: the signed
# program verifies, its chain is (rightly) untrusted, and the mastered image carries it.
#   signing.sh SIGN_SCRIPT DISC_MASTER DISC_CHECK DISC_FOLDER
set -euo pipefail
sign="$1" master="$2" check="$3" disc="$4"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "$*" >&2; exit 1; }

echo "a throwaway password" > "$work/password"
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -subj "/CN=Throwaway Test Publisher/O=ORVALIS tests" \
    -keyout "$work/key.pem" -passout "file:$work/password" -out "$work/certificate.pem" 2> /dev/null

cp -r "$disc" "$work/disc"
"$sign" "$disc/OrvalisBrelvan.exe" "$work/disc/OrvalisBrelvan.exe" "$work/certificate.pem" "$work/key.pem" "$work/password"
"$master" "$work/disc" "$work/signed.iso" > /dev/null

# From the image, as a burnt disc would give it.
osirrox -indev "$work/signed.iso" -extract /OrvalisBrelvan.exe "$work/from-image.exe" 2> /dev/null
cmp "$work/disc/OrvalisBrelvan.exe" "$work/from-image.exe" || fail "the image does not carry the signed program"

verified="$(osslsigncode verify -in "$work/from-image.exe" 2>&1)" && fail "a self-signed chain was trusted"
echo "$verified"
current="$(sed -n 's/^Current message digest *: //p' <<< "$verified")"
calculated="$(sed -n 's/^Calculated message digest *: //p' <<< "$verified")"
[ -n "$current" ] && [ "$current" = "$calculated" ] || fail "the signed digest does not match the program"
grep -q "Subject: /CN=Throwaway Test Publisher" <<< "$verified" || fail "no signer"
grep -q "self-signed certificate" <<< "$verified" || fail "untrusted for another reason than its self-signed chain"
osslsigncode verify -in "$work/from-image.exe" -CAfile "$work/certificate.pem" > /dev/null 2>&1 ||
    fail "the signature does not verify against its own certificate"

report="$("$check" "$work/signed.iso")" || fail "disc-check refused the signed image: $report"
grep -qx "info: OrvalisBrelvan.exe is signed by CN = Throwaway Test Publisher, O = ORVALIS tests" <<< "$report" ||
    fail "disc-check did not name the signer: $report"
echo "disc-check: $(grep '^info: ' <<< "$report")"
