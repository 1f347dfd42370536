#!/usr/bin/env bash
# Texts beyond the system's code page through the builder's window: a
# program name with an accent and CJK letters typed into its box, a payload
# file with a Japanese name added through the file dialog, German carried
# with its own title and welcome file in the languages dialog, the project
# saved under a Japanese name, then opened in a new run of the builder:
# the name and the file read back exactly. The screenshots show the CJK
# letters through a font the system links to its dialog faces.
TEST=builder_unicode
source "$(dirname "$0")/common.sh"

NAME='Café 日本'
TITLE_DE='Café 日本 – Installation'
S="$DRIVE_C/src"
mkdir -p "$S" "$DRIVE_C/proj"
echo "Japanese payload" > "$S/日本語.txt"
printf 'Willkommen.\r\n' > "$S/willkommen.txt"

# The dialog faces borrow the letters they lack from a CJK font of the host
# (Debian's fonts-wqy-microhei), as a Windows system links its own.
for face in Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif'; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
    /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 || fail "font link of $face"
done

start_builder
driver answer no 30 >/dev/null || fail "no association question"

builder tab 1074 2 set-text 1030 "$NAME" >/dev/null || fail "program name"
[ "$(builder text 1030)" = "$NAME" ] || fail "program name reads $(builder text 1030)"
builder tree-select 1097 '%install path%' click 1002 answer-file 'C:\src\日本語.txt' 30 >/dev/null ||
  fail "add 日本語.txt"
builder tree-select 1097 '%install path%/日本語.txt' expect-text 1005 'C:\src\日本語.txt' >/dev/null ||
  fail "the file's tree item: $(builder tree 1097)"
shot_tab 0 files
shot_tab 2 name
shot_tab 3 documents

# The languages dialog: English stays, German with its texts.
builder tab 1074 3 click 1401 >/dev/null || fail "Languages..."
lang() { driver wait-control 1414 20 "$@"; }
[ "$(lang caption)" = "Quillset - Languages" ] || fail "dialog caption: $(lang caption)"
[ "$(lang checked 1402)" = 1 ] && [ "$(lang enabled 1402)" = 0 ] || fail "English is not fixed"
[ "$(lang text 1411)" = "Japanese (日本語)" ] || fail "Japanese check reads $(lang text 1411)"
# A new project carries every language; German taken off and on again
# becomes the language the fields show.
[ "$(lang checked 1403)" = 1 ] && [ "$(lang checked 1413)" = 1 ] || fail "a new project's languages"
lang uncheck 1403 check 1403 expect-enabled 1415 1 expect-text 1414 'German (Deutsch)' set-text 1415 "$TITLE_DE" \
  click 1417 answer-file 'C:\src\willkommen.txt' 30 >/dev/null || fail "German"
lang expect-text 1416 'C:\src\willkommen.txt' expect-text 1415 "$TITLE_DE" >/dev/null ||
  fail "German's fields: $(lang text 1415) / $(lang text 1416)"
sleep 0.5
shot languages
lang click 1422 wait-gone 10 >/dev/null || fail "save and close"
# The project holds what the dialog stored.
builder click 1401 >/dev/null || fail "Languages... again"
[ "$(lang checked 1403)" = 1 ] || fail "German not carried"
lang expect-text 1414 'German (Deutsch)' expect-text 1415 "$TITLE_DE" close wait-gone 10 >/dev/null ||
  fail "German's texts: $(lang text 1415)"

builder menu 40009 answer-file 'C:\proj\日本.qsp' 30 wait-window '#32770' '=Quillset - C:\proj\日本.qsp' 10 \
  >/dev/null || fail "save as: $(builder caption)"
builder menu 40004 answer no 10 >/dev/null || fail "quit"
wait "$BUILDER_PID" 2>/dev/null || true

start_builder
builder menu 40002 answer-file 'C:\proj\日本.qsp' 30 wait-window '#32770' '=Quillset - C:\proj\日本.qsp' 10 \
  >/dev/null || fail "reopen: $(builder caption)"
builder tab 1074 2 >/dev/null
[ "$(builder text 1030)" = "$NAME" ] || fail "reopened program name reads $(builder text 1030)"
builder expect-tree 1097 '%install path%/日本語.txt' 1 >/dev/null || fail "reopened tree: $(builder tree 1097)"
builder tab 1074 3 click 1401 >/dev/null || fail "Languages... after reopening"
[ "$(lang checked 1403)" = 1 ] || fail "German not carried after reopening"
lang expect-text 1414 'German (Deutsch)' expect-text 1415 "$TITLE_DE" close wait-gone 10 >/dev/null ||
  fail "German's texts after reopening: $(lang text 1415)"
builder menu 40004 answer no 10 >/dev/null || true
echo "PASS"
