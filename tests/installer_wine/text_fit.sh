#!/usr/bin/env bash
# Every language's texts fit the controls of the installer's and the
# uninstaller's dialogs: text_fit_check.exe makes each dialog from the
# shipped programs' resources and measures each text in its control's font.
# It runs twice: with the prefix's own dialog font (the widest Latin and
# Cyrillic glyphs), then with the CJK font linked into the dialog fonts, the
# way the East Asian texts are drawn.
TEST=text_fit
source "$(dirname "$0")/common.sh"

for program in ext.dat uninst.dat text_fit_check.exe; do
  [ -f "$QUILL_DIST/$program" ] || fail "$program is not built in $QUILL_DIST"
done
fc-list :lang=ja family | grep -q . || fail "no font with Japanese glyphs is installed (scripts/setup.sh)"

check_fit() {
  wine "$QUILL_DIST/text_fit_check.exe" "$(winepath -w "$QUILL_DIST/ext.dat")" \
    "$(winepath -w "$QUILL_DIST/uninst.dat")" > "$WORK/fit.txt" 2>&1 || {
    tr -d '\r' < "$WORK/fit.txt"
    fail "texts that do not fit their controls ($1, above)"
  }
  tr -d '\r' < "$WORK/fit.txt"
  grep -q "in 12 languages, 0 do not fit" "$WORK/fit.txt" || fail "the check did not report ($1)"
}

check_fit "dialog font alone"

key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for face in Tahoma "Microsoft Sans Serif"; do
  old=$(wine reg query "$key" /v "$face" 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_MULTI_SZ *//p' || true)
  wine reg add "$key" /v "$face" /t REG_MULTI_SZ /d "WQY-MICROHEI.TTC,WenQuanYi Micro Hei${old:+\\0$old}" /f \
    >/dev/null 2>&1 || fail "font link of $face"
done
wineserver -w
check_fit "CJK font linked"
echo "PASS"
