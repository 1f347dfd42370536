#!/usr/bin/env bash
# Installs that do not finish leave the machine as it was: a damaged third
# entry over a folder that already holds one of the package's files, a
# confirmed Cancel part way through a large package, and Abort in the
# failed-write question. The C: drive (apart from the temporary folder that
# holds the payload) and the uninstall keys are compared before and after.
# Then the folder forms: a relative folder is refused on the folder step,
# "C:/Apps/Tool" installs to C:\Apps\Tool\ and its uninstaller removes it.
TEST=rollback
source "$(dirname "$0")/common.sh"
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

expect_unchanged() {
  machine_state > "$WORK/after.txt"
  diff "$WORK/before.txt" "$WORK/after.txt" || fail "$1: the machine changed"
  [ ! -e "$(payload_dir)" ] || fail "$1: payload folder left behind"
}

# 1. The third entry is damaged; a.txt is already there and is replaced first.
make_package "$WORK/damaged.exe" <<'JSON'
{"data": {"tt.txt": "Dmg", "def_install.txt": "C:\\Dmg\n",
          "macros.txt": "%name%\nDmg\n\n\n/\n/\n/\n/\n",
          "uninstall.txt": "%install path%\\Uninstall.exe",
          "fileinfo.txt": "a.txt|%install path%\\\nsub\\b.txt|%install path%\\\nbad.txt|%install path%\\\nUninstall.exe|%install path%\\\n////\n////\n"},
 "stored": true, "corrupt": ["bad.txt"],
 "entries": {"a.txt": "new a", "sub/b.txt": "new b", "bad.txt": "this text is damaged in the archive",
             "Uninstall.exe": "u"}}
JSON
mkdir -p "$DRIVE_C/Dmg"
printf 'old a' > "$DRIVE_C/Dmg/a.txt"
machine_state > "$WORK/before.txt"
start_installer "$WORK/damaged.exe"
driver wait-control 1007 30 click 1000 wait-control 1010 5 click 1000 answer-text "a.txt" yes 20 >/dev/null ||
  fail "no replace question for a.txt"
box=$(driver answer ok 30) || fail "no message for the damaged entry"
case "$box" in "box: Dmg | The installer package is damaged"*) ;; *) fail "unexpected message: $box" ;; esac
wait_installer damaged.exe
expect_file "$DRIVE_C/Dmg/a.txt" "old a"
expect_unchanged "damaged entry"

# 2. Cancel while a large package installs; keep.dat is replaced first.
mkdir -p "$WORK/big"
for i in $(seq -w 1 120); do head -c 300000 /dev/urandom > "$WORK/big/f$i.bin"; done
python3 - "$WORK" > "$WORK/big.json" <<'PY'
import json, sys
work = sys.argv[1]
names = ["f%03d.bin" % i for i in range(1, 121)]
lines = "keep.dat|%install path%\\\n" + "".join("%s|%%install path%%\\data\\\n" % n for n in names)
print(json.dumps({
    "data": {"tt.txt": "Big", "def_install.txt": "C:\\Big\n",
             "macros.txt": "%name%\nBig\n\n\n/\n/\n/\n/\n",
             "uninstall.txt": "%install path%\\keep.dat",
             "fileinfo.txt": lines + "////\n////\n"},
    "stored": True,
    "entries": {"keep.dat": "new keep"},
    "entry_files": {n: "%s/big/%s" % (work, n) for n in names}}))
PY
make_package "$WORK/big.exe" < "$WORK/big.json"
rm -rf "$WORK/big"
mkdir -p "$DRIVE_C/Big/data"
printf 'old keep' > "$DRIVE_C/Big/keep.dat"
# f060.bin is there already: its replace question holds the install half
# way, however fast the machine, and the Cancel button is confirmed then.
printf 'old 60' > "$DRIVE_C/Big/data/f060.bin"
machine_state > "$WORK/before.txt"
start_installer "$WORK/big.exe"
driver wait-control 1007 30 click 1000 wait-control 1010 5 click 1000 answer-text "keep.dat" yes 20 \
  wait-box "f060.bin" 120 progress 1021 click 1002 answer-text "Are you sure you wish to cancel" yes 10 \
  answer-text "f060.bin" yes 10 > "$WORK/cancel.out" ||
  { cat "$WORK/cancel.out"; fail "cancel during the install"; }
position=$(grep -E '^[0-9]+/' "$WORK/cancel.out" | tail -n 1)
[ "${position%%/*}" -lt 121 ] || fail "the install ended before the cancel: $position"
wait_installer big.exe 60
expect_file "$DRIVE_C/Big/keep.dat" "old keep"
expect_unchanged "cancel at $position"

