#!/usr/bin/env bash
# A package for 64-bit Windows, made by the Linux builder from a project
# set for x64, under wine64 whatever the machine runs:
# the package's stub and its Uninstall.exe are the x86_64 programs (PE32+),
# files land in the native Program Files and system folders, a registry
# macro and the uninstall entry use the 64-bit view, and the installed
# uninstaller removes it all. Without ext64.dat the build names the file.
set -euo pipefail
QB0="$QUILL_BUILD/dist/quillset-build"
TEST=x64
export QUILL_WINE_ARCH=win64
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
exit_of() { local code=0; timeout 60 "$WINE_LOADER" "$@" >/dev/null 2>&1 || code=$?; echo "$code"; }

# The builder's folder holds both architectures' programs (32-bit stand-ins
# where that build is missing), so the choice is the project's.
B="$WORK/qb"
mkdir -p "$B" "$WORK/src"
cp "$QB0" "$QUILL_DIST/ext64.dat" "$QUILL_DIST/uninst64.dat" "$QUILL_DIST/setup.JPG" "$B/"
for f in ext.dat uninst.dat; do
  if [ -f "${QUILL_DIST32:-}/$f" ]; then cp "$QUILL_DIST32/$f" "$B/"; else printf 'MZ 32-bit %s' "$f" > "$B/$f"; fi
done
QB="$B/quillset-build"
printf 'read me' > "$WORK/src/readme.txt"
printf 'system' > "$WORK/src/quill-x64-sys.txt"
printf 'by registry' > "$WORK/src/reg.txt"
p="$WORK/wide.qsp"
"$QB" new "$p" --name "Wide App" >/dev/null
"$QB" add "$p" "$WORK/src/readme.txt" >/dev/null
"$QB" add "$p" --custom '%system%\' "$WORK/src/quill-x64-sys.txt" >/dev/null
"$QB" add "$p" --custom '%widedir%\' "$WORK/src/reg.txt" >/dev/null
"$QB" macro "$p" add %widedir% --registry HKEY_LOCAL_MACHINE 'Software\QuillWide' Dir >/dev/null
"$QB" set "$p" uninstaller=on >/dev/null
"$QB" set "$p" architecture=x64 >/dev/null
out=$("$QB" build "$p" -o "$DRIVE_C/setup.exe" 2>&1) || fail "build: $out"
grep -q "warning:" <<<"$out" && fail "warnings: $out"
grep -q "uninst64.dat" <<<"$("$QB" show "$p")" || fail "show does not name uninst64.dat"

# PE32+ for x86-64: machine 0x8664, optional header magic 0x20b.
cat > "$WORK/pe.py" <<'PY'
import struct, sys
def pe32plus(data):
    at = struct.unpack_from('<I', data, 0x3C)[0]
    return data[at:at + 4] == b'PE\0\0' and struct.unpack_from('<HH', data, at + 4)[0] == 0x8664 \
        and struct.unpack_from('<H', data, at + 24)[0] == 0x20B
PY
python3 - "$DRIVE_C/setup.exe" "$B/ext64.dat" "$B/uninst64.dat" "$WORK" "$QUILL_SOURCE/tests/support" <<'PY' ||
import io, struct, sys, zipfile
sys.path.insert(0, sys.argv[4]); from pe import pe32plus
sys.path.insert(0, sys.argv[5])
data = open(sys.argv[1], 'rb').read()
stub = open(sys.argv[2], 'rb').read()
n = struct.unpack('<Q', data[-8:])[0]
assert data[:len(stub)] == stub and len(data) == len(stub) + n + 8, 'not the x86_64 stub'
assert pe32plus(data), 'the package is no PE32+ image'
import package_payload
names, read, archive = package_payload.open_package(sys.argv[1])
assert read('Uninstall.exe') == open(sys.argv[3], 'rb').read(), 'not the x86_64 uninstaller'
PY
  fail "package"

# The registry macro's value exists in the 64-bit view only.
wine reg add 'HKLM\Software\QuillWide' /v Dir /d 'C:\Wide Reg' /reg:64 /f >/dev/null 2>&1 || fail "reg add"
code=$(exit_of "$DRIVE_C/setup.exe" /S)
[ "$code" = 0 ] || fail "silent install exit code $code"
APP="$DRIVE_C/Program Files/Wide App"
expect_file "$APP/readme.txt" "read me"
[ ! -e "$DRIVE_C/Program Files (x86)/Wide App" ] || fail "installed into Program Files (x86)"
expect_file "$DRIVE_C/windows/system32/quill-x64-sys.txt" "system"
[ ! -e "$DRIVE_C/windows/syswow64/quill-x64-sys.txt" ] || fail "the system file went to the 32-bit folder"
expect_file "$DRIVE_C/Wide Reg/reg.txt" "by registry"
cmp -s "$APP/Uninstall.exe" "$B/uninst64.dat" || fail "Uninstall.exe is not uninst64.dat"
python3 -c 'import sys; sys.path.insert(0, sys.argv[2]); from pe import pe32plus
assert pe32plus(open(sys.argv[1], "rb").read())' "$APP/Uninstall.exe" "$WORK" || fail "Uninstall.exe is no PE32+ image"
KEY="$UNINSTALL\\Wide App"
got=$(wine reg query "$KEY" /v UninstallString /reg:64 2>/dev/null | tr -d '\r') || fail "no entry in the 64-bit view"
grep -qF '"C:\Program Files\Wide App\Uninstall.exe"' <<<"$got" || fail "UninstallString: $got"
wine reg query "$KEY" /reg:32 >/dev/null 2>&1 && fail "the entry is in the 32-bit view"

code=$(exit_of 'C:\Program Files\Wide App\Uninstall.exe' /S)
[ "$code" = 0 ] || fail "silent uninstall exit code $code"
[ ! -e "$APP" ] || { find "$APP"; fail "files left after the uninstall"; }
wine reg query "$KEY" /reg:64 >/dev/null 2>&1 && fail "the entry is still in the 64-bit view"

# Without the 64-bit stub beside the builder the build fails, naming it.
rm "$B/ext64.dat"
code=0
out=$("$QB" build "$p" -o "$WORK/none.exe" 2>&1) || code=$?
[ "$code" = 1 ] || fail "missing ext64.dat: exit $code: $out"
grep -q "ext64.dat is missing from $B/" <<<"$out" || fail "message: $out"
echo "x64 wine: all checks passed"
