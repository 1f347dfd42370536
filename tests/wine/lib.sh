# Shared helpers for wine tests; source this file from a test script.
#
# Two kinds of machine run these tests. Where 32-bit code executes, they run
# the shipped 32-bit programs (QUILL_DIST32, build/win32) with the 32-bit
# loader in a 32-bit prefix. Where a kernel sandbox refuses 32-bit code
# ("Exec format error"), they run the same sources built for x86_64
# (QUILL_DIST64, build/win64) under wine64 in a 64-bit prefix. A probe
# decides once per build folder: it starts a tiny 32-bit program. Set
# QUILL_WINE_ARCH=win32 or win64 to force either path.
#
#   QUILL_DIST32, QUILL_DIST64   the two program folders (set by CTest)
#   QUILL_BUILD  the native build folder (holds the prefix templates)
# After sourcing, QUILL_DIST is the folder of the programs that run. After
# `wine_setup`, WINEPREFIX is a fresh prefix of this test alone and DRIVE_C
# its C: drive; `wine_run` runs a Windows program under the test's own X
# display. The prefix and display go away when the script exits.
set -Eeuo pipefail
# A command that stops a test through `set -e` says which one it was, so a
# failure never passes without a reason in the test's output (-E: also a
# command inside a function).
trap 'echo "FAIL: line $LINENO of ${BASH_SOURCE[0]##*/}: $BASH_COMMAND (status $?)" >&2' ERR
export WINEDEBUG=-all
# No menu entries or desktop files may reach the host.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Creates a prefix of the given architecture in the given folder.
wine_boot() {
  local arch=$1 prefix=$2 loader=/usr/lib/wine/wine64
  [ "$arch" = win32 ] && loader=/usr/lib/wine/wine
  WINEARCH=$arch WINEPREFIX="$prefix" "$loader" wineboot -i >/dev/null 2>&1 &&
    WINEPREFIX="$prefix" wineserver -w
}

# Prints win32 when the 32-bit probe program runs in a 32-bit prefix, else
# win64. The 32-bit prefix it boots becomes the template of the 32-bit path.
wine_probe() {
  local template="$QUILL_BUILD/wine-template-win32" code=0
  if [ -z "${QUILL_DIST32:-}" ] || [ ! -f "$QUILL_DIST32/arch_probe.exe" ]; then
    echo "win64 (no 32-bit build to probe with)"
    return
  fi
  if [ ! -f "$template/.ready" ]; then
    rm -rf "$template"
    wine_boot win32 "$template" && touch "$template/.ready"
  fi
  WINEARCH=win32 WINEPREFIX="$template" /usr/lib/wine/wine "$QUILL_DIST32/arch_probe.exe" \
    >/dev/null 2>&1 || code=$?
  WINEPREFIX="$template" wineserver -w >/dev/null 2>&1 || true
  if [ "$code" = 32 ]; then
    echo "win32 (a 32-bit program ran)"
  else
    rm -rf "$template"
    echo "win64 (a 32-bit program did not run: exit code $code)"
  fi
}

# The probe's answer, cached in the build folder; one test at a time probes.
wine_arch() {
  if [ -n "${QUILL_WINE_ARCH:-}" ]; then
    echo "$QUILL_WINE_ARCH (forced by QUILL_WINE_ARCH)"
    return
  fi
  local cache="$QUILL_BUILD/wine-arch"
  if [ ! -s "$cache" ]; then
    mkdir -p "$QUILL_BUILD"
    exec 8>"$QUILL_BUILD/wine-arch.lock"
    flock 8
    [ -s "$cache" ] || wine_probe > "$cache"
    flock -u 8
  fi
  cat "$cache"
}

WINE_ARCH_REASON=$(wine_arch)
export WINEARCH=${WINE_ARCH_REASON%% *}
case "$WINEARCH" in
  win32) QUILL_DIST=${QUILL_DIST32:-${QUILL_DIST:-}}; WINE_LOADER=/usr/lib/wine/wine ;;
  win64) QUILL_DIST=${QUILL_DIST64:-${QUILL_DIST:-}}; WINE_LOADER=/usr/lib/wine/wine64 ;;
  *) echo "QUILL_WINE_ARCH must be win32 or win64"; exit 1 ;;
esac
export QUILL_DIST WINE_LOADER

wine() { "$WINE_LOADER" "$@"; }
winepath() { "$WINE_LOADER" winepath "$@"; }

wine_template() {
  local template="$QUILL_BUILD/wine-template-$WINEARCH"
  if [ ! -f "$template/.ready" ]; then
    mkdir -p "$QUILL_BUILD"
    # One test at a time builds the template; the others wait for it.
    exec 9>"$QUILL_BUILD/wine-template.lock"
    flock 9
    if [ ! -f "$template/.ready" ]; then
      rm -rf "$template"
      wine_boot "$WINEARCH" "$template"
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
  # Wine finds a prefix's server by the device and inode of the prefix
  # folder, in a folder under TMPDIR. A prefix made after another test's was
  # removed can get the same inode, and its programs would then reach a
  # server of that test that is still going away ("recvmsg: Connection reset
  # by peer"). A TMPDIR of this test alone keeps the servers apart.
  mkdir -p "$WORK/tmp"
  export TMPDIR="$WORK/tmp"
  # The prefix's Desktop, Documents and similar folders link to the host's
  # home folder; make them real folders inside this prefix.
  local link
  for link in "$DRIVE_C"/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
  done
  # A display of this test's own: Xvfb picks a free number itself and
  # writes it once it accepts connections, so two tests starting at once
  # never share one.
  local n fd
  unset DISPLAY
  exec {fd}>"$WORK/display"
  Xvfb -displayfd "$fd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  exec {fd}>&-
  for n in $(seq 1200); do
    [ -s "$WORK/display" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  n=$(head -n 1 "$WORK/display")
  [ -n "$n" ] && export DISPLAY=":$n"
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
