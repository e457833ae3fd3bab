#!/bin/bash
# Installs what is missing, builds kelvorin.scr and runs it under Wine with the
# arguments given: none shows the setup dialog, "/s" runs the saver. With no
# $DISPLAY it runs on a virtual display, saves a screenshot after a few seconds
# and ends the program.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

headless=
[ -z "${DISPLAY:-}" ] && headless=1
# Wine's Marlett draws the caption's close button (tools/wine-run puts it in the prefix).
marlett=/usr/share/wine/fonts/marlett.ttf=fonts-wine
if [ -n "$headless" ]; then ensure_packages import=imagemagick "$marlett"; else ensure_packages "$marlett"; fi

arch=$(wine_arch)
build_preset win32 -DKELVORIN_TESTS=OFF
program=build/win32/kelvorin.scr
if [ "$arch" = win64 ]; then
    echo "$(win64_reason): running the 64-bit build of the same sources"
    cmake --preset win64 >/dev/null
    cmake --build build/win64 --target kelvorin -j"$(nproc)" >/dev/null
    program=build/win64/kelvorin.scr
fi
prefix="$KELVORIN_ROOT/build/$arch/wineprefix"

if [ -z "$headless" ]; then
    exec tools/wine-run "$prefix" "$arch" "$program" "$@"
fi

trap 'stop_started "$prefix"' EXIT
start_display
# The prefix first: made in the program's few seconds, the picture would show Wine's "please wait".
keep_wine_warm "$prefix" "$arch"
tools/wine-run "$prefix" "$arch" "$program" "$@" >/dev/null 2>&1 &
sleep 6
screenshot="$KELVORIN_ROOT/build/screenshot.png"
import -window root "$screenshot"
echo "Screenshot of the running program saved to $screenshot"
