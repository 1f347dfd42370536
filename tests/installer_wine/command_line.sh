#!/usr/bin/env bash
# The installer's command line and exit codes, and the silent removal:
#   /? and a switch without its value show the usage and end with 1
#   (/S /LOG=: no box); a /LOG= file that cannot be written (a missing
#   folder) says so and ends with 1, silently too, installing nothing;
#   /S /LOG= /D= installs with spaces in the folder, replaces an existing
#   file, skips the end-of-install message and command, writes the full
#   uninstall entry and the record (which names the ignored arguments
#   between them); exit 0;
#   silent damaged package: 3; relative /D folder or a drive's root: 4; a file that cannot be
#   written: 5, rolled back; the wizard closed at once: 2; /D fills the
#   wizard's folder field (an unknown switch beside it changes nothing);
#   Uninstall.exe /S returns 0 only after everything is gone; a silent
#   removal with an unusable log: 3; No to the question: 2.
TEST=command_line
source "$(dirname "$0")/common.sh"
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

# Runs a program that shows no window to its end; prints its exit code
# (124: it was still running after a minute, waiting for a click).
exit_of() { local code=0; timeout 60 "$WINE_LOADER" "$@" >/dev/null 2>&1 || code=$?; echo "$code"; }
# Waits for the started installer; its exit code goes to $code (not in a
# subshell: only this shell can wait for its child).
installer_exit() { code=0; wait "$STUB_PID" || code=$?; }

export QUILL_DIST
make_package "$WORK/setup.exe" <<'JSON'
{"data": {"tt.txt": "Silent App", "def_install.txt": "C:\\Program Files\\Default App\n",
          "macros.txt": "%version%\n2.5\n\n\n%publisher%\nAcme Ltd\n\n\n%name%\nSilent App\n\n\n/\n/\n/\n/\n",
          "fileinfo.txt": "readme.txt|%install path%\\\ndocs\\guide.txt|%install path%\\\nUninstall.exe|%install path%\\\nfinish.bat|%install path%\n////\n////\n",
          "uninstall.txt": "%install path%\\Uninstall.exe",
          "eoi_message.txt": "All done.", "eoi_buttons.txt": "OK",
          "eoi_file.txt": "%install path%\\finish.bat"},
 "entries": {"readme.txt": "read me", "docs/guide.txt": "the guide",
             "finish.bat": "@echo ran> C:\\eoi_ran.txt\r\n"},
 "entry_files": {"Uninstall.exe": "$QUILL_DIST/uninst.dat"}}
JSON

# 1. Usage and bad switches: nothing is installed.
start_installer "$WORK/setup.exe" "/?"
box=$(driver answer ok 30) || fail "no usage box for /?"
case "$box" in "box: Installer | Usage: "*"skipped"*) ;; *) fail "usage box: $box" ;; esac
installer_exit
[ "$code" = 1 ] || fail "/? exit code $code"
start_installer "$WORK/setup.exe" /X /LOG=
box=$(driver answer ok 30) || fail "no usage box for /LOG="
case "$box" in "box: Installer | Missing value: /LOG="*) ;; *) fail "bad switch box: $box" ;; esac
installer_exit
[ "$code" = 1 ] || fail "/LOG= exit code $code"
[ "$(exit_of "$WORK/setup.exe" /S /X /LOG=)" = 1 ] || fail "/S /LOG= exit code"
start_installer "$WORK/setup.exe" '/LOG=C:\No Such Folder\setup.log'
box=$(driver answer ok 30) || fail "no box for a log that cannot be written"
case "$box" in "box: Installer | The log file cannot be written: C:\No Such Folder\setup.log"*) ;;
  *) fail "unwritable log box: $box" ;; esac
installer_exit
[ "$code" = 1 ] || fail "unwritable log exit code $code"
[ "$(exit_of "$WORK/setup.exe" /S '/LOG=C:\No Such Folder\setup.log')" = 1 ] || fail "/S unwritable log exit code"
[ ! -e "$DRIVE_C/Program Files/Default App" ] || fail "a bad command line installed"

# 2. Silent install: folder with spaces, a file replaced, record appended.
APP_WIN='C:\Silent Apps\My App'
APP="$DRIVE_C/Silent Apps/My App"
mkdir -p "$APP"
printf 'old readme' > "$APP/readme.txt"
printf 'earlier run\r\n' > "$DRIVE_C/install.log"
code=$(exit_of "$WORK/setup.exe" /S /X '/LOG=C:\install.log' --launcher "/D=$APP_WIN")
[ "$code" = 0 ] || fail "silent install exit code $code"
expect_file "$APP/readme.txt" "read me"
expect_file "$APP/docs/guide.txt" "the guide"
cmp -s "$APP/Uninstall.exe" "$QUILL_DIST/uninst.dat" || fail "Uninstall.exe not installed"
[ ! -e "$DRIVE_C/eoi_ran.txt" ] || fail "the end-of-install command ran in silent mode"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind"
record=$(tr -d '\r' < "$DRIVE_C/install.log")
for line in "earlier run" "Silent install started" "Ignored argument: /X" "Ignored argument: --launcher" \
            "Replaced: $APP_WIN\\readme.txt" \
            "Written: $APP_WIN\\docs\\guide.txt" "Exit code 0" \
            "Registry: HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Silent App\\Publisher = Acme Ltd"; do
  grep -qxF "$line" <<<"$record" || { echo "$record"; fail "record lacks: $line"; }
