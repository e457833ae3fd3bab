#!/bin/bash
# Measures kelvorin.scr in Blank and in Logo mode against a minimal blank saver
# (bench/peer_saver.cpp, same toolchain and flags), one after the other in one
# run under Wine on a virtual display of its own: CPU time over a saver run,
# peak working set, start and wake latency, executable size and imported DLLs.
#   tools/bench.sh [--seconds N] [--rounds R]
# Each round runs the peer, Blank and Logo N seconds each (default 60 s, 3
# rounds). Prints a table with the median of each figure and its ratio to the
# peer, writes it to bench/RESULTS.md and keeps every run's raw numbers in
# build/bench/results.csv.
set -euo pipefail
source "$(dirname "$0")/common.sh"
cd "$KELVORIN_ROOT"

seconds=60
rounds=3
while [ $# -gt 0 ]; do
    case "$1" in
        --seconds) seconds=${2:-}; shift 2 || shift ;;
        --rounds) rounds=${2:-}; shift 2 || shift ;;
        *) echo "usage: tools/bench.sh [--seconds N] [--rounds N]" >&2; exit 2 ;;
    esac
done
for number in "$seconds" "$rounds"; do
    case "$number" in
        ''|*[!0-9]*|0) echo "--seconds and --rounds need a whole number above 0" >&2; exit 2 ;;
    esac
done

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

echo "Each saver runs ${seconds} s, ${rounds} round(s), on $DISPLAY ($(/usr/lib/wine/wine64 --version 2>/dev/null || true), ${bits}-bit builds)"
: > "$results/raw"
set_saver None
tools/wine-run "$prefix" "$arch" "$build/bench/measure.exe" 2 "$(windows_path "$build/peer_saver.scr")" >/dev/null
for round in $(seq 1 "$rounds"); do
    echo "  round $round: peer saver";   set_saver None;         measure "$round peer" "$build/peer_saver.scr"
    echo "  round $round: Blank mode";   set_saver None;         measure "$round blank" "$build/kelvorin.scr"
    echo "  round $round: Logo mode";    set_saver kelvorin.scr; measure "$round logo" "$build/kelvorin.scr"
done

# Raw numbers: one row per saver run.
{
    echo "round,saver,start_ms,cpu_ms,cpu_after_start_ms,peak_working_set_kib,wake_ms,exit_code,xserver_wineserver_cpu_ms,size_32bit_bytes,size_64bit_bytes,imports"
    while read -r round name start cpu after peak wake code server; do
        if [ "$name" = peer ]; then exe=peer_saver.scr; else exe=kelvorin.scr; fi
        echo "$round,$name,$start,$cpu,$after,$peak,$wake,$code,$server,$(wc -c < "build/win32/$exe"),$(wc -c < "build/win64/$exe"),$(imports "$build/$exe")"
    done < "$results/raw"
} > "$results/results.csv"
rm -f "$results/raw"

# The table: the median of the rounds for each figure, beside the peer's, with
# its ratio to the peer's.
awk -F, -v seconds="$seconds" -v rounds="$rounds" -v bits="$bits" -v date="$(date -u '+%Y-%m-%d %H:%M UTC')" '
function ratio(a, b) { return b > 0 ? sprintf("%.2f×", a / b) : "–" }
function verdict(ok) { return ok ? "met" : "MISSED" }
function median(saver, i,    n, k, j, t, list) {
    n = count[saver]
    for (k = 1; k <= n; k++) list[k] = v[saver, k, i] + 0
    for (k = 2; k <= n; k++)
        for (j = k; j > 1 && list[j - 1] > list[j]; j--) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
}
function row(label, i, format) {
    p = median("peer", i); b = median("blank", i); l = median("logo", i)
    printf "| %s | " format " | " format " | %s | " format " | %s |\n", label, p, b, ratio(b, p), l, ratio(l, p)
    m["peer", i] = p; m["blank", i] = b; m["logo", i] = l
}
NR > 1 { k = ++count[$2]; for (i = 3; i <= NF; i++) v[$2, k, i] = $i; dlls[$2] = $12 }
END {
    printf "Measured %s: %d-bit builds under %d-bit Wine on Xvfb (1024×768×24); each saver run %d s; median of %d round(s).\n\n", date, bits, bits, seconds, rounds
    print "| Figure | Peer | Blank | Blank / peer | Logo | Logo / peer |"
    print "|---|---:|---:|---:|---:|---:|"
    row("CPU time over the run, ms", 4, "%.0f")
    row("of it after the window showed, ms", 5, "%.0f")
    row("X server and wineserver CPU, ms", 9, "%.0f")
    row("Peak working set, KiB", 6, "%.0f")
    row("Start latency, ms", 3, "%.1f")
    row("Wake latency (key to exit), ms", 7, "%.1f")
    row("Size of the 32-bit .scr, bytes", 10, "%d")
    row("Size of the 64-bit .scr, bytes", 11, "%d")
    printf "| Imported DLLs | %s | %s | | %s | |\n", dlls["peer"], dlls["blank"], dlls["logo"]
    print ""
    print "Goals:"
    printf "- CPU time: Blank within 1.5× the peer %s (%s); Logo within 2× %s (%s)\n", verdict(m["blank", 4] <= 1.5 * m["peer", 4]), ratio(m["blank", 4], m["peer", 4]), verdict(m["logo", 4] <= 2 * m["peer", 4]), ratio(m["logo", 4], m["peer", 4])
    printf "- Peak working set: Blank within 1.5× the peer %s (%s); Logo within 2× %s (%s)\n", verdict(m["blank", 6] <= 1.5 * m["peer", 6]), ratio(m["blank", 6], m["peer", 6]), verdict(m["logo", 6] <= 2 * m["peer", 6]), ratio(m["logo", 6], m["peer", 6])
    printf "- Wake latency within 50 ms of the peer: Blank %s (%+.1f ms), Logo %s (%+.1f ms)\n", verdict(m["blank", 7] - m["peer", 7] <= 50), m["blank", 7] - m["peer", 7], verdict(m["logo", 7] - m["peer", 7] <= 50), m["logo", 7] - m["peer", 7]
    printf "- kelvorin.scr at most 128 KiB (131072 bytes): 32-bit %s (%d), 64-bit %s (%d)\n", verdict(m["blank", 10] <= 131072), m["blank", 10], verdict(m["blank", 11] <= 131072), m["blank", 11]
}' "$results/results.csv" > "$results/RESULTS.md"

cat "$results/RESULTS.md"
cp "$results/RESULTS.md" bench/RESULTS.md
echo
echo "Raw numbers: build/bench/results.csv; table: bench/RESULTS.md"
