#!/usr/bin/env bash
# Signs copies of the shipped files with sign.sh (as the build does when given
# a certificate) using a throw-away certificate, and checks each signature
# with osslsigncode verify against that certificate: present, made by it, and
# matching the file's content. An unsigned file and a signed one changed
# afterwards must both fail the check.
#
# signing_test.sh SIGN WORK FILE...
set -euo pipefail

sign=$1 work=$2
shift 2
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Parvel test signing" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
  >"$work/openssl.txt" 2>&1 || fail "openssl: $(cat "$work/openssl.txt")"

verify() {
  osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.txt" 2>&1
}

for file in "$@"; do
  name=$(basename "$file")
  copy="$work/$(basename "$(dirname "$file")")-$name"
  cp "$file" "$copy"
  ! verify "$copy" || fail "$name verifies before it is signed"
  sh "$sign" "$work/cert.pem" "$work/key.pem" "$copy"
  verify "$copy" || fail "$name: $(cat "$work/verify.txt")"
  grep -q "Signer's certificate:" "$work/verify.txt" || fail "$name: no signer in $(cat "$work/verify.txt")"
  grep -q "CN=Parvel test signing" "$work/verify.txt" || fail "$name is not signed by the test certificate"
  # One byte changed inside the signed content.
  size=$(stat -c %s "$copy")
  printf '\x5a' | dd of="$copy" bs=1 seek=$((size / 3)) conv=notrunc status=none
  ! verify "$copy" || fail "$name still verifies after a change"
  echo "signed and verified: $name"
done
