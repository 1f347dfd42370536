#!/usr/bin/env bash
# Pictures and the installer's appearance chosen in the builder's window:
# side pictures for steps 1 and 6 and a background picture placed at a
# position on the graphics page; size, colours, text and shadow in the
# fullscreen options; the smooth bar and the small window in the installer
# window settings. The package carries them and the installer shows them.
TEST=builder_graphics
source "$(dirname "$0")/common.sh"

S="$DRIVE_C/src"
mkdir -p "$S" "$DRIVE_C/out" "$DRIVE_C/GfxApp"
convert -size 100x170 xc:'#ff0000' "BMP3:$S/side.bmp"
convert -size 100x170 xc:'#0000ff' "BMP3:$S/six.bmp"
convert -size 120x80 xc:'#ffff00' "BMP3:$S/bg.bmp"
echo "hold" > "$S/hold.txt"
printf 'Welcome.\r\n' > "$S/welcome.txt"
printf old > "$DRIVE_C/GfxApp/hold.txt"  # its replace question holds the install

# The red, green and blue of a screenshot's pixel, "r,g,b".
pixel() {
  convert "$SHOTS/$1.png" -format "%[fx:round(255*p{$2,$3}.r)],%[fx:round(255*p{$2,$3}.g)],%[fx:round(255*p{$2,$3}.b)]" info:
}
# Pixels of exactly one colour (#RRGGBB) in a rectangle of a screenshot.
count_colour() {
  convert "$SHOTS/$1.png" -crop "$2" +repage -format %c histogram:info:- |
    awk -v c="$3" '$0 ~ c"( |$)" { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

# The bold face's file, listed in the system's font list.
cp /usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf "$S/QuillMonoBold.ttf"
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'DejaVu Sans Mono Bold (TrueType)' \
  /d 'C:\src\QuillMonoBold.ttf' /f >/dev/null 2>&1 || fail "font registry entry"

start_builder
driver answer no 30 >/dev/null || fail "no association question"

# Three pictures: a side picture for step 1 and one for step 6, and a
# background picture of step 1 at (40, 60).
builder tab 1074 1 expect-enabled 1022 0 expect-enabled 1155 0 >/dev/null || fail "graphics page at start"
for p in side six bg; do
  builder click 1021 answer-file "C:\\src\\$p.bmp" 10 >/dev/null || fail "add $p.bmp"
done
builder expect-text 1012 'C:\src\bg.bmp' expect-enabled 1022 0 >/dev/null || fail "added pictures are selected"
builder pick 1011 six.bmp >/dev/null
builder expect-text 1012 'C:\src\six.bmp' expect-enabled 1109 1 expect-enabled 1169 0 \
  pick 1155 'Step 6 ( during install )' >/dev/null || fail "six.bmp to step 6"
builder pick 1011 bg.bmp >/dev/null
builder check 1109 answer yes 10 >/dev/null || fail "background question"
builder expect-enabled 1169 1 expect-enabled 1114 0 click 1169 >/dev/null || fail "placement"
# The field timer (WM_TIMER 1) copies the position into the project.
builder expect-enabled 1114 1 set-text 1114 40 set-text 1115 60 send 275 1 0 >/dev/null || fail "position fields"
builder tab 1074 4 >/dev/null
[ "$(builder checked 1108)" = 1 ] || fail "'Use background window' not set by the answer"
[ "$(builder enabled 1111)" = 1 ] || fail "Options not enabled"
shot_tab 1 graphics

# The background window: 800 x 600, plain dark red, our text with a green
# shadow 8 pixels away.
builder tab 1074 4 click 1111 >/dev/null
[ "$(fs caption)" = "Quillset - Fullscreen Options" ] || fail "dialog 111 title: $(fs caption)"
fs expect-enabled 1114 0 expect-text 1114 640 expect-text 1142 4 >/dev/null ||
  fail "dialog 111 defaults"
# The face the system made of "Arial" (a substitute where Arial is missing).
[ -n "$(fs text 1136)" ] || fail "no face name in 1136"
fs uncheck 1116 uncheck 1132 >/dev/null
fs expect-enabled 1114 1 expect-enabled 1131 0 set-text 1114 800 set-text 1115 600 \
  set-text 1120 'Pixel Road' set-text 1142 8 send 275 0 0 >/dev/null || fail "dialog 111 fields"
fs checked 1116 >/dev/null
colour 1128 200 20 40
colour 1143 0 255 0
# A face that is no standard one, whose file the system's font list names:
# chosen in the font dialog, it travels with the package.
fs click 1135 >/dev/null
driver wait-control 1041 20 pick 1136 'DejaVu Sans Mono' >/dev/null || fail "font dialog"
sleep 0.5  # the face's styles and sizes fill their lists
driver wait-control 1041 5 pick 1137 Bold >/dev/null || fail "font style"
driver wait-control 1041 5 pick 1138 36 >/dev/null || fail "font size"
driver wait-control 1041 5 click 1 >/dev/null || fail "font dialog OK"
for i in $(seq 50); do driver wait-control 1041 0.1 >/dev/null 2>&1 || break; sleep 0.2; done
sleep 0.3
# Under Wine the screen keeps the closed colour dialog's image until the
# builder draws again: typing the text once more makes it draw.
# A loaded machine may take longer to draw, so the picture is taken again
# (after another redraw) until both swatches show or ten tries have passed.
read -r cx cy _ <<<"$(fs client)"
# A swatch's middle on the screen: the owner-drawn control 1490 + n.
swatch() {
  local x y w h
  read -r x y w h <<<"$(fs place "$1")"
  echo "$((cx + x + w / 2)) $((cy + y + h / 2))"
}
read -r bx by <<<"$(swatch 1490)"
read -r sx sy <<<"$(swatch 1493)"
for _ in $(seq 10); do
  fs set-text 1120 'Pixel Road' >/dev/null
  sleep 0.5
  shot fullscreen-options
  [ "$(pixel fullscreen-options $bx $by)" = "200,20,40" ] &&
    [ "$(pixel fullscreen-options $sx $sy)" = "0,255,0" ] && break
done
# The swatches lie at their places in the client area.
[ "$(pixel fullscreen-options $bx $by)" = "200,20,40" ] ||
  fail "background swatch: $(pixel fullscreen-options $bx $by)"
[ "$(pixel fullscreen-options $sx $sy)" = "0,255,0" ] ||
  fail "shadow swatch: $(pixel fullscreen-options $sx $sy) $(driver wait-control 706 1 caption 2>&1)"
[ "$(fs text 1136)" = "DejaVu Sans Mono" ] || fail "face after the font dialog: $(fs text 1136)"
fs click 1119 wait-gone 10 >/dev/null || fail "save and close"

# A choice dropped with the close box leaves the project alone.
builder click 1111 >/dev/null
colour 1133 1 2 3
fs close wait-gone 10 >/dev/null || fail "close box"

builder click 1040 >/dev/null
ws() { driver wait-control 1171 20 "$@"; }
[ "$(ws caption)" = "Quillset - Installer Window Settings" ] || fail "dialog 118 title"
sleep 1
shot window-settings
p1=$(ws progress 1153); p2=$(ws progress 1154)
case "$p1" in 0/0-100) fail "preview does not move: $p1" ;; */0-100) ;; *) fail "preview range: $p1" ;; esac
ws check 1172 check 1173 click 1119 wait-gone 10 >/dev/null || fail "window settings"

