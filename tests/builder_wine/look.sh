#!/usr/bin/env bash
# The builder as an author sees it, at 96 and at 144 dpi: a screenshot of
# every page and dialog (in $QUILL_BUILD/screenshots/builder_look) for a
# person to look at, and checks of faults a person would see there: a colour
# swatch over its label, near-magenta fringes round the tree icons, labels
# and checks of "More options" that paint another colour than their page.
TEST=builder_look
source "$(dirname "$0")/common.sh"

mkdir -p "$DRIVE_C/src"
echo a > "$DRIVE_C/src/a.txt"

set_dpi() {
  local key
  for key in 'HKCU\Control Panel\Desktop' \
             'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
  done
  wineserver -w
}

# "X Y W H" of control ID of the window that `$1 ...` finds, on the screen.
on_screen() {
  local cx cy x y w h
  read -r cx cy _ <<<"$("$@" client)"
  read -r x y w h <<<"$("$@" place "$ID")"
  echo "$((cx + x)) $((cy + y)) $w $h"
}
# The pixels of a screenshot's rectangle "X Y W H", one "R G B" a line.
pixels() {
  local x y w h
  read -r x y w h <<<"$2"
  convert "$SHOTS/$1.png" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 txt:- |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}
pixel() { pixels "$1" "$2 $3 1 1"; }

# The tree bitmap itself: the transparent magenta, and no blend of it.
near=$(convert "$QUILL_SOURCE/resources/quillset_tree.bmp" -depth 8 txt:- |
  sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
  awk '!($1 == 255 && $2 == 0 && $3 == 255) && $1 >= 160 && $3 >= 160 && $2 <= 110' | wc -l)
[ "$near" = 0 ] || fail "$near near-magenta pixels in quillset_tree.bmp"

# Shows dialog 111 (opened from "More options"), then closes it.
look_at_fullscreen_options() {
  builder tab 1074 4 check 1108 >/dev/null
  builder click 1111 >/dev/null
  fs check 1132 >/dev/null || fail "dialog 111"
  colour 1131 12 200 120
  fs set-text 1120 'Look' >/dev/null
  sleep 0.7
  shot "$1-fullscreen-options"
  # The fade swatch shows its colour, and none of it lies on "Fade to".
  local swatch label
  swatch=$(ID=1491 on_screen fs) label=$(ID=1132 on_screen fs)
  [ "$(pixels "$1-fullscreen-options" "$swatch" | grep -c '^12 200 120$')" -gt 0 ] || fail "$1: no fade swatch at $swatch"
  [ "$(pixels "$1-fullscreen-options" "$label" | grep -c '^12 200 120$')" = 0 ] || fail "$1: the fade swatch covers its label"
  fs close wait-gone 10 >/dev/null || fail "close dialog 111"
}

# Every label, check and radio of "More options" on the page's colour:
# the pixel at its top right corner (above any text) is the colour just
# inside its group box, left of the controls.
check_more_options() {
  local shot=$1 id at x y w h gx gy
  read -r gx gy _ <<<"$(ID=1096 on_screen builder)"
  local page
  page=$(pixel "$shot" $((gx + 4)) $((gy + 20)))
  for id in 1069 1108 1091 1092 1104 1100 1103 1093 1184 1185 1186; do
    read -r x y w h <<<"$(ID=$id on_screen builder)"
    at=$(pixel "$shot" $((x + w - 2)) $((y + 1)))
    [ "$at" = "$page" ] || fail "$shot: control $id paints $at on a page of $page"
  done
}

look() {  # DPI
  local d=$1 tab
  set_dpi "$d"
  start_builder
  # The association question comes on the first start only.
  [ "$d" != 96 ] || driver answer no 30 >/dev/null || fail "no association question"
  [ "$(builder dpi)" = "$d" ] || fail "the builder runs at $(builder dpi) dpi, not $d"
  builder tree-select 1097 '%install path%' click 1002 answer-file 'C:\src\a.txt' 30 >/dev/null || fail "add file"
  builder tree-select 1097 '%install path%' click 1003 answer-folder 'C:\src' 30 >/dev/null || fail "add folder"
  builder tree-select 1097 '%install path%/src' >/dev/null
  for tab in 0 1 2 3 4 5; do shot_tab "$tab" "$d"; done
  # No pixel of the tree near magenta: the icons' transparent colour and
  # its blends.
  local fringe
  fringe=$(pixels "tab0-$d" "$(ID=1097 on_screen builder)" |
    awk '$1 >= 160 && $3 >= 160 && $2 <= 110 { n++ } END { print n + 0 }')
  [ "$fringe" = 0 ] || fail "$d dpi: $fringe near-magenta pixels in the tree"
  check_more_options "tab4-$d"

  builder tab 1074 2 click 1031 >/dev/null
  sleep 0.7; shot "$d-macros"
  driver wait-window '#32770' 'Quillset - Macros' 10 close wait-gone 10 >/dev/null || fail "macros dialog"
  builder tab 1074 2 click 1450 >/dev/null
  driver wait-control 1452 20 >/dev/null || fail "declarations dialog"
  sleep 0.7; shot "$d-declarations"
  driver wait-control 1452 5 click 1458 wait-gone 10 >/dev/null || fail "close declarations"
  builder tab 1074 3 click 1401 >/dev/null
  driver wait-control 1402 20 >/dev/null || fail "languages dialog"
  sleep 0.7; shot "$d-languages"
  driver wait-control 1402 5 close wait-gone 10 >/dev/null || fail "close languages"
  builder tab 1074 4 click 1040 >/dev/null
  driver wait-control 1171 20 >/dev/null || fail "window settings"
  sleep 0.7; shot "$d-window-settings"
  driver wait-control 1171 5 close wait-gone 10 >/dev/null || fail "close window settings"
  look_at_fullscreen_options "$d"
  builder menu 40006 >/dev/null
  driver wait-control 1203 20 >/dev/null || fail "about box"
  sleep 0.7; shot "$d-about"
  driver wait-control 1203 5 close wait-gone 10 >/dev/null || fail "close about"
  builder tab 1074 0 tree-rclick 1097 '%install path%' popup-choose 1 10 >/dev/null || fail "folder properties"
  driver wait-control 1124 20 >/dev/null || fail "folder properties dialog"
  sleep 0.7; shot "$d-folder-properties"
  driver wait-control 1124 5 click 1124 wait-gone 10 >/dev/null || fail "close folder properties"

  builder menu 40004 answer no 10 >/dev/null || fail "quit"
  driver wait-process Quillset.exe 20 || fail "the builder did not end"
  wait "$BUILDER_PID" || true
}

look 96
look 144
echo "PASS"
