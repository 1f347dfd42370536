#!/usr/bin/env bash
# Times the real uninstaller under Wine: FILES files over FOLDERS folders are
# laid out in a fresh prefix, the installed uninstaller is started and
# answered Yes, and the time until its button reads "OK" is printed.
#   QUILL_DIST=<x86_64 cross build>/dist QUILL_SOURCE=. QUILL_BUILD=<native build> \
#     bash bench/uninstall_wine_bench.sh [FILES FOLDERS]
FILES=${1:-32768}
FOLDERS=${2:-1000}
source "$QUILL_SOURCE/tests/uninstaller_wine/common.sh"

APP_WIN='C:\Program Files\Bench App'
APP="$DRIVE_C/Program Files/Bench App"
python3 - "$APP" "$APP_WIN" "$FILES" "$FOLDERS" <<'PY'
import os, sys
app, app_win, files, folders = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
lines = ["Bench App"]
for d in range(folders):
    os.makedirs(os.path.join(app, "folder%d" % d), exist_ok=True)
for f in range(files):
    d = f % folders
    with open(os.path.join(app, "folder%d" % d, "file%d.dat" % f), "w") as out:
        out.write("x")
    lines.append("%s\\folder%d\\file%d.dat" % (app_win, d, f))
lines += [app_win + "\\Uninstall.exe", app_win + "\\uninstall.ini", app_win + "\\", "||||"]
with open(os.path.join(app, "uninstall.ini"), "w", newline="") as out:
    out.write("".join(line + "\r\n" for line in lines))
PY
cp "$QUILL_DIST/uninst.dat" "$APP/Uninstall.exe"
wine "$APP_WIN\\Uninstall.exe" >/dev/null 2>&1 &
driver answer yes 60 >/dev/null
start=$(date +%s.%N)
driver wait-control 1000 20 wait-text 1000 OK 3600
end=$(date +%s.%N)
left=$( (find "$APP" -type f 2>/dev/null || true) | wc -l)
printf '%d files in %d folders: removal under Wine %s s, %d files left\n' \
  "$FILES" "$FOLDERS" "$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')" "$left"
driver wait-control 1000 5 click 1000 wait-gone 10
