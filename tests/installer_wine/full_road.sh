#!/usr/bin/env bash
# The whole road: welcome, licence (and back), folder, shortcuts, summary,
# install, done with a closing message and command. Checked from outside:
# installed files, uninstall.ini line by line, the registry entry, the
# shortcut files and the command's effect.
TEST=full_road
source "$(dirname "$0")/common.sh"

# The folder step (number 3) has a small picture of its own.
convert -size 20x20 xc:'#ff0000' "$WORK/red.jpg"
export WORK
make_package "$WORK/setup.exe" <<'JSON'
{"data": {"wt.txt": "Welcome to Road Test.\nSecond line.", "tt.txt": "Road Test",
          "license.txt": "Road licence terms.",
          "def_install.txt": "C:\\Program Files\\Road\n",
          "macros.txt": "%docs%\nDocs\n\n\n%name%\nRoad Test\n\n\n/\n/\n/\n/\n",
          "fileinfo.txt": "readme.txt|%install path%\\\ndocs\\guide.txt|%install path%\\%docs%\nUninstall.exe|%install path%\\\nfinish.bat|%install path%\n////\n////\n",
          "shortcuts.txt": "Road\nRoad Readme\n%install path%\\readme.txt\n1\n\nRoad Desk\n%install path%\\readme.txt\n0\n\nRoad Quick\n%install path%\\docs\\guide.txt\n2\n/\n/\n/\n/\n",
          "uninstall.txt": "%install path%\\Uninstall.exe",
          "installer_settings.txt": "1\nfalse\n",
          "eoi_message.txt": "All done.", "eoi_buttons.txt": "OK",
          "eoi_file.txt": "%install path%\\finish.bat"},
 "data_files": {"img/setup.jpg": "resources/setup.JPG", "img/3/red.jpg": "$WORK/red.jpg"},
 "entries": {"readme.txt": "read me", "docs/guide.txt": "the guide", "Uninstall.exe": "not a program",
             "finish.bat": "@echo ran> C:\\eoi_ran.txt\r\n"}}
JSON
USER_DIR=$(cd "$DRIVE_C/users" && ls | grep -v '^Public$' | head -n 1)
APPDATA="$DRIVE_C/users/$USER_DIR/AppData/Roaming"
mkdir -p "$APPDATA/Microsoft/Internet Explorer/Quick Launch"

start_installer "$WORK/setup.exe"
driver wait-control 1004 30 wait-text 1000 Next 5 \
  expect-text 1004 'Welcome to Road Test.\nSecond line.' expect-text 1001 Exit \
  expect-visible 1011 0 expect-visible 1007 0 || fail "welcome step"
[ "$(driver wait-control 1004 5 caption)" = "Road Test - Welcome" ] || fail "welcome title"
shot 0-welcome

driver wait-control 1004 5 click 1000 wait-text 1000 "I Agree" 5 expect-text 1001 "I Disagree" \
  expect-visible 1011 1 expect-text 1004 "Road licence terms." || fail "licence step"
shot 1-licence
# "I Disagree" goes back to the welcome step.
driver wait-control 1004 5 click 1001 wait-text 1000 Next 5 click 1000 wait-text 1000 "I Agree" 5 \
  click 1000 wait-control 1007 5 expect-text 1007 'C:\Program Files\Road' expect-text 1001 Previous ||
  fail "folder step"
driver wait-control 1007 5 set-text 1007 'C:\Apps\Road' >/dev/null
disk=$(driver wait-control 1007 5 text 1032)
case "$disk" in "Disk space needed: 0 MB\nAvailable disk space: "*" MB") ;; *) fail "disk label: $disk" ;; esac
shot 2-folder
# The side picture is stretched into (11, 13), 100 x 170, whatever its size.
read -r wx wy _ < <(driver wait-control 1007 5 client)
pixel() { convert "$SHOTS/2-folder.png" -format "%[pixel:p{$(($wx + $1)),$(($wy + $2))}]" info:; }
for spot in "12 14" "61 98" "109 181"; do
  case "$(pixel $spot)" in srgb\(25[0-5],[0-9],[0-9]\)|red) ;; *) fail "side picture at $spot: $(pixel $spot)" ;; esac
