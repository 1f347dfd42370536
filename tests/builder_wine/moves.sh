#!/usr/bin/env bash
# Reorganising the file tree through the window: cut / paste and copy /
# paste of a folder with a sub-folder (the context menu's commands), a file
# dragged onto another folder with the mouse, the folder properties dialog,
# and a macro added and another removed in the macros dialog, after which a
# built package's "macros.txt" holds the first and not the second.
TEST=builder_moves
source "$(dirname "$0")/common.sh"

S="$DRIVE_C/src"
mkdir -p "$S/app/sub" "$S/other" "$DRIVE_C/out"
echo "main program" > "$S/app/main.txt"
head -c 1048576 /dev/zero > "$S/app/sub/deep.bin"
echo "x" > "$S/other/x.txt"

start_builder
driver answer yes 30 >/dev/null || fail "no association question"
for folder in app other; do
  builder tree-select 1097 '%install path%' click 1003 answer-folder "C:\\src\\$folder" 10 >/dev/null ||
    fail "add folder $folder"
done

# Cut app, paste onto the file x.txt: app lands in x.txt's folder "other".
builder tree-select 1097 '%install path%/app' menu 65535 \
  tree-select 1097 '%install path%/other/x.txt' menu 65533 \
  wait-text 1013 '%install path%\other\' 5 >/dev/null || fail "cut and paste"
tree=$(builder tree 1097)
want=$'%custom path%\n%install path%\n  other\n    app\n      main.txt\n      sub\n        deep.bin\n    x.txt'
[ "$tree" = "$want" ] || fail "tree after cut and paste: $tree"
# The clipboard is empty after a paste in move mode: a second paste does nothing.
builder tree-select 1097 '%install path%' menu 65533 >/dev/null
[ "$(builder tree 1097)" = "$want" ] || fail "a second paste after a cut moved something"

# Copy other/app onto the install-path root: the source stays.
builder tree-select 1097 '%install path%/other/app' menu 65534 tree-select 1097 '%install path%' menu 65533 \
  >/dev/null || fail "copy and paste"
tree=$(builder tree 1097)
want=$'%custom path%\n%install path%\n  app\n    main.txt\n    sub\n      deep.bin\n  other\n    app\n      main.txt\n      sub\n        deep.bin\n    x.txt'
[ "$tree" = "$want" ] || fail "tree after copy and paste: $tree"

# A right click on "other" (not the selection): the menu acts on it.
builder tree-select 1097 '%install path%/app/main.txt' tree-rclick 1097 '%install path%/other' >/dev/null ||
  fail "right click"
sleep 1
# Another process cannot read its captions under Wine: the screenshot shows them,
# the native tests check them; "Folder properties" is its fifth entry.
shot context-menu
driver popup-choose 5 5 >/dev/null || fail "no context menu"
props=$(driver wait-control 1176 10 text 1176) || fail "no folder properties from the menu"
case "$props" in 'Folder name: other\n'*) ;; *) fail "the menu did not act on the right-clicked item: $props" ;; esac
driver wait-control 1176 5 click 1124 wait-gone 5 >/dev/null || fail "Close"
[ "$(builder tree-selected 1097)" = '%install path%/app/main.txt' ] || fail "a right click changed the selection"

# Drag x.txt onto the folder app\sub with the mouse; the target is selected.
builder tree-drag 1097 '%install path%/other/x.txt' '%install path%/app/sub' >/dev/null || fail "drag"
sleep 1
builder expect-tree 1097 '%install path%/app/sub/x.txt' 1 expect-tree 1097 '%install path%/other/x.txt' 0 \
  >/dev/null || fail "the drag moved nothing: $(builder tree 1097)"
[ "$(builder tree-selected 1097)" = '%install path%/app/sub' ] || fail "drop target not selected"

