#!/usr/bin/env bash
# A package with one declaration of each kind, through the real programs:
# installed with /S its registry values, its association (whose open
# command starts the installed program), its PATH entries and its variables
# are in the registry, and opening a .xyz document starts the installed
# program; Uninstall.exe /S leaves every touched key exactly as
# it was, a value the install replaced included. A package whose PATH entry
# lies outside its folder is refused as damaged before anything is written.
TEST=declarations
source "$(dirname "$0")/common.sh"
exit_of() { local code=0; timeout 120 "$WINE_LOADER" "$@" >/dev/null 2>&1 || code=$?; echo "$code"; }

MACHINE_ENV='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
KEYS=('HKLM\Software\QuillDecl' 'HKLM\Software\Classes\.xyz' 'HKLM\Software\Classes\Quill.Decl.xyz'
      'HKCU\Environment' "$MACHINE_ENV")

# Each touched key as the registry exports it, or "absent".
touched_keys() {
  local key i=0
  for key in "${KEYS[@]}"; do
    i=$((i + 1))
    echo "== $key"
    if wine reg export "$key" "C:\\keys$i.reg" >/dev/null 2>&1; then
      iconv -f UTF-16LE -t UTF-8 "$DRIVE_C/keys$i.reg" | tr -d '\r' | grep -v '^Windows Registry'
      rm -f "$DRIVE_C/keys$i.reg"
    else
      echo absent
    fi
  done
}

# The data of a value ("" for the default one) without its name and type.
value_of() {
  local query
  if [ -z "$2" ]; then query=(/ve); else query=(/v "$2"); fi
  wine reg query "$1" "${query[@]}" 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *.* \(REG_[A-Z_]*\) *\(.*\)$/\1 \2/p' | head -n 1
}

decl_package() {
  python3 - "$1" > "$WORK/decl.json" <<'PY'
import json, sys
tab = "\t"
declarations = "\n".join(tab.join(r) for r in [
    ["registry", "machine", "Software\\QuillDecl", "Mode", "expandable", "%install path%\\mode", "remove", "remove empty key"],
    ["registry", "scope", "Software\\QuillDecl", "Count", "number", "42", "remove", "remove empty key"],
    ["association", ".xyz", "Quill.Decl.xyz", "XYZ document", "bin\\App.exe", "", "\"%1\""],
    ["path", "machine", "%install path%\\bin"],
    ["path", "user", "%install path%\\bin"],
    ["variable", "machine", "QUILL_DECL_HOME", "%install path%"],
    ["variable", "user", "QUILL_DECL_MODE", "on"],
]) + "\n"
if sys.argv[1] == "hostile":
    declarations = "path\tmachine\tC:\\Windows\n"
data = {"tt.txt": "Decl", "def_install.txt": "C:\\Decl\n",
        "macros.txt": "%name%\nDecl\n\n\n/\n/\n/\n/\n",
        "uninstall.txt": "%install path%\\Uninstall.exe",
        "fileinfo.txt": "App.exe|%install path%\\bin\\\nUninstall.exe|%install path%\\\n////\n////\n",
        "declarations.txt": declarations}
print(json.dumps({"data": data, "entry_files": {"App.exe": "$QUILL_DIST/ext.dat",
                                                "Uninstall.exe": "$QUILL_DIST/uninst.dat"}}))
PY
  make_package "$2" < "$WORK/decl.json"
}
decl_package good "$WORK/decl.exe"
decl_package hostile "$WORK/hostile.exe"

# A value the install replaces, of another type than the declared one.
wine reg add 'HKLM\Software\QuillDecl' /v Mode /t REG_SZ /d 'old mode' /f >/dev/null 2>&1
touched_keys > "$WORK/before.txt"

# 1. Hostile: damaged (exit code 3), nothing written.
code=$(exit_of "$WORK/hostile.exe" /S)
[ "$code" = 3 ] || fail "hostile package exit code $code"
[ ! -e "$DRIVE_C/Decl" ] || fail "the hostile package wrote its folder"
touched_keys > "$WORK/after-hostile.txt"
diff "$WORK/before.txt" "$WORK/after-hostile.txt" || fail "the hostile package changed the registry"

# 2. The install.
code=$(exit_of "$WORK/decl.exe" /S '/LOG=C:\decl.log')
[ "$code" = 0 ] || { cat "$DRIVE_C/decl.log" 2>/dev/null; fail "install exit code $code"; }
[ "$(value_of 'HKLM\Software\QuillDecl' Mode)" = 'REG_EXPAND_SZ C:\Decl\mode' ] ||
  fail "Mode is '$(value_of 'HKLM\Software\QuillDecl' Mode)'"
[ "$(value_of 'HKLM\Software\QuillDecl' Count)" = 'REG_DWORD 0x2a' ] ||
  fail "Count is '$(value_of 'HKLM\Software\QuillDecl' Count)'"
[ "$(value_of 'HKCR\.xyz' '')" = 'REG_SZ Quill.Decl.xyz' ] || fail "HKCR\\.xyz is '$(value_of 'HKCR\.xyz' '')'"
command=$(value_of 'HKCR\Quill.Decl.xyz\shell\open\command' '')
[ "$command" = 'REG_SZ "C:\Decl\bin\App.exe" "%1"' ] || fail "the open command is '$command'"
program=$(echo "$command" | sed 's/^REG_SZ "\([^"]*\)".*/\1/')
cmp "$(winepath -u "$program" 2>/dev/null)" "$QUILL_DIST/ext.dat" ||
  fail "the open command does not start the installed program"
value_of "$MACHINE_ENV" Path | grep -qi ';C:\\Decl\\bin$' || fail "machine PATH: $(value_of "$MACHINE_ENV" Path)"
value_of 'HKCU\Environment' Path | grep -qi 'C:\\Decl\\bin$' || fail "user PATH: $(value_of 'HKCU\Environment' Path)"
[ "$(value_of "$MACHINE_ENV" QUILL_DECL_HOME)" = 'REG_SZ C:\Decl' ] || fail "QUILL_DECL_HOME"
[ "$(value_of 'HKCU\Environment' QUILL_DECL_MODE)" = 'REG_SZ on' ] || fail "QUILL_DECL_MODE"
for line in 'Association: HKLM\Software\Classes\.xyz' 'PATH: added C:\Decl\bin' 'Environment: HKCU\Environment\QUILL_DECL_MODE'; do
  grep -qF "$line" "$DRIVE_C/decl.log" || fail "the /LOG record lacks '$line'"
done

# The shell opens a document through the association: the installed program
# runs with the document as its argument.
printf 'doc' > "$DRIVE_C/doc.xyz"
wine start 'C:\doc.xyz' >/dev/null 2>&1
for _ in $(seq 60); do
  pgrep -f 'Decl.bin.App\.exe"? "?C:.doc\.xyz' >/dev/null && break
  sleep 1
done
pgrep -f 'Decl.bin.App\.exe"? "?C:.doc\.xyz' >/dev/null || fail "opening doc.xyz did not start the installed program"
wine taskkill /f /im App.exe >/dev/null 2>&1 || true
driver wait-process App.exe 60

# 3. The removal puts every touched key back as it was.
code=$(exit_of "$DRIVE_C/Decl/Uninstall.exe" /S)
[ "$code" = 0 ] || fail "uninstall exit code $code"
touched_keys > "$WORK/after.txt"
diff "$WORK/before.txt" "$WORK/after.txt" || fail "the removal left the registry changed"
echo PASS
