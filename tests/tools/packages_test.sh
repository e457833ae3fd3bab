#!/bin/bash
# ensure_packages with stand-ins for apt-get and dpkg first on PATH: which
# failures it goes on after, which stop it, and what it says. Installs nothing.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/bin" "$scratch/wine"

# Each stand-in logs its arguments and fails where the row says so.
cat > "$scratch/bin/apt-get" <<'STANDIN'
#!/bin/bash
echo "apt-get $*" >> "$SCRATCH/log"
case "$*" in
    *update*) [ -z "${FAIL_UPDATE:-}" ] && exit 0
        echo "E: Failed to fetch http://mirror/dists/x-security/main/binary-i386/Packages.xz  File has unexpected size" >&2
        exit 100 ;;
    *wine32:i386*) [ -z "${FAIL_WINE32:-}" ] && exit 0
        echo " wine32:i386 : Depends: libwine:i386 (= 8.0) but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100 ;;
    *) [ -z "${FAIL_INSTALL:-}" ] && exit 0
        echo "E: Unable to locate package missing-tool" >&2
        exit 100 ;;
esac
STANDIN
cat > "$scratch/bin/dpkg" <<'STANDIN'
#!/bin/bash
echo "dpkg $*" >> "$SCRATCH/log"
case "$1" in
    --add-architecture) [ -z "${FAIL_ARCH:-}" ] ;;
    *) exit 0 ;;
esac
STANDIN
chmod +x "$scratch/bin/"*
touch "$scratch/wine/wine64"
chmod +x "$scratch/wine/wine64"

passed=0 failed=0
# check NAME STATUS SAYS LOG [VARIABLE=VALUE...]: ensure_packages, asked for one
# missing tool (or for ASK) with no 32-bit Wine present, exits with STATUS, prints
# a line holding SAYS (empty: anything) and logs a call holding LOG.
check() {
    local name=$1 status=$2 says=$3 logged=$4 output actual
    shift 4
    : > "$scratch/log"
    output=$(env "$@" SCRATCH="$scratch" PATH="$scratch/bin:$PATH" KELVORIN_WINE_DIR="$scratch/wine" \
        bash -c 'source "$1/tools/common.sh"; set -e; ensure_packages "${ASK:-no-such-tool=missing-tool}"
                 echo "fallback: $(win64_reason)"' _ "$root" 2>&1)
    actual=$?
    if [ "$actual" -eq "$status" ] && grep -qF -- "$says" <<<"$output" && grep -qF -- "$logged" "$scratch/log"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s (status %s, wanted %s; output and calls:)\n%s\n%s\n' \
            "$name" "$actual" "$status" "$output" "$(cat "$scratch/log")"
    fi
}

check "all installs" 0 "Installing: wine32:i386" "apt-get install -y -qq missing-tool"
check "failed update goes on" 0 "warning: apt-get update failed" "apt-get install -y -qq missing-tool" \
    FAIL_UPDATE=1
check "failed 32-bit install says why" 0 \
    "fallback: 32-bit Wine is not installed (apt-get: wine32:i386 : Depends: libwine:i386 (= 8.0) but it is not going to be installed; the i386 package list could not be fetched)" \
    "dpkg --remove-architecture i386" FAIL_UPDATE=1 FAIL_WINE32=1
check "no i386 architecture" 0 "(dpkg cannot add the i386 architecture)" "apt-get install -y -qq missing-tool" \
    FAIL_ARCH=1
check "only 32-bit Wine missing" 0 "Installing: wine32:i386" "apt-get install -y -qq wine32:i386" \
    ASK=bash=bash
check "failed 64-bit install stops" 1 "E: Unable to locate package missing-tool" "apt-get install -y -qq missing-tool" \
    FAIL_INSTALL=1

# stop_started ends every display that start_display started, not just the last.
pids=$(bash -c 'source "$1/tools/common.sh"; start_display; first=$XVFB_PID; start_display
                echo "$first $XVFB_PID"; stop_started' _ "$root")
left=
for pid in $pids; do
    kill -0 "$pid" 2>/dev/null && left+=" $pid" && kill "$pid"
done
if [ -n "$pids" ] && [ -z "$left" ]; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
    echo "FAILED: stop_started left displays running:${left:- (none started)}"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