# A file whose replace question holds the install; the default folder.
builder tab 1074 2 set-text 1032 'C:\GfxApp' tab 1074 3 set-text 1027 'C:\src\welcome.txt' >/dev/null
builder tree-select 1097 '%install path%' click 1002 answer-file 'C:\src\hold.txt' 10 >/dev/null || fail "add file"
builder tab 1074 5 set-text 1006 'C:\out\gfx-setup.exe' click 1008 wait-text 1010 'Done!' 120 >/dev/null ||
  fail "build"

# The package's entries.
python3 - "$DRIVE_C/out/gfx-setup.exe" "$WORK/entries" "$QUILL_SOURCE/tests/support" <<'PY' || fail "package unreadable"
import sys
sys.path.insert(0, sys.argv[3])
import package_payload
names, read, archive = package_payload.open_package(sys.argv[1])
with open(sys.argv[2], "w") as out:
    for name in names:
        body = read(name)
        text = body.decode("latin-1").replace("\r\n", "|") if name.endswith(".txt") else "%d bytes" % len(body)
        out.write("%s = %s\n" % (name, text))
PY
want_entry() { grep -qxF "$1" "$WORK/entries" || { cat "$WORK/entries"; fail "entry: $1"; }; }
want_entry '%Quillpack%/img/1/side.bmp = 51054 bytes'
want_entry '%Quillpack%/img/6/six.bmp = 51054 bytes'
want_entry '%Quillpack%/bgimg/1/bg.bmp = 28854 bytes'
want_entry '%Quillpack%/bgimg/1/bg.bmp.txt = 2|40|60|'
want_entry '%Quillpack%/installer_settings.txt = 1|true'
want_entry '%Quillpack%/fullscreen.txt = Pixel Road|with|800|600|DejaVu Sans Mono|36|700|0|0|0|0|0|false|true|8|255|255|255|0|255|0|200|20|40|0|0|0|'
want_entry "%Quillpack%/font = $(stat -c %s "$S/QuillMonoBold.ttf") bytes"

