#!/usr/bin/env bash
# Ciphon.dll under Wine, loaded by name through LoadLibrary/GetProcAddress by
# ciphon_check.exe: the published vector, a round trip, agreement with the
# native library, in-place use, a missing input and an input too large to
# hold in memory.
source "$QUILL_SOURCE/tests/wine/lib.sh"
wine_setup

W="$DRIVE_C/ciphon"
mkdir -p "$W"
cp "$QUILL_DIST/Ciphon.dll" "$QUILL_DIST/ciphon_check.exe" "$W/"
ZERO_KEY=0000000000000000000000000000000000000000
KEY=00f1e2d3c4b5a69788796a5b4c3d2e1f00112233
BITS=$(cd "$W" && wine ciphon_check.exe --bits | tr -d '\r')
case "$BITS" in 32|64) ;; *) fail "ciphon_check does not run: $BITS" ;; esac

# check FUNCTION INPUT OUTPUT KEY: prints the export's result code.
check() {
    local out
    out=$(cd "$W" && wine ciphon_check.exe "$1" "C:\\ciphon\\$2" "C:\\ciphon\\$3" "$4" | tr -d '\r')
    case "$out" in
        "$1 returned "*) echo "${out##* }" ;;
        *) fail "ciphon_check $1: $out" ;;
    esac
}
hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
size() { stat -c %s "$1"; }

# The all-zero key and block give the published vector, halves reversed.
head -c 8 /dev/zero > "$W/zero.bin"
[ "$(check Enblow zero.bin zero.enc $ZERO_KEY)" = 0 ] || fail "Enblow on zero block"
[ "$(hex "$W/zero.enc")" = 4597f94e78dd9861 ] || fail "zero vector: $(hex "$W/zero.enc")"

# A round trip of 1,003 bytes: 1,008 enciphered, 1,008 deciphered with the
# original first and zero padding after it.
head -c 1003 /dev/urandom > "$W/plain.bin"
[ "$(check Enblow plain.bin plain.enc $KEY)" = 0 ] || fail "Enblow"
[ "$(size "$W/plain.enc")" = 1008 ] || fail "enciphered size $(size "$W/plain.enc")"
cmp -s "$W/plain.bin" "$W/plain.enc" && fail "output equals input"
[ "$(check Deblow plain.enc plain.dec $KEY)" = 0 ] || fail "Deblow"
{ cat "$W/plain.bin"; head -c 5 /dev/zero; } > "$W/expected.bin"
cmp "$W/plain.dec" "$W/expected.bin" || fail "round trip differs"

# The same bytes as the native library gives, when that is built.
native="$QUILL_BUILD/dist/libciphon.so"
if [ -f "$native" ] && command -v python3 >/dev/null; then
    python3 - "$native" "$W/plain.bin" "$W/native.enc" "$KEY" <<'PY' || fail "native library call"
import ctypes, sys
lib = ctypes.CDLL(sys.argv[1])
sys.exit(lib.Enblow(sys.argv[2].encode(), sys.argv[3].encode(), bytes.fromhex(sys.argv[4])))
PY
    cmp "$W/plain.enc" "$W/native.enc" || fail "Ciphon.dll and libciphon.so disagree"
fi

# Input and output the same file: transformed in place, not destroyed.
cp "$W/plain.bin" "$W/inplace.bin"
[ "$(check Enblow inplace.bin inplace.bin $KEY)" = 0 ] || fail "Enblow in place"
cmp "$W/inplace.bin" "$W/plain.enc" || fail "in-place enciphering differs"
[ "$(check Deblow inplace.bin inplace.bin $KEY)" = 0 ] || fail "Deblow in place"
cmp "$W/inplace.bin" "$W/expected.bin" || fail "in-place deciphering differs"

# A missing input still empties the output.
echo stale > "$W/stale.out"
[ "$(check Enblow missing.bin stale.out $KEY)" = 1 ] || fail "missing input result"
[ "$(size "$W/stale.out")" = 0 ] || fail "output not emptied"

# An input too large to hold: the call reports it, empties a separate
# output and leaves an input that is also the output untouched. A 32-bit
# build cannot allocate 3 GiB nor address 5 GiB; a 64-bit build is given
# 1 TiB, more than this machine's memory. Sparse files take no disk space.
if [ "$BITS" = 32 ]; then sizes="3G 5G"; else sizes="1T"; fi
for big in $sizes; do
    truncate -s "$big" "$W/big.bin"
    bytes=$(size "$W/big.bin")
    echo stale > "$W/big.out"
    [ "$(check Enblow big.bin big.out $KEY)" = 2 ] || fail "$big input"
    [ "$(size "$W/big.out")" = 0 ] || fail "$big input: output not emptied"
    [ "$(check Deblow big.bin big.bin $KEY)" = 2 ] || fail "$big input in place"
    [ "$(size "$W/big.bin")" = "$bytes" ] || fail "$big input was touched"
    rm -f "$W/big.bin"
done

# Both exports are found by name.
out=$(cd "$W" && wine ciphon_check.exe Nothing a b $KEY | tr -d '\r') || true
case "$out" in *"no export Nothing"*) ;; *) fail "lookup of a missing export: $out" ;; esac

echo "cipher_wine: all checks passed"
