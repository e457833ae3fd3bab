#!/bin/bash
# Builds the release from scratch: the 32-bit and the 64-bit kelvorin.scr in
# fresh build trees (build/release-trees/), checked from outside, and their MSI
# packages; into build/release/: win32/kelvorin.scr, win64/kelvorin.scr,
# kelvorin-VERSION.msi (32-bit), kelvorin-VERSION-x64.msi, kelvorin-VERSION.zip
# with both .scr files, both packages, the README and the licence, and SHA256SUMS
# of them all.
# The same commit gives the same bytes in any folder on any day: every time in
# them is SOURCE_DATE_EPOCH, the last commit's time when not given.
# Signing: KELVORIN_SIGN_PFX (a PKCS#12 file) and KELVORIN_SIGN_PASSWORD sign each
# kelvorin.scr before it is packed and each package after it is built
# (Authenticode, SHA-256), at SOURCE_DATE_EPOCH's time or, with
# KELVORIN_SIGN_TIMESTAMP_URL, with a time stamp from that server. A failure
# leaves no build/release/.
set -euo pipefail
source "$(dirname "$0")/common.sh"
pfx=${KELVORIN_SIGN_PFX:+$(realpath -m -- "$KELVORIN_SIGN_PFX")}
cd "$KELVORIN_ROOT"

ensure_packages --no-wine zip=zip faketime=faketime osslsigncode=osslsigncode openssl=openssl
version=$(sed -n 's/^project(kelvorin VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project(kelvorin VERSION ...) in CMakeLists.txt" >&2; exit 1; }
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
    echo "warning: the working tree has uncommitted changes; they go into the release" >&2
fi
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC

out=build/release
trees=build/release-trees
rm -rf "$out" "$trees"
signed="$trees/signed"
mkdir -p "$signed/win32" "$signed/win64"
secrets=$(mktemp -d)
trap 'rm -rf "$secrets"' EXIT

# sign IN OUT: OUT is IN with an Authenticode signature; a failure stops the
# release with osslsigncode's reason.
sign() {
    local options=(-pkcs12 "$pfx" -h sha256 -n "Kelvorin Power Saver")
    # From a file, so that the password shows in no process list; osslsigncode reads no empty one.
    if [ -s "$secrets/password" ]; then options+=(-readpass "$secrets/password"); else options+=(-pass ""); fi
    if [ -n "${KELVORIN_SIGN_TIMESTAMP_URL:-}" ]; then
        options+=(-ts "$KELVORIN_SIGN_TIMESTAMP_URL")
    else
        options+=(-time "$SOURCE_DATE_EPOCH")
    fi
    if ! osslsigncode sign "${options[@]}" -in "$1" -out "$2" >"$secrets/log" 2>&1; then
        echo "Signing failed (osslsigncode):" >&2
        grep -v '^Failed$' "$secrets/log" >&2
        exit 1
    fi
}
# A copy, or a signed copy when there is a certificate.
place() {
    if [ -n "$pfx" ]; then sign "$1" "$2"; else cp "$1" "$2"; fi
}

if [ -n "$pfx" ]; then
    (umask 077 && printf '%s' "${KELVORIN_SIGN_PASSWORD:-}" > "$secrets/password")
    # An empty package, signed before anything is built, tries the certificate and its password.
    msibuild "$secrets/probe.msi" -s probe
    sign "$secrets/probe.msi" "$secrets/probe-signed.msi"
    echo "Signing with $KELVORIN_SIGN_PFX ($(osslsigncode --version 2>&1 | sed -n '1s/,.*//p'))"
else
    echo "Unsigned release: set KELVORIN_SIGN_PFX and KELVORIN_SIGN_PASSWORD to sign it"
fi

for preset in win32 win64; do
    tree="$trees/$preset"
    echo "Building the $preset kelvorin.scr in $tree"
    cmake --preset "$preset" -B "$tree" -DKELVORIN_TESTS=OFF \
        -DKELVORIN_PACKAGE_SAVER="$KELVORIN_ROOT/$signed/$preset/kelvorin.scr" >/dev/null
    cmake --build "$tree" --target kelvorin -j"$(nproc)" >/dev/null
    tools/check-executable "$tree/kelvorin.scr" >/dev/null
    place "$tree/kelvorin.scr" "$signed/$preset/kelvorin.scr"
    cmake --build "$tree" --target kelvorin_package >/dev/null
    msi=$(basename "$tree"/kelvorin-*.msi)
    place "$tree/$msi" "$signed/$msi"
    tools/check-executable "$signed/$preset/kelvorin.scr" | grep '^signature:'
done

# The zip holds its files in a fixed order, with the same times and modes.
stage="$trees/kelvorin-$version"
files=(win32/kelvorin.scr win64/kelvorin.scr "kelvorin-$version.msi" "kelvorin-$version-x64.msi")
mkdir -p "$stage/win32" "$stage/win64"
for file in "${files[@]}"; do cp "$signed/$file" "$stage/$file"; done
cp README.md LICENSE "$stage/"
chmod 644 "${files[@]/#/$stage/}" "$stage/README.md" "$stage/LICENSE"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$stage" && zip -q -X -D "../kelvorin-$version.zip" "${files[@]}" README.md LICENSE)

release="$trees/release"
mkdir -p "$release/win32" "$release/win64"
for file in "${files[@]}"; do cp -p "$stage/$file" "$release/$file"; done
cp -p "$trees/kelvorin-$version.zip" "$release/"
(cd "$release" && sha256sum "kelvorin-$version.zip" "${files[@]}" > SHA256SUMS)
mv "$release" "$out"
unzip -l "$out/kelvorin-$version.zip"
echo "SHA256SUMS:"
cat "$out/SHA256SUMS"
echo "Release: $out/ (SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH)"
