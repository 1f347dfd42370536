#!/usr/bin/env bash
# The installed uninstaller, started without arguments, restarts from a
# working copy in a fresh folder, asks, and on Yes removes everything the
# log lists; what the user added stays with its folders, and the protected
# folders in the log are left alone. Esc, Enter and a second initialisation do not disturb
# the progress dialog.
source "$QUILL_SOURCE/tests/uninstaller_wine/common.sh"

lay_out_install "Quill Test App"
has_key "$KEY" || fail "the uninstall key was not created"
start_uninstaller

box=$(driver answer yes 30)
[ "$box" = "box: Quillset uninstaller | Are you sure you wish to uninstall Quill Test App?" ] ||
  fail "unexpected question: $box"
driver wait-control 1000 20 wait-text 1000 OK 60
wait "$LAUNCHER_PID" || true

# The list: one line per entry but the last, then "Done!", selected.
[ "$(probe count 1001)" = 12 ] || fail "list holds $(probe count 1001) lines"
[ "$(probe last 1001)" = "Done!" ] || fail "last line: $(probe last 1001)"
[ "$(probe selected 1001)" = 11 ] || fail "selected line: $(probe selected 1001)"
progress=$(driver wait-control 1000 5 progress 1002)
[ "$progress" = "11/0-11" ] || fail "progress bar: $progress"

# Esc (27) and Enter (13) do not end the dialog; nor does a second start.
probe key 1001 27
probe key 1001 13
[ "$(probe present)" = 1 ] || fail "a key ended the progress dialog"
probe init
[ "$(probe count 1001)" = 12 ] || fail "a second initialisation started another removal"

driver wait-control 1000 5 click 1000 wait-gone 10

for gone in "$APP/tool.exe" "$APP/data/readme.txt" "$APP/data/sub" "$APP/Uninstall.exe" \
            "$APP/uninstall.ini" "$APP/empty" "$GROUP" "$DESKTOP_LINK"; do
  [ ! -e "$gone" ] || fail "still there: $gone"
done
[ -f "$USER_FILE" ] || fail "the user's file was removed"
[ -d "$APP/data" ] && [ -d "$APP" ] || fail "the user's file lost its folders"
[ -f "$DRIVE_C/windows/win.ini" ] || fail "the Windows folder was touched"
[ -d "$(dirname "$GROUP")" ] || fail "the Programs folder was removed"
has_key "$KEY" && fail "the uninstall key is still there"
has_key "$UNINSTALL_KEY" || fail "the Uninstall key itself was removed"
# The working copy ran from a fresh folder of its own, never the old fixed one.
copies=$(ls "$(wine_temp_dir)"/Quillclean-*/uninstall.exe 2>/dev/null | wc -l)
[ "$copies" = 1 ] || fail "$copies working copies"
[ ! -e "$(wine_temp_dir)/%Quillpack%" ] || fail "the old fixed working folder was made"
echo "PASS"