# The installer: the side picture, the background window with its
# picture, colours, text and shadow.
start_installer "$DRIVE_C/out/gfx-setup.exe"
driver wait-control 1004 30 >/dev/null || { shot installer-fail; cat "$WORK/installer.log"; cp "$WORK/entries" /tmp/g/entries; fail "no wizard"; }
rect=$(driver wait-window '#32770' '=Software Name Setup' 10 rect) || fail "no background window"
[ "$rect" = "112 84 800 600" ] || fail "background window at $rect"
bg=$(driver wait-window '#32770' '=Software Name Setup' 10 client)
sleep 1
shot installer-welcome
read -r bx by _ <<<"$bg"
[ "$(pixel installer-welcome $((bx + 100)) $((by + 100)))" = "255,255,0" ] || fail "background picture at (40, 60)"
[ "$(pixel installer-welcome $((bx + 35)) $((by + 100)))" = "200,20,40" ] || fail "left of the picture"
[ "$(pixel installer-welcome $((bx + 30)) $((by + 550)))" = "200,20,40" ] || fail "background colour (no fade)"
white=$(count_colour installer-welcome "360x60+$((bx + 20))+$((by + 20))" '#FFFFFF')
green=$(count_colour installer-welcome "380x70+$((bx + 20))+$((by + 20))" '#00FF00')
[ "$white" -gt 200 ] && [ "$green" -gt 100 ] || fail "text ($white white) and shadow ($green green) pixels"
read -r wx wy _ <<<"$(driver wait-control 1004 5 client)"
[ "$(pixel installer-welcome $((wx + 61)) $((wy + 98)))" = "255,0,0" ] || fail "side picture of step 1"

# The small window during the install, while the replace question waits.
driver wait-control 1004 5 click 1000 wait-control 1007 5 >/dev/null || fail "folder step"
driver wait-control 1007 5 click 1000 wait-control 1010 5 >/dev/null || { shot wizard-fail; fail "summary step"; }
driver wait-control 1010 5 click 1000 >/dev/null || fail "install"
driver wait-box hold.txt 20 >/dev/null || fail "no replace question"
small=$(driver wait-control 1020 5 rect) || fail "no progress window"
shot installer-small-window
read -r _ _ sw sh <<<"$small"
[ "$sw" -lt 400 ] && [ "$sh" -lt 150 ] || fail "the install window did not shrink: $small"
driver answer-text hold.txt yes 10 >/dev/null
driver wait-control 1000 60 wait-text 1000 Done 60 click 1000 >/dev/null || fail "finish"
wait_installer gfx-setup.exe
expect_file "$DRIVE_C/GfxApp/hold.txt" "hold"
builder menu 40004 answer no 10 >/dev/null || true
echo "PASS"
