#!/usr/bin/env bash
# The installer and its uninstaller in the language /LANG= names, and a
# package made before languages existed.
#  1. The old package (test data, made by the builder before the language
#     table) installs silently and its own uninstaller removes everything.
#  2. /LANG=xx (unknown), de, ja and ru: every wizard step's caption,
#     buttons and labels read back as that language's table has them
#     (English where common/texts_<code>.cpp does not exist or lacks the
#     text), the author's German welcome variant for de, a screenshot of
#     each step and of the uninstaller's question; the install records its
#     language and the uninstaller speaks it (or the one its own /LANG=
#     names). /LANG=ko, which the package
#     does not carry, speaks English. "/D=" with letters outside ASCII
#     reaches the folder field intact.
TEST=languages
source "$(dirname "$0")/common.sh"

# The driver reads windows through the ANSI code page or as UTF-8: the
# expected texts are printed the same way. As arguments, texts reach the
# driver the way window texts do.
ANSI=--ansi
grep -q 'SendMessageTimeoutW(window, WM_GETTEXT' "$QUILL_SOURCE/tests/driver/quill_driver.cpp" && ANSI=
T() { python3 "$here/texts.py" "$QUILL_SOURCE" "$@"; }        # an argument of the driver
R() { python3 "$here/texts.py" $ANSI "$QUILL_SOURCE" "$@"; }  # what the driver prints
# An English prefix shows CJK letters through the system's font links, as
# Windows does: the dialog font links to a CJK font of the machine.
for face in Tahoma "Microsoft Sans Serif" "MS Shell Dlg"; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null
done
wineserver -w
exit_of() { local code=0; timeout 120 "$WINE_LOADER" "$@" >/dev/null 2>&1 || code=$?; echo "$code"; }
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'

# 1. The old package: made with the x86_64 stub, so a 32-bit prefix cannot
# run it.
if [ "$WINEARCH" = win64 ]; then
  cp "$here/data/old-package-setup.exe" "$WORK/old-setup.exe"
  code=$(exit_of "$WORK/old-setup.exe" /S '/D=C:\OldPkg')
  [ "$code" = 0 ] || fail "old package: silent install exit code $code"
  cmp -s "$DRIVE_C/OldPkg/readme.txt" <(printf 'Old package, first file.\r\n') || fail "old package: readme.txt"
  cmp -s "$DRIVE_C/OldPkg/notes.ini" <(printf 'second=1\r\n') || fail "old package: notes.ini"
  [ "$(reg_value "$UNINSTALL\\Old Tool" DisplayName)" = "REG_SZ Old Tool (remove only)" ] ||
    fail "old package: no uninstall entry"
  code=$(exit_of 'C:\OldPkg\Uninstall.exe' /S)
  [ "$code" = 0 ] || fail "old package: silent uninstall exit code $code"
  [ ! -e "$DRIVE_C/OldPkg" ] || { find "$DRIVE_C/OldPkg"; fail "old package: files left"; }
  if wine reg query "$UNINSTALL\\Old Tool" >/dev/null 2>&1; then fail "old package: uninstall entry left"; fi
else
  echo "note: the old package (x86_64) is not run in a $WINEARCH prefix"
fi

# 2. A package that carries English, German, Japanese and Russian.
export QUILL_DIST
# The stub has English alone built in; the package carries the other tables.
for c in de ja ru; do python3 "$here/texts_file.py" "$QUILL_SOURCE" "$c" "$WORK/texts_$c.txt"; done
export WORK
make_package "$WORK/setup.exe" <<'JSON'
{"data": {"wt.txt": "Welcome to the language test.", "wt.de.txt": "Willkommen zum Sprachtest.",
          "tt.txt": "Lang Test", "license.txt": "Licence terms.",
          "languages.txt": "en\nde\nja\nru\n",
          "def_install.txt": "C:\\Lang\n",
          "macros.txt": "%name%\nLang Test\n\n\n/\n/\n/\n/\n",
          "fileinfo.txt": "a.txt|%install path%\\\nUninstall.exe|%install path%\\\n////\n////\n",
          "shortcuts.txt": "Lang\nLang Readme\n%install path%\\a.txt\n1\n\nLang Desk\n%install path%\\a.txt\n0\n\nLang Quick\n%install path%\\a.txt\n2\n/\n/\n/\n/\n",
          "uninstall.txt": "%install path%\\Uninstall.exe"},
 "data_files": {"img/setup.jpg": "resources/setup.JPG", "texts_de.txt": "$WORK/texts_de.txt",
                "texts_ja.txt": "$WORK/texts_ja.txt", "texts_ru.txt": "$WORK/texts_ru.txt"},
 "entries": {"a.txt": "a"},
 "entry_files": {"Uninstall.exe": "$QUILL_DIST/uninst.dat"}}
JSON
USER_DIR=$(cd "$DRIVE_C/users" && ls | grep -v '^Public$' | head -n 1)
mkdir -p "$DRIVE_C/users/$USER_DIR/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch"
OTHER='C:\Ünï 日本'

# A screenshot of the message box once its text is drawn (a box shows
# before it paints): the shot is taken again until the text area above the
# buttons holds dark pixels.
shot_drawn() {
  local x y w h i
  read -r x y w h < <(driver wait-window '#32770' - 10 rect)
  for i in $(seq 1 50); do
    shot "$1"
    [ "$(convert "$SHOTS/$1.png" -crop "$((w - 70))x$((h / 2 - 10))+$((x + 60))+$((y + 5))" \
         -colorspace gray -threshold 50% -format '%[fx:minima]' info:)" = 0 ] && return
    sleep 0.2
  done
  echo "note: $1 taken before the box's text was drawn"
}

