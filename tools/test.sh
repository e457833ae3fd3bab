#!/bin/bash
# Installs what is missing; builds the code without Win32 natively under the
# sanitizers, runs its unit tests and each fuzz target for a bounded time; then
# builds everything for Windows and runs every test under Wine on a virtual
# display of its own. Ends with CTest's summary; non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

ensure_packages clang++=clang zip=zip faketime=faketime osslsigncode=osslsigncode openssl=openssl \
    localedef=libc-bin /usr/share/i18n/locales/ja_JP=locales \
    '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a=libclang-rt-14-dev'

# A native failure does not stop the Wine tests; it fails the run at the end.
native_failed=
echo "Native build under AddressSanitizer and UndefinedBehaviorSanitizer"
build_preset native
ctest --test-dir build/native --output-on-failure || native_failed=1
# The targets run side by side, each on one processor.
fuzzing=()
for fuzzer in build/native/fuzz/*_fuzz; do
    name=$(basename "$fuzzer")
    run_fuzz_target "${name%_fuzz}" "${KELVORIN_FUZZ_SECONDS:-30}" &
    fuzzing+=($!)
done
for pid in "${fuzzing[@]}"; do
    wait "$pid" || native_failed=1
done

arch=$(wine_arch)
echo "Building the 32-bit and the 64-bit kelvorin.scr"
if [ "$arch" = win32 ]; then
    build_preset win32 -DKELVORIN_TESTS=ON
    build_preset win64 -DKELVORIN_TESTS=OFF
else
    build_preset win32 -DKELVORIN_TESTS=OFF
    echo "$(win64_reason): tests run the 64-bit build under 64-bit Wine"
    build_preset win64 -DKELVORIN_TESTS=ON
fi
tools/check-executable build/win32/kelvorin.scr
tools/check-executable build/win64/kelvorin.scr

prefix="$KELVORIN_ROOT/build/$arch/wineprefix"
two_monitors="$KELVORIN_ROOT/build/$arch/wineprefix-two-monitors"
trap 'stop_started "$prefix" "$two_monitors"' EXIT
# The tests of every monitor run again on a display of two (tools/two-monitors).
start_display +xinerama -screen 0 1024x768x24 -screen 1 800x600x24
export KELVORIN_TWO_MONITOR_DISPLAY=$DISPLAY
start_display
keep_wine_warm "$prefix" "$arch"
wine_status=0
ctest --test-dir "build/$arch" --output-on-failure || wine_status=$?
if [ -n "$native_failed" ]; then
    echo "FAILED: native unit tests or fuzzing (see above)" >&2
    exit 1
fi
exit "$wine_status"
