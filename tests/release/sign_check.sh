#!/usr/bin/env bash
# Signs a copy of the program as scripts/sign does for a release, with a throwaway self-signed
# code-signing certificate, and checks that the signature verifies against that certificate and
# no other, that the signed program still passes pe_check.sh, and that it still starts, asks
# before closing and ends under Wine:
#   sign_check.sh EXE MACHINE OBJDUMP MAX_BYTES WINE_RUN SESSION ARCH PROGRAM_TESTS
set -euo pipefail

exe=$1
machine=$2
objdump=$3
max_bytes=$4
wine_run=$5
session=$6
arch=$7
program_tests=$8
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A certificate for code signing and a second one that did not sign anything.
for name in signer stranger; do
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=renpin test $name" \
    -addext "extendedKeyUsage=codeSigning" -addext "keyUsage=digitalSignature" \
    -keyout "$work/$name.key" -out "$work/$name.pem" 2>/dev/null
done
password=throwaway-$$
openssl pkcs12 -export -inkey "$work/signer.key" -in "$work/signer.pem" -out "$work/signer.pfx" \
  -passout "pass:$password"

# The program as a build with a maker's page of its own left it; the signature must name that page.
mkdir "$work/build"
cp "$exe" "$work/build/renpin.exe"
page=https://example.org/renpin-sign-check/
echo "RENPIN_MAKER_PAGE:STRING=$page" >"$work/build/CMakeCache.txt"
signed=$work/renpin.exe
RENPIN_SIGN_PFX=$work/signer.pfx RENPIN_SIGN_PASSWORD=$password \
  "$here/../../scripts/sign" "$work/build/renpin.exe" "$signed"
if ! grep -qaF "$page" "$signed"; then
  echo "sign_check: the signature does not name the build's page $page" >&2
  exit 1
fi

if ! osslsigncode verify -CAfile "$work/signer.pem" -in "$signed" >"$work/verify.log" 2>&1; then
  cat "$work/verify.log" >&2
  echo "sign_check: the signature does not verify against the certificate that made it" >&2
  exit 1
fi
if osslsigncode verify -CAfile "$work/stranger.pem" -in "$signed" >/dev/null 2>&1; then
  echo "sign_check: the signature verifies against a certificate that did not make it" >&2
  exit 1
fi
bash "$here/pe_check.sh" "$signed" "$machine" "$objdump" "$max_bytes"

# Passes on 77 where this machine cannot run the program's architecture under Wine.
status=0
RENPIN_PROGRAM_UNDER_TEST=$signed "$wine_run" "$session" "$arch" "$program_tests" \
  --gtest_filter=Program.AsksBeforeClosingAndEndsOnlyOnYes >"$work/run.log" 2>&1 || status=$?
cat "$work/run.log"
[ "$status" -ne 77 ] || exit 77
if [ "$status" -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$work/run.log"; then
  echo "sign_check: the signed program did not start, ask and end as it should" >&2
  exit 1
fi
echo "sign_check: the signed program verifies, passes pe_check and runs"
