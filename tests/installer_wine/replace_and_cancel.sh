#!/usr/bin/env bash
# Existing files and cancels: the replace question answered No keeps the old
# file out of the log, Yes replaces and logs it (shown in the small progress
# window); Cancel in the replace question, and a confirmed Cancel button,
# undo what the run did and end the installer with no registry entry and no
# payload folder.
TEST=replace_and_cancel
source "$(dirname "$0")/common.sh"
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

# Run 1: small progress window, No for a.txt, Yes for b.txt.
make_package "$WORK/replace.exe" <<'JSON'
{"data": {"tt.txt": "Rep", "def_install.txt": "C:\\Rep\n",
          "macros.txt": "%name%\nRep\n\n\n/\n/\n/\n/\n",
          "installer_settings.txt": "0\ntrue\n",
          "uninstall.txt": "%install path%\\Uninstall.exe",
          "fileinfo.txt": "a.txt|%install path%\\\nb.txt|%install path%\\\nc.txt|%install path%\\\nUninstall.exe|%install path%\\\n////\n////\n"},
 "entries": {"a.txt": "new a", "b.txt": "new b", "c.txt": "new c", "Uninstall.exe": "u"}}
JSON
mkdir -p "$DRIVE_C/Rep"
printf 'old a' > "$DRIVE_C/Rep/a.txt"
printf 'old b' > "$DRIVE_C/Rep/b.txt"
start_installer "$WORK/replace.exe"
driver wait-control 1007 30 click 1000 wait-control 1010 5 click 1000 \
  wait-window '#32770' 'Loading installer...' 10 expect-visible 1021 1 expect-visible 1022 0 >/dev/null ||
  fail "no small progress window"
box=$(driver answer-text "a.txt" no 10) || fail "no replace question for a.txt"
[ "$box" = 'box: Rep | The file named a.txt already exists at the selected location.\nDo you wish to replace it?' ] ||
  fail "replace question: $box"
driver wait-window '#32770' 'Loading installer...' 5 expect-text 1020 'Installing\nC:\Rep\b.txt...' >/dev/null ||
  fail "status text of the small window"
shot 5-small-window-question
driver answer-text "b.txt" yes 10 wait-control 1010 30 wait-text 1000 Done 10 click 1000 >/dev/null || fail "finishing run 1"
wait_installer replace.exe
expect_file "$DRIVE_C/Rep/a.txt" "old a"
expect_file "$DRIVE_C/Rep/b.txt" "new b"
expect_file "$DRIVE_C/Rep/c.txt" "new c"
expect_lines "$DRIVE_C/Rep/uninstall.ini" "Rep" 'C:\Rep\b.txt' 'C:\Rep\c.txt' 'C:\Rep\Uninstall.exe' \
  'C:\Rep\uninstall.ini' 'C:\Rep\' "||||"

# Runs 2 and 3 share a package of three files.
make_package "$WORK/cancel.exe" <<'JSON'
{"data": {"tt.txt": "Can", "def_install.txt": "C:\\Can\n",
          "macros.txt": "%name%\nCan\n\n\n/\n/\n/\n/\n",
          "installer_settings.txt": "1\nfalse\n",
          "uninstall.txt": "%install path%\\x.txt",
          "fileinfo.txt": "x.txt|%install path%\\\ny.txt|%install path%\\\nz.txt|%install path%\\\n////\n////\n"},
 "entries": {"x.txt": "new x", "y.txt": "new y", "z.txt": "new z"}}
JSON

# Run 2: Cancel in the replace question for y.txt.
mkdir -p "$DRIVE_C/Can"
printf 'old y' > "$DRIVE_C/Can/y.txt"
start_installer "$WORK/cancel.exe"
driver wait-control 1007 30 click 1000 wait-control 1010 5 click 1000 wait-control 1020 10 \
  expect-visible 1022 1 expect-visible 1002 1 expect-visible 1000 0 >/dev/null || fail "installing step"
[ "$(driver wait-control 1020 5 caption)" = "Can - Installing..." ] || fail "installing title"
shot 5-installing-question
driver answer-text "y.txt" cancel 10 >/dev/null || fail "no replace question for y.txt"
wait_installer cancel.exe
expect_file "$DRIVE_C/Can/y.txt" "old y"
[ "$(ls "$DRIVE_C/Can")" = "y.txt" ] || fail "a cancel left $(ls "$DRIVE_C/Can" | tr '\n' ' ')"
wine reg query "$UNINSTALL\\Can" >/dev/null 2>&1 && fail "registry entry after a cancel"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind after a cancel"

# Run 3: the Cancel button, confirmed while the replace question for x.txt
# is open; the engine stops before the next file.
mkdir -p "$DRIVE_C/Can2"
printf 'old x' > "$DRIVE_C/Can2/x.txt"
start_installer "$WORK/cancel.exe"
driver wait-control 1007 30 set-text 1007 'C:\Can2' click 1000 wait-control 1010 5 click 1000 >/dev/null
driver wait-box "x.txt" 30 wait-control 1002 10 click 1002 answer-text "Are you sure you wish to cancel" yes 10 \
  answer-text "x.txt" no 10 >/dev/null || fail "cancel button"
wait_installer cancel.exe
expect_file "$DRIVE_C/Can2/x.txt" "old x"
[ "$(ls "$DRIVE_C/Can2")" = "x.txt" ] || fail "a confirmed cancel left $(ls "$DRIVE_C/Can2" | tr '\n' ' ')"
wine reg query "$UNINSTALL\\Can" >/dev/null 2>&1 && fail "registry entry after a cancel"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind after a cancel"
echo "PASS"
