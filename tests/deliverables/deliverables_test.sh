#!/usr/bin/env bash
# Checks the form of the shipped Windows files in the folders given (the
# 32-bit build's dist/, and the x86_64 build's when named): 32-bit i386 PE
# images of the right subsystem, the x86_64 stub and uninstaller
# (ext64.dat, uninst64.dat) PE32+ images, every stub and uninstaller at most
# 256 KiB long, every stub
# and uninstaller carrying its dialogs, Ciphon.dll exporting
# exactly Enblow and Deblow under undecorated names, the side picture a
# 100 x 170 JPEG, and no program importing a DLL that Windows may take from
# the program's folder.
#   deliverables_test.sh DIST32 [DIST64]
set -euo pipefail
# One folder holding what ships, as dist/ does.
dist=$(mktemp -d "${TMPDIR:-/tmp}/quill-deliverables.XXXXXX")
trap 'rm -rf "$dist"' EXIT
ln -s "$(cd "$1" && pwd)"/* "$dist/"
if [ -n "${2:-}" ]; then
  for file in ext64.dat uninst64.dat; do
    [ -f "$2/$file" ] && ln -s "$(cd "$2" && pwd)/$file" "$dist/"
  done
fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
objdump=i686-w64-mingw32-objdump
# The x86_64 programs' names end in 64.dat; the i686 tools cannot read them.
objdump_of() { case $1 in *64.dat) echo x86_64-w64-mingw32-objdump ;; *) echo "$objdump" ;; esac; }

# expect_pe FILE SUBSYSTEM [FORMAT]: image of FORMAT (pei-i386 unless given)
# whose optional header names SUBSYSTEM.
expect_pe() {
  local file="$dist/$1" format=${3:-pei-i386}
  [ -f "$file" ] || { fail "$1 is missing"; return; }
  local header
  header=$($(objdump_of "$1") -f -p "$file" 2>&1) || true
  grep -q "file format $format\$" <<<"$header" || fail "$1 is not a $format image"
  grep -q "^Subsystem.*($2)" <<<"$header" || fail "$1 is not a $2 program"
  # No link time stamp: the same sources give the same bytes.
  grep -q "^Time/Date.*1970" <<<"$header" || fail "$1 carries a link time stamp"
}
expect_pe Quillset.exe "Windows GUI"
expect_pe ext.dat "Windows GUI"
expect_pe uninst.dat "Windows GUI"
expect_pe quillset-build.exe "Windows CUI"
expect_pe Ciphon.dll "Windows CUI"
if [ -n "${2:-}" ]; then
  expect_pe ext64.dat "Windows GUI" pei-x86-64
  expect_pe uninst64.dat "Windows GUI" pei-x86-64
fi
# The stubs and uninstallers travel inside every package.
for file in ext.dat uninst.dat ext64.dat uninst64.dat; do
  [ ! -f "$dist/$file" ] || [ "$(stat -L -c %s "$dist/$file")" -le 262144 ] || fail "$file is larger than 256 KiB"
done

exports=$($objdump -p "$dist/Ciphon.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
          awk '/\[/ && !/Table/ { print $NF }' | sort | tr '\n' ' ')
[ "$exports" = "Deblow Enblow " ] || fail "Ciphon.dll exports: '$exports'"

# Imported DLLs. For a DLL named in a program's import table, Windows looks
# beside the program first, unless it is one of the system's known DLLs
# (HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs on
# Windows 10), which always come from the system folder; ntdll.dll is mapped
# by the system itself. The programs start from folders anyone can write to,
# so they import no other DLL. comctl32.dll is not a known DLL: it passes
# only where the program's manifest asks for the common controls version 6,
# an assembly every system holds in its side-by-side store (WinSxS), where
# the loader takes it from instead of the program's folder.
known_dlls=$(echo advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32 \
  msctf msvcrt normaliz nsi ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi \
  user32 wldap32 wow64 wow64cpu wow64win ws2_32)
for file in Quillset.exe ext.dat uninst.dat ext64.dat uninst64.dat quillset-build.exe Ciphon.dll; do
  [ -f "$dist/$file" ] || continue
  imports=$($(objdump_of "$file") -p "$dist/$file" | awk '/DLL Name:/ { print tolower($NF) }' | sort -u) || true
  [ -n "$imports" ] || fail "$file: no import table read"
  for dll in $imports; do
    name=${dll%.dll}
    if [ "$name" = comctl32 ]; then
      manifest=$(wrestool -x --raw --type=24 "$dist/$file" 2>/dev/null) || true
      grep -q 'name="Microsoft.Windows.Common-Controls" version="6' <<<"$manifest" ||
        fail "$file imports comctl32.dll without the common controls 6 in its manifest"
    elif [[ " $known_dlls " != *" $name "* ]]; then
      fail "$file imports $dll, which Windows may take from the program's folder"
    fi
  done
done

# The dialogs the programs are driven by, and the stub's icon, travel as
# resources.
for pair in Quillset.exe:5:101 Quillset.exe:5:120 Quillset.exe:4:106 Quillset.exe:14:102 ext.dat:5:101 ext.dat:5:103 ext.dat:5:109 ext.dat:14:104 uninst.dat:5:101 \
            ext64.dat:5:101 ext64.dat:5:103 ext64.dat:5:109 ext64.dat:14:104 uninst64.dat:5:101; do
  IFS=: read -r file type id <<<"$pair"
  [ -f "$dist/$file" ] || [ "${file%64.dat}" = "$file" ] || continue
  resources=$(wrestool -l "$dist/$file")
  grep -q -- "--type=$type --name=$id " <<<"$resources" || fail "$file holds no resource $type/$id"
done

if command -v identify >/dev/null; then
  [ "$(identify -format '%m %w %h' "$dist/setup.JPG")" = "JPEG 100 170" ] || fail "setup.JPG is not a 100 x 170 JPEG"
fi

[ "$failures" = 0 ] || exit 1
echo "PASS"
