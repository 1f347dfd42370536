#!/usr/bin/env bash
# The installer on a 144-dpi (150 %) screen: it declares DPI awareness, so
# Wine draws it at the screen's resolution, and every length the wizard
# places in pixels grows by half: the side picture's frame, the buttons,
# the text box, the background window. Screenshots of every step show it.
TEST=high_dpi
source "$(dirname "$0")/common.sh"

# Wine takes the resolution from here when a program starts.
for key in 'HKCU\Control Panel\Desktop' \
           'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
  wine reg add "$key" /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
done
wineserver -w

convert -size 20x20 xc:'#ff0000' "$WORK/red.jpg"
make_package "$WORK/setup.exe" <<JSON
{"data": {"wt.txt": "Welcome to the sharp installer. This text is long enough to wrap over more than one line of the text box.",
          "tt.txt": "Sharp Test", "license.txt": "Licence terms.",
          "def_install.txt": "C:\\\\Program Files\\\\Sharp\n",
          "fullscreen.txt": "Sharp Test Setup\nwithout\n400\n300\nArial\n20\n700\n0\n0\n0\n0\n17\nt\nt\n4\n255\n255\n255\n0\n0\n0\n20\n40\n120\n120\n180\n240\n",
          "fileinfo.txt": "a.txt|%install path%\\\\\n////\n////\n",
          "shortcuts.txt": "Sharp\nSharp Readme\n%install path%\\\\a.txt\n1\n/\n/\n/\n/\n"},
 "data_files": {"img/setup.jpg": "resources/setup.JPG", "img/3/red.jpg": "$WORK/red.jpg"},
 "entries": {"a.txt": "a"}}
JSON
start_installer "$WORK/setup.exe"
driver wait-control 1004 30 wait-text 1000 Next 5 >/dev/null || fail "no wizard"
[ "$(driver wait-control 1004 5 dpi)" = 144 ] || fail "wizard at $(driver wait-control 1004 5 dpi) dpi"
# 400 x 300 at 96 dpi is 600 x 450 here, centred on the 1024 x 768 screen.
rect=$(driver wait-window '#32770' '=Sharp Test' 5 rect) || fail "no background window"
[ "$rect" = "212 159 600 450" ] || fail "background window at $rect"
shot 0-welcome

# The pixel placements at 150 %: (330, 199) 90 x 23 is (495, 299) 135 x 35.
read -r cx cy cw ch < <(driver wait-control 1004 5 client)
next=$(driver wait-control 1004 5 place 1000)
back=$(driver wait-control 1004 5 place 1001)
box=$(driver wait-control 1004 5 place 1004)
[ "$next" = "495 299 135 35" ] || fail "Next at $next"
[ "$back" = "17 299 135 35" ] || fail "Back at $back"
[ "$box" = "171 60 459 215" ] || fail "text box at $box"
read -r bx _ bw _ <<<"$back"
read -r nx _ _ nh <<<"$next"
[ $((bx + bw)) -le "$nx" ] || fail "Back ($back) and Next ($next) overlap"
read -r tx ty tw th <<<"$box"
[ $((tx + tw)) -le "$cw" ] && [ $((ty + th)) -le "$ch" ] && [ $((299 + nh)) -le "$ch" ] ||
  fail "text box ($box) or buttons outside the ${cw} x ${ch} client area"

driver wait-control 1004 5 click 1000 wait-text 1000 "I Agree" 5 >/dev/null || fail "licence step"
shot 1-licence
driver wait-control 1004 5 click 1000 wait-control 1007 5 >/dev/null || fail "folder step"
shot 2-folder
# The side picture's frame (11, 13) 100 x 170 is (17, 20) 150 x 255 here, filled.
pixel() { convert "$SHOTS/2-folder.png" -format "%[pixel:p{$((cx + $1)),$((cy + $2))}]" info:; }
for spot in "17 20" "91 147" "166 274"; do
  case "$(pixel $spot)" in srgb\(25[0-5],[0-9],[0-9]\)|red) ;; *) fail "side picture at $spot: $(pixel $spot)" ;; esac
done
for spot in "169 147" "91 277"; do
  case "$(pixel $spot)" in srgb\(25[0-5],[0-9],[0-9]\)|red) fail "side picture past its frame at $spot" ;; esac
done
driver wait-control 1007 5 click 1000 wait-control 1013 5 >/dev/null || fail "shortcuts step"
shot 3-shortcuts
driver wait-control 1013 5 click 1000 wait-control 1010 5 >/dev/null || fail "summary step"
shot 4-summary
driver wait-control 1010 5 click 1000 wait-text 1000 Done 30 >/dev/null || fail "finished step"
shot 6-finished
driver wait-control 1010 5 click 1000 >/dev/null
wait_installer setup.exe
expect_file "$DRIVE_C/Program Files/Sharp/a.txt" "a"
echo "PASS"
