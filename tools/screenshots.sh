#!/bin/bash
# Takes the README's screenshots under Wine on a virtual display of its own: the
# setup dialog (kelvorin.scr without arguments) as docs/setup-dialog.png, in
# German and Japanese as docs/setup-dialog-de.png and docs/setup-dialog-ja.png
# (Wine speaks the language of LC_ALL), the help window that F1 opens on "Video
# Standby" as docs/help-window.png, the setup dialog on a laptop with its
# battery column as docs/setup-dialog-battery.png (the program itself, built with
# the settings tests' stand-ins reporting a system battery:
# tests/helpers/battery_setup.cpp), and the saver in Logo mode ("/s") as
# docs/logo-mode.png.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

# Wine's Marlett draws the caption's close button (tools/wine-run puts it in the prefix).
ensure_packages import=imagemagick xdotool=xdotool /usr/share/wine/fonts/marlett.ttf=fonts-wine
arch=$(wine_arch)
[ "$arch" = win64 ] && echo "$(win64_reason): screenshots of the 64-bit build under 64-bit Wine"
cmake --preset "$arch" -DKELVORIN_TESTS=ON >/dev/null
cmake --build "build/$arch" --target kelvorin battery_setup -j"$(nproc)" >/dev/null
program="build/$arch/kelvorin.scr"
laptop="build/$arch/helpers/battery_setup.exe"
prefix="$KELVORIN_ROOT/build/$arch/screenshots/wineprefix"
control_ini="$prefix/drive_c/windows/control.ini"

trap 'stop_started "$prefix"' EXIT
start_display
keep_wine_warm "$prefix" "$arch"

end_programs() {
    WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR"/wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR"/wineserver -w >/dev/null 2>&1 || true
}

# The X window of the program's window captioned CAPTION (the window manager
# hint Wine sets holds the caption in UTF-8), once it exists.
window_of() {
    local id
    for _ in $(seq 1 100); do
        for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
            if xprop -id "$id" _NET_WM_NAME 2>/dev/null | grep -qF "\"$1\""; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    echo "no window captioned '$1' appeared" >&2
    return 1
}

mkdir -p docs
# The dialog with the display managed: Standby after 10 minutes, Off after 20.
printf '[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\nStandby=1\r\nStandby After=10\r\nOff=1\r\nOff After=20\r\n' > "$control_ini"
for shot in "en_US:Kelvorin Setup :setup-dialog" "de_DE:Kelvorin-Einstellungen:setup-dialog-de" \
            "ja_JP:Kelvorin の設定:setup-dialog-ja"; do
    IFS=: read -r language caption name <<< "$shot"
    LC_ALL="$language.UTF-8" tools/wine-run "$prefix" "$arch" "$program" >/dev/null 2>&1 &
    window=$(window_of "$caption")
    sleep 1
    import -window "$window" "docs/$name.png"
    if [ "$language" = en_US ]; then
        # F1 on "Video Standby", the control after the first: the help opens at its paragraph.
        xdotool windowfocus --sync "$window" key Tab key F1
        help=$(window_of "Kelvorin Help")
        sleep 1
        import -window "$help" docs/help-window.png
    fi
    end_programs
done

# On a laptop: shorter times on the battery.
printf '%b' '[Screen Saver.Kelvorin]\r\nVideo Managed=1\r\nStandby=1\r\nStandby After=10\r\nOff=1\r\nOff After=20\r\n' \
    'Battery Standby After=2\r\nBattery Off After=5\r\n' > "$control_ini"
LC_ALL=en_US.UTF-8 tools/wine-run "$prefix" "$arch" "$laptop" >/dev/null 2>&1 &
window=$(window_of "Kelvorin Setup ")
sleep 1
import -window "$window" docs/setup-dialog-battery.png
end_programs

# Logo mode, after a few jumps.
printf '[Screen Saver.Kelvorin]\r\nScreen Saver=kelvorin.scr\r\n' > "$control_ini"
tools/wine-run "$prefix" "$arch" "$program" /s >/dev/null 2>&1 &
sleep 6
import -window root docs/logo-mode.png
end_programs
echo "Screenshots: docs/setup-dialog.png, docs/setup-dialog-de.png, docs/setup-dialog-ja.png, docs/help-window.png," \
     "docs/setup-dialog-battery.png, docs/logo-mode.png"
