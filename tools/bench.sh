#!/bin/bash
# Measures kelvorin.scr in Blank and in Logo mode against a minimal blank saver
# (bench/peer_saver.cpp, same toolchain and flags), one after the other in one
# run under Wine on a virtual display of its own: CPU time over a saver run,
# peak working set, start and wake latency, executable size and imported DLLs.
#   tools/bench.sh [--seconds N]      (N seconds per saver run, default 60)
# Prints a table with each figure and its ratio to the peer, writes it to
# bench/RESULTS.md and keeps the raw numbers in build/bench/results.csv.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

seconds=60
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
        *) echo "usage: tools/bench.sh [--seconds N]" >&2; exit 2 ;;
    esac
done
case "$seconds" in
    ''|*[!0-9]*|0) echo "--seconds needs a whole number above 0" >&2; exit 2 ;;
esac

ensure_packages
arch=$(wine_arch)
echo "Building kelvorin.scr and the peer saver, 32-bit and 64-bit"
for preset in win32 win64; do
    cmake --preset "$preset" >/dev/null
    cmake --build "build/$preset" --target kelvorin bench_peer_saver bench_measure -j"$(nproc)" >/dev/null
done
if [ "$arch" = win32 ]; then
    bits=32
else
    bits=64
    echo "32-bit programs cannot run on this kernel: measuring the 64-bit builds under 64-bit Wine"
fi
build="build/$arch"
prefix="$KELVORIN_ROOT/$build/bench/wineprefix"
results="$KELVORIN_ROOT/build/bench"
mkdir -p "$results"

# A wineserver started here, so its CPU time can be read like the X server's.
wineserver_pid=
finish() {
    stop_started "$prefix"
    [ -n "$wineserver_pid" ] && wait "$wineserver_pid" 2>/dev/null || true
}
trap finish EXIT
start_display
keep_wine_warm "$prefix" "$arch"
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w >/dev/null 2>&1 || true
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -f -p >/dev/null 2>&1 </dev/null &
wineserver_pid=$!

# User plus system time of a Linux process, in milliseconds.
cpu_ms() {
    awk -v hz="$(getconf CLK_TCK)" '{ sub(/^.*\) /, ""); print ($12 + $13) * 1000 / hz }' "/proc/$1/stat"
}

control_ini="$prefix/drive_c/windows/control.ini"
set_saver() {
    printf '[Screen Saver.Kelvorin]\r\nScreen Saver=%s\r\n' "$1" > "$control_ini"
}

windows_path() {
    echo "Z:$(cd "$(dirname "$1")" && pwd)/$(basename "$1")" | tr / '\\'
}

# measure NAME PROGRAM: one saver run; appends a row to the raw results.
measure() {
    local name=$1 program=$2 before_x before_server line
    before_x=$(cpu_ms "$XVFB_PID")
    before_server=$(cpu_ms "$wineserver_pid")
    line=$(tools/wine-run "$prefix" "$arch" "$build/bench/measure.exe" "$seconds" "$(windows_path "$program")" | tr -d '\r')
    [ -n "$line" ] || { echo "measuring $name failed" >&2; exit 1; }
    echo "$name $line $(awk -v a="$before_x" -v b="$(cpu_ms "$XVFB_PID")" -v c="$before_server" \
        -v d="$(cpu_ms "$wineserver_pid")" 'BEGIN { print (b - a) + (d - c) }')" >> "$results/raw"
}

imports() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort | paste -sd ' '
}

echo "Each saver runs ${seconds} s on $DISPLAY ($(/usr/lib/wine/wine64 --version 2>/dev/null || true), ${bits}-bit builds)"
: > "$results/raw"
set_saver None
tools/wine-run "$prefix" "$arch" "$build/bench/measure.exe" 2 "$(windows_path "$build/peer_saver.scr")" >/dev/null
echo "  peer saver";              measure peer "$build/peer_saver.scr"
echo "  kelvorin.scr, Blank mode"; set_saver None;         measure blank "$build/kelvorin.scr"
echo "  kelvorin.scr, Logo mode";  set_saver kelvorin.scr; measure logo "$build/kelvorin.scr"

