#!/usr/bin/env bash
# The example project end to end under Wine: quillset-build.exe builds it
# with the real stub and uninstaller, the package installs through its
# wizard, and the files, shortcuts, log and registry entry are checked.
# Then the installed uninstaller is started as the system's list of programs
# would: answered No it removes nothing; answered Yes it removes every file,
# shortcut, program group, emptied folder and the registry entry, while a
# file the user added to the install folder survives with its folder.
# With "clash", the project gets a second "Guide.txt" (the licence text) in
# the install folder itself, beside docs\Guide.txt: each must arrive with
# its own content.
MODE=${1:-plain}
TEST=example_install_$MODE
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
for f in quillset-build.exe ext.dat uninst.dat setup.JPG quill_driver.exe; do
  [ -f "$QUILL_DIST/$f" ] || fail "$f missing from $QUILL_DIST"
done

B="$DRIVE_C/qb"
mkdir -p "$B" "$DRIVE_C/out"
cp "$QUILL_DIST/quillset-build.exe" "$QUILL_DIST/ext.dat" "$QUILL_DIST/uninst.dat" "$QUILL_DIST/setup.JPG" "$B/"
cp -r "$QUILL_SOURCE/examples/example" "$DRIVE_C/example"
sed 's|@EXAMPLE@|C:\\example|; /^C:\\example/ s|/|\\|g' "$DRIVE_C/example/example.qsp.in" > "$DRIVE_C/example/example.qsp"
if [ "$MODE" = clash ]; then
  awk 'NR==21 { print "C:\\example\\licence.txt\r"; print "Guide.txt\r"; print "%install path%\\\r" } {print}' \
    "$DRIVE_C/example/example.qsp" > "$DRIVE_C/example/clash.qsp"
  mv "$DRIVE_C/example/clash.qsp" "$DRIVE_C/example/example.qsp"
fi
out=$(cd "$B" && wine quillset-build.exe 'C:\example\example.qsp' -o 'C:\out\example-setup.exe' 2>&1) ||
  fail "quillset-build.exe failed: $out"

USER_DIR=$(cd "$DRIVE_C/users" && ls | grep -v '^Public$' | head -n 1)
APPDATA="$DRIVE_C/users/$USER_DIR/AppData/Roaming"
mkdir -p "$APPDATA/Microsoft/Internet Explorer/Quick Launch"

start_installer "$DRIVE_C/out/example-setup.exe"
driver wait-control 1004 30 wait-text 1000 Next 5 || fail "welcome step"
[ "$(driver wait-control 1004 5 caption)" = "Example App Setup - Welcome" ] || fail "title"
welcome=$(driver wait-control 1004 5 text 1004)
case "$welcome" in "Welcome to the setup of Example App."*"from Quill Example Works"*) ;;
  *) fail "welcome text: $welcome" ;; esac
driver wait-control 1004 5 click 1000 wait-text 1000 "I Agree" 5 click 1000 wait-control 1007 5 \
  expect-text 1007 'C:\Program Files\Example App' click 1000 wait-control 1012 5 \
  expect-visible 1013 1 expect-visible 1014 1 click 1000 wait-control 1010 5 \
  expect-text 1000 Install click 1000 wait-text 1000 Done 60 >/dev/null || fail "wizard"
box=$(driver wait-control 1010 5 click 1000 answer ok 10) || fail "no closing message"
[ "$box" = "box: Example App Setup | Example App is installed. Thank you for trying Quill Example Works's example." ] ||
  fail "closing message: $box"
wait_installer example-setup.exe

R="$DRIVE_C/Program Files/Example App"
cmp -s "$R/ReadMe.txt" "$QUILL_SOURCE/examples/example/files/ReadMe.txt" || fail "ReadMe.txt"
cmp -s "$R/bin/Hello.bat" "$QUILL_SOURCE/examples/example/files/bin/Hello.bat" || fail "bin\\Hello.bat"
cmp -s "$R/docs/Guide.txt" "$QUILL_SOURCE/examples/example/files/docs/Guide.txt" || fail "docs\\Guide.txt"
cmp -s "$R/docs/Changes.txt" "$QUILL_SOURCE/examples/example/files/docs/Changes.txt" || fail "docs\\Changes.txt"
cmp -s "$R/Uninstall.exe" "$QUILL_DIST/uninst.dat" || fail "Uninstall.exe"
if [ "$MODE" = clash ]; then
  cmp -s "$R/Guide.txt" "$QUILL_SOURCE/examples/example/licence.txt" || fail "the second Guide.txt"
fi
[ "$(head -n 1 "$R/uninstall.ini" | tr -d '\r')" = "Example App" ] || fail "uninstall.ini"
KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Example App'
[ "$(reg_value "$KEY" UninstallString)" = 'REG_SZ "C:\Program Files\Example App\Uninstall.exe"' ] ||
  fail "UninstallString: $(reg_value "$KEY" UninstallString)"
[ -f "$APPDATA/Microsoft/Windows/Start Menu/Programs/Example App/Read me.lnk" ] || fail "start menu shortcut"
[ -f "$DRIVE_C/users/$USER_DIR/Desktop/Example Hello.lnk" ] || fail "desktop shortcut"
[ -f "$APPDATA/Microsoft/Internet Explorer/Quick Launch/Example Hello.lnk" ] || fail "quick-launch shortcut"
[ "$MODE" = plain ] || { echo "PASS"; exit 0; }

# Every path of the C: drive outside the Windows and temporary folders.
snapshot() {
  (cd "$DRIVE_C" && find . \( -path ./windows -o -ipath './users/*/temp' \
     -o -ipath './users/*/AppData/Local/Temp' \) -prune -o -print | sort)
}
mkdir -p "$R/user data"
echo "mine" > "$R/user data/notes.txt"
start_uninstall() {
  wine 'C:\Program Files\Example App\Uninstall.exe' >"$WORK/uninstaller.log" 2>&1 &
  LAUNCHER_PID=$!
}

before=$(snapshot)
start_uninstall
box=$(driver answer no 30) || fail "no uninstall question"
[ "$box" = "box: Quillset uninstaller | Are you sure you wish to uninstall Example App?" ] ||
  fail "uninstall question: $box"
driver wait-process uninstall.exe 20
wait "$LAUNCHER_PID" || true
[ "$(snapshot)" = "$before" ] || { diff <(echo "$before") <(snapshot); fail "No changed something"; }
[ -n "$(reg_value "$KEY" DisplayName)" ] || fail "No removed the registry entry"

start_uninstall
driver answer yes 30 wait-control 1000 20 wait-text 1000 OK 120 click 1000 wait-gone 10 >/dev/null ||
  fail "the removal did not finish"
driver wait-process uninstall.exe 20
wait "$LAUNCHER_PID" || true
for gone in "$R/ReadMe.txt" "$R/bin" "$R/docs" "$R/Uninstall.exe" "$R/uninstall.ini" \
            "$APPDATA/Microsoft/Windows/Start Menu/Programs/Example App" \
            "$DRIVE_C/users/$USER_DIR/Desktop/Example Hello.lnk" \
            "$APPDATA/Microsoft/Internet Explorer/Quick Launch/Example Hello.lnk"; do
  [ ! -e "$gone" ] || fail "still there after uninstalling: $gone"
done
[ "$(cat "$R/user data/notes.txt")" = mine ] || fail "the user's file was removed"
[ -z "$(reg_value "$KEY" DisplayName)" ] || fail "the registry entry survived"
wine reg query "$KEY" >/dev/null 2>&1 && fail "the uninstall key survived"
echo "PASS"
