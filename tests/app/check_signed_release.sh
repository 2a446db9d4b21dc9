#!/usr/bin/env bash
# The release signed with the test CA's code-signing certificate, checked with
# the scripts a site and a player use, on the build the tests already have
# and on the second build of installer_reproducible_build; TRUST-CHECK is the
# program that asks WinVerifyTrust (tests/tools/authenticode_trust.cpp):
#   check_signed_release.sh SOURCE PROGRAM SECOND-BUILD CERTIFICATES WORK ORIGIN TRUST-CHECK
set -u
source_dir=$1 program=$2 second=$3 certificates=$4 work=$5 origin=$6 trust_check=$7
[ -f "$second" ] || { echo "SKIP: no second build at $second"; exit 77; }
scripts=$source_dir/scripts
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
verify() { "$scripts/verify-release" "$1" "$origin" --rebuilt "$second" "${@:2}"; }

rm -rf "$work" && mkdir -p "$work/release" || exit 1
release=$work/release signed=$work/release/signed/StarfoldCommunityInstaller.exe
cp "$program" "$release/StarfoldCommunityInstaller.exe" || exit 1
"$scripts/sign-release" --release "$release" --cert "$certificates/code-signing.pem" \
    --key "$certificates/code-signing.key" || { echo "FAIL: sign-release failed"; exit 1; }
cmp -s "$program" "$release/StarfoldCommunityInstaller.exe" || fail "signing changed the unsigned program"
(cd "$release" && sha256sum --quiet -c SHA256SUMS && [ "$(wc -l <SHA256SUMS)" = 2 ]) ||
    fail "SHA256SUMS does not hold both programs' hashes"

verdict=$(verify "$signed" --ca "$certificates/test-ca.pem") || fail "the signed release failed its check: $verdict"
[[ "$verdict" == *"signed by /CN=Starfold Test Code Signing"* ]] || fail "the verdict names no signer: $verdict"
# The system's authorities do not know the test CA.
verdict=$(verify "$signed") && fail "signed by the test CA, valid against the system's: $verdict"

# One changed byte in the code: not the commit's bytes.
cp "$signed" "$work/changed.exe"
printf '\001' | dd of="$work/changed.exe" bs=1 seek=4096 conv=notrunc 2>/dev/null
verdict=$(verify "$work/changed.exe" --ca "$certificates/test-ca.pem") && fail "a changed byte passed: $verdict"
[[ "$verdict" == *"differs"* ]] || fail "the verdict on a changed byte names no difference: $verdict"

# A site's key as a PKCS#12 file, with a password.
echo "test password" >"$work/password" && mkdir "$work/p12" && cp "$program" "$work/p12/" || exit 1
openssl pkcs12 -export -in "$certificates/code-signing.pem" -inkey "$certificates/code-signing.key" \
    -passout "file:$work/password" -out "$work/signer.p12" || exit 1
"$scripts/sign-release" --release "$work/p12" --pkcs12 "$work/signer.p12" --password-file "$work/password" >/dev/null &&
    verdict=$(verify "$work/p12/signed/StarfoldCommunityInstaller.exe" --ca "$certificates/test-ca.pem") ||
    fail "the release signed from a PKCS#12 file failed: $verdict"

# A player's rebuild with the published signature attached is the signed program.
source "$scripts/lib/release-signature"
attach_signature "$signed.pem" "$second" "$work/attached.exe" "$certificates/test-ca.pem" ||
    fail "the detached signature was not attached to the second build"
cmp "$signed" "$work/attached.exe" || fail "the second build with the signature attached is not the signed program"

# Windows' own check, under Wine, with the test CA in the prefix's root store.
# Wine checks the digest but not whom the chain leads to: a signer that signs
# itself passes there too, so only the bytes are judged here.
trust() { "$scripts/wine-exec" "$trust_check" "Z:$1" >/dev/null 2>&1; }
trust "$signed" || fail "WinVerifyTrust refuses the signed program"
trust "$work/changed.exe" && fail "WinVerifyTrust accepts a changed byte"
[ $failures -eq 0 ] && echo "ok: signed, checked and attached again"
exit $((failures > 0))
