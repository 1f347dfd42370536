#!/usr/bin/env bash
# The command-line builder as a user meets it: exit codes and messages, the
# example project, and the package read back by independent ZIP readers.
#   cli_test.sh QUILLSET_BUILD SOURCE_DIR
set -euo pipefail
builder=$1
source_dir=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quill-cli-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The builder's sandboxes go to a folder of this test's own, so that builders
# other tests run at the same time cannot look like leftovers.
mkdir -p "$work/dist" "$work/tmp"
export TMPDIR="$work/tmp"
cp "$builder" "$work/dist/quillset-build"
printf 'MZ-test-stub' > "$work/dist/ext.dat"
printf 'MZ-test-uninstaller' > "$work/dist/uninst.dat"
printf 'jpeg' > "$work/dist/setup.JPG"
qb="$work/dist/quillset-build"

# expect CODE TEXT -- COMMAND...: exit code and a text in its output.
expect() {
  local code=$1 text=$2
  shift 3
  local out rc=0
  out=$("$@" 2>&1) || rc=$?
  [ "$rc" = "$code" ] || fail "$* exited $rc, expected $code: $out"
  grep -qF -- "$text" <<<"$out" || fail "$* printed no '$text': $out"
}

expect 0 "usage: quillset-build" -- "$qb" --help
expect 2 "usage: quillset-build" -- "$qb"
expect 2 "unknown option" -- "$qb" --frobnicate x.qsp
expect 1 "cannot read the project file" -- "$qb" "$work/none.qsp"

# The example project.
QUILLSET_BUILD="$qb" bash "$source_dir/examples/example.sh" "$work/out" > "$work/example.log" 2>&1 ||
  fail "example.sh: $(cat "$work/example.log")"
grep -q '^\[ *[0-9]*%\] Adding file .*ReadMe.txt\.\.\.$' "$work/example.log" || fail "no progress lines"
grep -q 'Done!' "$work/example.log" || fail "no Done!"
package="$work/out/example-setup.exe"
python3 - "$package" "$source_dir/tests/support" <<'PY' || fail "python's zipfile disagrees"
import struct, sys
sys.path.insert(0, sys.argv[2])
import package_payload
data = open(sys.argv[1], "rb").read()
n = struct.unpack("<Q", data[-8:])[0]
assert data.startswith(b"MZ-test-stub"), "stub bytes"
assert len(data) == len(b"MZ-test-stub") + n + 8, "trailer"
names, read, archive = package_payload.open_package(sys.argv[1])
# The example compresses with LZMA: its small files travel in one solid block.
assert "%Quillpack%/solid/1" in archive.namelist(), archive.namelist()
files = [name for name in names if not name.startswith("%Quillpack%")]
assert files == ["ReadMe.txt", "Hello.bat", "Guide.txt", "Changes.txt", "Uninstall.exe"], names
assert "%Quillpack%/shortcuts.txt" in names and "%Quillpack%/uninstall.txt" in names, names
assert all("\\" not in name for name in names), names
assert read("Uninstall.exe") == b"MZ-test-uninstaller"
info = read("%Quillpack%/fileinfo.txt").decode()
assert info.endswith("////\r\n////\r\n") and "Hello.bat|%install path%\\bin\\\r\n" in info, info
PY
dd if="$package" of="$work/payload.zip" bs=1 skip=12 \
   count=$(( $(stat -c %s "$package") - 12 - 8 )) status=none
unzip -l "$work/payload.zip" > "$work/unzip.log" 2>&1 || fail "unzip -l: $(cat "$work/unzip.log")"
grep -q ' %Quillpack%/img/setup.jpg$' "$work/unzip.log" || fail "unzip lists no setup.jpg"

# A project with a missing source, a second "ReadMe.txt" in the same folder
# and a second "Guide.txt" elsewhere: built, with warnings where names change.
sed "s|@EXAMPLE@|$source_dir/examples/example|g" "$source_dir/examples/example/example.qsp.in" |
  awk -v ex="$source_dir/examples/example" 'NR==21 {
        print "/no/such/file.txt\r"; print "Lost.txt\r"; print "%install path%\\\r";
        print ex "/welcome.txt\r"; print "ReadMe.txt\r"; print "%install path%\\\r";
        print ex "/licence.txt\r"; print "Guide.txt\r"; print "%install path%\\\r" } {print}' > "$work/warn.qsp"
