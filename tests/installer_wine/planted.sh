#!/usr/bin/env bash
# What others put in the temporary folder never turns the installer against
# the machine: an end-of-install command planted at the old payload folder
# name never runs; data files and an archive swapped in the run's own
# payload folder while the wizard waits on the folder step are not what gets
# installed, registered or linked; and a link at the old payload folder name
# leads no removal into the folder it points to.
TEST=planted
source "$(dirname "$0")/common.sh"

make_package "$WORK/setup.exe" <<'JSON'
{"data": {"tt.txt": "Planted", "def_install.txt": "C:\\Planted\n",
          "macros.txt": "%name%\nPlanted\n\n\n/\n/\n/\n/\n",
          "fileinfo.txt": "app.txt|%install path%\nUninstall.exe|%install path%\n////\n",
          "uninstall.txt": "%install path%\\Uninstall.exe",
          "shortcuts.txt": "\nPlanted App\n%install path%\\app.txt\n0\n/\n/\n/\n/\n"},
 "entries": {"app.txt": "the package's", "Uninstall.exe": "not a program"}}
JSON
# What an ordinary program of the user could write: a program that leaves a
# mark when it runs, and the data files that would name it.
printf '@echo planted> C:\\planted_ran.txt\r\n' > "$DRIVE_C/planted.bat"
mkdir -p "$DRIVE_C/users/Public"
echo "evil" > "$DRIVE_C/users/Public/evil.exe"
python3 - "$WORK/evil.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("app.txt", "EVIL")
    z.writestr("evil.dll", "EVIL")
PY
plant() {
  mkdir -p "$1"
  printf 'C:\\planted.bat' > "$1/eoi_file.txt"
  printf 'app.txt|C:\\windows\\system32\r\nevil.dll|C:\\windows\\system32\r\n////\r\n' > "$1/fileinfo.txt"
  printf 'C:\\users\\Public\\evil.exe' > "$1/uninstall.txt"
  printf '\r\nPlanted App\r\nC:\\users\\Public\\evil.exe\r\n0\r\n/\r\n/\r\n/\r\n/\r\n' > "$1/shortcuts.txt"
}
TEMP_DIR=$(wine_temp_dir)
WIN_TEMP=$(wine cmd /c echo %TEMP% | tr -d '\r')
OLD="$TEMP_DIR/%Quillpack%"
plant "$OLD"

# The package has no end-of-install command; the wizard waits on the folder
# step, its first step with content.
start_installer "$WORK/setup.exe"
driver wait-control 1007 30 expect-text 1007 'C:\Planted' >/dev/null || fail "no folder step"
P=$(payload_dir)
case "$(basename "$P")" in Quillpack-????????????????) ;; *) fail "payload folder: $P" ;; esac
[ -f "$P/tempfile.tmp" ] || fail "no archive copy in $P"
cmp -s "$OLD/eoi_file.txt" <(printf 'C:\\planted.bat') || fail "the old folder was written to"
# The run's own folder: its data files are held in memory, so these are new
# files; the archive copy is open and refuses a writer.
plant "$P"
name=$(basename "$P")
cp "$WORK/evil.zip" "$DRIVE_C/evil.zip"
if wine cmd /c copy /y 'C:\evil.zip' "$WIN_TEMP\\$name\\tempfile.tmp" >/dev/null 2>&1; then
  fail "the open archive copy was overwritten"
fi
# A new file in its place (as a rename from the host does): never opened.
mv "$DRIVE_C/evil.zip" "$P/tempfile.tmp"

driver wait-control 1007 5 click 1000 wait-control 1012 5 click 1000 wait-control 1010 5 \
  expect-text 1000 Install click 1000 wait-text 1000 Done 30 click 1000 >/dev/null || fail "install"
code=0
wait "$STUB_PID" || code=$?
[ "$code" = 0 ] || fail "exit code $code"
driver wait-process setup.exe 30
# Anything the installer started has ended once the prefix is idle.
timeout 60 wineserver -w || true

expect_file "$DRIVE_C/Planted/app.txt" "the package's"
[ ! -e "$DRIVE_C/windows/system32/evil.dll" ] || fail "a swapped file list installed evil.dll"
[ ! -e "$DRIVE_C/windows/system32/app.txt" ] || fail "a swapped file list chose the folder"
[ ! -e "$DRIVE_C/planted_ran.txt" ] || fail "the planted end-of-install command ran"
KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Planted'
[ "$(reg_value "$KEY" UninstallString)" = 'REG_SZ "C:\Planted\Uninstall.exe"' ] ||
  fail "UninstallString: $(reg_value "$KEY" UninstallString)"
[ "$(reg_value "$KEY" DisplayIcon)" = 'REG_SZ C:\Planted\Uninstall.exe' ] ||
  fail "DisplayIcon: $(reg_value "$KEY" DisplayIcon)"
[ ! -e "$DRIVE_C/users/Public/uninstall.ini" ] || fail "a log copy went beside the planted program"
link=$(ls "$DRIVE_C"/users/*/Desktop/"Planted App.lnk" 2>/dev/null | head -n 1 || true)
[ -n "$link" ] || fail "no desktop shortcut"
grep -aq 'C:\\Planted\\app.txt' "$link" || fail "the shortcut does not start the package's file"
! grep -aq 'evil' "$link" || fail "the shortcut starts the planted program"
[ ! -e "$P" ] || fail "payload folder left behind"
[ "$(cat "$OLD/eoi_file.txt")" = 'C:\planted.bat' ] || fail "the old folder was changed"

# A link at the old payload folder name (a host symbolic link, which Wine
# reports as a reparse point) to a folder of someone else's.
mkdir -p "$DRIVE_C/VictimPayload/sub"
echo "victim" > "$DRIVE_C/VictimPayload/victim.txt"
echo "deep" > "$DRIVE_C/VictimPayload/sub/deep.txt"
rm -rf "$OLD"
ln -s "$DRIVE_C/VictimPayload" "$OLD"
rm -rf "$DRIVE_C/Planted"
code=0
wine "$WORK/setup.exe" /S >/dev/null 2>&1 || code=$?
[ "$code" = 0 ] || fail "silent install: exit code $code"
expect_file "$DRIVE_C/Planted/app.txt" "the package's"
[ -L "$OLD" ] || fail "the link was removed"
expect_file "$DRIVE_C/VictimPayload/victim.txt" "victim"
expect_file "$DRIVE_C/VictimPayload/sub/deep.txt" "deep"
[ "$(cd "$DRIVE_C/VictimPayload" && find . | sort | tr '\n' ' ')" = ". ./sub ./sub/deep.txt ./victim.txt " ] ||
  fail "the linked folder changed: $(cd "$DRIVE_C/VictimPayload" && find .)"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind by the silent install"
echo "PASS"