# A drag whose mouse capture is taken away (WM_CANCELMODE) ends: the drop
# highlight goes, and the button's release later moves nothing.
builder tree-drag-hold 1097 '%install path%/app/main.txt' '%install path%/other' >/dev/null || fail "drag start"
target=$(builder tree-drop-target 1097)
[ "$target" = '%install path%/other' ] || { driver mouse-up; fail "no drop highlight while dragging: $target"; }
builder send 31 0 0 >/dev/null
target=$(builder tree-drop-target 1097)
driver mouse-up >/dev/null
sleep 0.5  # room for a wrong move to show; a right one never moves
[ -z "$target" ] || fail "the drag went on after losing the capture (drop highlight on $target)"
builder expect-tree 1097 '%install path%/app/main.txt' 1 expect-tree 1097 '%install path%/other/main.txt' 0 \
  >/dev/null || fail "a cancelled drag moved its item"

# Folder properties of app: two files (one of 1 MB), one sub-folder.
builder tree-select 1097 '%install path%/app' menu 65531 >/dev/null || fail "folder properties"
props=$(driver wait-control 1176 10 text 1176) || fail "no folder properties dialog"
want='Folder name: app\nFolder path: %install path%\app\\n\nFiles in folder tree: 3\nSubfolders: 1\nTotal folder size: 1.000014 MB'
[ "$props" = "$want" ] || fail "folder properties: $props"
[ "$(driver wait-control 1176 5 caption)" = "Quillset - Folder properties" ] || fail "properties title"
sleep 0.5
shot folder-properties
driver wait-control 1176 5 click 1124 wait-gone 5 >/dev/null || fail "Close"

# The macros dialog: a text macro added, a registry macro added and removed.
builder tab 1074 2 click 1031 >/dev/null || fail "macros button"
# The driver's clicks are posted: each check waits for its command's effect.
driver wait-control 1053 10 expect-enabled 1064 0 click 1063 wait-text 1063 OK 5 expect-text 1064 Cancel \
  expect-enabled 1060 0 expect-enabled 1061 1 >/dev/null || fail "New"
[ "$(driver wait-control 1053 5 checked 1058)" = 1 ] || fail "registry kind not chosen"
driver wait-control 1053 5 click 1063 >/dev/null
box=$(driver answer ok 10) || fail "no message for an empty name"
[ "$box" = "box: Quillset | You have to enter a name for the macro!" ] || fail "empty name: $box"
driver wait-control 1053 5 set-text 1066 '%mine%' click 1059 >/dev/null
driver wait-control 1053 5 expect-enabled 1060 1 expect-enabled 1061 0 set-text 1060 'hello there' \
  >/dev/null || fail "text macro fields"
sleep 0.3
shot macros-adding
driver wait-control 1053 5 click 1063 wait-text 1063 New 5 expect-enabled 1064 1 \
  click 1063 wait-text 1063 OK 5 set-text 1066 '%gone%' pick 1055 HKEY_CURRENT_USER set-text 1061 'Software\Gone' \
  set-text 1062 Value click 1063 wait-text 1063 New 5 >/dev/null || fail "adding two macros"
driver wait-control 1053 5 pick 1053 '%mine%' wait-text 1060 'hello there' 5 \
  pick 1053 '%gone%' wait-text 1061 'Software\Gone' 5 expect-text 1062 Value expect-text 1060 '' \
  >/dev/null || fail "showing macros"
sleep 0.3
shot macros-shown
driver wait-control 1053 5 click 1064 wait-text 1066 '' 5 close wait-gone 5 >/dev/null || fail "remove and close"

# The package's macros.txt: %mine%, then the program name macro.
builder tab 1074 5 set-text 1006 'C:\out\moves-setup.exe' click 1008 wait-text 1010 'Done!' 120 >/dev/null ||
  fail "build"
python3 - "$DRIVE_C/out/moves-setup.exe" > "$WORK/macros.txt" <<'PY' || fail "no macros.txt in the package"
import io, struct, sys, zipfile
data = open(sys.argv[1], "rb").read()
length = struct.unpack("<Q", data[-8:])[0]
archive = zipfile.ZipFile(io.BytesIO(data[-8 - length:-8]))
name = next(n for n in archive.namelist() if n.endswith("macros.txt"))
sys.stdout.write(archive.read(name).decode("latin-1"))
PY
expect_lines "$WORK/macros.txt" '%mine%' 'hello there' '' '' '%name%' 'Software Name' '' '' //// //// //// ////
echo "PASS"