done

# The full uninstall entry.
KEY="$UNINSTALL\\Silent App"
# The installed bytes: Uninstall.exe, then readme, guide and finish.bat.
size=$(( ($(stat -c %s "$QUILL_DIST/uninst.dat") + 7 + 9 + 27) / 1024 ))
for pair in "DisplayName|REG_SZ Silent App (remove only)" \
            "UninstallString|REG_SZ \"$APP_WIN\\Uninstall.exe\"" \
            "QuietUninstallString|REG_SZ \"$APP_WIN\\Uninstall.exe\" /S" \
            "InstallLocation|REG_SZ $APP_WIN" "DisplayIcon|REG_SZ $APP_WIN\\Uninstall.exe" \
            "DisplayVersion|REG_SZ 2.5" "Publisher|REG_SZ Acme Ltd" \
            "EstimatedSize|REG_DWORD $(printf '0x%x' "$size")" "NoModify|REG_DWORD 0x1" \
            "InstallDate|REG_SZ $(date +%Y%m%d)"; do
  got=$(reg_value "$KEY" "${pair%%|*}")
  [ "$got" = "${pair#*|}" ] || fail "${pair%%|*}: '$got', expected '${pair#*|}'"
done

# 3. Uninstall.exe /S returns once everything is gone; the key goes too.
# The waiting launcher's own file is moved into the working copy's private
# folder, due for deletion at the next start from there.
code=$(exit_of "$APP_WIN\\Uninstall.exe" /S)
[ "$code" = 0 ] || fail "silent uninstall exit code $code"
[ ! -e "$APP" ] || { find "$APP"; fail "files left after the silent uninstall returned"; }
# A failed query shows what reg said and what the working folder holds.
pending=$(wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
            /v PendingFileRenameOperations 2>"$WORK/reg.err" | tr -d '\r' || true)
grep -qiE 'Quillclean-[0-9a-f]{16}\\in-use-0-Uninstall\.exe' <<<"$pending" || {
  echo "$pending"; cat "$WORK/reg.err"; find "$(wine_temp_dir)" -ipath '*Quillclean-*'
  fail "the moved Uninstall.exe is not due at the next start"
}
wine reg query "$KEY" >/dev/null 2>&1 && fail "the uninstall key is still there"
cp "$QUILL_DIST/uninst.dat" "$WORK/uninstall.exe"
code=$(exit_of "$WORK/uninstall.exe" '/S C:\Missing\uninstall.ini')
[ "$code" = 3 ] || fail "silent uninstall with a missing log: $code"

# 4. Failures: damaged package 3, relative folder 4, unwritable file 5.
python3 - "$WORK/setup.exe" "$WORK/damaged.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
# The payload's length is the last 8 bytes; flip a byte in its middle.
length = int.from_bytes(data[-8:], "little")
data[len(data) - 8 - length // 2] ^= 0xFF
open(sys.argv[2], "wb").write(data)
PY
[ "$(exit_of "$WORK/damaged.exe" /S)" = 3 ] || fail "damaged package exit code"
[ ! -e "$DRIVE_C/Program Files/Default App" ] || fail "the damaged package left files"
[ "$(exit_of "$WORK/setup.exe" /S '/D=relative\folder')" = 4 ] || fail "relative folder exit code"
[ "$(exit_of "$WORK/setup.exe" /S '/D=C:\')" = 4 ] || fail "drive root exit code"
[ ! -e "$DRIVE_C/readme.txt" ] || fail "an install into the drive's root wrote files"
mkdir -p "$DRIVE_C/Blocked"
printf 'a file where a folder must go' > "$DRIVE_C/Blocked/docs"
code=$(exit_of "$WORK/setup.exe" /S '/LOG=C:\blocked.log' '/D=C:\Blocked')
[ "$code" = 5 ] || fail "unwritable file exit code $code"
[ "$(ls "$DRIVE_C/Blocked")" = docs ] || fail "the failed install was not rolled back: $(ls "$DRIVE_C/Blocked")"
grep -q "^Rolled back" "$DRIVE_C/blocked.log" || fail "the record does not name the rollback"
wine reg query "$KEY" >/dev/null 2>&1 && fail "a failed install left an uninstall key"

# 5. Interactive: /D fills the folder field; closing the wizard is a cancel.
start_installer "$WORK/setup.exe" /X '/D=C:\Inter Dir\App'
driver wait-control 1007 30 expect-text 1007 'C:\Inter Dir\App' close >/dev/null ||
  fail "the folder field does not hold the /D folder"
installer_exit
[ "$code" = 2 ] || fail "closed wizard exit code $code"

# 6. No to the removal question: 2, nothing removed.
exit_of "$WORK/setup.exe" /S '/D=C:\Keep App' >/dev/null
wine 'C:\Keep App\Uninstall.exe' 'C:\Keep App\uninstall.ini' >/dev/null 2>&1 &
pid=$!
box=$(driver answer no 30) || fail "no removal question"
code=0; wait "$pid" || code=$?
[ "$code" = 2 ] || fail "declined removal exit code $code"
[ -f "$DRIVE_C/Keep App/readme.txt" ] || fail "a declined removal removed files"
echo "PASS"