done
case "$(pixel 113 98)" in srgb\(25[0-5],[0-9],[0-9]\)|red) fail "side picture drawn past its width" ;; esac

driver wait-control 1007 5 click 1000 wait-control 1012 5 expect-visible 1013 1 expect-visible 1014 1 \
  expect-text 1000 Next || fail "shortcuts step"
[ "$(driver wait-control 1012 5 caption)" = "Road Test - Shortcuts" ] || fail "shortcuts title"
shot 3-shortcuts

driver wait-control 1012 5 click 1000 wait-control 1010 5 expect-text 1000 Install \
  expect-text 1010 'The files will be installed to:\nC:\Apps\Road\n\nShortcuts to create:\n- In the start menu.\n- On the desktop.\n- On the quick start-menu.\n' ||
  fail "summary step"
shot 4-summary

driver wait-control 1010 5 click 1000 wait-text 1000 Done 30 \
  expect-text 1010 'Installation finished!\n\nClick done to exit.' expect-visible 1001 0 \
  expect-visible 1002 0 || fail "finished step"
shot 6-finished
box=$(driver wait-control 1010 5 click 1000 answer ok 10) || fail "no closing message"
[ "$box" = "box: Road Test | All done." ] || fail "closing message: $box"
wait_installer setup.exe

R="$DRIVE_C/Apps/Road"
expect_file "$R/readme.txt" "read me"
expect_file "$R/Docs/docs/guide.txt" "the guide"
expect_file "$R/Uninstall.exe" "not a program"
WUSER='C:\users\'"$USER_DIR"
PROGRAMS="$WUSER"'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs'
expect_lines "$R/uninstall.ini" \
  "Road Test" \
  'C:\Apps\Road\readme.txt' \
  'C:\Apps\Road\Docs\docs\guide.txt' \
  'C:\Apps\Road\Uninstall.exe' \
  'C:\Apps\Road\finish.bat' \
  "$PROGRAMS"'\Road' \
  "$PROGRAMS"'\Road\Road Readme.lnk' \
  "" \
  "$WUSER"'\Desktop\Road Desk.lnk' \
  "" \
  "$WUSER"'\AppData\Roaming\Microsoft\Internet Explorer\Quick Launch\Road Quick.lnk' \
  'C:\Apps\Road\uninstall.ini' \
  'C:\Apps\Road\' \
  "||||"

KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Road Test'
[ "$(reg_value "$KEY" DisplayName)" = "REG_SZ Road Test (remove only)" ] || fail "DisplayName: $(reg_value "$KEY" DisplayName)"
[ "$(reg_value "$KEY" UninstallString)" = 'REG_SZ "C:\Apps\Road\Uninstall.exe"' ] || fail "UninstallString: $(reg_value "$KEY" UninstallString)"
[ "$(reg_value "$KEY" NoModify)" = "REG_DWORD 0x1" ] || fail "NoModify"
[ "$(reg_value "$KEY" NoRepair)" = "REG_DWORD 0x1" ] || fail "NoRepair"

for link in "$APPDATA/Microsoft/Windows/Start Menu/Programs/Road/Road Readme.lnk" \
            "$DRIVE_C/users/$USER_DIR/Desktop/Road Desk.lnk"; do
  [ -f "$link" ] || fail "missing shortcut $link"
  grep -aq 'C:\\Apps\\Road\\readme.txt' "$link" || fail "$link does not point at readme.txt"
done
quick="$APPDATA/Microsoft/Internet Explorer/Quick Launch/Road Quick.lnk"
[ -f "$quick" ] && grep -aq 'guide.txt' "$quick" || fail "quick-launch shortcut"

# The closing command ran (through the shell, asynchronously).
for i in $(seq 1 600); do [ -f "$DRIVE_C/eoi_ran.txt" ] && break; sleep 0.1; done
[ -f "$DRIVE_C/eoi_ran.txt" ] || fail "the closing command did not run"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind"
echo "PASS"
