#!/usr/bin/env bash
# Nothing planted beside setup.exe runs inside it: a msimg32.dll and a
# riched20.dll in the package's folder (each writes a marker when loaded),
# Wine told to prefer them over its own as Windows' search order would, are
# never loaded, whether the package installs silently or through the whole
# wizard. The fade of the background window is still drawn, with msimg32.dll
# from the system folder and, when that cannot be loaded, in bands. The
# end-of-install program is started by the desktop's shell (its parent is
# the desktop's explorer), not by the installer itself: under Wine every
# program runs as one user, so this shows the route, not the token. A
# planted rstrtmgr.dll is never loaded either when the wizard asks about a
# file in use (the driver holds it): the system's Restart Manager is.
TEST=dll_planting
source "$(dirname "$0")/common.sh"

cc=x86_64-w64-mingw32-gcc
[ "$WINEARCH" = win32 ] && cc=i686-w64-mingw32-gcc
DL="$DRIVE_C/Downloads"
mkdir -p "$DL"

cat > "$WORK/planted.c" <<'C'
#define NOGDI
#include <windows.h>
/* Writes "<own path>.ran", naming the program it was loaded into. */
BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  char path[MAX_PATH + 8], program[MAX_PATH];
  DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  DWORD program_length = GetModuleFileNameA(NULL, program, MAX_PATH);
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH && length > 0 && length < MAX_PATH) {
    HANDLE marker;
    DWORD written;
    lstrcatA(path, ".ran");
    marker = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    WriteFile(marker, program, program_length, &written, NULL);
    CloseHandle(marker);
  }
  return TRUE;
}
/* The export the installer once imported, so that an import resolves. */
__declspec(dllexport) BOOL WINAPI GradientFill(HDC dc, void* v, ULONG n, void* m, ULONG c,
                                               ULONG mode) {
  return FALSE;
}
C
cat > "$WORK/parent.c" <<'C'
#include <windows.h>
#include <tlhelp32.h>
/* Writes the file name of the program that started it to C:\parent.txt. */
int main(void) {
  DWORD parent = 0;
  const char* name = "unknown";
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
  }
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == parent) { name = entry.szExeFile; break; }
  }
  HANDLE out = CreateFileA("C:\\parent.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  DWORD written;
  WriteFile(out, name, lstrlenA(name), &written, NULL);
  CloseHandle(out);
  return 0;
}
C
for dll in msimg32 riched20 rstrtmgr; do
  "$cc" -shared -s -Wl,--kill-at -o "$DL/$dll.dll" "$WORK/planted.c" || fail "cannot build $dll.dll"
done
"$cc" -s -o "$WORK/parent.exe" "$WORK/parent.c" || fail "cannot build parent.exe"
overrides=$WINEDLLOVERRIDES
export WINEDLLOVERRIDES="$overrides;msimg32,riched20,rstrtmgr=n,b"

# A plain background window fading from red at the top to blue at the bottom.
export WORK
make_package "$DL/setup.exe" <<'JSON'
{"data": {"tt.txt": "Planted", "wt.txt": "Welcome.", "def_install.txt": "C:\\Planted\n",
          "fullscreen.txt": "\nwithout\n800\n600\nArial\n12\n400\n0\n0\n0\n0\n0\nt\nf\n0\n0\n0\n0\n0\n0\n0\n255\n0\n0\n0\n0\n255\n",
          "fileinfo.txt": "parent.exe|%install path%\\\n////\n////\n",
          "eoi_file.txt": "%install path%\\parent.exe"},
 "entry_files": {"parent.exe": "$WORK/parent.exe"}}
JSON
no_plant_loaded() {
  local ran
  ran=$(cd "$DL" && for f in *.ran; do if [ -f "$f" ]; then echo "$f: $(cat "$f")"; fi; done)
  [ -z "$ran" ] || fail "$1: a planted DLL was loaded ($ran)"
}

# Silent: the background window and the end-of-install command are skipped.
code=0
timeout 120 "$WINE_LOADER" 'C:\Downloads\setup.exe' /S '/D=C:\Silent' >/dev/null 2>&1 || code=$?
no_plant_loaded "silent install"
[ "$code" = 0 ] || fail "silent install exit code $code"
[ -f "$DRIVE_C/Silent/parent.exe" ] || fail "silent install did not complete"

