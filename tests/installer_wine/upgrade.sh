#!/usr/bin/env bash
# Version 2 over version 1 with /S, through the real programs: what version
# 2 no longer ships goes (a file and its shortcut), one entry shows version
# 2, the log lists exactly what is installed. The same upgrade with a file
# where c.txt's folder must go ends with exit code 5 and leaves version 1 as
# it was; version 1 over version 2 ends with exit code 6 and changes
# nothing; the uninstaller then leaves nothing behind.
TEST=upgrade
source "$(dirname "$0")/common.sh"
KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Up'
APP="$DRIVE_C/Up"
TEMP_REL=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r' | cut -c4- | tr '\\' /)
exit_of() { local code=0; timeout 60 "$WINE_LOADER" "$@" >/dev/null 2>&1 || code=$?; echo "$code"; }

# Every folder and file with its checksum on C: (the temporary folder
# aside), then the entry.
machine_state() {
  (cd "$DRIVE_C" && find . -ipath "./$TEMP_REL" -prune -o -type d -print | sort)
  (cd "$DRIVE_C" && find . -ipath "./$TEMP_REL" -prune -o -type f ! -name up.log -exec md5sum {} + | sort -k 2)
  wine reg query "$KEY" /s 2>/dev/null | tr -d '\r' | grep -v InstallDate || true
}

# up_package OUT VERSION DEFAULT_FOLDER SHORTCUTS NAME:SUBFOLDER:TEXT...: a
# package of "Up" with those files below the install folder and Uninstall.exe.
up_package() {
  python3 - "$@" > "$WORK/up.json" <<'PY'
import json, sys
version, folder, shortcuts = sys.argv[2:5]
files = [f.split(":", 2) for f in sys.argv[5:]]
lines = "".join("%s|%%install path%%\\%s\n" % (n, (d + "\\") if d else "") for n, d, _ in files)
data = {"tt.txt": "Up", "def_install.txt": folder + "\n",
        "macros.txt": "%%version%%\n%s\n\n\n%%name%%\nUp\n\n\n/\n/\n/\n/\n" % version,
        "uninstall.txt": "%install path%\\Uninstall.exe",
        "fileinfo.txt": lines + "Uninstall.exe|%install path%\\\n////\n////\n"}
if shortcuts:
    data["shortcuts.txt"] = shortcuts
print(json.dumps({"data": data, "entries": {n: t for n, _, t in files},
                  "entry_files": {"Uninstall.exe": "$QUILL_DIST/uninst.dat"}}))
PY
  make_package "$1" < "$WORK/up.json"
}
up_package "$WORK/v1.exe" 1.0.9 'C:\Up' $'Up\nB\n%install path%\\b.txt\n1\n/\n/\n/\n/\n' \
  'a.txt::a one' 'b.txt::b one'
up_package "$WORK/v2.exe" 1.0.10 'C:\Elsewhere' '' 'a.txt::a two' 'c.txt:cdir:c two'

[ "$(exit_of "$WORK/v1.exe" /S)" = 0 ] || fail "version 1 did not install"
link=$(find "$DRIVE_C" -name B.lnk -path '*Programs/Up/*')
[ -n "$link" ] || fail "version 1 made no shortcut"

# 1. c.txt's folder cannot be made: a file of its name is in the way.
printf 'in the way' > "$APP/cdir"
machine_state > "$WORK/before.txt"
code=$(exit_of "$WORK/v2.exe" /S '/LOG=C:\up.log')
[ "$code" = 5 ] || fail "blocked upgrade exit code $code"
machine_state > "$WORK/after.txt"
diff "$WORK/before.txt" "$WORK/after.txt" || fail "the failed upgrade changed the machine"
expect_file "$APP/a.txt" "a one"
expect_file "$APP/b.txt" "b one"
[ -f "$link" ] || fail "the shortcut to b.txt is gone"
[ "$(reg_value "$KEY" DisplayVersion)" = "REG_SZ 1.0.9" ] || fail "entry after the failed upgrade"
grep -q "^Upgrading the install in C:" "$DRIVE_C/up.log" || fail "the record names no upgrade"
rm "$APP/cdir"

# 2. The upgrade: the installed folder is offered before the package's own.
[ "$(exit_of "$WORK/v2.exe" /S)" = 0 ] || fail "the upgrade failed"
[ ! -e "$DRIVE_C/Elsewhere" ] || fail "the upgrade went to the package's own folder"
expect_file "$APP/a.txt" "a two"
expect_file "$APP/cdir/c.txt" "c two"
[ ! -e "$APP/b.txt" ] || fail "b.txt outlived the upgrade"
[ ! -e "$(dirname "$link")" ] || fail "the program group of b.txt's shortcut is still there"
expect_lines "$APP/uninstall.ini" "Up" 'C:\Up\a.txt' 'C:\Up\cdir\c.txt' 'C:\Up\Uninstall.exe' \
  'C:\Up\uninstall.ini' 'C:\Up\' "||||"
[ "$(reg_value "$KEY" DisplayVersion)" = "REG_SZ 1.0.10" ] || fail "entry version after the upgrade"
[ "$(wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | tr -d '\r' |
     grep -c '\\Up$')" = 1 ] || fail "not exactly one entry"

# 3. Version 1 over version 2: refused, nothing changed.
machine_state > "$WORK/before.txt"
code=$(exit_of "$WORK/v1.exe" /S)
[ "$code" = 6 ] || fail "downgrade exit code $code"
machine_state > "$WORK/after.txt"
diff "$WORK/before.txt" "$WORK/after.txt" || fail "the refused downgrade changed the machine"

# 4. The uninstaller removes everything.
[ "$(exit_of 'C:\Up\Uninstall.exe' /S)" = 0 ] || fail "silent uninstall"
driver wait-process Uninstall.exe 20 >/dev/null || true
[ ! -e "$APP" ] || { find "$APP"; fail "C:\\Up is still there"; }
wine reg query "$KEY" >/dev/null 2>&1 && fail "uninstall entry left behind"
echo "PASS"
