#!/usr/bin/env bash
# The background window: a borderless 800 x 600 window centred on the
# 1024 x 768 screen, titled with the installer title, behind the wizard;
# the wizard still installs. Screenshots show the fill, picture and text.
TEST=background
source "$(dirname "$0")/common.sh"

convert -size 300x200 gradient:'#c0392b'-'#f5b041' "$WORK/bg1.jpg"
convert -size 120x90 xc:'#27ae60' "$WORK/s1.jpg"
convert -size 120x90 xc:'#8e44ad' "$WORK/s2.jpg"
make_package "$WORK/setup.exe" <<JSON
{"data": {"wt.txt": "Welcome.", "tt.txt": "Pixel Test", "def_install.txt": "C:\\\\Pixel\n",
          "fullscreen.txt": "Pixel Test Setup\nwithout\n800\n600\nArial\n28\n700\n0\n0\n0\n0\n17\nt\nt\n3\n255\n255\n255\n0\n0\n0\n20\n40\n120\n120\n180\n240\n",
          "bgimg/1/bg1.jpg.txt": "1\n0\n0\n", "bgimg/3/bg3.jpg.txt": "2\n20\n120\n",
          "bgimg/6/s1.jpg.txt": "2\n40\n40\n",
          "bgimg/6/s2.jpg.txt": "0\n0\n0\n",
          "fileinfo.txt": "a.txt|%install path%\\\\\nb.txt|%install path%\\\\\n////\n////\n"},
 "data_files": {"img/setup.jpg": "resources/setup.JPG", "bgimg/1/bg1.jpg": "$WORK/bg1.jpg",
                "bgimg/3/bg3.jpg": "$WORK/bg1.jpg",
                "bgimg/6/s1.jpg": "$WORK/s1.jpg", "bgimg/6/s2.jpg": "$WORK/s2.jpg"},
 "entries": {"a.txt": "a", "b.txt": "b"}}
JSON
start_installer "$WORK/setup.exe"
driver wait-control 1004 30 expect-text 1004 "Welcome." >/dev/null || fail "no wizard"
rect=$(driver wait-window '#32770' '=Pixel Test' 5 rect) || fail "no background window"
[ "$rect" = "112 84 800 600" ] || fail "background window at $rect"
shot 0-welcome
driver wait-control 1004 5 click 1000 wait-control 1007 5 >/dev/null
shot 2-folder-picture-at-20-120
driver wait-control 1007 5 click 1000 wait-control 1010 5 >/dev/null
shot 4-summary-no-picture
# Both files exist already, so each replace question holds the install
# still: the first slide shows at 0 of 2 files, the second from 1 of 2.
mkdir -p "$DRIVE_C/Pixel"
printf old > "$DRIVE_C/Pixel/a.txt"
printf old > "$DRIVE_C/Pixel/b.txt"
driver wait-control 1010 5 click 1000 wait-control 1020 10 >/dev/null || fail "installing step"
driver wait-box a.txt 10 >/dev/null || fail "no replace question for a.txt"
sleep 0.5  # the slideshow repaints within 100 ms; this only serves the screenshot
shot 5-slide1-at-40-40
driver answer-text a.txt yes 10 wait-box b.txt 10 >/dev/null || fail "no replace question for b.txt"
sleep 0.5
shot 5-slide2-stretched
driver answer-text b.txt yes 10 wait-control 1010 30 wait-text 1000 Done 10 >/dev/null ||
  fail "install with a background window"
shot 6-finished
driver wait-control 1010 5 click 1000 >/dev/null
wait_installer setup.exe
expect_file "$DRIVE_C/Pixel/a.txt" "a"
expect_file "$DRIVE_C/Pixel/b.txt" "b"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind"
echo "PASS"
