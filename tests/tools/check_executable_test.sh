#!/bin/bash
# tools/check-executable fed broken files: the resources of the built
# kelvorin.scr ($1), each row's change made to them, linked into a program that
# does nothing; an unchanged copy passes, and every broken one fails for its reason.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
x86_64-w64-mingw32-windres -i "$1" -O rc > "$scratch/built.rc" || { echo "FAILED: windres cannot read $1"; exit 1; }
printf '#include <windows.h>\nint WINAPI WinMain(HINSTANCE a, HINSTANCE b, LPSTR c, int d) { return 0; }\n' \
    > "$scratch/empty.c"
# A signer whose CA the signature does not carry: it matches the file, but its chain ends nowhere.
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$scratch/ca.key" -out "$scratch/ca.crt" -days 2 \
    -subj "/CN=Unknown Root" -addext "basicConstraints=critical,CA:TRUE" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout "$scratch/signer.key" -out "$scratch/signer.csr" \
    -subj "/CN=Orphan Signer" 2>/dev/null
printf 'extendedKeyUsage=codeSigning\n' > "$scratch/signer.ext"
openssl x509 -req -in "$scratch/signer.csr" -CA "$scratch/ca.crt" -CAkey "$scratch/ca.key" -CAcreateserial \
    -days 2 -extfile "$scratch/signer.ext" -out "$scratch/signer.crt" 2>/dev/null

passed=0 failed=0
# check NAME EDIT SIGN SAYS: the resources changed by the sed script EDIT, signed
# by the orphan signer when SIGN, make check-executable print SAYS last ("ok":
# it passes).
check() {
    local name=$1 edit=$2 sign=$3 says=$4 file="$scratch/checked.scr" output status
    sed -e "$edit" "$scratch/built.rc" > "$scratch/changed.rc"
    if [ -n "$edit" ] && cmp -s "$scratch/built.rc" "$scratch/changed.rc"; then
        output="the edit changed nothing"
    elif ! output=$(x86_64-w64-mingw32-windres -i "$scratch/changed.rc" -o "$scratch/res.o" 2>&1 &&
                    x86_64-w64-mingw32-gcc -mwindows -Os -s "$scratch/empty.c" "$scratch/res.o" -o "$file" 2>&1); then
        :
    elif [ -n "$sign" ] && ! output=$(osslsigncode sign -certs "$scratch/signer.crt" -key "$scratch/signer.key" \
                                      -h sha256 -in "$file" -out "$file.signed" 2>&1); then
        :
    else
        [ -z "$sign" ] || mv "$file.signed" "$file"
        output=$("$root/tools/check-executable" "$file" 2>&1)
        status=$?
        if [ "$(tail -n 1 <<<"$output")" = "$says" ] && { [ "$says" = ok ] || [ "$status" -ne 0 ]; }; then
            passed=$((passed + 1))
            return
        fi
    fi
    failed=$((failed + 1))
    printf 'FAILED: %s (wanted "%s")\n%s\n' "$name" "$says" "$output"
}

while IFS='|' read -r name edit sign says; do
    check "$name" "$edit" "$sign" "$says"
done <<'TABLE'
unchanged|||ok
a language missing a string|/^LANGUAGE 7, 0$/,/^END$/{/^  1013, /d}||FAIL: German strings differ from English: missing [1013], more []
a duplicate access key|s/"&Einstellungen"/"\&Testeinstellungen"/||FAIL: German dialog 2003 gives the access key t to more than one control
a doubled ampersand is no access key|s/"&Einstellungen"/"\&\&Testeinstellungen"/||ok
a signature that does not verify||sign|FAIL: signed by /CN=Orphan Signer, but the signature does not verify: unable to get local issuer certificate
TABLE

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
