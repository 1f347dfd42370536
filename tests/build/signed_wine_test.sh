#!/usr/bin/env bash
# A built package signed by a code-signing tool still installs: the example
# is built with the stub under test, signed with a throw-away certificate,
# the signature verifies, the table follows the package without padding, and
# the signed package installs through its wizard. A package whose length is
# not a multiple of 8 gets zero bytes before the table, and installs too.
TEST=signed_package
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
command -v osslsigncode >/dev/null || fail "osslsigncode is not installed"

B="$WORK/builder"
mkdir -p "$B"
cp "$QUILL_BUILD/dist/quillset-build" "$QUILL_DIST/ext.dat" "$QUILL_DIST/uninst.dat" "$QUILL_DIST/setup.JPG" "$B/"
QUILLSET_BUILD="$B/quillset-build" bash "$QUILL_SOURCE/examples/example.sh" "$WORK/out" >/dev/null ||
  fail "the example did not build"
unsigned="$WORK/out/example-setup.exe"
size=$(stat -c %s "$unsigned")
[ $((size % 8)) = 0 ] || fail "package length $size is not a multiple of 8"

openssl req -x509 -newkey rsa:2048 -keyout "$WORK/key.pem" -out "$WORK/cert.pem" -days 2 -nodes \
  -subj "/CN=Quillset test signer" >/dev/null 2>&1 || fail "no test certificate"
osslsigncode sign -certs "$WORK/cert.pem" -key "$WORK/key.pem" -n "Example App" \
  -in "$unsigned" -out "$DRIVE_C/signed-setup.exe" >/dev/null || fail "signing failed"
osslsigncode verify -CAfile "$WORK/cert.pem" -in "$DRIVE_C/signed-setup.exe" >"$WORK/verify.log" 2>&1 ||
  { cat "$WORK/verify.log"; fail "the signature does not verify"; }
# The certificate table starts right where the unsigned package ended, or
# after the zero bytes that bring it to a multiple of 8.
table_follows() {
  python3 - "$1" "$2" "$3" <<'PY'
import struct, sys
data = open(sys.argv[1], 'rb').read()
end, padding = int(sys.argv[2]), int(sys.argv[3])
pe = struct.unpack_from('<I', data, 0x3C)[0]
opt = pe + 24
dirs = opt + (96 if struct.unpack_from('<H', data, opt)[0] == 0x10B else 112)
table, length = struct.unpack_from('<II', data, dirs + 4 * 8)
sys.exit(0 if table == end + padding and data[end:table] == bytes(padding) and
         table + length == len(data) else 1)
PY
}
cmp -s -n "$size" "$unsigned" "$DRIVE_C/signed-setup.exe" && fail "the signer changed nothing"
table_follows "$DRIVE_C/signed-setup.exe" "$size" 0 || fail "the certificate table does not follow the package"

# The same package 8k + 3 bytes long: its archive's comment grows by three
# bytes, so that the end record still ends the archive the trailer names.
python3 - "$unsigned" "$WORK/odd-setup.exe" <<'PY' || fail "no odd-length package"
import struct, sys
data = open(sys.argv[1], 'rb').read()
length = struct.unpack_from('<Q', data, len(data) - 8)[0]
start = len(data) - 8 - length
archive = bytearray(data[start:-8])
end = archive.rfind(b'PK\x05\x06')
comment = struct.unpack_from('<H', archive, end + 20)[0]
assert end + 22 + comment == len(archive)
struct.pack_into('<H', archive, end + 20, comment + 3)
archive += b'odd'
open(sys.argv[2], 'wb').write(data[:start] + archive + struct.pack('<Q', len(archive)))
PY
odd_size=$(stat -c %s "$WORK/odd-setup.exe")
[ $((odd_size % 8)) = 3 ] || fail "odd package length $odd_size"
osslsigncode sign -certs "$WORK/cert.pem" -key "$WORK/key.pem" -n "Example App" \
  -in "$WORK/odd-setup.exe" -out "$DRIVE_C/odd-signed.exe" >/dev/null || fail "signing the odd package failed"
osslsigncode verify -CAfile "$WORK/cert.pem" -in "$DRIVE_C/odd-signed.exe" >"$WORK/verify.log" 2>&1 ||
  { cat "$WORK/verify.log"; fail "the odd package's signature does not verify"; }
table_follows "$DRIVE_C/odd-signed.exe" "$odd_size" 5 || fail "the signer did not pad the odd package"
code=0
timeout 300 "$WINE_LOADER" "$DRIVE_C/odd-signed.exe" /S '/D=C:\Odd App' >/dev/null 2>&1 || code=$?
[ "$code" = 0 ] || fail "the padded package's silent install ended with $code"
cmp -s "$DRIVE_C/Odd App/ReadMe.txt" "$QUILL_SOURCE/examples/example/files/ReadMe.txt" ||
  fail "the padded package did not install ReadMe.txt"
# Removed again, so that the signed package below is a first install with
# the package's own folder, not an upgrade of this one.
code=0
timeout 300 "$WINE_LOADER" 'C:\Odd App\Uninstall.exe' /S >/dev/null 2>&1 || code=$?
[ "$code" = 0 ] || fail "the padded package's silent removal ended with $code"

start_installer "$DRIVE_C/signed-setup.exe"
driver wait-control 1004 30 click 1000 wait-text 1000 "I Agree" 5 click 1000 wait-control 1007 5 \
  click 1000 wait-control 1012 5 click 1000 wait-control 1010 5 click 1000 \
  wait-text 1000 Done 60 click 1000 answer ok 10 >/dev/null || fail "the signed package did not install"
wait_installer signed-setup.exe
R="$DRIVE_C/Program Files/Example App"
cmp -s "$R/ReadMe.txt" "$QUILL_SOURCE/examples/example/files/ReadMe.txt" || fail "ReadMe.txt"
cmp -s "$R/docs/Guide.txt" "$QUILL_SOURCE/examples/example/files/docs/Guide.txt" || fail "docs\\Guide.txt"
echo "PASS"
