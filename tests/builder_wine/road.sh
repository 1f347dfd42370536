#!/usr/bin/env bash
# The builder's whole road through its window alone: first start (the
# association question, no crash question), a project made of a folder tree,
# a single file, a renamed folder, texts, the default folder, the
# uninstaller and a desktop shortcut; saved, built; the package installs and
# the uninstaller it carries removes everything again.
TEST=builder_road
source "$(dirname "$0")/common.sh"

S="$DRIVE_C/src"
mkdir -p "$S/app/sub" "$S/app/.svn" "$DRIVE_C/proj" "$DRIVE_C/out"
echo "main program" > "$S/app/main.txt"
echo "deep file" > "$S/app/sub/deep.txt"
echo "hidden" > "$S/app/.svn/entries"
echo "read me" > "$S/readme.txt"
printf 'Welcome to Road App.\r\n' > "$S/welcome.txt"
printf 'Road App licence.\r\n' > "$S/licence.txt"

start_builder
box=$(driver answer yes 30) || fail "no association question"
[ "$box" = "box: Quillset | Do you wish to associate all Quillset project files ( .qsp and .qspbak ) with Quillset?" ] ||
  fail "association question: $box"
driver no-box 2 || fail "a question besides the association"
[ "$(builder caption)" = "Quillset - New Unsaved Project" ] || fail "title: $(builder caption)"
[ "$(default_value 'HKCR\.qspbak')" = "REG_SZ Quillset" ] || fail ".qspbak association"
[ "$(default_value 'HKCR\Quillset\DefaultIcon')" = 'REG_SZ C:\Quillset\Quillset.exe,1' ] || fail "icon"
[ "$(default_value 'HKCR\Quillset\shell\open\command')" = 'REG_SZ "C:\Quillset\Quillset.exe" "%1"' ] ||
  fail "open command: $(default_value 'HKCR\Quillset\shell\open\command')"
# The first start makes the settings key: the question is not asked again,
# and the crash marker is set while the builder runs.
[ "$(settings qspfiles)" = "REG_SZ yes" ] || fail "qspfiles on the first start: $(settings qspfiles)"
[ "$(settings started)" = "REG_SZ yes" ] || fail "crash marker on the first start: $(settings started)"
[ "$(builder rect | cut -d' ' -f4)" = 384 ] || fail "window height on tab 0"

# A folder tree (without .svn), a single file, a folder renamed.
builder tree-select 1097 '%install path%' click 1003 answer-folder 'C:\src\app' 30 >/dev/null || fail "add folder"
builder tree-select 1097 '%install path%' click 1002 answer-file 'C:\src\readme.txt' 30 >/dev/null || fail "add file"
builder tree-rename 1097 '%install path%/app' Program >/dev/null || fail "rename"
tree=$(builder tree 1097)
want=$'%custom path%\n%install path%\n  Program\n    main.txt\n    sub\n      deep.txt\n  readme.txt'
[ "$tree" = "$want" ] || fail "tree after adding: $tree"
builder tree-select 1097 '%install path%/Program/sub/deep.txt' expect-text 1005 'C:\src\app\sub\deep.txt' \
  expect-text 1013 '%install path%\Program\sub\' expect-enabled 1004 1 expect-enabled 1002 0 >/dev/null ||
  fail "selection panel of a file"

# A desktop shortcut to readme.txt, written back by the field sync timer.
builder tree-select 1097 '%install path%/readme.txt' pick 1157 'on the desktop' \
  set-text 1159 'Road Readme' expect-enabled 1161 0 send 275 1 0 >/dev/null || fail "shortcut fields"
shot_tab 0 files

builder tab 1074 2 set-text 1030 'Road App' set-text 1025 '%name% Setup' set-text 1032 'C:\RoadApp' \
  >/dev/null || fail "texts"
shot_tab 2 texts
builder tab 1074 3 set-text 1027 'C:\src\welcome.txt' set-text 1033 'C:\src\licence.txt' >/dev/null ||
  fail "documents"
shot_tab 3 documents
shot_tab 1 graphics
# Including the uninstaller shows the file page with its new file selected.
builder tab 1074 4 check 1069 >/dev/null || fail "include uninstaller"
[ "$(builder tree-selected 1097)" = '%install path%/Uninstall.exe' ] || fail "uninstaller not selected"
[ "$(builder rect | cut -d' ' -f4)" = 384 ] || fail "the uninstaller check did not show tab 0"
shot_tab 4 options
[ "$(builder rect | cut -d' ' -f4)" = 300 ] || fail "window height on tab 4"
builder expect-visible 1097 0 expect-visible 1069 1 >/dev/null || fail "page 4 controls"
# The road's desktop shortcut stays in the user's own desktop folder.
builder tab 1074 4 uncheck 1186 >/dev/null || fail "shortcuts for the current user"

