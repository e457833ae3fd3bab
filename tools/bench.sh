#!/bin/bash
# Measures kelvorin.scr in Blank and in Logo mode against a minimal blank saver
# (bench/peer_saver.cpp, same toolchain and flags), one after the other in one
# run under Wine on a virtual display of its own: CPU time until the saver
# window shows, in the 2 s after, and per minute once it idles, the scheduler's
# runs of the saver (wake-ups) per minute once it idles, peak
# working set, start and wake latency, executable size and imported DLLs.
# CPU times and wake-ups come from the Linux scheduler's per-thread figures
# (/proc/PID/task/TID/schedstat, in nanoseconds), read by bench/measure.cpp.
#   tools/bench.sh [--seconds N] [--rounds R]
# Each round runs the peer, Blank and Logo N seconds each (default 60 s, 3
# rounds). Prints a table with the median of each figure and its ratio to the
# peer (or, where the peer's figure is near zero, the difference), writes it to
# bench/RESULTS.md and into README.md between its bench markers, and keeps every
# run's raw numbers in build/bench/results.csv.
set -euo pipefail
source "$(dirname "$0")/common.sh"
source "$(dirname "$0")/size-budget"
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
    echo "$(win64_reason): measuring the 64-bit builds under 64-bit Wine"
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
WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR"/wineserver -k >/dev/null 2>&1 || true
WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR"/wineserver -w >/dev/null 2>&1 || true
WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR"/wineserver -f -p >/dev/null 2>&1 </dev/null &
wineserver_pid=$!

# Time on a processor of a Linux process's threads, in milliseconds.
cpu_ms() {
    cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { printf "%.2f\n", ns / 1e6 }'
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
    line=$(tools/wine-run "$prefix" "$arch" "$build/bench/measure.exe" "$seconds" "$(windows_path "$program")" \
        "$prefix" "$XVFB_PID" | tr -d '\r')
    [ -n "$line" ] || { echo "measuring $name failed" >&2; exit 1; }
    echo "$name $line $(awk -v a="$before_x" -v b="$(cpu_ms "$XVFB_PID")" -v c="$before_server" \
        -v d="$(cpu_ms "$wineserver_pid")" 'BEGIN { print (b - a) + (d - c) }')" >> "$results/raw"
}

imports() {
    x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | sort | paste -sd ' '
}

echo "Each saver runs ${seconds} s, ${rounds} round(s), on $DISPLAY ($("$KELVORIN_WINE_DIR"/wine64 --version 2>/dev/null || true), ${bits}-bit builds)"
: > "$results/raw"
set_saver None
tools/wine-run "$prefix" "$arch" "$build/bench/measure.exe" 4 "$(windows_path "$build/peer_saver.scr")" \
    "$prefix" >/dev/null
for round in $(seq 1 "$rounds"); do
    echo "  round $round: peer saver";   set_saver None;         measure "$round peer" "$build/peer_saver.scr"
    echo "  round $round: Blank mode";   set_saver None;         measure "$round blank" "$build/kelvorin.scr"
    echo "  round $round: Logo mode";    set_saver kelvorin.scr; measure "$round logo" "$build/kelvorin.scr"
    echo "  round $round: Logo mode, display reported off"
    set_saver kelvorin.scr; KELVORIN_BENCH_DISPLAY_OFF=1 measure "$round dark" "$build/kelvorin.scr"
done

# Raw numbers: one row per saver run.
{
    echo "round,saver,start_ms,startup_cpu_ms,settle_cpu_ms,idle_cpu_ms_per_minute,idle_runs_per_minute,peak_working_set_kib,wake_ms,exit_code,cpu_ms,xserver_wineserver_cpu_ms,size_32bit_bytes,size_64bit_bytes,imports,xserver_idle_cpu_ms_per_minute"
    while read -r round name start startup settle idle wakeups peak wake code cpu xidle server; do
        if [ "$name" = peer ]; then exe=peer_saver.scr; else exe=kelvorin.scr; fi
        echo "$round,$name,$start,$startup,$settle,$idle,$wakeups,$peak,$wake,$code,$cpu,$server,$(wc -c < "build/win32/$exe"),$(wc -c < "build/win64/$exe"),$(imports "$build/$exe"),$xidle"
    done < "$results/raw"
} > "$results/results.csv"
rm -f "$results/raw"

