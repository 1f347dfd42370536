#!/usr/bin/env bash
# The registry and environment dialog in the builder's window: one of each
# kind added through its edit dialog, a refused value keeps its dialog open
# and says why, and the saved project carries them as its last section.
TEST=builder_declarations
source "$(dirname "$0")/common.sh"

mkdir -p "$DRIVE_C/src" "$DRIVE_C/proj"
echo "program" > "$DRIVE_C/src/App.exe"
start_builder
driver answer no 30 >/dev/null || fail "no association question"
builder tree-select 1097 '%install path%' click 1002 answer-file 'C:\src\App.exe' 30 >/dev/null || fail "add file"
builder tab 1074 2 click 1450 >/dev/null || fail "the dialog's button"

# The list dialog, then the edit dialog of the kind it adds.
list() { driver wait-window '#32770' '=Quillset - Registry and environment' 20 "$@"; }
edit() { driver wait-window '#32770' "=Quillset - New $1" 20 "${@:2}"; }
list pick 1453 'Registry value' click 1454 >/dev/null || fail "add a value"
edit 'registry value' set-text 1461 'Software\Vendor\App' set-text 1462 Runs pick 1463 Number \
  set-text 1464 twelve click 1 >/dev/null || fail "value fields"
box=$(driver answer ok 20) || fail "no refusal"
[ "$box" = "box: Quillset | A number must be a decimal from 0 to 4294967295." ] || fail "refusal: $box"
edit 'registry value' set-text 1464 12 check 1466 click 1 wait-gone 20 >/dev/null || fail "value accepted"
list pick 1453 'File association' click 1454 >/dev/null || fail "add an association"
edit 'file association' set-text 1467 .xyz set-text 1468 Vendor.App.xyz set-text 1469 'XYZ document' \
  click 1 wait-gone 20 >/dev/null || fail "association"
list pick 1453 'PATH entry' click 1454 >/dev/null || fail "add a PATH entry"
edit 'PATH entry' pick 1474 Machine click 1 wait-gone 20 >/dev/null || fail "PATH entry"
list pick 1453 'Environment variable' click 1454 >/dev/null || fail "add a variable"
edit 'environment variable' set-text 1462 APP_HOME set-text 1464 '%install path%' click 1 wait-gone 20 \
  >/dev/null || fail "variable"
list expect-enabled 1455 1 expect-text 1457 'The checks find nothing wrong.' >/dev/null || fail "list state"
shot list
list click 1458 wait-gone 20 >/dev/null || fail "close"

builder menu 40009 answer-file 'C:\proj\d.qsp' 30 wait-window "#32770" '=Quillset - C:\proj\d.qsp' 10 \
  >/dev/null || fail "save as: $(builder caption)"
want=$(printf '%s\r\n' '[declarations]' \
  $'registry\tscope\tSoftware\\Vendor\\App\tRuns\tnumber\t12\tremove\tremove empty key' \
  $'association\t.xyz\tVendor.App.xyz\tXYZ document\t%install path%\\App.exe\t\t"%1"' \
  $'path\tmachine\t%install path%' \
  $'variable\tuser\tAPP_HOME\t%install path%' '[end of declarations]')
[ "$(tail -n 6 "$DRIVE_C/proj/d.qsp")" = "$want" ] || fail "section: $(tail -n 6 "$DRIVE_C/proj/d.qsp" | cat -A)"
builder menu 40004 answer no 10 >/dev/null || fail "quit"
driver wait-process Quillset.exe 20 || fail "the builder did not end"
echo "PASS"
