#!/bin/bash
# Takes the README's two screenshots under Wine on a virtual display of its own:
# the setup dialog (kelvorin.scr without arguments) as docs/setup-dialog.png and
# the saver in Logo mode ("/s") as docs/logo-mode.png.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

# Wine's Marlett draws the caption's close button (tools/wine-run puts it in the prefix).
ensure_packages import=imagemagick /usr/share/wine/fonts/marlett.ttf=fonts-wine
arch=$(wine_arch)
[ "$arch" = win64 ] && echo "$(win64_reason): screenshots of the 64-bit build under 64-bit Wine"
cmake --preset "$arch" >/dev/null
cmake --build "build/$arch" --target kelvorin -j"$(nproc)" >/dev/null
program="build/$arch/kelvorin.scr"
prefix="$KELVORIN_ROOT/build/$arch/screenshots/wineprefix"
control_ini="$prefix/drive_c/windows/control.ini"

trap 'stop_started "$prefix"' EXIT
start_display
keep_wine_warm "$prefix" "$arch"

# Waits until an X window of this name exists; Wine names X windows by their captions.
wait_for_window() {
    for _ in $(seq 1 100); do
        xwininfo -name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "no window named '$1' appeared" >&2
    return 1
}

end_programs() {
    WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR"/wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR"/wineserver -w >/dev/null 2>&1 || true
}

mkdir -p docs
# The dialog with the display managed: Standby after 10 minutes, Off after 20.
printf '[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\nStandby=1\r\nStandby After=10\r\nOff=1\r\nOff After=20\r\n' > "$control_ini"
tools/wine-run "$prefix" "$arch" "$program" >/dev/null 2>&1 &
wait_for_window "Kelvorin Setup "
sleep 1
import -window "Kelvorin Setup " docs/setup-dialog.png
end_programs

# Logo mode, after a few jumps.
printf '[Screen Saver.Kelvorin]\r\nScreen Saver=kelvorin.scr\r\n' > "$control_ini"
tools/wine-run "$prefix" "$arch" "$program" /s >/dev/null 2>&1 &
sleep 6
import -window root docs/logo-mode.png
end_programs
echo "Screenshots: docs/setup-dialog.png, docs/logo-mode.png"
