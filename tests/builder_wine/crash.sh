#!/usr/bin/env bash
# Crash recovery: a builder that is killed leaves its crash marker set, and
# the next start offers the backup file, which brings the project back under
# its own file's name; Save writes that file after one question.
TEST=builder_crash
source "$(dirname "$0")/common.sh"

mkdir -p "$DRIVE_C/src" "$DRIVE_C/out" "$DRIVE_C/proj"
echo "keep me" > "$DRIVE_C/src/keep.txt"
echo "spare" > "$DRIVE_C/src/spare.txt"
echo "old package" > "$DRIVE_C/out/setup.exe"

# The first start finds no settings key and makes it.
start_builder
driver answer no 30 >/dev/null || fail "no association question on the first start"
builder menu 40004 answer no 10 >/dev/null || fail "first quit"
driver wait-process Quillset.exe 20 || fail "the first builder did not end"
wait "$BUILDER_PID" || true

# The second start marks itself as running; its project reaches the backup
# file when a build is started (and declined here, as the output exists).
start_builder
driver wait-window - '=Quillset - New Unsaved Project' 30 >/dev/null ||
  fail "the second start did not open without a question"
driver no-box 2 || fail "a question on the second start"
[ "$(settings started)" = "REG_SZ yes" ] || fail "crash marker while running: $(settings started)"
# Delete removes a file only from the tree's keyboard focus, never from a box.
builder tree-select 1097 '%install path%' click 1002 answer-file 'C:\src\spare.txt' 30 \
  tree-select 1097 '%install path%/spare.txt' set-text 1159 'Spare' focus 1159 key 1159 delete \
  expect-tree 1097 '%install path%/spare.txt' 1 expect-text 1159 'pare' \
  focus 1097 key 1097 delete expect-tree 1097 '%install path%/spare.txt' 0 >/dev/null || fail "Delete key"
builder menu 40009 answer-file 'C:\proj\crash.qsp' 30 >/dev/null || fail "save as"
builder tree-select 1097 '%install path%' click 1002 answer-file 'C:\src\keep.txt' 30 \
  tab 1074 5 set-text 1006 'C:\out\setup.exe' click 1008 >/dev/null || fail "project"
box=$(driver answer no 10) || fail "no replace question"
[ "$box" = 'box: Quillset | C:\out\setup.exe already exists.\nDo you wish to replace it?' ] || fail "replace question: $box"
[ "$(cat "$DRIVE_C/out/setup.exe")" = "old package" ] || fail "the declined build wrote the output"
grep -aqF 'C:\src\keep.txt' "$B/ProjectBackup.qspbak" || fail "the backup lacks the project"

kill_builder
driver wait-process Quillset.exe 20 || fail "the builder survived"

# Started again with a bare path (no quotes), after the crash: the backup is
# offered, the path waits in "toopen" without its first and last character.
start_builder 'C:\proj\next.qsp'
box=$(driver answer yes 30) || fail "no crash question"
[ "$box" = "box: Quillset | Quillset didn't shut down properly the last time it was run.\nDo you wish to open the last project backup?" ] ||
  fail "crash question: $box"
driver no-box 2 || fail "another question after the crash question"
[ "$(builder tree 1097)" = $'%custom path%\n%install path%\n  keep.txt' ] || fail "backup not loaded: $(builder tree 1097)"
builder tree-select 1097 '%install path%/keep.txt' expect-text 1005 'C:\src\keep.txt' tab 1074 5 \
  expect-text 1006 'C:\out\setup.exe' >/dev/null || fail "backup contents"
[ "$(settings toopen)" = 'REG_SZ :\proj\next.qs' ] || fail "toopen: $(settings toopen)"
[ "$(builder caption)" = 'Quillset - C:\proj\crash.qsp (recovered)' ] || fail "recovered title: $(builder caption)"
shot_tab 0 recovered
if grep -aqF 'keep.txt' "$DRIVE_C/proj/crash.qsp"; then fail "the project file was written before Save"; fi
box=$(builder menu 40003 answer yes 10) || fail "no question on Save"
[ "$box" = 'box: Quillset | This project was recovered from the last backup.\nDo you wish to save it over its own file (No: choose another file)?\nC:\proj\crash.qsp' ] ||
  fail "save question: $box"
driver wait-window '#32770' '=Quillset - C:\proj\crash.qsp' 10 >/dev/null || fail "title after Save: $(builder caption)"
grep -aqF 'C:\src\keep.txt' "$DRIVE_C/proj/crash.qsp" || fail "Save did not write the recovered project"
builder menu 40003 no-box 2 >/dev/null || fail "a second Save asked again"
builder menu 40004 answer no 10 >/dev/null || fail "quit"
driver wait-process Quillset.exe 20 || fail "the builder did not end"
echo "PASS"