# The table: the median of the rounds for each figure, beside the peer's, with
# its ratio to the peer's. A ratio to a figure near zero says nothing: where
# the peer's figure is below 1 (ms, or runs per minute), the row gives and
# is judged by the difference instead (marked "Δ"). The spread is the largest
# minus the smallest figure of the rounds, the widest of the three savers.
read -r whole32 code32 <<< "$(size_figures build/win32/kelvorin.scr)"
read -r whole64 code64 <<< "$(size_figures build/win64/kelvorin.scr)"
awk -F, -v seconds="$seconds" -v rounds="$rounds" -v bits="$bits" -v code_budget="$CODE_BUDGET" \
    -v file_budget="$FILE_BUDGET" -v code32="$code32" -v code64="$code64" -v date="$(date -u '+%Y-%m-%d %H:%M UTC')" '
function near_zero(p) { return p < 1 }
function compare(a, p, format) { return near_zero(p) ? sprintf("Δ " format, a - p) : sprintf("%.2f×", a / p) }
function verdict(ok) { return ok ? "met" : "MISSED" }
function median(saver, i,    n, k, j, t, list) {
    n = count[saver]
    for (k = 1; k <= n; k++) list[k] = v[saver, k, i] + 0
    for (k = 2; k <= n; k++)
        for (j = k; j > 1 && list[j - 1] > list[j]; j--) { t = list[j]; list[j] = list[j - 1]; list[j - 1] = t }
    return n % 2 ? list[(n + 1) / 2] : (list[n / 2] + list[n / 2 + 1]) / 2
}
function spread_of(saver, i,    k, lo, hi, x) {
    lo = hi = v[saver, 1, i] + 0
    for (k = 2; k <= count[saver]; k++) { x = v[saver, k, i] + 0; if (x < lo) lo = x; if (x > hi) hi = x }
    return hi - lo
}
function spread(i,    s, worst) {
    worst = 0
    for (s = 1; s <= 4; s++) if (spread_of(names[s], i) > worst) worst = spread_of(names[s], i)
    return worst
}
function row(label, i, format) {
    p = median("peer", i); b = median("blank", i); l = median("logo", i); d = median("dark", i)
    printf "| %s | " format " | " format " | %s | " format " | %s | " format " | " format " |\n", label, p, b, compare(b, p, format), l, compare(l, p, format), d, spread(i)
    m["peer", i] = p; m["blank", i] = b; m["logo", i] = l; m["dark", i] = d
}
# Within `factor` times the peer or, where the peer is near zero (or factor is
# 0), at most `allowance` above it. The goal'"'"'s margin is what it allows above the
# peer; where the rounds of the saver or of the peer differ by as much, the
# verdict is noise and says so.
function judged(saver, i, factor, allowance, unit,    a, p, absolute, margin, wobble, text) {
    a = m[saver, i]; p = m["peer", i]
    absolute = factor == 0 || near_zero(p)
    margin = absolute ? allowance : (factor - 1) * p
    wobble = spread_of(saver, i) > spread_of("peer", i) ? spread_of(saver, i) : spread_of("peer", i)
    text = verdict(absolute ? a - p <= allowance : a <= factor * p) " (" \
        (absolute ? sprintf("%+.2f %s%s", a - p, unit, near_zero(p) ? ", peer near 0" : "") : sprintf("%.2f×", a / p))
    if (rounds > 1 && margin > 0 && wobble >= margin)
        text = text sprintf("; NOT SETTLED: rounds differ by %.2f %s, the goal allows %.2f", wobble, unit, margin)
    return text ")"
}
# What idle CPU a goal allows above a peer near zero, in ms per minute.
BEGIN { names[1] = "peer"; names[2] = "blank"; names[3] = "logo"; names[4] = "dark"; blank_idle = 1; logo_idle = 60 }
NR > 1 { k = ++count[$2]; for (i = 3; i <= NF; i++) v[$2, k, i] = $i; dlls[$2] = $15 }
END {
    printf "Measured %s: %d-bit builds under %d-bit Wine on Xvfb (1024×768×24); each saver run %d s; median of %d round(s).\n\n", date, bits, bits, seconds, rounds
    print "| Figure | Peer | Blank | Blank / peer | Logo | Logo / peer | Logo, display reported off | Spread of rounds |"
    print "|---|---:|---:|---:|---:|---:|---:|---:|"
    row("CPU time until the window showed, ms", 4, "%.2f")
    row("CPU time in the 2 s after it, ms", 5, "%.2f")
    row("CPU time idle (from then on), ms per minute", 6, "%.2f")
    row("Scheduler runs idle, per minute", 7, "%.1f")
    row("X server CPU time meanwhile, ms per minute", 16, "%.2f")
    row("CPU time over the run, ms", 11, "%.2f")
    row("X server and wineserver CPU over the run, ms", 12, "%.2f")
    row("Peak working set, KiB", 8, "%.0f")
    row("Start latency, ms", 3, "%.1f")
    row("Wake latency (key to exit), ms", 9, "%.1f")
    row("Size of the 32-bit .scr, bytes", 13, "%d")
    row("Size of the 64-bit .scr, bytes", 14, "%d")
    printf "| Imported DLLs | %s | %s | | %s | | %s | |\n", dlls["peer"], dlls["blank"], dlls["logo"], dlls["dark"]
    print ""
    print "CPU times are the Linux scheduler'"'"'s run time of the saver'"'"'s Wine process (nanoseconds, shown in ms). A scheduler run is one time a thread of it was put on a processor: a timer tick wakes it once and each round trip to the wineserver or the X server during the tick once more, so a saver that never ticks shows 0 and one tick shows as several runs. \"Δ\": the peer'"'"'s figure is near zero (below 1), so the column gives the difference, not a ratio, and the goal judges that difference. The spread is the largest minus the smallest figure of the rounds, the widest of the three savers."
    print ""
    print "Goals:"
    printf "- CPU time over the run: Blank within 1.5× the peer %s; Logo within 2× %s\n", judged("blank", 11, 1.5, blank_idle, "ms"), judged("logo", 11, 2, logo_idle, "ms")
    printf "- CPU time idle: Blank within 1.5× the peer, or at most %d ms per minute above a peer near 0, %s; Logo within 2×, or at most %d ms per minute (1 ms a frame) above a peer near 0, %s\n", blank_idle, judged("blank", 6, 1.5, blank_idle, "ms per minute"), logo_idle, judged("logo", 6, 2, logo_idle, "ms per minute")
    printf "- Idle Blank never wakes: at most 1 scheduler run per minute more than the peer %s (%+.1f per minute); idle Logo ticks once a second: %.1f runs per minute, %.1f per tick\n", verdict(m["blank", 7] - m["peer", 7] <= 1), m["blank", 7] - m["peer", 7], m["logo", 7], m["logo", 7] / 60
    printf "- Logo mode while the display is reported off idles as Blank does: within 1 ms per minute %s (%+.2f) and 10 scheduler runs per minute %s (%+.1f)\n", verdict(m["dark", 6] - m["blank", 6] <= 1 && m["blank", 6] - m["dark", 6] <= 1), m["dark", 6] - m["blank", 6], verdict(m["dark", 7] - m["blank", 7] <= 10 && m["blank", 7] - m["dark", 7] <= 10), m["dark", 7] - m["blank", 7]
    printf "- Peak working set: Blank within 1.5× the peer %s; Logo within 2× %s\n", judged("blank", 8, 1.5, 0, "KiB"), judged("logo", 8, 2, 0, "KiB")
    printf "- Wake latency within 50 ms of the peer: Blank %s, Logo %s\n", judged("blank", 9, 0, 50, "ms"), judged("logo", 9, 0, 50, "ms")
    printf "- kelvorin.scr at most %d KiB besides its resources: 32-bit %s (%d), 64-bit %s (%d); at most %d KiB in all: 32-bit %s (%d), 64-bit %s (%d)\n", code_budget / 1024, verdict(code32 <= code_budget), code32, verdict(code64 <= code_budget), code64, file_budget / 1024, verdict(m["blank", 13] <= file_budget), m["blank", 13], verdict(m["blank", 14] <= file_budget), m["blank", 14]
}' "$results/results.csv" > "$results/RESULTS.md"

cat "$results/RESULTS.md"
# Earlier comparisons kept by hand follow the table.
[ -f bench/HISTORY.md ] && { echo; cat bench/HISTORY.md; } >> "$results/RESULTS.md"
cp "$results/RESULTS.md" bench/RESULTS.md
# The README carries the same figures between its two markers.
awk -v table="$results/RESULTS.md" '
    /^<!-- bench results begin -->$/ { print; while ((getline line < table) > 0) print line; skipping = 1; next }
    /^<!-- bench results end -->$/ { skipping = 0 }
    !skipping' README.md > "$results/README.md"
if grep -q '^<!-- bench results end -->$' "$results/README.md"; then
    cp "$results/README.md" README.md
else
    echo "warning: README.md lacks the bench result markers; its figures are unchanged" >&2
fi
echo
echo "Raw numbers: build/bench/results.csv; table: bench/RESULTS.md and README.md"
