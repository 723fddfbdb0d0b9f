#!/usr/bin/env bash
# Every signed release file carries a signature that osslsigncode accepts
# with the signing certificate as the trusted root.
#   scripts/verify-signatures.sh CERT STAGE_DIR SETUP.exe
set -euo pipefail
cert=$1
stage=$2
setup=$3
n=0
for f in "$stage"/*.dll "$stage"/*.exe "$stage"/simulator/* "$setup"; do
  if ! out=$(osslsigncode verify -CAfile "$cert" -in "$f" 2>&1); then
    echo "$f: signature not accepted"; echo "$out"; exit 1
  fi
  grep -q "Signature verification: ok" <<<"$out" || { echo "$f:"; echo "$out"; exit 1; }
  n=$((n + 1))
done
echo "signatures: $n files verified"
