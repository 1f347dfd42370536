#!/usr/bin/env bash
# A package with neither welcome nor licence text, no shortcut list, no
# uninstaller and no macros: the wizard opens on the folder step with "Exit",
# refuses paths it cannot use, skips the shortcuts step both ways, installs
# without writing an uninstall log or registry entry; "Exit" and the close
# command end it, Esc does not.
TEST=no_texts
source "$(dirname "$0")/common.sh"

make_package "$WORK/setup.exe" <<'JSON'
{"data": {"tt.txt": "Bare", "def_install.txt": "C:\\Bare\n",
          "fileinfo.txt": "only.txt|%install path%\\\n////\n////\n"},
 "data_files": {"img/setup.jpg": "resources/setup.JPG"},
 "entries": {"only.txt": "only file"}}
JSON
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
before=$(wine reg query "$UNINSTALL" /s 2>/dev/null | tr -d '\r')

start_installer "$WORK/setup.exe"
driver wait-control 1007 30 expect-text 1001 Exit expect-text 1007 'C:\Bare' expect-visible 1004 0 \
  expect-visible 1011 0 || fail "did not open on the folder step"
[ "$(driver wait-control 1007 5 caption)" = "Bare - Installation Directory" ] || fail "title"
shot 2-folder-first

# A network path names no drive: 0 MB available, which never suffices.
driver wait-control 1007 5 set-text 1007 '\\server\share' click 1000 \
  answer-text "There isn't enough free disk space on drive \\." ok 10 >/dev/null || fail "network path accepted"
driver wait-control 1007 5 set-text 1007 'C' click 1000 \
  answer-text "You have to enter a valid install path before continuing." ok 10 >/dev/null ||
  fail "one-character path accepted"
driver wait-control 1007 5 expect-text 1001 Exit >/dev/null || fail "left the folder step"

# Without a shortcut list, Next goes to the summary and Previous comes back.
driver wait-control 1007 5 set-text 1007 'C:\Bare' click 1000 wait-control 1010 5 \
  expect-text 1010 'The files will be installed to:\nC:\Bare' expect-visible 1012 0 || fail "summary"
[ "$(driver wait-control 1010 5 caption)" = "Bare - Summary" ] || fail "summary title"
shot 4-summary
driver wait-control 1010 5 click 1001 wait-control 1007 5 expect-text 1001 Exit click 1000 \
  wait-control 1010 5 click 1000 wait-text 1000 Done 30 click 1000 no-box 2 >/dev/null || fail "install"
wait_installer setup.exe
expect_file "$DRIVE_C/Bare/only.txt" "only file"
[ ! -e "$DRIVE_C/Bare/uninstall.ini" ] || fail "uninstall log written without an uninstaller"
after=$(wine reg query "$UNINSTALL" /s 2>/dev/null | tr -d '\r')
[ "$before" = "$after" ] || fail "the Uninstall key changed: $(diff <(echo "$before") <(echo "$after"))"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind"

# Esc (27) leaves the wizard where it is; "Exit" on the folder step ends the
# installer without installing.
start_installer "$WORK/setup.exe"
driver wait-control 1007 30 set-text 1007 'C:\Never' >/dev/null
wine "$QUILL_DIST/clean_probe.exe" "Bare - Installation Directory" key 1007 27 >/dev/null ||
  fail "no wizard to press Esc in"
driver wait-control 1007 5 expect-text 1001 Exit expect-text 1007 'C:\Never' >/dev/null ||
  fail "Esc ended the wizard"
driver wait-control 1007 5 click 1001 >/dev/null
wait_installer setup.exe
[ ! -e "$DRIVE_C/Never" ] || fail "Exit installed something"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind after Exit"

# So does the window's close command, from the summary step.
start_installer "$WORK/setup.exe"
driver wait-control 1007 30 set-text 1007 'C:\Never' click 1000 wait-control 1010 5 close >/dev/null
wait_installer setup.exe
[ ! -e "$DRIVE_C/Never" ] || fail "closing installed something"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind after closing"
echo "PASS"
