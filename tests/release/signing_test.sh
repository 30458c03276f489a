#!/usr/bin/env bash
# Signing as the release does it (scripts/sign), with a throw-away
# certificate: a built DLL and its installer (scripts/msi) each verify
# against that certificate with a SHA-256 digest, not against another one,
# and no longer after one byte of the signed content has changed. Needs no
# Wine.
# Usage: signing_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$top/tests/support/check.sh"
. "$top/scripts/sign"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

certificate() {
  openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj "/CN=$1" \
    -keyout "$1.key" -out "$1.pem" 2>/dev/null
}
certificate signer
certificate stranger

verifies() {  # FILE CERT
  osslsigncode verify -CAfile "$2" -in "$1" >"$1.verify" 2>&1
}
# Changes the byte at OFFSET of FILE (its lowest bit).
flip_byte() {
  local b
  b=$(od -An -tu1 -j "$2" -N1 "$1" | tr -d ' ')
  printf "$(printf '\\%03o' $((b ^ 1)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
# check_signed NAME FILE OFFSET: FILE was signed; OFFSET lies in what the
# signature covers.
check_signed() {
  local name=$1 file=$2
  check "$name verifies against the signing certificate" "verifies '$file' signer.pem"
  check "$name has a SHA-256 digest" "grep -q 'Message digest algorithm *: SHA256' '$file.verify'"
  check "$name is not taken for another certificate's" "! verifies '$file' stranger.pem"
  cp "$file" "$file.changed"
  flip_byte "$file.changed" "$3"
  check "$name with a byte changed at $3 fails verification" "! verifies '$file.changed' signer.pem"
}

export VEMO_SIGN_CERT=$tmp/signer.pem VEMO_SIGN_KEY=$tmp/signer.key
SOURCE_DATE_EPOCH=$(git -C "$top" log -1 --format=%ct 2>/dev/null || echo 1700000000)
export SOURCE_DATE_EPOCH

cp "$build/VemoFunction.dll" dll-unsigned.dll
cp dll-unsigned.dll VemoFunction.dll
check "an unsigned DLL does not verify" "! verifies dll-unsigned.dll signer.pem"
check "the DLL is signed" "sign_file VemoFunction.dll"
# Middle of the file: code or data, below the certificate table at the end.
check_signed "the signed DLL" VemoFunction.dll $(($(stat -c %s dll-unsigned.dll) / 2))
"$build/tools/dllcheck" --typelib-of dll-unsigned.dll unsigned.tlb
"$build/tools/dllcheck" --typelib-of VemoFunction.dll signed.tlb
check "signing leaves the DLL's resources as they were" "cmp -s unsigned.tlb signed.tlb"
cp dll-unsigned.dll again.dll
sign_file again.dll
check "the same file signed at the same SOURCE_DATE_EPOCH is the same bytes" "cmp -s VemoFunction.dll again.dll"

mkdir payload
cp dll-unsigned.dll payload/VemoFunction.dll
cp "$build/VemoFunction.manifest" "$build/gen/VemoFunction.tlb" payload/
"$top/scripts/msi" "$build" payload test.msi "$("$build/tools/dllcheck" --version-of dll-unsigned.dll)" >msi.log 2>&1 ||
  { cat msi.log; echo "FAIL: scripts/msi made no installer"; exit 1; }
check "the installer is signed" "sign_file test.msi"
# The first "VemoFunction" text lies in one of the package's streams, all of
# which the signature covers.
at=$(grep -obUa -m1 VemoFunction test.msi | head -1 | cut -d: -f1)
check_signed "the signed installer" test.msi "${at:-0}"

check "a certificate without its key is refused, not ignored" \
  "[[ \$( (unset VEMO_SIGN_KEY; sign_wanted) 2>&1) == *'only one is set'* ]]"
check "no certificate means no signing" "! (unset VEMO_SIGN_CERT VEMO_SIGN_KEY; sign_wanted)"
check_summary
