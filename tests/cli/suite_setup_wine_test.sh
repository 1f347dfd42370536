#!/usr/bin/env bash
# The suite's own installer under Wine: scripts/suite_setup.sh makes
# quillset-setup.exe with the Linux builder, the package installs through
# its wizard, and the installed quillset-build.exe edits, checks and builds
# the example project.
TEST=suite_setup
source "$QUILL_SOURCE/tests/installer_wine/common.sh"

# The programs of the architecture that runs, and the Linux builder with
# that stub and uninstaller beside it.
P="$WORK/programs"
mkdir -p "$P" "$WORK/qb"
for f in Quillset.exe quillset-build.exe ext.dat uninst.dat setup.JPG Ciphon.dll; do
  [ -f "$QUILL_DIST/$f" ] && cp "$QUILL_DIST/$f" "$P/"
done
for f in ext64.dat uninst64.dat; do
  cp "$QUILL_DIST64/$f" "$P/"
done
[ -f "$P/setup.JPG" ] || cp "$QUILL_SOURCE/resources/setup.JPG" "$P/"
cp "$QUILL_BUILD/dist/quillset-build" "$P/ext.dat" "$P/uninst.dat" "$P/setup.JPG" "$WORK/qb/"
QUILLSET_BUILD="$WORK/qb/quillset-build" bash "$QUILL_SOURCE/scripts/suite_setup.sh" "$P" "$WORK/out" \
  > "$WORK/suite.log" 2>&1 || fail "suite_setup.sh: $(cat "$WORK/suite.log")"
grep -q "warning:" "$WORK/suite.log" && fail "warnings: $(cat "$WORK/suite.log")"

start_installer "$WORK/out/quillset-setup.exe"
driver wait-control 1007 30 expect-text 1007 'C:\Program Files\Quillset' click 1000 wait-control 1013 5 \
  click 1000 wait-control 1010 5 click 1000 wait-text 1000 Done 60 >/dev/null || fail "wizard"
box=$(driver wait-control 1010 5 click 1000 answer ok 10) || fail "no closing message"
case "$box" in *"Quillset is installed."*) ;; *) fail "closing message: $box" ;; esac
wait_installer quillset-setup.exe

R="$DRIVE_C/Program Files/Quillset"
for f in quillset-build.exe ext.dat uninst.dat ext64.dat uninst64.dat setup.JPG Ciphon.dll; do
  cmp -s "$R/$f" "$P/$f" || fail "$f not installed"
done
[ ! -f "$P/Quillset.exe" ] || cmp -s "$R/Quillset.exe" "$P/Quillset.exe" || fail "Quillset.exe not installed"
cmp -s "$R/Uninstall.exe" "$P/uninst.dat" || fail "Uninstall.exe"
USER_DIR=$(cd "$DRIVE_C/users" && ls | grep -v '^Public$' | head -n 1)
MENU="$DRIVE_C/users/$USER_DIR/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Quillset"
[ -f "$MENU/Uninstall Quillset.lnk" ] || fail "no uninstaller shortcut in the start menu"
[ ! -f "$P/Quillset.exe" ] || [ -f "$MENU/Quillset.lnk" ] || fail "no Quillset shortcut in the start menu"

# The installed command-line builder, called from elsewhere, edits and
# builds the example with the files beside it.
cp -r "$QUILL_SOURCE/examples/example" "$DRIVE_C/example"
sed 's|@EXAMPLE@|C:\\example|; /^C:\\example/ s|/|\\|g' "$DRIVE_C/example/example.qsp.in" > "$DRIVE_C/example/example.qsp"
qbw() { (cd "$DRIVE_C" && wine 'C:\Program Files\Quillset\quillset-build.exe' "$@" 2>&1 | tr -d '\r'); }
out=$(qbw set 'C:\example\example.qsp' 'name=Example Suite') || fail "set: $out"
out=$(qbw set 'C:\example\example.qsp' 'uninstaller=maybe') && fail "a bad value was taken: $out"
json=$(qbw show 'C:\example\example.qsp' --json) || fail "show: $json"
python3 -c 'import json, sys; d = json.loads(sys.argv[1]); assert d["settings"]["name"] == "Example Suite", d["settings"]; assert len(d["shortcuts"]) == 4' "$json" ||
  fail "show --json: $json"
out=$(qbw check 'C:\example\example.qsp') || fail "check: $out"
out=$(qbw build 'C:\example\example.qsp' -o 'C:\example\example-setup.exe') || fail "build: $out"
grep -q "warning:" <<<"$out" && fail "unexpected warnings: $out"
python3 - "$DRIVE_C/example/example-setup.exe" "$R/ext.dat" "$R/uninst.dat" "$QUILL_SOURCE/tests/support" <<'PY' ||
import struct, sys
sys.path.insert(0, sys.argv[4])
import package_payload
data = open(sys.argv[1], "rb").read()
stub = open(sys.argv[2], "rb").read()
n = struct.unpack("<Q", data[-8:])[0]
assert data[:len(stub)] == stub and len(data) == len(stub) + n + 8
names, read, archive = package_payload.open_package(sys.argv[1])
assert read("Uninstall.exe") == open(sys.argv[3], "rb").read()
assert b"Example Suite" in read("%Quillpack%/macros.txt")
PY
  fail "package"
echo "PASS"
