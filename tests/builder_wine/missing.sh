#!/usr/bin/env bash
# A source that is gone when the window builds: the build ends with its
# warning in the status and in a box, the package carries neither the file
# nor its start-menu shortcut, and the install makes no shortcut that
# points at nothing; the other file's shortcut still comes.
TEST=builder_missing
source "$(dirname "$0")/common.sh"

S="$DRIVE_C/src"
mkdir -p "$S" "$DRIVE_C/out"
echo "kept" > "$S/keep.txt"
echo "soon gone" > "$S/gone.txt"
printf 'Welcome.\r\n' > "$S/welcome.txt"
printf 'Licence.\r\n' > "$S/licence.txt"

start_builder
driver answer no 30 >/dev/null || fail "no association question"
for f in keep gone; do
  builder tree-select 1097 '%install path%' click 1002 answer-file "C:\\src\\$f.txt" 30 >/dev/null || fail "add $f.txt"
done
builder tree-select 1097 '%install path%/gone.txt' pick 1157 'in the start menu' set-text 1159 'Gone' \
  set-text 1161 'Missing App' send 275 1 0 >/dev/null || fail "start-menu shortcut"
builder tree-select 1097 '%install path%/keep.txt' pick 1157 'on the desktop' set-text 1159 'Keep' \
  send 275 1 0 >/dev/null || fail "desktop shortcut"
builder tab 1074 2 set-text 1030 'Missing App' set-text 1032 'C:\MissApp' tab 1074 3 \
  set-text 1027 'C:\src\welcome.txt' set-text 1033 'C:\src\licence.txt' tab 1074 4 uncheck 1186 >/dev/null ||
  fail "texts"

rm "$S/gone.txt"
builder tab 1074 5 set-text 1006 'C:\out\missing-setup.exe' click 1008 >/dev/null || fail "build"
box=$(driver answer ok 120) || fail "no warning box"
[ "$box" = 'box: Quillset | The build met these problems:\nSource file missing: "C:\src\gone.txt".' ] ||
  fail "warning box: $box"
builder expect-text 1010 'Done! (1 warning)' >/dev/null || fail "status: $(builder text 1010)"
shot_tab 5 warned

# The package's shortcut list names the kept file alone.
python3 - "$DRIVE_C/out/missing-setup.exe" "$QUILL_SOURCE/tests/support" <<'PY' || fail "package contents"
import sys
sys.path.insert(0, sys.argv[2])
import package_payload
names, read, archive = package_payload.open_package(sys.argv[1])
assert "keep.txt" in names, names
shortcuts = read("%Quillpack%/shortcuts.txt").decode()
assert "gone.txt" not in names, names
assert "Keep" in shortcuts and "Gone" not in shortcuts, shortcuts
PY

builder menu 40004 answer no 10 >/dev/null || fail "quit"
driver wait-process Quillset.exe 20 || fail "the builder did not end"
wait "$BUILDER_PID" || true

start_installer "$DRIVE_C/out/missing-setup.exe"
driver wait-control 1004 30 wait-text 1000 Next 5 click 1000 wait-text 1000 "I Agree" 5 \
  click 1000 wait-control 1007 5 expect-text 1007 'C:\MissApp' click 1000 wait-control 1012 5 \
  click 1000 wait-control 1010 5 click 1000 wait-text 1000 Done 60 click 1000 >/dev/null || fail "wizard"
wait_installer missing-setup.exe
expect_file "$DRIVE_C/MissApp/keep.txt" "kept"
USER_DIR=$(cd "$DRIVE_C/users" && ls | grep -v '^Public$' | head -n 1)
[ -f "$DRIVE_C/users/$USER_DIR/Desktop/Keep.lnk" ] || fail "the kept file's shortcut is missing"
dangling=$(find "$DRIVE_C" \( -iname 'Gone.lnk' -o -iname 'Missing App' \) -print)
[ -z "$dangling" ] || fail "left for the missing file: $dangling"
echo "PASS"