# The colour of the screenshot SHOT at (X, Y) as "R G B".
pixel() {
  convert "$1" -format "%[fx:round(255*p{$2,$3}.r)] %[fx:round(255*p{$2,$3}.g)] %[fx:round(255*p{$2,$3}.b)]" info:
}
# Whether colour "R G B" ($1) lies within 8 of each part of R G B ($2..$4).
near() {
  local r g b
  read -r r g b <<<"$1"
  (( r - $2 <= 8 && $2 - r <= 8 && g - $3 <= 8 && $3 - g <= 8 && b - $4 <= 8 && $4 - b <= 8 ))
}

# Interactive, to the end; FOLDER is the install folder, NAME the run's.
wizard_run() {
  local folder=$1 name=$2 x y w h top middle bottom shot="$SHOTS/$2.png"
  rm -f "$DRIVE_C/parent.txt"
  start_installer 'C:\Downloads\setup.exe'
  driver wait-control 1004 30 expect-text 1004 "Welcome." >/dev/null || fail "$name: no wizard"
  read -r x y w h < <(driver wait-window '#32770' '=Planted' 10 rect) || fail "$name: no background"
  # The window paints on its own thread; a loaded machine paints late, so
  # the picture is taken again until the fade is there (or a minute passed).
  for _ in $(seq 1 120); do
    import -window root "$shot"
    top=$(pixel "$shot" $((x + 4)) $((y + 1)))
    middle=$(pixel "$shot" $((x + 4)) $((y + h / 2)))
    bottom=$(pixel "$shot" $((x + 4)) $((y + h - 2)))
    near "$top" 255 0 0 && near "$middle" 128 0 128 && near "$bottom" 0 0 255 && break
    sleep 0.5
  done
  near "$top" 255 0 0 && near "$middle" 128 0 128 && near "$bottom" 0 0 255 ||
    fail "$name: fade drawn as top $top, middle $middle, bottom $bottom"
  driver wait-control 1004 5 click 1000 wait-control 1007 10 set-text 1007 "$folder" click 1000 \
    wait-control 1010 10 wait-text 1000 Install 5 click 1000 wait-text 1000 Done 60 click 1000 \
    >/dev/null || fail "$name: wizard"
  driver wait-process setup.exe 60 >/dev/null || fail "$name: the installer did not end"
  code=0
  wait "$STUB_PID" || code=$?
  no_plant_loaded "$name"
  [ "$code" = 0 ] || fail "$name: exit code $code"
  [ -f "$(winepath -u "$folder")/parent.exe" ] || fail "$name: install did not complete"
  for _ in $(seq 1 300); do [ -s "$DRIVE_C/parent.txt" ] && break; sleep 0.1; done
  [ "$(cat "$DRIVE_C/parent.txt" 2>/dev/null)" = explorer.exe ] ||
    fail "$name: end-of-install program started by '$(cat "$DRIVE_C/parent.txt" 2>/dev/null)'"
}
wizard_run 'C:\Interactive' interactive
# Without a msimg32.dll to load, the fade is drawn in bands.
WINEDLLOVERRIDES="$overrides;riched20=n,b;msimg32=d" wizard_run 'C:\Bands' without-msimg32

# parent.exe is there already and held open: after the replace question the
# wizard asks about the file in use (Wine's Restart Manager names no
# program), Ignore leaves it to the next restart, the user is told so, and
# the exit code is 3010.
mkdir -p "$DRIVE_C/Held"
cp "$WORK/parent.exe" "$DRIVE_C/Held/parent.exe"
start_installer 'C:\Downloads\setup.exe' '/LOG=C:\held.log'
boxes=$(driver hold-file 'C:\Held\parent.exe' wait-control 1004 30 click 1000 wait-control 1007 10 \
  set-text 1007 'C:\Held' click 1000 wait-control 1010 10 wait-text 1000 Install 5 click 1000 \
  answer-text "already exists" yes 30 answer-text "is in use" ignore 30 answer-text "restarts" ok 30 \
  wait-text 1000 Done 60 click 1000 wait-process setup.exe 60 release-file 'C:\Held\parent.exe') ||
  { echo "$boxes"; fail "held file: wizard"; }
echo "$boxes"
code=0
wait "$STUB_PID" || code=$?
no_plant_loaded "held file"
# A Unix exit status keeps the low 8 bits (3010 & 255 = 194); the log the code.
[ "$code" = 194 ] && grep -q "Exit code 3010" "$DRIVE_C/held.log" || fail "held file: exit code $code"
grep -qF 'box: Planted | The file C:\Held\parent.exe is in use.\n\nClose the programs that use it and choose Retry.\nIgnore finishes with it when the computer restarts.\nAbort ends the installation.' <<<"$boxes" ||
  fail "held file: the question"
echo "PASS"
