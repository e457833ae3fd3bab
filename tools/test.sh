#!/bin/bash
# Installs what is missing, builds everything and runs every test under Wine on a
# virtual display of its own. Ends with CTest's summary; non-zero on failure.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

ensure_packages
arch=$(wine_arch)
echo "Building the 32-bit and the 64-bit kelvorin.scr"
if [ "$arch" = win32 ]; then
    build_preset win32 -DKELVORIN_TESTS=ON
    build_preset win64 -DKELVORIN_TESTS=OFF
else
    build_preset win32 -DKELVORIN_TESTS=OFF
    echo "32-bit programs cannot run on this kernel: tests run the 64-bit build under 64-bit Wine"
    build_preset win64 -DKELVORIN_TESTS=ON
fi
tools/check-executable build/win32/kelvorin.scr
tools/check-executable build/win64/kelvorin.scr

prefix="$KELVORIN_ROOT/build/$arch/wineprefix"
trap 'stop_started "$prefix"' EXIT
start_display
keep_wine_warm "$prefix" "$arch"
ctest --test-dir "build/$arch" --output-on-failure
