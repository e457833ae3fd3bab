# Shared by run.sh and test.sh: packages, the Wine architecture this machine can
# run, a virtual display, and clean-up of what was started.

KELVORIN_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Where Wine's loaders live; tests of these scripts point it elsewhere.
KELVORIN_WINE_DIR=${KELVORIN_WINE_DIR:-/usr/lib/wine}
# Why 32-bit Wine is not installed, once ensure_packages tried and failed.
WINE32_UNAVAILABLE=

# Installs whatever of the build and test tools is missing (Debian, as root), in
# two steps: first everything the 64-bit build, its tests and the packages need
# (a failure stops the caller with apt's own message), then 32-bit Wine on its
# own, which may fail: the 64-bit build then stands in (see wine_arch).
# Further arguments name more tools as COMMAND=PACKAGE, or as PATTERN=PACKAGE
# where PATTERN is an absolute file path that may hold wildcards. A first
# argument --no-wine leaves Wine and Xvfb out, for scripts that only build.
ensure_packages() {
    local missing=() tool want32= wine=yes
    if [ "${1:-}" = --no-wine ]; then
        wine=
        shift
    fi
    for tool in "$@"; do
        case "$tool" in
            /*) compgen -G "${tool%%=*}" >/dev/null || missing+=("${tool#*=}") ;;
            *) command -v "${tool%%=*}" >/dev/null || missing+=("${tool#*=}") ;;
        esac
    done
    command -v i686-w64-mingw32-g++-posix >/dev/null || missing+=(mingw-w64)
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(mingw-w64)
    command -v cmake >/dev/null || missing+=(cmake)
    command -v make >/dev/null || missing+=(make)
    command -v flock >/dev/null || missing+=(util-linux)
    command -v python3 >/dev/null || missing+=(python3)
    command -v wixl >/dev/null || missing+=(wixl)
    command -v msibuild >/dev/null || missing+=(msitools)
    if [ -n "$wine" ]; then
        # The Japanese dialogs need a Japanese font that fontconfig lists: Wine finds it there.
        compgen -G '/usr/share/fonts/opentype/ipafont-gothic/ipag*.ttf' >/dev/null \
            || missing+=(fonts-ipafont-gothic)
        command -v Xvfb >/dev/null || missing+=(xvfb)
        [ -x "$KELVORIN_WINE_DIR/wine64" ] || missing+=(wine wine64)
        [ -x "$KELVORIN_WINE_DIR/wine" ] || want32=1
    fi
    [ ${#missing[@]} -eq 0 ] && [ -z "$want32" ] && return 0
    export DEBIAN_FRONTEND=noninteractive
    local added_i386=
    if [ -n "$want32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 && added_i386=1
    fi
    # Lists that fail to download leave the old ones, or none: the install decides.
    local update_errors
    if ! update_errors=$(apt-get update -qq 2>&1 >/dev/null); then
        echo "warning: apt-get update failed for some package lists; going on with the rest" >&2
        printf '%s\n' "$update_errors" | grep '^E:' | head -n 3 >&2 || true
    fi
    if [ ${#missing[@]} -gt 0 ]; then
        echo "Installing: ${missing[*]}"
        apt-get install -y -qq "${missing[@]}" >/dev/null || {
            echo "apt-get could not install: ${missing[*]}" >&2
            return 1
        }
    fi
    [ -n "$want32" ] || return 0
    if [ -z "$added_i386" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        WINE32_UNAVAILABLE="dpkg cannot add the i386 architecture"
    else
        echo "Installing: wine32:i386"
        local install_output
        install_output=$(apt-get install -y -qq wine32:i386 2>&1) && return 0
        WINE32_UNAVAILABLE="apt-get: $(printf '%s\n' "$install_output" | grep -m1 -E 'Depends:|^E:' \
            | sed -E 's/^E: //; s/^ +//; s/ +/ /g')"
        if printf '%s\n' "$update_errors" | grep -q 'binary-i386'; then
            WINE32_UNAVAILABLE+="; the i386 package list could not be fetched"
        fi
        # Left in place, the architecture would make every later update fail the same way.
        [ -n "$added_i386" ] && dpkg --remove-architecture i386 2>/dev/null || true
    fi
    echo "32-bit Wine cannot be installed ($WINE32_UNAVAILABLE): going on with the 64-bit build under 64-bit Wine"
}

# win32 where 32-bit Wine runs; otherwise win64, and the 64-bit build stands in.
wine_arch() {
    if "$KELVORIN_WINE_DIR/wine" --version >/dev/null 2>&1; then echo win32; else echo win64; fi
}

# Why the 64-bit build stands in, for the line that announces it.
win64_reason() {
    if [ -n "$WINE32_UNAVAILABLE" ]; then
        echo "32-bit Wine is not installed ($WINE32_UNAVAILABLE)"
    elif [ ! -x "$KELVORIN_WINE_DIR/wine" ]; then
        echo "32-bit Wine is not installed"
    else
        echo "32-bit Wine is installed but cannot run on this kernel"
    fi
}

# Starts Xvfb on the first free display with the screen arguments given (one
# screen of 1024×768 when none); sets DISPLAY and XVFB_PID, and adds the PID to
# XVFB_PIDS for stop_started. A display counts as ours once its lock file names
# our server: two runs that start at once may both try the same number, and the
# one that loses goes on to the next.
start_display() {
    local n screens=("$@")
    [ $# -gt 0 ] || screens=(-screen 0 1024x768x24)
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" "${screens[@]}" -nolisten tcp >/dev/null 2>&1 </dev/null &
        XVFB_PID=$!
        for _ in $(seq 1 50); do
            kill -0 "$XVFB_PID" 2>/dev/null || break
            if [ -e "/tmp/.X11-unix/X$n" ] && [ "$(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null)" = "$XVFB_PID" ]; then
                XVFB_PIDS="${XVFB_PIDS:-} $XVFB_PID"
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
    done
    echo "Xvfb did not start on any display from :90 to :140" >&2
    return 1
}

# Makes the prefix if needed and keeps its wineserver running between programs,
# so each test program starts in well under a second instead of several.
keep_wine_warm() {
    local prefix=$1 arch=$2
    "$KELVORIN_ROOT/tools/wine-run" "$prefix" "$arch" cmd.exe /c exit >/dev/null 2>&1 || true
    WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR/wineserver" -p >/dev/null 2>&1 </dev/null || true
}

# Ends the wineservers of the prefixes given and every Xvfb started here.
stop_started() {
    local prefix pid
    for prefix in "$@"; do
        if [ -d "$prefix" ]; then
            WINEPREFIX="$prefix" "$KELVORIN_WINE_DIR/wineserver" -k >/dev/null 2>&1 || true
        fi
    done
    for pid in ${XVFB_PIDS:-}; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    XVFB_PIDS=
    XVFB_PID=
}

# Configures and builds one preset; the rest of the arguments go to the configure step.
build_preset() {
    local preset=$1
    shift
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build "build/$preset" -j"$(nproc)" >/dev/null
}

# Runs one fuzz target of the native build for a bounded time over a scratch
# copy of its seed corpus; prints its executions and time. Non-zero when it
# found a crash, which it leaves in build/native/fuzz/NAME/.
run_fuzz_target() {
    local name=$1 seconds=$2 dir="build/native/fuzz/$1" log status
    rm -rf "$dir"
    mkdir -p "$dir"
    cp -r "tests/fuzz/corpus/$name" "$dir/corpus"
    log="$dir/fuzz.log"
    status=0
    "build/native/fuzz/${name}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$dir/" "$dir/corpus" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        echo "Fuzz target $name failed; input and log in $dir:" >&2
        grep -E 'ERROR|SUMMARY|^(command line|saver file):|Test unit written' "$log" >&2 || tail -20 "$log" >&2
        return 1
    fi
    awk -v name="$name" '
        /^stat::number_of_executed_units:/ { runs = $2 }
        /^Done [0-9]+ runs in/ { seconds = $(NF - 1) }
        END { printf "Fuzz target %s: %d executions in %d s, no crash\n", name, runs, seconds }' "$log"
}
