#!/usr/bin/env bash
# Start-up extraction: the pictures are in the run's payload folder
# (%TEMP%\Quillpack-<16 random digits>\) while the installer runs, the data
# files are read into memory and never written, install entries stay in the
# archive, and the payload folder is gone when it ends. A package with a
# broken trailer reports itself damaged.
TEST=extraction
source "$(dirname "$0")/common.sh"

# The licence text is close to its 32,767-byte limit and has 790 lines, so
# with CR LF line ends it is longer than a text box holds by default.
python3 - <<'PY' | make_package "$WORK/setup.exe"
import json
licence = "".join("Licence line %04d of the long agreement.\n" % i for i in range(1, 791))
print(json.dumps({
    "data": {"wt.txt": "Welcome text", "tt.txt": "Extract Test", "license.txt": licence,
             "def_install.txt": "C:\\ExtractTest\n", "bgimg/6/slide.jpg.txt": "1\n0\n0\n"},
    "data_files": {"img/setup.jpg": "resources/setup.JPG", "img/3/side3.jpg": "resources/setup.JPG",
                   "bgimg/6/slide.jpg": "resources/setup.JPG"},
    "entries": {"app/program.txt": "installed later", "%QUILLPACK%/wrong-case.txt": "install entry"}}))
PY
start_installer "$WORK/setup.exe"
driver wait-control 1004 30 expect-text 1004 "Welcome text" >/dev/null || fail "wizard did not open"
shot welcome

P=$(payload_dir)
[ -d "$P" ] || fail "no payload folder $P"
[ "$(driver wait-control 1004 5 caption)" = "Extract Test - Welcome" ] || fail "title"
cmp -s "$QUILL_SOURCE/resources/setup.JPG" "$P/img/setup.jpg" || fail "img/setup.jpg differs"
cmp -s "$QUILL_SOURCE/resources/setup.JPG" "$P/img/3/side3.jpg" || fail "img/3/side3.jpg differs"
[ -f "$P/bgimg/6/slide.jpg" ] || fail "background picture missing"
# tempfile.tmp is the payload archive, byte for byte.
size=$(stat -c %s "$WORK/setup.exe")
stub=$(stat -c %s "$QUILL_DIST/ext.dat")
tail -c $((size - stub)) "$WORK/setup.exe" | head -c $((size - stub - 8)) > "$WORK/payload.zip"
cmp -s "$WORK/payload.zip" "$P/tempfile.tmp" || fail "tempfile.tmp is not the payload archive"
# Install entries stay in the archive; the wrong-case prefix is one of them.
[ ! -e "$P/app" ] && [ ! -e "$(wine_temp_dir)/%QUILLPACK%" ] || fail "an install entry was extracted at start-up"
content=$(cd "$P" && LC_ALL=C ls | tr '\n' ' ')
[ "$content" = "bgimg img tempfile.tmp " ] || fail "unexpected payload folder content: $content"
[ "$(cd "$P/bgimg/6" && LC_ALL=C ls | tr '\n' ' ')" = "slide.jpg " ] || fail "a companion was written"

# The whole licence reaches its text box.
licence=$(driver wait-control 1004 5 click 1000 wait-text 1000 "I Agree" 5 text 1004)
case "$licence" in "Licence line 0001 of"*"Licence line 0790 of the long agreement.\n") ;;
  *) fail "licence text cut: ...${licence: -60}" ;; esac

# Exit on the welcome step ends the wizard; the payload folder goes with it.
driver wait-control 1004 5 click 1001 wait-text 1000 Next 5 expect-text 1001 Exit click 1001 >/dev/null
wait_installer setup.exe
[ ! -e "$P" ] || fail "payload folder left behind: $(ls -R "$P")"
[ ! -e "$DRIVE_C/ExtractTest" ] || fail "something was installed"

# A package whose trailer names more bytes than the file holds.
cp "$QUILL_DIST/ext.dat" "$WORK/broken.exe"
printf 'PK\003\004 not an archive' >> "$WORK/broken.exe"
python3 -c "import struct,sys; sys.stdout.buffer.write(struct.pack('<Q', 1 << 40))" >> "$WORK/broken.exe"
start_installer "$WORK/broken.exe"
box=$(driver answer ok 30) || fail "no message for a damaged package"
echo "$box"
case "$box" in *damaged*) ;; *) fail "unexpected message: $box" ;; esac
wait_installer broken.exe
[ ! -e "$P" ] || fail "payload folder left behind after a damaged package"

# An install entry whose data fails its check is found at install time.
make_package "$WORK/bad-entry.exe" <<'JSON'
{"data": {"tt.txt": "Bad Entry", "def_install.txt": "C:\\BadEntry\n",
          "fileinfo.txt": "good.txt|%install path%\\\nbad.txt|%install path%\\\n////\n////\n"},
 "stored": true, "corrupt": ["bad.txt"],
 "entries": {"good.txt": "good", "bad.txt": "this text is damaged in the archive"}}
JSON
start_installer "$WORK/bad-entry.exe"
box=$(driver wait-control 1007 30 click 1000 wait-control 1010 5 click 1000 answer ok 30) ||
  fail "no message for a damaged entry"
case "$box" in "box: Bad Entry | The installer package is damaged"*) ;; *) fail "unexpected message: $box" ;; esac
wait_installer bad-entry.exe
[ ! -e "$P" ] || fail "payload folder left behind after a damaged entry"
echo "PASS"
