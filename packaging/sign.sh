#!/bin/sh
# Signs a Windows file in place with osslsigncode (Authenticode; programs,
# DLLs and Windows Installer packages alike), without a timestamp: signing
# then needs no network. Outlook checks the signature when it loads the
# add-in, while the certificate is valid.
#
# sign.sh CERT KEY FILE
#   CERT  the certificate (PEM or DER), with its chain
#   KEY   its private key, not protected by a password
set -eu
cert=$1 key=$2 file=$3
signed="$file.signed"
rm -f "$signed"
osslsigncode sign -certs "$cert" -key "$key" -h sha256 -n "Parvel" -in "$file" -out "$signed" \
  >/dev/null
mv -f "$signed" "$file"
