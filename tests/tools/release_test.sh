#!/bin/bash
# tools/release.sh as maintainers and users meet it: two signed releases of this
# working tree (the last commit with every uncommitted change and new file, so a
# change to release.sh is tested before it is committed), built side by side
# from copies at two paths, hold the same bytes; the
# signatures verify against a throwaway CA and a changed byte breaks them; a
# wrong certificate stops the release before anything is built.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
ca="$scratch/ca"
mkdir -p "$ca"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$ca/ca.key" -out "$ca/ca.crt" -days 2 -subj "/CN=Throwaway Root" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout "$ca/signer.key" -out "$ca/signer.csr" 2>/dev/null \
    -subj "/CN=Throwaway Signer/O=Kelvorin Software"
printf 'extendedKeyUsage=codeSigning\nkeyUsage=critical,digitalSignature\n' > "$ca/signer.ext"
openssl x509 -req -in "$ca/signer.csr" -CA "$ca/ca.crt" -CAkey "$ca/ca.key" -CAcreateserial -days 2 \
    -extfile "$ca/signer.ext" -out "$ca/signer.crt" 2>/dev/null
openssl pkcs12 -export -inkey "$ca/signer.key" -in "$ca/signer.crt" -certfile "$ca/ca.crt" \
    -passout pass:throwaway -out "$ca/signer.p12"

commit=$(git -C "$root" rev-parse HEAD)
changes=$(git -C "$root" status --porcelain | wc -l)
echo "Releasing the working tree: commit ${commit:0:12} with $changes uncommitted changes and new files"
clones=("$scratch/one/kelvorin" "$scratch/two/a deeper path/kelvorin")
for index in 0 1; do
    clone=${clones[$index]}
    git clone -q --shared "$root" "$clone" && git -C "$clone" checkout -q "$commit"
    git -C "$root" diff --binary HEAD | git -C "$clone" apply --binary --allow-empty
    (cd "$root" && git ls-files -z --others --exclude-standard | xargs -0r cp --parents -t "$clone")
    (cd "$clone" && KELVORIN_SIGN_PFX="$ca/signer.p12" KELVORIN_SIGN_PASSWORD=throwaway \
        tools/release.sh > "$scratch/release$index.log" 2>&1) &
    pids[$index]=$!
done
for index in 0 1; do wait "${pids[$index]}"; statuses[$index]=$?; done
release="${clones[0]}/build/release"
other="${clones[1]}/build/release"

passed=0 failed=0
# check NAME COMMAND...: the command succeeds; its output shows when it does not.
check() {
    local name=$1 output
    shift
    if output=$("$@" 2>&1); then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s\n%s\n' "$name" "$output"
    fi
}
fails() { ! "$@"; }
# changed FILE: prints the name of a copy of FILE with the byte in its middle changed.
changed() {
    local copy="$scratch/changed-${1//\//-}"
    python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); d[len(d) // 2] ^= 1
open(sys.argv[2], "wb").write(d)' "$1" "$copy" && echo "$copy"
}
# same_release: SHA256SUMS lists the five files, which match it and are the other clone's byte for byte.
same_release() {
    local sum file
    [ "$(wc -l < "$release/SHA256SUMS")" -eq 5 ] && (cd "$release" && sha256sum -c --strict SHA256SUMS) || return 1
    while read -r sum file; do cmp "$release/$file" "$other/$file" || return 1; done < "$release/SHA256SUMS"
}
verify() { osslsigncode verify -CAfile "$ca/ca.crt" -in "$1"; }

# released INDEX: that clone's release.sh succeeded; its output shows when it did not.
released() { [ "${statuses[$1]}" -eq 0 ] || { cat "$scratch/release$1.log"; return 1; }; }

check "release from one path" released 0
check "release from another path" released 1
check "same bytes from two paths" same_release
for file in $(awk '$2 !~ /zip$/ { print $2 }' "$release/SHA256SUMS"); do
    check "$file verifies" verify "$release/$file"
    check "$file changed fails" fails verify "$(changed "$release/$file")"
done
check "check-executable names the signer" grep -q "signed by /CN=Throwaway Signer/O=Kelvorin Software" \
    <("$root/tools/check-executable" "$release/win64/kelvorin.scr")
check "check-executable fails a changed file" fails "$root/tools/check-executable" \
    "$(changed "$release/win32/kelvorin.scr")"

# Certificates that stop the release at once: NAME, PFX, password, osslsigncode's reason.
while IFS='|' read -r name pfx password reason; do
    output=$(cd "${clones[0]}" && KELVORIN_SIGN_PFX="$pfx" KELVORIN_SIGN_PASSWORD="$password" tools/release.sh 2>&1)
    check "$name stops the release" fails test -e "$release"
    check "$name says why" grep -qF "$reason" <<<"$output"
done <<TABLE
wrong password|$ca/signer.p12|wrong|mac verify failure
missing file|$ca/none.p12|throwaway|No such file or directory
TABLE

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
