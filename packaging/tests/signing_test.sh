#!/usr/bin/env bash
# Signs copies of the shipped files with sign.sh (as the build does when given
# a certificate) using a throw-away certificate issued by a throw-away
# certificate authority, and checks each signature with osslsigncode verify
# -CAfile trusting that authority only: present, made by the certificate, and
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

# A company's own certificate authority and a code-signing certificate it
# issued; sign.sh gets the certificate with its chain, and the check trusts
# the authority alone, as the administrator guide shows it.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Parvel test authority" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
  -keyout "$work/ca-key.pem" -out "$work/ca.pem" >"$work/openssl.txt" 2>&1 ||
  fail "openssl: $(cat "$work/openssl.txt")"
openssl req -newkey rsa:2048 -nodes -subj "/CN=Parvel test signing" -keyout "$work/key.pem" \
  -out "$work/request.pem" >"$work/openssl.txt" 2>&1 || fail "openssl: $(cat "$work/openssl.txt")"
printf 'extendedKeyUsage=codeSigning\nkeyUsage=critical,digitalSignature\n' >"$work/extensions.txt"
openssl x509 -req -in "$work/request.pem" -CA "$work/ca.pem" -CAkey "$work/ca-key.pem" \
  -CAcreateserial -days 2 -extfile "$work/extensions.txt" -out "$work/leaf.pem" \
  >"$work/openssl.txt" 2>&1 || fail "openssl: $(cat "$work/openssl.txt")"
cat "$work/leaf.pem" "$work/ca.pem" >"$work/cert.pem"

verify() {
  osslsigncode verify -in "$1" -CAfile "$work/ca.pem" >"$work/verify.txt" 2>&1
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