# Save as: the title follows the path.
builder menu 40009 answer-file 'C:\proj\road.qsp' 30 wait-window "#32770" '=Quillset - C:\proj\road.qsp' 10 \
  >/dev/null || fail "save as: $(builder caption)"
for line in 'Road Readme' 'Uninstall.exe' 'C:\src\app\sub\deep.txt' '%install path%\Program\sub\' 'C:\RoadApp'; do
  grep -aqF "$line" "$DRIVE_C/proj/road.qsp" || fail "road.qsp lacks $line"
done

# Build. A new project's packages are LZMA ones: the build page's check says so.
[ "$(builder tab 1074 5 checked 1187)" = 1 ] || fail "a new project's compression is not LZMA"
builder tab 1074 5 set-text 1006 'C:\out\road-setup.exe' click 1008 wait-text 1010 'Done!' 120 \
  expect-text 1008 'Build installer' expect-visible 1074 1 >/dev/null || fail "build"
shot_tab 5 build
[ -s "$DRIVE_C/out/road-setup.exe" ] || fail "no package"
[ ! -e "$DRIVE_C/out/road-setup.zip" ] || fail "work archive left behind"
grep -aq '%Quillpack%/solid/1' "$DRIVE_C/out/road-setup.exe" || fail "the package holds no solid block"

# Quit without saving again: the crash marker is emptied.
builder menu 40004 answer no 10 >/dev/null || fail "quit question"
driver wait-process Quillset.exe 20 || fail "the builder did not end"
wait "$BUILDER_PID" || true
# An emptied value has no bytes at all (reg.exe shows whatever its buffer
# held): only its first character counts, which must not be "y".
case "$(settings started)" in "REG_SZ y"*|"") fail "crash marker after quit: $(settings started)" ;; esac
[ "$(settings qspfiles)" = "REG_SZ yes" ] || fail "qspfiles after quit: $(settings qspfiles)"

# The package installs ...
USER_DIR=$(cd "$DRIVE_C/users" && ls | grep -v '^Public$' | head -n 1)
start_installer "$DRIVE_C/out/road-setup.exe"
driver wait-control 1004 30 wait-text 1000 Next 5 expect-text 1004 'Welcome to Road App.\n' >/dev/null ||
  fail "welcome step"
[ "$(driver wait-control 1004 5 caption)" = "Road App Setup - Welcome" ] || fail "installer title"
driver wait-control 1004 5 click 1000 wait-text 1000 "I Agree" 5 expect-text 1004 'Road App licence.\n' \
  click 1000 wait-control 1007 5 expect-text 1007 'C:\RoadApp' click 1000 wait-control 1012 5 \
  click 1000 wait-control 1010 5 expect-text 1000 Install click 1000 wait-text 1000 Done 60 \
  click 1000 >/dev/null || fail "wizard"
wait_installer road-setup.exe
R="$DRIVE_C/RoadApp"
expect_file "$R/readme.txt" "read me"
expect_file "$R/Program/main.txt" "main program"
expect_file "$R/Program/sub/deep.txt" "deep file"
[ ! -e "$R/Program/.svn" ] || fail ".svn was packed"
cmp -s "$R/Uninstall.exe" "$QUILL_DIST/uninst.dat" || fail "Uninstall.exe"
LINK="$DRIVE_C/users/$USER_DIR/Desktop/Road Readme.lnk"
[ -f "$LINK" ] && grep -aq 'C:\\RoadApp\\readme.txt' "$LINK" || fail "desktop shortcut"

# ... and its uninstaller removes it.
wine 'C:\RoadApp\Uninstall.exe' >"$WORK/uninstaller.log" 2>&1 &
LAUNCHER_PID=$!
driver answer yes 30 wait-control 1000 20 wait-text 1000 OK 120 click 1000 wait-gone 10 >/dev/null ||
  fail "the removal did not finish"
driver wait-process uninstall.exe 20
wait "$LAUNCHER_PID" || true
for gone in "$R/readme.txt" "$R/Program" "$R/Uninstall.exe" "$LINK"; do
  [ ! -e "$gone" ] || fail "still there after uninstalling: $gone"
done
KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Road App'
wine reg query "$KEY" >/dev/null 2>&1 && fail "the uninstall key survived"
echo "PASS"
