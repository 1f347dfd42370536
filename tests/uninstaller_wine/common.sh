# Helpers of the uninstaller's wine tests; source from a test script.
#   driver ARGS...          the suite's test driver (tests/driver)
#   probe ARGS...           clean_probe.exe on the progress dialog
#   lay_out_install NAME    an installation laid out by hand, as the
#                           installer leaves it; sets APP (host path), APP_WIN,
#                           GROUP, DESKTOP_LINK, USER_FILE and KEY
#   start_uninstaller       runs the installed Uninstall.exe without arguments
source "$QUILL_SOURCE/tests/wine/lib.sh"
wine_setup

DRIVER="$QUILL_DIST/quill_driver.exe"
[ -f "$DRIVER" ] || fail "quill_driver.exe missing from $QUILL_DIST"
driver() { wine "$DRIVER" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }
probe() { wine "$QUILL_DIST/clean_probe.exe" "Quillset Uninstaller" "$@" | tr -d '\r'; }

UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

# Host path of a Windows path of this prefix.
host_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
win_path() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

PROGRAMS_WIN=$(wine cmd /c echo %APPDATA% | tr -d '\r')'\Microsoft\Windows\Start Menu\Programs'
DESKTOP_WIN=$(wine cmd /c echo %USERPROFILE% | tr -d '\r')'\Desktop'

# The log's lines, each ended by CR LF.
write_log() {
  local file=$1
  shift
  printf '%s\r\n' "$@" > "$file"
}

lay_out_install() {
  local name=$1
  APP_WIN="C:\\Program Files\\$name"
  APP="$DRIVE_C/Program Files/$name"
  GROUP_WIN="$PROGRAMS_WIN\\$name"
  GROUP=$(host_path "$GROUP_WIN")
  DESKTOP_LINK_WIN="$DESKTOP_WIN\\$name.lnk"
  DESKTOP_LINK=$(host_path "$DESKTOP_LINK_WIN")
  KEY="$UNINSTALL_KEY\\$name"
  mkdir -p "$APP/data/sub" "$APP/empty" "$GROUP" "$(dirname "$DESKTOP_LINK")"
  echo program > "$APP/tool.exe"
  echo readme > "$APP/data/readme.txt"
  echo deep > "$APP/data/sub/deep.dat"
  cp "$QUILL_DIST/uninst.dat" "$APP/Uninstall.exe"
  echo link > "$GROUP/$name.lnk"
  echo link > "$DESKTOP_LINK"
  # Added by the user after the installation: never listed.
  USER_FILE="$APP/data/user notes.txt"
  echo mine > "$USER_FILE"
  write_log "$APP/uninstall.ini" "$name" \
    "$APP_WIN\\tool.exe" "$APP_WIN\\data\\readme.txt" "$APP_WIN\\data\\sub\\deep.dat" \
    "$APP_WIN\\Uninstall.exe" \
    "$GROUP_WIN" "$GROUP_WIN\\$name.lnk" \
    "" "$DESKTOP_LINK_WIN" \
    "C:\\windows" "C:\\" \
    "$APP_WIN\\uninstall.ini" "$APP_WIN\\" "||||"
  wine reg add "$KEY" /v DisplayName /d "$name (remove only)" /f >/dev/null
  wine reg add "$KEY" /v UninstallString /d "\"$APP_WIN\\Uninstall.exe\"" /f >/dev/null
}

has_key() { wine reg query "$1" >/dev/null 2>&1; }

start_uninstaller() {
  wine "$APP_WIN\\Uninstall.exe" >"$WORK/uninstaller.log" 2>&1 &
  LAUNCHER_PID=$!
}
