# Helpers shared by the installer's wine tests; source after setting TEST.
#   driver ARGS...        runs quill_driver.exe (see tests/driver/quill_driver.cpp)
#   make_package OUT      builds OUT from ext.dat and the JSON on stdin
#   start_installer EXE [ARG...]  starts a package in the background (pid in STUB_PID)
#   shot NAME             screenshot into $QUILL_BUILD/screenshots/$TEST/NAME.png
#   payload_dir           the running installer's payload folder as a host path
#   expect_file PATH TEXT / expect_lines FILE LINE...   checks from outside
set -euo pipefail
: "${QUILL_SOURCE:?set by CTest}" "${QUILL_DIST:?set by CTest}" "${QUILL_BUILD:?set by CTest}"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$QUILL_SOURCE/tests/wine/lib.sh"

wine_setup

# Package descriptions name their files relative to the source tree.
cd "$QUILL_SOURCE"

SHOTS="$QUILL_BUILD/screenshots/$TEST"
mkdir -p "$SHOTS"

driver() { wine "$QUILL_DIST/quill_driver.exe" "$@" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

make_package() {
  cat > "$WORK/package.json"
  python3 "$here/make_package.py" "$QUILL_DIST/ext.dat" "$1" "$WORK/package.json"
}

start_installer() {
  wine "$@" >"$WORK/installer.log" 2>&1 &
  STUB_PID=$!
}

# Waits for the started package to end (its wine process and the Windows one).
wait_installer() {
  local name
  name=$(basename "$1")
  driver wait-process "$name" "${2:-60}"
  wait "$STUB_PID" || true
}

shot() { import -window root "$SHOTS/$1.png"; }

# Every folder and every file with its checksum on C:, then the uninstall
# keys; the temporary folder (it holds the payloads) is left out.
machine_state() {
  : "${TEMP_REL:=$(wine cmd /c echo %TEMP% 2>/dev/null | tr -d '\r' | cut -c4- | tr '\\' /)}"
  (cd "$DRIVE_C" && find . -ipath "./$TEMP_REL" -prune -o -type d -print | sort)
  (cd "$DRIVE_C" && find . -ipath "./$TEMP_REL" -prune -o -type f -exec md5sum {} + | sort -k 2)
  wine reg query 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r'
}

# The run's payload folder (a fresh name each run); a name that does not
# exist when there is none.
payload_dir() {
  local temp folder
  temp=$(wine_temp_dir)
  for folder in "$temp"/Quillpack-*; do
    [ -e "$folder" ] && { echo "$folder"; return; }
  done
  echo "$temp/Quillpack-none"
}

expect_file() {
  [ -f "$1" ] || fail "missing file $1"
  [ "$(cat "$1")" = "$2" ] || fail "$1 holds '$(cat "$1")', not '$2'"
}

# The file's lines (CR LF) must be exactly the given ones.
expect_lines() {
  local file=$1
  shift
  [ -f "$file" ] || fail "missing file $file"
  local want
  want=$(printf '%s\r\n' "$@")
  if [ "$(cat "$file")" != "$want" ]; then
    echo "--- $file:"; cat -A "$file"; echo "--- expected:"; printf '%s\r\n' "$@" | cat -A
    fail "$file differs"
  fi
}

# One registry value as `wine reg query` prints it: "TYPE    DATA".
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v name="$2" '$1 == name { $1 = ""; sub(/^ +/, ""); print }'
}
