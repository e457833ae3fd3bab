#!/bin/bash
# Builds the release from scratch: the 32-bit and the 64-bit kelvorin.scr in
# fresh build trees, checked from outside, zipped with the README and the
# licence into build/release/kelvorin-VERSION.zip.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

ensure_packages zip=zip
version=$(sed -n 's/^ *VALUE "ProductVersion", "\(.*\)"/\1/p' src/resources/kelvorin.rc)
[ -n "$version" ] || { echo "no ProductVersion in src/resources/kelvorin.rc" >&2; exit 1; }
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
    echo "warning: the working tree has uncommitted changes; they go into the release" >&2
fi

out=build/release
rm -rf "$out"
stage="$out/kelvorin-$version"
for preset in win32 win64; do
    echo "Building the $preset kelvorin.scr in $out/$preset"
    cmake --preset "$preset" -B "$out/$preset" -DKELVORIN_TESTS=OFF >/dev/null
    cmake --build "$out/$preset" --target kelvorin -j"$(nproc)" >/dev/null
    tools/check-executable "$out/$preset/kelvorin.scr" >/dev/null
    mkdir -p "$stage/$preset"
    cp "$out/$preset/kelvorin.scr" "$stage/$preset/"
done
cp README.md LICENSE "$stage/"

zipfile="$KELVORIN_ROOT/$out/kelvorin-$version.zip"
(cd "$stage" && zip -q -X -r "$zipfile" win32 win64 README.md LICENSE)
unzip -l "$zipfile"
echo "Release: $out/kelvorin-$version.zip"
