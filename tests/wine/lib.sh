# Shared helpers for wine tests; source this file from a test script.
#
# IMPORTANT: this machine's kernel sandbox cannot execute 32-bit code, so the
# 32-bit Wine loader fails ("Exec format error"). The wine tests therefore run
# the same sources cross-built for x86_64 (cmake/mingw-x86_64.cmake) under
# wine64 in a 64-bit prefix; the shipped deliverables stay 32-bit (i686).
# Configure a native test build with
#   -DQUILL_WIN32_DIST=<a build dir made with cmake/mingw-x86_64.cmake>/dist
# Windows code must therefore be 64-bit clean (INT_PTR dialog procedures,
# GetWindowLongPtr, SIZE_T ...). `wine` below is wine64.
#
#   QUILL_DIST   folder with the cross-built programs (set by CTest)
#   QUILL_BUILD  the native build folder (holds the prefix template)
# After `wine_setup`, WINEPREFIX is a fresh prefix of this test alone and
# DRIVE_C its C: drive; `wine_run` runs a Windows program under the test's
# own X display. The prefix and display go away when the script exits.
set -euo pipefail
export WINEDEBUG=-all
export WINEARCH=win64
# No menu entries or desktop files may reach the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# wine64 runs 64-bit programs; the 32-bit loader cannot run here.
wine() { /usr/lib/wine/wine64 "$@"; }
winepath() { /usr/lib/wine/wine64 winepath "$@"; }

wine_template() {
  local template="$QUILL_BUILD/wine-template"
  if [ ! -f "$template/.ready" ]; then
    mkdir -p "$QUILL_BUILD"
    # One test at a time builds the template; the others wait for it.
    exec 9>"$QUILL_BUILD/wine-template.lock"
    flock 9
    if [ ! -f "$template/.ready" ]; then
      rm -rf "$template"
      WINEPREFIX="$template" wine wineboot -i >/dev/null 2>&1
      WINEPREFIX="$template" wineserver -w
      touch "$template/.ready"
    fi
    flock -u 9
  fi
  echo "$template"
}

wine_cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
  fi
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
  [ -n "${WORK:-}" ] && rm -rf "$WORK"
}

wine_setup() {
  local template
  template=$(wine_template)
  WORK=$(mktemp -d /tmp/quill-wine.XXXXXX)
  trap wine_cleanup EXIT
  cp -a "$template" "$WORK/prefix"
  rm -f "$WORK/prefix/.ready"
  export WINEPREFIX="$WORK/prefix"
  export DRIVE_C="$WINEPREFIX/drive_c"
  # The prefix's Desktop, Documents and similar folders link to the host's
  # home folder; make them real folders inside this prefix.
  local link
  for link in "$DRIVE_C"/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
  done
  # A display of this test's own.
  local n
  for n in $(seq 90 190); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      sleep 0.5
      if kill -0 "$XVFB_PID" 2>/dev/null; then
        export DISPLAY=":$n"
        break
      fi
    fi
  done
  [ -n "${DISPLAY:-}" ] || { echo "no X display could be started"; exit 1; }
}

# The user's temporary folder inside the prefix, as a host path.
wine_temp_dir() {
  local win
  win=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
  winepath -u "$win" 2>/dev/null
}

wine_run() { wine "$@"; }

fail() { echo "FAIL: $*"; exit 1; }