# 3. A file stands where a destination folder should be: the write fails,
# the question offers Abort, Retry and Ignore, and Abort undoes the run.
make_package "$WORK/blocked.exe" <<'JSON'
{"data": {"tt.txt": "Blk", "def_install.txt": "C:\\Blk\n",
          "macros.txt": "%name%\nBlk\n\n\n/\n/\n/\n/\n",
          "uninstall.txt": "%install path%\\a.txt",
          "fileinfo.txt": "a.txt|%install path%\\\nb.txt|C:\\Blocked\\In\\\n////\n////\n"},
 "entries": {"a.txt": "new a", "b.txt": "new b"}}
JSON
printf 'in the way' > "$DRIVE_C/Blocked"
machine_state > "$WORK/before.txt"
start_installer "$WORK/blocked.exe"
driver wait-control 1007 30 click 1000 wait-control 1010 5 click 1000 wait-box "could not be written" 20 >/dev/null ||
  fail "no failed-write question"
shot 5-write-failed-question
box=$(driver answer-text "could not be written" retry 5) || fail "no Retry in the question"
[ "$box" = 'box: Blk | The file C:\Blocked\In\b.txt could not be written.\nAbort the installation, retry, or ignore this file?' ] ||
  fail "failed-write question: $box"
driver answer-text "could not be written" abort 20 >/dev/null || fail "no Abort after a retry"
wait_installer blocked.exe
expect_unchanged "abort"

# 4. The folder step refuses a relative folder; "C:/Apps/Tool" installs to
# C:\Apps\Tool\ and the uninstaller removes it.
make_package "$WORK/slash.exe" <<'JSON'
{"data": {"tt.txt": "Slash", "def_install.txt": "C:\\Slash\n",
          "macros.txt": "%name%\nSlash\n\n\n/\n/\n/\n/\n",
          "uninstall.txt": "%install path%\\Uninstall.exe",
          "fileinfo.txt": "tool.txt|%install path%\\\nsub\\s.txt|%install path%\\\nUninstall.exe|%install path%\\\n////\n////\n"},
 "entries": {"tool.txt": "tool", "sub/s.txt": "sub"},
 "entry_files": {"Uninstall.exe": "$QUILL_DIST/uninst.dat"}}
JSON
start_installer "$WORK/slash.exe"
driver wait-control 1007 30 set-text 1007 'Apps\Tool' click 1000 wait-box "cannot be used" 10 >/dev/null ||
  fail "a relative folder was not refused"
shot 2-relative-folder-refused
box=$(driver answer-text "cannot be used" ok 5)
[ "$box" = 'box: Slash | The folder Apps\Tool cannot be used for the installation.\nPlease enter a full path such as C:\Program Files\Tool and try again.' ] ||
  fail "refusal message: $box"
driver wait-control 1007 5 expect-visible 1007 1 set-text 1007 'C:/Apps/Tool' click 1000 wait-control 1010 5 \
  click 1000 wait-text 1000 Done 30 click 1000 >/dev/null || fail "installing to C:/Apps/Tool"
wait_installer slash.exe
expect_file "$DRIVE_C/Apps/Tool/tool.txt" "tool"
expect_file "$DRIVE_C/Apps/Tool/sub/s.txt" "sub"
expect_lines "$DRIVE_C/Apps/Tool/uninstall.ini" "Slash" 'C:\Apps\Tool\tool.txt' 'C:\Apps\Tool\sub\s.txt' \
  'C:\Apps\Tool\Uninstall.exe' 'C:\Apps\Tool\uninstall.ini' 'C:\Apps\Tool\' "||||"
[ "$(reg_value "$UNINSTALL\\Slash" UninstallString)" = 'REG_SZ "C:\Apps\Tool\Uninstall.exe"' ] ||
  fail "uninstall string: $(reg_value "$UNINSTALL\\Slash" UninstallString)"
wine 'C:\Apps\Tool\Uninstall.exe' >"$WORK/uninstaller.log" 2>&1 &
uninstaller_pid=$!
driver answer-text "Slash" yes 30 >/dev/null || fail "no uninstall question"
driver wait-control 1000 20 wait-text 1000 OK 60 click 1000 wait-gone 10 >/dev/null || fail "uninstall did not end"
wait "$uninstaller_pid" || true
driver wait-process Uninstall.exe 20 >/dev/null || true
[ ! -e "$DRIVE_C/Apps/Tool" ] || { find "$DRIVE_C/Apps/Tool"; fail "C:\\Apps\\Tool is still there"; }
wine reg query "$UNINSTALL\\Slash" >/dev/null 2>&1 && fail "uninstall entry left behind"
echo "PASS"