# Raw numbers: one row per saver run.
{
    echo "saver,start_ms,cpu_ms,cpu_after_start_ms,peak_working_set_kib,wake_ms,exit_code,xserver_wineserver_cpu_ms,size_32bit_bytes,size_64bit_bytes,imports"
    while read -r name start cpu after peak wake code server; do
        if [ "$name" = peer ]; then exe=peer_saver.scr; else exe=kelvorin.scr; fi
        echo "$name,$start,$cpu,$after,$peak,$wake,$code,$server,$(wc -c < "build/win32/$exe"),$(wc -c < "build/win64/$exe"),$(imports "$build/$exe")"
    done < "$results/raw"
} > "$results/results.csv"
rm -f "$results/raw"

# The table: each figure beside the peer's, with its ratio to the peer's.
awk -F, -v seconds="$seconds" -v bits="$bits" -v date="$(date -u '+%Y-%m-%d %H:%M UTC')" '
function ratio(a, b) { return b > 0 ? sprintf("%.2f×", a / b) : "–" }
function verdict(ok) { return ok ? "met" : "MISSED" }
NR > 1 { for (i = 1; i <= NF; i++) v[$1, i] = $i }
END {
    printf "Measured %s: %d-bit builds under %d-bit Wine on Xvfb (1024×768×24), each saver run %d s.\n\n", date, bits, bits, seconds
    print "| Figure | Peer | Blank | Blank / peer | Logo | Logo / peer |"
    print "|---|---:|---:|---:|---:|---:|"
    row("CPU time over the run, ms", 3)
    row("of it after the window showed, ms", 4)
    row("X server and wineserver CPU, ms", 8)
    row("Peak working set, KiB", 5)
    row("Start latency, ms", 2)
    row("Wake latency (key to exit), ms", 6)
    row("Size of the 32-bit .scr, bytes", 9)
    row("Size of the 64-bit .scr, bytes", 10)
    printf "| Imported DLLs | %s | %s | | %s | |\n", v["peer", 11], v["blank", 11], v["logo", 11]
    print ""
    print "Goals:"
    printf "- Blank CPU within 1.5× the peer: %s (%s); Logo within 2×: %s (%s)\n", verdict(v["blank", 3] <= 1.5 * v["peer", 3]), ratio(v["blank", 3], v["peer", 3]), verdict(v["logo", 3] <= 2 * v["peer", 3]), ratio(v["logo", 3], v["peer", 3])
    printf "- Blank peak working set within 1.5× the peer: %s (%s); Logo within 2×: %s (%s)\n", verdict(v["blank", 5] <= 1.5 * v["peer", 5]), ratio(v["blank", 5], v["peer", 5]), verdict(v["logo", 5] <= 2 * v["peer", 5]), ratio(v["logo", 5], v["peer", 5])
    printf "- Wake latency within 50 ms of the peer: Blank %s (%+.1f ms), Logo %s (%+.1f ms)\n", verdict(v["blank", 6] - v["peer", 6] <= 50), v["blank", 6] - v["peer", 6], verdict(v["logo", 6] - v["peer", 6] <= 50), v["logo", 6] - v["peer", 6]
    printf "- kelvorin.scr at most 128 KiB (131072 bytes): 32-bit %s (%d), 64-bit %s (%d)\n", verdict(v["blank", 9] <= 131072), v["blank", 9], verdict(v["blank", 10] <= 131072), v["blank", 10]
}
function row(label, i) {
    printf "| %s | %s | %s | %s | %s | %s |\n", label, v["peer", i], v["blank", i], ratio(v["blank", i], v["peer", i]), v["logo", i], ratio(v["logo", i], v["peer", i])
}' "$results/results.csv" > "$results/RESULTS.md"

cat "$results/RESULTS.md"
cp "$results/RESULTS.md" bench/RESULTS.md
echo
echo "Raw numbers: build/bench/results.csv; table: bench/RESULTS.md"
