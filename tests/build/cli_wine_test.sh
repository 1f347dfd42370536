#!/usr/bin/env bash
# quillset-build.exe under Wine: builds the example project from Windows
# paths, and fails cleanly on a missing project.
source "$QUILL_SOURCE/tests/wine/lib.sh"
wine_setup

B="$DRIVE_C/qb"
mkdir -p "$B" "$DRIVE_C/out"
cp "$QUILL_DIST/quillset-build.exe" "$B/"
for f in ext.dat uninst.dat setup.JPG; do
  if [ -f "$QUILL_DIST/$f" ]; then cp "$QUILL_DIST/$f" "$B/"; else printf 'stand-in %s' "$f" > "$B/$f"; fi
done
cp -r "$QUILL_SOURCE/examples/example" "$DRIVE_C/example"
# Sources as Windows paths below C:\example.
sed 's|@EXAMPLE@|C:\\example|; /^C:\\example/ s|/|\\|g' "$DRIVE_C/example/example.qsp.in" > "$DRIVE_C/example/example.qsp"

out=$(cd "$B" && wine quillset-build.exe 'C:\example\example.qsp' -o 'C:\out\setup.exe' 2>&1) ||
  fail "quillset-build.exe failed: $out"
grep -q 'Done!' <<<"$out" || fail "no Done!: $out"
grep -q 'warning' <<<"$out" && fail "unexpected warnings: $out"
python3 - "$DRIVE_C/out/setup.exe" "$B/ext.dat" "$B/uninst.dat" "$QUILL_SOURCE/tests/support" <<'PY' ||
import struct, sys
sys.path.insert(0, sys.argv[4])
import package_payload
data = open(sys.argv[1], "rb").read()
stub = open(sys.argv[2], "rb").read()
n = struct.unpack("<Q", data[-8:])[0]
assert data[:len(stub)] == stub and len(data) == len(stub) + n + 8
names, read, archive = package_payload.open_package(sys.argv[1])
assert read("Uninstall.exe") == open(sys.argv[3], "rb").read()
assert read("Hello.bat").startswith(b"@echo off")
assert read("%Quillpack%/wt.txt").startswith(b"Welcome")
PY
  fail "package does not read back"
[ ! -e "$DRIVE_C/out/setup.exe.zip" ] || fail "work archive left behind"

rc=0
out=$(cd "$B" && wine quillset-build.exe 'C:\example\none.qsp' 2>&1) || rc=$?
[ "$rc" = 1 ] || fail "missing project exited $rc: $out"
grep -q 'cannot read the project file' <<<"$out" || fail "no message: $out"
echo "cli wine: all checks passed"
