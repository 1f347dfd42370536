# Helpers of the builder's wine tests; source after setting TEST. Builds on
# the installer tests' helpers (driver, shot, reg_value, ...).
#   start_builder [ARGS]  starts C:\Quillset\Quillset.exe (pid in BUILDER_PID)
#   kill_builder          ends it at once, as a crash would
#   builder ARGS...       driver commands on the builder's main window
#   settings VALUE        a value of the builder's registry key
#   default_value KEY     the default value of a key
#   fs ARGS...            driver commands on the fullscreen options (111)
#   colour BUTTON R G B   a colour chosen with BUTTON of dialog 111
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
for f in Quillset.exe ext.dat uninst.dat setup.JPG quill_driver.exe; do
  [ -f "$QUILL_DIST/$f" ] || fail "$f missing from $QUILL_DIST"
done
# The builder's dialogs start in the current folder: one inside the prefix.
cd "$DRIVE_C"
B="$DRIVE_C/Quillset"
mkdir -p "$B"
cp "$QUILL_DIST/Quillset.exe" "$QUILL_DIST/ext.dat" "$QUILL_DIST/uninst.dat" "$QUILL_DIST/setup.JPG" "$B/"
# A failure shows what the builder printed (a crash's backtrace, say).
fail() {
  echo "FAIL: $*"
  [ -s "$WORK/builder.log" ] && grep -v '^wine: Read access denied' "$WORK/builder.log" | tail -n 40
  exit 1
}
SETTINGS='HKLM\Software\Orvelle Software\Quillset'

start_builder() {
  wine 'C:\Quillset\Quillset.exe' "$@" >>"$WORK/builder.log" 2>&1 &
  BUILDER_PID=$!
}

# The main window is the one holding the tab control.
builder() { driver wait-control 1074 20 "$@"; }

# Kills the builder as a crash would: the program started by start_builder
# (the child of its background shell).
kill_builder() {
  local pids
  pids=$(pgrep -P "$BUILDER_PID" || true)
  [ -n "$pids" ] || fail "no builder process to kill"
  kill -9 $pids
  wait "$BUILDER_PID" 2>/dev/null || true
}

settings() { reg_value "$SETTINGS" "$1"; }

# The default value of a key: "TYPE DATA".
default_value() {
  wine reg query "$1" /ve 2>/dev/null | tr -d '\r' |
    awk '$1 == "(Default)" { $1 = ""; sub(/^ +/, ""); print }'
}

# Shows a page and takes its screenshot once it has been painted.
shot_tab() {
  builder tab 1074 "$1" >/dev/null || fail "tab $1"
  sleep 0.7
  shot "tab$1-$2"
}

fs() { driver wait-control 1128 20 "$@"; }
colour() {  # BUTTON R G B: the colour dialog's red, green and blue boxes
  fs click "$1" >/dev/null
  driver wait-control 706 20 set-text 706 "$2" set-text 707 "$3" set-text 708 "$4" >/dev/null || fail "colour dialog"
  driver wait-control 706 5 click 1 >/dev/null || fail "colour dialog OK"
  local i
  for i in $(seq 50); do
    driver wait-control 706 0.1 >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "the colour dialog stays open"
}
