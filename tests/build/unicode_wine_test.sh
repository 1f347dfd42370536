#!/usr/bin/env bash
# Names and texts outside every code page, end to end under Wine in an
# English prefix, with the real command-line builder, stub and uninstaller:
# a project "Café 日本" with the payload données\日本語.txt and
# Ελληνικά.txt, a Greek welcome text and a Japanese licence (UTF-8 files,
# the licence without a byte-order mark), built by quillset-build.exe from
# UTF-8 arguments, installed to C:\Ünï 日本 silently and through the wizard.
# The files have exactly those names, the entry's DisplayName and the
# shortcuts' names are exact, the wizard shows both texts (read back and
# screenshotted), and Uninstall.exe /S leaves nothing.
set -euo pipefail
TEST=unicode
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
B="$DRIVE_C/qb"
mkdir -p "$B" "$DRIVE_C/out" "$DRIVE_C/src/données" "$DRIVE_C/p"
for f in quillset-build.exe ext.dat uninst.dat setup.JPG; do
  cp "$QUILL_DIST/$f" "$B/" 2>/dev/null || fail "$f missing from $QUILL_DIST"
done
qb() { (cd "$B" && wine quillset-build.exe "$@" 2>&1 | tr -d '\r') || fail "quillset-build $*"; }
for face in Tahoma "Microsoft Sans Serif" "MS Shell Dlg"; do
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null
done

NAME='Café 日本'
WELCOME='Καλώς ήρθατε στην εγκατάσταση.'
LICENCE='使用許諾契約書をお読みください。'
printf 'japanese' > "$DRIVE_C/src/données/日本語.txt"
printf 'greek' > "$DRIVE_C/src/Ελληνικά.txt"
printf '\xEF\xBB\xBF%s' "$WELCOME" > "$DRIVE_C/src/welcome.txt"
printf '%s' "$LICENCE" > "$DRIVE_C/src/licence.txt"
P='C:\p\ünï.qsp'
qb new "$P" --name "$NAME" >/dev/null
qb add "$P" 'C:\src\données' 'C:\src\Ελληνικά.txt' >/dev/null
qb set "$P" uninstaller=on 'welcome-file=C:\src\welcome.txt' 'licence-file=C:\src\licence.txt' \
  languages=en >/dev/null
qb shortcut "$P" add Ελληνικά.txt start-menu 'Ελληνικά' --folder "$NAME" >/dev/null
qb shortcut "$P" add Ελληνικά.txt desktop "$NAME" >/dev/null
out=$(qb build "$P" -o 'C:\out\setup.exe')
grep -q 'Done!' <<<"$out" || fail "build: $out"
grep -q 'warning' <<<"$out" && fail "build warnings: $out"

APP="$DRIVE_C/Ünï 日本"
PROGRAMS="$DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs"
DESKTOP="$DRIVE_C/users/Public/Desktop"
KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
# The entry's DisplayName (the name and " (remove only)"), from an export (UTF-16), as UTF-8.
display_name() {
  rm -f "$DRIVE_C/out/entry.reg"
  wine reg export "$KEY\\$NAME" 'C:\out\entry.reg' /y </dev/null >/dev/null 2>&1 || { echo "(no entry)"; return; }
  python3 - "$DRIVE_C/out/entry.reg" <<'PY'
import sys
text = open(sys.argv[1], 'rb').read().decode('utf-16')
print(next((l.split('=', 1)[1].strip('"') for l in text.splitlines() if l.startswith('"DisplayName"')), ''))
PY
}
expect_installed() {
  expect_file "$APP/données/日本語.txt" japanese
  expect_file "$APP/Ελληνικά.txt" greek
  [ -f "$APP/Uninstall.exe" ] || fail "$1: no Uninstall.exe"
  local shown
  shown=$(display_name)
  [ "$shown" = "$NAME (remove only)" ] || fail "$1: DisplayName '$shown'"
  [ -f "$PROGRAMS/$NAME/Ελληνικά.lnk" ] || fail "$1: start-menu shortcut: $(ls "$PROGRAMS")"
  [ -f "$DESKTOP/$NAME.lnk" ] || fail "$1: desktop shortcut: $(ls "$DESKTOP")"
}
expect_removed() {
  local code=0
  wine 'C:\Ünï 日本\Uninstall.exe' /S >/dev/null 2>&1 || code=$?
  [ "$code" = 0 ] || fail "$1: Uninstall.exe /S exited $code"
  wineserver -w
  [ ! -e "$APP" ] || fail "$1: left $(find "$APP")"
  [ ! -e "$PROGRAMS/$NAME" ] && [ ! -e "$DESKTOP/$NAME.lnk" ] || fail "$1: shortcuts left"
  [ "$(display_name)" = "(no entry)" ] || fail "$1: the entry stayed"
}

# Silently.
code=0
wine 'C:\out\setup.exe' /S '/D=C:\Ünï 日本' >/dev/null 2>&1 || code=$?
[ "$code" = 0 ] || fail "silent install exit code $code"
expect_installed silent
expect_removed silent

# Through the wizard: the welcome and licence texts as written.
start_installer "$DRIVE_C/out/setup.exe"
text=$(driver wait-control 1004 30 text 1004)
[ "$text" = "$WELCOME" ] || fail "welcome text: $text"
text=$(driver wait-control 1004 5 caption)
[ "$text" = "$NAME Setup - Welcome" ] || fail "welcome caption: $text"
shot 0-welcome
driver wait-control 1004 5 click 1000 wait-text 1000 "I Agree" 5 >/dev/null || fail "licence step"
text=$(driver wait-control 1004 5 text 1004)
[ "$text" = "$LICENCE" ] || fail "licence text: $text"
shot 1-licence
driver wait-control 1004 5 click 1000 wait-control 1007 5 set-text 1007 'C:\Ünï 日本' click 1000 wait-control 1012 5 \
  click 1000 wait-control 1010 5 click 1000 wait-text 1000 Done 60 click 1000 >/dev/null ||
  fail "wizard road"
wait_installer setup.exe
expect_installed wizard
expect_removed wizard
echo "unicode wine: all checks passed"
