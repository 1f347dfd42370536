#!/usr/bin/env bash
# Files in use and one setup at a time, through the real programs. The driver
# holds a file open sharing nothing, as a running program may, and runs a
# setup while it does:
# 1. a silent install that replaces the held file leaves it to the next
#    restart (exit code 3010, the rename in PendingFileRenameOperations);
#    with /NORESTART it ends with exit code 5 and changes nothing; the
#    uninstaller does the same (5 and nothing removed; then 3010 and a
#    pending delete);
# 2. a second silent setup of a package while the first is held mid-install
#    (after it took the lock) exits 1618 and creates nothing; the first then
#    finishes.
TEST=in_use
source "$(dirname "$0")/common.sh"
SESSION='HKLM\System\CurrentControlSet\Control\Session Manager'

pending() { reg_value "$SESSION" PendingFileRenameOperations || true; }
clear_pending() { wine reg delete "$SESSION" /v PendingFileRenameOperations /f >/dev/null 2>&1 || true; }
# The machine (common.sh) with the pending operations.
state() { machine_state; pending; }
# Runs the command line through the driver while it holds FILE; prints the exit code.
run_holding() {
  local file=$1 line=$2 out
  out=$(driver hold-file "$file" run "$line" 120 release-file "$file") || fail "running $line"
  echo "${out##*exit }"
}
# With /NORESTART: LINE ends with exit code 5 while tool.txt is held and
# changes nothing.
expect_refused() {
  local code
  state > "$WORK/before.txt"
  code=$(run_holding 'C:\InUse\tool.txt' "$1")
  [ "$code" = 5 ] || fail "$1 with a held file: exit code $code"
  state > "$WORK/after.txt"
  diff "$WORK/before.txt" "$WORK/after.txt" || fail "$1 changed the machine"
}

# --- 1. A held file --------------------------------------------------------
make_package "$WORK/tool.exe" <<'JSON'
{"entries": {"tool.txt": "new tool", "other.txt": "other"},
 "entry_files": {"Uninstall.exe": "$QUILL_DIST/uninst.dat"},
 "data": {"fileinfo.txt": "tool.txt|%install path%\\\nother.txt|%install path%\\\nUninstall.exe|%install path%\\\n////\n////\n",
          "uninstall.txt": "%install path%\\Uninstall.exe", "tt.txt": "InUse",
          "macros.txt": "%name%\nInUse\n\n\n/\n/\n/\n/\n", "def_install.txt": "C:\\InUse\n"}}
JSON
SETUP=$(winepath -w "$WORK/tool.exe")
mkdir -p "$DRIVE_C/InUse"
printf 'old tool' > "$DRIVE_C/InUse/tool.txt"
clear_pending

expect_refused "\"$SETUP\" /S /NORESTART"
[ -z "$(ls -A "$(wine_temp_dir)" | grep Quillpack || true)" ] || fail "payload folder left behind"

code=$(run_holding 'C:\InUse\tool.txt' "\"$SETUP\" /S")
[ "$code" = 3010 ] || fail "install over a held file: exit code $code"
expect_file "$DRIVE_C/InUse/tool.txt" "old tool"
expect_file "$DRIVE_C/InUse/other.txt" "other"
new=$(cd "$DRIVE_C/InUse" && ls ./~*.new) || fail "no new file beside the held one"
new=${new#./}
expect_file "$DRIVE_C/InUse/$new" "new tool"
list=$(pending)
echo "pending after the install: $list"
case "$list" in
  *"\\??\\C:\\InUse\\$new\\0!\\??\\C:\\InUse\\tool.txt"*) ;;
  *) fail "the replacement is not pending: $list" ;;
esac
rm -f "$DRIVE_C/InUse/$new"
clear_pending

expect_refused 'C:\InUse\Uninstall.exe /S /NORESTART'

code=$(run_holding 'C:\InUse\tool.txt' 'C:\InUse\Uninstall.exe /S')
[ "$code" = 3010 ] || fail "uninstall of a held file: exit code $code"
[ ! -e "$DRIVE_C/InUse/other.txt" ] || fail "other.txt was not removed"
list=$(pending)
echo "pending after the removal: $list"
case "$list" in
  *"\\??\\C:\\InUse\\tool.txt\\0\\0"*) ;;
  *) fail "the delete is not pending: $list" ;;
esac

# --- 2. One setup at a time ------------------------------------------------
make_package "$WORK/lock.exe" <<'JSON'
{"data": {"tt.txt": "Lock", "def_install.txt": "C:\\Lock\n",
          "macros.txt": "%name%\nLock\n\n\n/\n/\n/\n/\n",
          "fileinfo.txt": "one.txt|%install path%\\\ntwo.txt|%install path%\\\n////\n////\n"},
 "stored": true,
 "entries": {"one.txt": "first entry, read by the install alone", "two.txt": "two"}}
JSON
# The first install reads its archive window (smaller than its 64 KiB read
# buffer) from one.txt's header to the end in one read: a size that no
# other read of the run asks for. The driver holds it there, after the lock.
bytes=$(python3 - "$WORK/lock.exe" <<'PY'
import io, struct, sys, zipfile
data = open(sys.argv[1], "rb").read()
length = struct.unpack("<Q", data[-8:])[0]
archive = data[-8 - length:-8]
print(length - zipfile.ZipFile(io.BytesIO(archive)).getinfo("one.txt").header_offset)
PY
)
LOCK=$(winepath -w "$WORK/lock.exe")
out=$(driver start-held "\"$LOCK\" /S /LOG=C:\\first.log" "$bytes" 60 run "\"$LOCK\" /S /LOG=C:\\second.log" 60 \
  release 30 wait-process lock.exe 60) || { echo "$out"; fail "two setups at once"; }
echo "$out"
[ "${out##*exit }" = 1618 ] || fail "the second setup: $out"
tr -d '\r' < "$DRIVE_C/first.log" | tail -n 1 | grep -qx "Exit code 0" || { cat "$DRIVE_C/first.log"; fail "the first setup did not finish"; }
grep -q "Another installation is in progress" "$DRIVE_C/second.log" || fail "the second setup's log says nothing"
[ "$(cd "$DRIVE_C/Lock" && ls | tr "\n" " ")" = "one.txt two.txt " ] ||
  fail "the folder holds: $(ls "$DRIVE_C/Lock")"

[ -z "$(ls -A "$(wine_temp_dir)" | grep Quillpack || true)" ] || fail "a payload folder was left behind"
echo "PASS"
