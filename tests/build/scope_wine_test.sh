#!/usr/bin/env bash
# Who a package installs for, under Wine with the real command-line builder,
# stub and uninstaller.
#   user:    a per-user package asks for no elevation (its stub and the
#            uninstaller it carries), installs silently below the user's own
#            programs folder with its entry under HKEY_CURRENT_USER and its
#            shortcuts in the user's folders; its Uninstall.exe /S leaves
#            nothing.
#   machine: a project made by "new" puts its shortcuts in the all-users
#            desktop and Programs folders and its uninstaller removes them; the
#            same project saved before the setting existed (its file ending
#            after line 44) still uses the current user's folders.
MODE=${1:?user or machine}
TEST=scope_$MODE
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
B="$DRIVE_C/qb"
mkdir -p "$B" "$DRIVE_C/out" "$DRIVE_C/src" "$DRIVE_C/p"
# The command-line builder with the stub, uninstaller and picture beside it.
for f in quillset-build.exe ext.dat uninst.dat setup.JPG; do
  cp "$QUILL_DIST/$f" "$B/" 2>/dev/null || fail "$f missing from $QUILL_DIST"
done
printf 'the tool' > "$DRIVE_C/src/tool.txt"
qb() { (cd "$B" && wine quillset-build.exe "$@" 2>&1 | tr -d '\r') || fail "quillset-build $*"; }

USER_DIR=$(cd "$DRIVE_C/users" && ls | grep -v '^Public$' | head -n 1)
HOME_C="$DRIVE_C/users/$USER_DIR"
USER_DESKTOP="$HOME_C/Desktop"
USER_PROGRAMS="$HOME_C/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
ALL_DESKTOP="$DRIVE_C/users/Public/Desktop"
ALL_PROGRAMS="$DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs"
UNINSTALL='Software\Microsoft\Windows\CurrentVersion\Uninstall'

# project NAME [SETTING...]: a new project with one file, the uninstaller
# and a desktop and a start-menu shortcut.
project() {
  local name=$1; shift
  qb new "C:\\p\\$name.qsp" --force --name "$name" >/dev/null
  qb add "C:\\p\\$name.qsp" 'C:\src\tool.txt' >/dev/null
  qb set "C:\\p\\$name.qsp" uninstaller=on "$@" >/dev/null
  qb shortcut "C:\\p\\$name.qsp" add tool.txt desktop "$name" >/dev/null
  qb shortcut "C:\\p\\$name.qsp" add tool.txt start-menu "$name" --folder "$name" >/dev/null
}
build() { qb "C:\\p\\$1.qsp" -o "C:\\out\\$1-setup.exe" | grep -q 'Done!' || fail "build of $1"; }
install() {
  local rc=0
  wine "C:\\out\\$1-setup.exe" /S >"$WORK/install.log" 2>&1 || rc=$?
  [ "$rc" = 0 ] || fail "$1-setup.exe /S exited $rc"
}
uninstall() {
  local rc=0
  wine "$1" /S >"$WORK/uninstall.log" 2>&1 || rc=$?
  [ "$rc" = 0 ] || fail "$1 /S exited $rc"
  wineserver -w
}
has_key() { wine reg query "$1" >/dev/null 2>&1; }
# Only a manifest that asks for no elevation: none of requireAdministrator.
asks_no_elevation() {
  grep -aq 'level="asInvoker"' "$1" && ! grep -aq 'requireAdministrator' "$1"
}

