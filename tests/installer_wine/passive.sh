#!/usr/bin/env bash
# /PASSIVE and the JSON-lines records, through the real programs:
#   a passive install over an existing file (a question in the wizard)
#   answers nothing and still ends with exit code 0; held in the middle of
#   its last file, its small window shows the status and the bar
#   (screenshot passive/progress.png);
#   its .jsonl record, and the removal's .jsonl record, read back line by
#   line as JSON, end with the exit event; the removal's plain record ends
#   with its exit-code line.
TEST=passive
source "$(dirname "$0")/common.sh"

head -c 300000 /dev/urandom > "$WORK/big.bin"
export WORK QUILL_DIST
make_package "$WORK/passive.exe" <<'JSON'
{"data": {"tt.txt": "Passive App", "def_install.txt": "C:\\Passive\n",
          "macros.txt": "%name%\nPassive App\n\n\n/\n/\n/\n/\n",
          "fileinfo.txt": "one.txt|%install path%\\\nbig.bin|%install path%\\\nUninstall.exe|%install path%\\\n////\n////\n",
          "uninstall.txt": "%install path%\\Uninstall.exe",
          "eoi_message.txt": "All done.", "eoi_buttons.txt": "OK"},
 "stored": true,
 "entries": {"one.txt": "new one"},
 "entry_files": {"big.bin": "$WORK/big.bin", "Uninstall.exe": "$QUILL_DIST/uninst.dat"}}
JSON
# The install reads each entry through a 64 KiB buffer from the entry's
# header on; the last fill of the last entry asks for the rest of the
# archive: a size no other read of the run asks for. Held there, two files
# are done.
bytes=$(python3 - "$WORK/passive.exe" <<'PY'
import io, struct, sys, zipfile
data = open(sys.argv[1], "rb").read()
length = struct.unpack("<Q", data[-8:])[0]
archive = zipfile.ZipFile(io.BytesIO(data[-8 - length:-8]))
names = [i.filename for i in sorted(archive.infolist(), key=lambda i: i.header_offset)]
assert names[-3:] == ["one.txt", "big.bin", "Uninstall.exe"], names
print((length - archive.getinfo("Uninstall.exe").header_offset) % 65536)
PY
)
mkdir -p "$DRIVE_C/Passive"
printf 'old one' > "$DRIVE_C/Passive/one.txt"
SETUP=$(winepath -w "$WORK/passive.exe")

# 1. Held at that read, the window shows two of three files; the script
# takes its screenshot, then lets the install go on to its end alone.
# The driver writes straight to the file (no filter that would hold its
# lines back), so the script sees each line as it is printed.
wine "$QUILL_DIST/quill_driver.exe" start-held "\"$SETUP\" /passive /LOG=C:\\passive.JSONL" "$bytes" 60 \
  wait-control 1020 30 wait-position 1021 2 30 progress 1021 text 1020 expect-visible 1002 0 \
  wait-file 'C:\shot.done' 120 release 30 wait-process passive.exe 120 \
  > "$WORK/driver.out" 2>&1 &
driver_pid=$!
until grep -q $'^2/0-3\r\\?$' "$WORK/driver.out"; do
  kill -0 "$driver_pid" 2>/dev/null || { cat "$WORK/driver.out"; fail "no progress window held mid-install"; }
  sleep 0.1
done
shot progress
touch "$DRIVE_C/shot.done"
wait "$driver_pid" || { cat "$WORK/driver.out"; fail "the passive install did not end by itself"; }
tr -d '\r' < "$WORK/driver.out"
expect_file "$DRIVE_C/Passive/one.txt" "new one"
cmp -s "$DRIVE_C/Passive/big.bin" "$WORK/big.bin" || fail "big.bin not installed"

# Every line is one JSON object; the record ends with the exit event.
check_jsonl() {
  python3 - "$@" <<'PY'
import json, sys
lines = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8").read().split("\n") if line]
assert all(isinstance(line, dict) and isinstance(line.get("event"), str) for line in lines), lines
assert lines[-1] == {"event": "exit", "code": 0}, lines[-1]
for expected in sys.argv[2:]:
    assert json.loads(expected) in lines, (expected, lines)
print(len(lines), "JSON lines")
PY
}
check_jsonl "$DRIVE_C/passive.JSONL" '{"event":"start","action":"passive"}' \
  '{"event":"file","action":"replaced","path":"C:\\Passive\\one.txt"}' \
  '{"event":"file","action":"written","path":"C:\\Passive\\Uninstall.exe"}' \
  '{"event":"registry","action":"written","value":"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Passive App\\DisplayName","data":"Passive App (remove only)"}' ||
  fail "the install's JSON record"

# 2. The removal's records: JSON lines through the launcher's working copy,
# then the plain form.
exit_of() { local code=0; timeout 60 "$WINE_LOADER" "$@" >/dev/null 2>&1 || code=$?; echo "$code"; }
code=$(exit_of 'C:\Passive\Uninstall.exe' /S '/LOG=C:\removal record.jsonl')
[ "$code" = 0 ] || fail "silent removal exit code $code"
[ ! -e "$DRIVE_C/Passive" ] || fail "the removal left C:\\Passive"
check_jsonl "$DRIVE_C/removal record.jsonl" '{"event":"start","action":"silent"}' \
  '{"event":"file","action":"removed","path":"C:\\Passive\\big.bin"}' \
  '{"event":"uninstall_entry","action":"deleted","name":"Passive App"}' ||
  fail "the removal's JSON record"
[ "$(exit_of "$SETUP" /S)" = 0 ] || fail "silent reinstall"
[ "$(exit_of 'C:\Passive\Uninstall.exe' /S '/LOG=C:\removal.log')" = 0 ] || fail "second removal"
tr -d '\r' < "$DRIVE_C/removal.log" | tail -n 1 | grep -qx "Exit code 0" || { cat "$DRIVE_C/removal.log"; fail "plain removal record"; }
grep -q "^Removed: C:\\\\Passive\\\\one.txt" "$DRIVE_C/removal.log" || { cat "$DRIVE_C/removal.log"; fail "the plain record names no removed file"; }
echo "PASS"