expect 0 'warning: Source file missing: "/no/such/file.txt"' -- "$qb" "$work/warn.qsp" -o "$work/warn.exe"
expect 0 'is installed as "copy of ReadMe.txt"' -- "$qb" "$work/warn.qsp" -o "$work/warn.exe"
check_warn_package() {
  python3 - "$1" "$source_dir/tests/support" <<'PY' || fail "$1: same names in two folders share an entry"
import sys
sys.path.insert(0, sys.argv[2])
import package_payload
names, read, archive = package_payload.open_package(sys.argv[1])
info = read("%Quillpack%/fileinfo.txt").decode()
assert "Guide.txt|%install path%\\\r\n" in info and "docs\\Guide.txt|%install path%\\\r\n" in info, info
assert read("Guide.txt").startswith(b"LICENCE"), "root Guide.txt"
assert read("docs/Guide.txt").startswith(b"Getting started"), "docs Guide.txt"
assert read("copy of ReadMe.txt").startswith(b"Welcome")
PY
}
check_warn_package "$work/warn.exe"
# The same project with deflate: every entry deflated or stored, which any
# ZIP tool reads.
cp "$work/warn.qsp" "$work/warn-deflate.qsp"
"$qb" set "$work/warn-deflate.qsp" compression=deflate > /dev/null || fail "set compression"
"$qb" "$work/warn-deflate.qsp" -o "$work/warn-deflate.exe" > /dev/null || fail "deflate build"
check_warn_package "$work/warn-deflate.exe"
dd if="$work/warn-deflate.exe" of="$work/deflate.zip" bs=1 skip=12 \
   count=$(( $(stat -c %s "$work/warn-deflate.exe") - 12 - 8 )) status=none
unzip -tq "$work/deflate.zip" > /dev/null 2>&1 || fail "unzip -t finds errors"

# Failures: each with a message and a non-zero code.
head -c 200 "$work/warn.qsp" > "$work/short.qsp"
expect 1 "ends before its settings section" -- "$qb" "$work/short.qsp" -o "$work/x.exe"
expect 1 "cannot write" -- "$qb" "$work/warn.qsp" -o "$work/no/such/dir/x.exe"
expect 1 "no \"Save installer as\" path" -- "$qb" "$work/warn.qsp"
mv "$work/dist/ext.dat" "$work/ext.dat"
expect 1 "ext.dat is missing" -- "$qb" "$work/warn.qsp" -o "$work/x.exe"
mv "$work/ext.dat" "$work/dist/ext.dat"
[ ! -e "$work/x.exe" ] && [ ! -e "$work/x.exe.zip" ] || fail "a failed build left files"
leftover=$(find "$TMPDIR" -maxdepth 1 -name 'quillset-build.*' 2>/dev/null | head -1)
[ -z "$leftover" ] || fail "sandbox left behind: $leftover"

# The background font travels from the author's font folders, unless it is
# a face every Windows has.
mkdir -p "$work/home/.fonts/q"
printf 'quill font bytes' > "$work/home/.fonts/q/QuillScript-Bold.ttf"
"$qb" new "$work/font.qsp" >/dev/null && "$qb" set "$work/font.qsp" background=on >/dev/null ||
  fail "font project"
font_entry() {
  HOME="$work/home" "$qb" "$work/font.qsp" -o "$work/font.exe" >/dev/null || fail "font build"
  python3 - "$work/font.exe" <<'PY'
import io, struct, sys, zipfile
data = open(sys.argv[1], "rb").read()
n = struct.unpack("<Q", data[-8:])[0]
z = zipfile.ZipFile(io.BytesIO(data[-8 - n:-8]))
print(z.read("%Quillpack%/font").decode() if "%Quillpack%/font" in z.namelist() else "(none)")
PY
}
[ "$(font_entry)" = "(none)" ] || fail "Arial travelled"
"$qb" set "$work/font.qsp" font-face='Quill Script' >/dev/null || fail "set font-face"
[ "$(font_entry)" = "quill font bytes" ] || fail "the font did not travel: $(font_entry)"
expect 0 'below ~/.local/share/fonts' -- "$qb" build --help

if [ "$failures" -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "cli: all checks passed"
