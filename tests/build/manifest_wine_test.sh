#!/usr/bin/env bash
# The manifest of a package against the package itself, under Wine with the
# Windows command-line builder, stub and uninstaller: the Silent, Log and
# InstallLocation switches taken literally from the generated installer
# manifest (a folder for <INSTALLPATH>, a file for <LOGPATH>) install the
# package with exit code 0 into that folder; the uninstall entry's key name,
# DisplayName, DisplayVersion and Publisher are the manifest's
# AppsAndFeaturesEntries; a cancelled and a refused (downgrade) install end
# with codes the manifest declares under those meanings; InstallerSha256 is
# the package's SHA-256.
set -euo pipefail
TEST=manifest
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
B="$DRIVE_C/qb"
mkdir -p "$B" "$DRIVE_C/out" "$DRIVE_C/src" "$DRIVE_C/p" "$DRIVE_C/logs"
for f in quillset-build.exe ext.dat uninst.dat setup.JPG; do
  cp "$QUILL_DIST/$f" "$B/" 2>/dev/null || fail "$f missing from $QUILL_DIST"
done
qb() { (cd "$B" && wine quillset-build.exe "$@" 2>&1 | tr -d '\r') || fail "quillset-build $*"; }
printf 'the tool' > "$DRIVE_C/src/tool.txt"
P='C:\p\listed.qsp'
qb new "$P" --name 'Listed App' >/dev/null
qb add "$P" 'C:\src\tool.txt' >/dev/null
qb set "$P" uninstaller=on licence-name=MIT 'short-description=A package that lists itself.' >/dev/null
qb macro "$P" add %publisher% 'Quill Tests' >/dev/null
# The package of an older version first, for the refused install below.
qb macro "$P" add %version% 1.0 >/dev/null
qb build "$P" -o 'C:\out\old-setup.exe' | grep -q 'Done!' || fail "build of the old version"
qb macro "$P" remove %version% >/dev/null
qb macro "$P" add %version% 2.0 >/dev/null
qb build "$P" -o 'C:\out\setup.exe' | grep -q 'Done!' || fail "build"
out=$(qb manifest "$P" --winget 'C:\man' --url https://example.com/setup.exe --package 'C:\out\setup.exe')
[ "$(ls "$DRIVE_C/man" | wc -l)" = 3 ] || fail "manifest: $out; $(ls "$DRIVE_C/man")"

# The manifest's facts, one "name<TAB>value" line each.
declare -A M
while IFS=$'\t' read -r name value; do M[$name]=$value; done < <(python3 - "$DRIVE_C/man" <<'PY'
import glob, sys, yaml
for path in glob.glob(sys.argv[1] + '/*.installer.yaml'):
    doc = yaml.safe_load(open(path, encoding='utf-8'))
    switches, entry = doc['InstallerSwitches'], doc['AppsAndFeaturesEntries'][0]
    for key in ('Silent', 'InstallLocation', 'Log'):
        print(f'{key}\t{switches[key]}')
    for key in ('DisplayName', 'DisplayVersion', 'Publisher', 'ProductCode'):
        print(f'{key}\t{entry[key]}')
    print(f"sha256\t{doc['Installers'][0]['InstallerSha256']}")
    for code in doc['ExpectedReturnCodes']:
        print(f"code{code['InstallerReturnCode']}\t{code['ReturnResponse']}")
PY
)
[ "${M[sha256]:-}" = "$(sha256sum "$DRIVE_C/out/setup.exe" | cut -d' ' -f1)" ] || fail "InstallerSha256 ${M[sha256]:-none}"

# The install as a deployment tool starts it: the switches as written, on
# one command line.
APP='C:\Listed Apps\App'
line="\"C:\\out\\setup.exe\" ${M[Silent]} ${M[Log]/<LOGPATH>/C:\\logs\\install.log} ${M[InstallLocation]/<INSTALLPATH>/$APP}"
printf '%s\r\nexit /b %%ERRORLEVEL%%\r\n' "$line" > "$DRIVE_C/install.bat"
code=0
wine cmd /c 'C:\install.bat' >/dev/null 2>&1 || code=$?
[ "$code" = 0 ] || fail "$line exited $code"
expect_file "$DRIVE_C/Listed Apps/App/tool.txt" "the tool"
[ -s "$DRIVE_C/logs/install.log" ] || fail "no log at the <LOGPATH> file"

# The entry, read from an export of its key (named by ProductCode).
KEY="HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${M[ProductCode]}"
rm -f "$DRIVE_C/out/entry.reg"
wine reg export "$KEY" 'C:\out\entry.reg' /y </dev/null >/dev/null 2>&1 || fail "no entry named ${M[ProductCode]}"
for name in DisplayName DisplayVersion Publisher; do
  value=$(python3 - "$DRIVE_C/out/entry.reg" "$name" <<'PY'
import sys
text = open(sys.argv[1], 'rb').read().decode('utf-16')
prefix = '"%s"="' % sys.argv[2]
print(next((l[len(prefix):-1] for l in text.splitlines() if l.startswith(prefix)), '(none)'))
PY
)
  [ "$value" = "${M[$name]}" ] || fail "$name: the entry holds '$value', the manifest '${M[$name]}'"
done

# Refused: the older version over the newer one, silently.
code=0
wine 'C:\out\old-setup.exe' ${M[Silent]} "${M[InstallLocation]/<INSTALLPATH>/$APP}" >/dev/null 2>&1 || code=$?
[ "${M[code$code]:-}" = downgrade ] || fail "the refused install exited $code, declared as '${M[code$code]:-nothing}'"

# Cancelled: the wizard's Exit button (1001) on its folder step.
start_installer "$DRIVE_C/out/setup.exe"
driver wait-control 1007 30 click 1001 >/dev/null || fail "no wizard to cancel"
code=0
wait "$STUB_PID" || code=$?
[ "${M[code$code]:-}" = cancelledByUser ] || fail "the cancelled install exited $code, declared as '${M[code$code]:-nothing}'"

code=0
wine "$APP\\Uninstall.exe" /S >/dev/null 2>&1 || code=$?
[ "$code" = 0 ] || fail "Uninstall.exe /S exited $code"
echo "manifest wine: all checks passed"
