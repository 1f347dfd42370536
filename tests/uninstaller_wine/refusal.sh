#!/usr/bin/env bash
# Answering No removes nothing; a log that cannot be read is reported and
# removes nothing either; "Cancel" during a long removal ends the program at
# once and leaves what was not yet removed.
source "$QUILL_SOURCE/tests/uninstaller_wine/common.sh"

# Every path of the C: drive outside the Windows and temporary folders.
snapshot() {
  (cd "$DRIVE_C" && find . \( -path ./windows -o -ipath './users/*/temp' \
     -o -ipath './users/*/AppData/Local/Temp' \) -prune -o -print | sort)
}

lay_out_install "Quill Kept App"
before=$(snapshot)
start_uninstaller
box=$(driver answer no 30)
[ "$box" = "box: Quillset uninstaller | Are you sure you wish to uninstall Quill Kept App?" ] ||
  fail "unexpected question: $box"
driver wait-process uninstall.exe 20
wait "$LAUNCHER_PID" || true
[ "$(probe present)" = 0 ] || fail "the progress dialog opened after No"
after=$(snapshot)
[ "$after" = "$before" ] || { diff <(echo "$before") <(echo "$after"); fail "something changed after No"; }
for kept in "$APP/tool.exe" "$APP/data/sub/deep.dat" "$APP/Uninstall.exe" "$APP/uninstall.ini" \
            "$GROUP/Quill Kept App.lnk" "$DESKTOP_LINK"; do
  [ -e "$kept" ] || fail "removed after No: $kept"
done
has_key "$KEY" || fail "the uninstall key was removed after No"

# Removal mode with a log that does not exist: told, nothing removed.
cp "$QUILL_DIST/uninst.dat" "$WORK/uninstall.exe"
copy_win=$(win_path "$WORK/uninstall.exe")
# (wine quotes an argument with spaces; the program drops the quotes.)
wine "$copy_win" "C:\\No Such Folder\\uninstall.ini" >/dev/null 2>&1 &
removal_pid=$!
box=$(driver answer ok 30)
case "$box" in
  "box: Quillset uninstaller | The uninstall log C:\\No Such Folder\\uninstall.ini could not be opened. Nothing was removed.") ;;
  *) fail "unexpected message: $box" ;;
esac
wait "$removal_pid" || true
[ -e "$APP/tool.exe" ] || fail "a missing log removed files"

LONG="$DRIVE_C/Long App"
mkdir -p "$LONG"
echo keep > "$LONG/last.dat"
python3 - "$LONG/uninstall.ini" <<'PY'
import sys
lines = ["Long App"] + ["C:\\Long App\\missing%d.dat" % i for i in range(200000)]
lines += ["C:\\Long App\\last.dat", "C:\\Long App\\", "||||"]
open(sys.argv[1], "w", newline="").write("".join(line + "\r\n" for line in lines))
PY
wine reg add "$UNINSTALL_KEY\\Long App" /v DisplayName /d "Long App (remove only)" /f >/dev/null
wine "$copy_win" "C:\\Long App\\uninstall.ini" >/dev/null 2>&1 &
removal_pid=$!
driver answer yes 30 >/dev/null
driver wait-control 1000 20 expect-text 1000 Cancel click 1000 wait-gone 10
driver wait-process uninstall.exe 10
wait "$removal_pid" || true
[ -f "$LONG/last.dat" ] || fail "the removal went on after Cancel"
has_key "$UNINSTALL_KEY\\Long App" || fail "the key was deleted after Cancel"
echo "PASS"
