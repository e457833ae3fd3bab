#!/bin/bash
# Builds the release from scratch: the 32-bit and the 64-bit kelvorin.scr in
# fresh build trees, checked from outside, and their MSI packages; into
# build/release/: kelvorin-VERSION.msi (32-bit), kelvorin-VERSION-x64.msi and
# kelvorin-VERSION.zip with both .scr files, both packages, the README and the
# licence.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

ensure_packages zip=zip
version=$(sed -n 's/^project(kelvorin VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no project(kelvorin VERSION ...) in CMakeLists.txt" >&2; exit 1; }
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
    echo "warning: the working tree has uncommitted changes; they go into the release" >&2
fi

out=build/release
rm -rf "$out"
stage="$out/kelvorin-$version"
for preset in win32 win64; do
    echo "Building the $preset kelvorin.scr in $out/$preset"
    cmake --preset "$preset" -B "$out/$preset" -DKELVORIN_TESTS=OFF >/dev/null
    cmake --build "$out/$preset" --target kelvorin kelvorin_package -j"$(nproc)" >/dev/null
    tools/check-executable "$out/$preset/kelvorin.scr" >/dev/null
    mkdir -p "$stage/$preset"
    cp "$out/$preset/kelvorin.scr" "$stage/$preset/"
    cp "$out/$preset"/kelvorin-*.msi "$out/"
    cp "$out/$preset"/kelvorin-*.msi "$stage/"
done
cp README.md LICENSE "$stage/"

zipfile="$KELVORIN_ROOT/$out/kelvorin-$version.zip"
(cd "$stage" && zip -q -X -r "$zipfile" win32 win64 "kelvorin-$version.msi" "kelvorin-$version-x64.msi" \
    README.md LICENSE)
unzip -l "$zipfile"
echo "Release: $out/kelvorin-$version.zip, $out/kelvorin-$version.msi, $out/kelvorin-$version-x64.msi"