# Expects the wizard's window caption to be "Lang Test - <step>".
expect_caption() {
  local have want
  have=$(driver wait-control "$1" 5 caption) || fail "$code: no caption on the $2 step"
  want="Lang Test - $(R "$code" "$2")"
  [ "$have" = "$want" ] || fail "$code: caption '$have', not '$want'"
}

for code in xx de ja ru; do
  echo "== /LANG=$code ($(T "$code" -))"
  shots="$code"
  start_installer "$WORK/setup.exe" "/LANG=$code" "/D=$OTHER"
  welcome="Welcome to the language test."
  [ "$code" = de ] && welcome="Willkommen zum Sprachtest."
  driver wait-control 1004 30 wait-text 1000 "$(T $code button_next)" 10 \
    expect-text 1001 "$(T $code button_exit)" expect-text 1004 "$welcome" \
    expect-text 1030 "$(T $code credit)" >/dev/null || fail "$code: welcome step"
  expect_caption 1004 step_welcome
  shot "$shots-0-welcome"

  driver wait-control 1004 5 click 1000 wait-text 1000 "$(T $code button_agree)" 10 \
    expect-text 1001 "$(T $code button_disagree)" \
    expect-text 1011 "$(T $code licence_prompt)" >/dev/null || fail "$code: licence step"
  expect_caption 1004 step_licence
  shot "$shots-1-licence"

  driver wait-control 1004 5 click 1000 wait-control 1007 10 expect-text 1007 "$OTHER" \
    expect-text 1009 "$(T $code folder_prompt)" expect-text 1008 "$(T $code button_browse)" \
    expect-text 1001 "$(T $code button_previous)" >/dev/null || fail "$code: folder step"
  expect_caption 1007 step_folder
  shot "$shots-2-folder"
  driver wait-control 1007 5 set-text 1007 "C:\\Lang\\$code" >/dev/null || fail "$code: folder field"

  driver wait-control 1007 5 click 1000 wait-control 1012 10 \
    expect-text 1012 "$(T $code shortcut_desktop)" expect-text 1013 "$(T $code shortcut_start_menu)" \
    expect-text 1014 "$(T $code shortcut_quick_launch)" expect-text 1000 "$(T $code button_next)" \
    >/dev/null || fail "$code: shortcuts step"
  expect_caption 1012 step_shortcuts
  shot "$shots-3-shortcuts"

  summary="$(T $code summary_folder "C:\\Lang\\$code")\\n\\n$(T $code summary_shortcuts)\\n$(T $code summary_start_menu)\\n$(T $code summary_desktop)\\n$(T $code summary_quick_launch)\\n"
  driver wait-control 1012 5 click 1000 wait-control 1010 10 expect-text 1000 "$(T $code button_install)" \
    expect-text 1010 "$summary" >/dev/null || fail "$code: summary step"
  expect_caption 1010 step_summary
  shot "$shots-4-summary"

  driver wait-control 1010 5 click 1000 wait-text 1000 "$(T $code button_done)" 60 \
    expect-text 1010 "$(T $code finished_text)" >/dev/null || fail "$code: finished step"
  expect_caption 1010 step_finished
  shot "$shots-6-finished"
  driver wait-control 1010 5 click 1000 >/dev/null || fail "$code: the finished step's button"
  wait_installer setup.exe
  expect_file "$DRIVE_C/Lang/$code/a.txt" "a"

  # The entry records the language; the uninstaller asks in it.
  case $code in de) langid=0x407 ;; ja) langid=0x411 ;; ru) langid=0x419 ;; *) langid=0x409 ;; esac
  [ "$(reg_value "$UNINSTALL\\Lang Test" Language)" = "REG_DWORD $langid" ] ||
    fail "$code: Language value $(reg_value "$UNINSTALL\\Lang Test" Language)"
  # After the Russian install, "/LANG=de" makes the uninstaller speak German.
  ucode=$code uswitch=
  [ "$code" = ru ] && ucode=de uswitch=/LANG=de
  wine "C:\\Lang\\$code\\Uninstall.exe" $uswitch >/dev/null 2>&1 &
  driver wait-box "" 60 >/dev/null || fail "$code: no uninstall question"
  shot_drawn "$shots-7-uninstall-question"
  box=$(driver answer yes 10) || fail "$code: no question to answer"
  want="box: $(R $ucode uninstaller_caption) | $(R $ucode uninstall_question "Lang Test")"
  [ "$box" = "$want" ] || fail "$code: question '$box', not '$want'"
  driver wait-control 1001 30 wait-text 1000 "$(T $ucode button_ok)" 60 >/dev/null ||
    fail "$code: the removal did not end"
  shot "$shots-8-uninstall-done"
  driver wait-control 1001 5 click 1000 >/dev/null || fail "$code: the removal's OK button"
  for i in $(seq 1 300); do [ -e "$DRIVE_C/Lang/$code" ] || break; sleep 0.2; done
  [ ! -e "$DRIVE_C/Lang/$code" ] || { find "$DRIVE_C/Lang/$code"; fail "$code: files left"; }
  wine reg query "$UNINSTALL\\Lang Test" >/dev/null 2>&1 && fail "$code: uninstall entry left"
  wineserver -w
done

# Korean is a language of the programs but not of this package: English.
start_installer "$WORK/setup.exe" /LANG=ko
driver wait-control 1004 30 wait-text 1000 "$(T en button_next)" 10 \
  expect-text 1001 "$(T en button_exit)" >/dev/null || fail "ko: not English"
driver wait-control 1004 5 close >/dev/null
wait_installer setup.exe
echo "PASS"