if [ "$MODE" = user ]; then
  project Mine install-scope=user
  # An LZMA block larger than the installer's slots: it is decoded on a
  # second thread while the files are written. A large x86 program (the
  # builder three times over) travels converted in a block of
  # its own, which the installer turns back.
  seq 1 200000 > "$DRIVE_C/src/count.txt"
  for i in 1 2 3; do cat "$B/quillset-build.exe"; done > "$DRIVE_C/src/tools.exe"
  qb add 'C:\p\Mine.qsp' 'C:\src\count.txt' >/dev/null
  qb add 'C:\p\Mine.qsp' 'C:\src\tools.exe' >/dev/null
  build Mine
  asks_no_elevation "$DRIVE_C/out/Mine-setup.exe" || fail "the per-user package asks for elevation"
  grep -aq 'requireAdministrator' "$B/ext.dat" || fail "the stub itself must keep asking for elevation"
  install Mine
  R="$HOME_C/AppData/Local/Programs/Mine"
  expect_file "$R/tool.txt" "the tool"
  cmp -s "$R/count.txt" "$DRIVE_C/src/count.txt" || fail "count.txt came out different"
  cmp -s "$R/tools.exe" "$DRIVE_C/src/tools.exe" || fail "tools.exe came out different"
  grep -aq '%Quillpack%/solid/[0-9]*-x86' "$DRIVE_C/out/Mine-setup.exe" || fail "tools.exe was not converted"
  asks_no_elevation "$R/Uninstall.exe" || fail "the installed uninstaller asks for elevation"
  has_key "HKCU\\$UNINSTALL\\Mine" || fail "no entry under HKEY_CURRENT_USER: $(wine reg query "HKCU\\$UNINSTALL" /s; wine reg query "HKLM\\$UNINSTALL\\Mine" /s)"
  ! has_key "HKLM\\$UNINSTALL\\Mine" || fail "an entry under HKEY_LOCAL_MACHINE"
  location=$(reg_value "HKCU\\$UNINSTALL\\Mine" InstallLocation)
  [ "$location" = "REG_SZ C:\\users\\$USER_DIR\\AppData\\Local\\Programs\\Mine" ] || fail "InstallLocation: $location"
  [ -f "$USER_DESKTOP/Mine.lnk" ] || fail "desktop shortcut"
  [ -f "$USER_PROGRAMS/Mine/Mine.lnk" ] || fail "start-menu shortcut"
  [ ! -e "$ALL_DESKTOP/Mine.lnk" ] && [ ! -e "$ALL_PROGRAMS/Mine" ] || fail "shortcuts for all users"
  uninstall "C:\\users\\$USER_DIR\\AppData\\Local\\Programs\\Mine\\Uninstall.exe"
  [ ! -e "$R" ] || fail "the install folder stayed: $(find "$R")"
  [ ! -e "$USER_DESKTOP/Mine.lnk" ] && [ ! -e "$USER_PROGRAMS/Mine" ] || fail "shortcuts stayed"
  ! has_key "HKCU\\$UNINSTALL\\Mine" || fail "the entry stayed"
  [ -d "$HOME_C/AppData/Local/Programs" ] || fail "the user's programs folder went"
else
  project Shared
  build Shared
  grep -aq 'requireAdministrator' "$DRIVE_C/out/Shared-setup.exe" || fail "a machine-wide package asks for no elevation"
  install Shared
  has_key "HKLM\\$UNINSTALL\\Shared" || fail "no entry under HKEY_LOCAL_MACHINE"
  [ -f "$ALL_DESKTOP/Shared.lnk" ] || fail "all-users desktop shortcut: $(find "$DRIVE_C" -name 'Shared.lnk')"
  [ -f "$ALL_PROGRAMS/Shared/Shared.lnk" ] || fail "all-users start-menu shortcut: $(find "$DRIVE_C" -name 'Shared.lnk')"
  [ ! -e "$USER_DESKTOP/Shared.lnk" ] && [ ! -e "$USER_PROGRAMS/Shared" ] || fail "shortcuts in the user's folders"
  uninstall 'C:\Program Files\Shared\Uninstall.exe'
  [ ! -e "$ALL_DESKTOP/Shared.lnk" ] && [ ! -e "$ALL_PROGRAMS/Shared" ] || fail "the all-users shortcuts stayed"
  ! has_key "HKLM\\$UNINSTALL\\Shared" || fail "the entry stayed"
  [ ! -e "$DRIVE_C/Program Files/Shared" ] || fail "the install folder stayed"

  # The same project as a file saved before lines 45 to 47 existed.
  project Older languages=en compression=deflate
  head -c -9 "$DRIVE_C/p/Older.qsp" > "$WORK/older.qsp" && mv "$WORK/older.qsp" "$DRIVE_C/p/Older.qsp"
  [ "$(tail -n 1 "$DRIVE_C/p/Older.qsp" | tr -d '\r')" = 4 ] || fail "the older file does not end at line 44"
  build Older
  python3 - "$DRIVE_C/out/Older-setup.exe" <<'PY' || fail "the older project's package carries install_scope.txt"
import io, struct, sys, zipfile
data = open(sys.argv[1], "rb").read()
n = struct.unpack("<Q", data[-8:])[0]
names = zipfile.ZipFile(io.BytesIO(data[-8 - n:-8])).namelist()
assert not any(name.endswith("install_scope.txt") for name in names), names
PY
  install Older
  [ -f "$USER_DESKTOP/Older.lnk" ] || fail "the older project's desktop shortcut"
  [ -f "$USER_PROGRAMS/Older/Older.lnk" ] || fail "the older project's start-menu shortcut"
  [ ! -e "$ALL_DESKTOP/Older.lnk" ] || fail "the older project's shortcut for all users"
fi
echo "scope $MODE: all checks passed"
