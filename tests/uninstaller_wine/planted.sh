#!/usr/bin/env bash
# What others planted never turns the silent removal against the machine:
#   a link "more" in the program's Start-menu group, leading to
#   C:\VictimGroup: the victim stays whole;
#   a program at the working copy's old fixed place
#   (%TEMP%\%Quillpack%\uninstall.exe), kept running so that a copy over
#   it fails: it is never started, and the removal is done by a copy of
#   its own;
#   a line added to uninstall.ini naming a file outside the install folder:
#   that file stays.
# Wine 8 shows a host symbolic link to a folder as a reparse point (folder
# and reparse attributes), which is how the program sees the planted link.
source "$QUILL_SOURCE/tests/uninstaller_wine/common.sh"

lay_out_install "Planted App"

mkdir -p "$DRIVE_C/VictimGroup/inner"
echo victim > "$DRIVE_C/VictimGroup/inner/v.txt"
echo victim > "$DRIVE_C/VictimGroup/w.txt"
ln -s "$DRIVE_C/VictimGroup" "$GROUP/more"

# The test driver stands in for the planted program; it runs, waiting for
# a message box that never comes. Wine's process trace names every program
# the removal starts.
old_place="$(wine_temp_dir)/%Quillpack%"
mkdir -p "$old_place"
cp "$DRIVER" "$old_place/uninstall.exe"
wine "$(win_path "$old_place/uninstall.exe")" no-box 100 >/dev/null 2>&1 &
planted_pid=$!
# In use once Wine holds its file open (the wait is for a hang only).
planted_file=$(realpath "$old_place/uninstall.exe")
held() {
  local open_files
  open_files=$(ls -l /proc/[0-9]*/fd 2>/dev/null || true)
  grep -qF -- "-> $planted_file" <<<"$open_files"
}
for _ in $(seq 300); do held && break; sleep 0.1; done
held || fail "the planted program did not start"

mkdir -p "$DRIVE_C/Outside"
echo precious > "$DRIVE_C/Outside/precious.txt"
python3 - "$APP/uninstall.ini" <<'PY'
import sys
lines = open(sys.argv[1], newline="").read().split("\r\n")
lines.insert(2, "C:\\Outside\\precious.txt")
open(sys.argv[1], "w", newline="").write("\r\n".join(lines))
PY

code=0
WINEDEBUG=+process timeout 120 "$WINE_LOADER" "$APP_WIN\\Uninstall.exe" /S >/dev/null \
  2>"$WORK/started.log" || code=$?
started=$(grep -o 'CreateProcessInternalW app L"[^"]*"' "$WORK/started.log" || true)
grep -qF '%Quillpack%' <<<"$started" && { echo "$started"; fail "the planted program was started"; }
grep -q 'Temp\\\\Quillclean-[0-9a-f]\{16\}\\\\uninstall.exe"$' <<<"$started" ||
  { echo "$started"; fail "no working copy of its own was started"; }
[ "$code" = 0 ] || fail "Uninstall.exe /S ended with $code"

[ "$(cat "$DRIVE_C/VictimGroup/inner/v.txt")" = victim ] && [ -f "$DRIVE_C/VictimGroup/w.txt" ] ||
  fail "the link in the program group was followed"
[ "$(cat "$DRIVE_C/Outside/precious.txt")" = precious ] || fail "a file outside the installation went"
cmp -s "$old_place/uninstall.exe" "$DRIVER" || fail "the planted program changed"
kill "$planted_pid" 2>/dev/null || true
copies=$(ls "$(wine_temp_dir)"/Quillclean-*/uninstall.exe 2>/dev/null | wc -l)
[ "$copies" = 1 ] || fail "$copies working copies"
for gone in "$APP/tool.exe" "$APP/data/readme.txt" "$APP/data/sub" "$APP/uninstall.ini" \
            "$GROUP/Planted App.lnk" "$DESKTOP_LINK"; do
  [ ! -e "$gone" ] || fail "still there: $gone"
done
[ -f "$USER_FILE" ] || fail "the user's file was removed"
has_key "$KEY" && fail "the uninstall key is still there"
echo "PASS"
