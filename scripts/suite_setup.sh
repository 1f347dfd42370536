#!/usr/bin/env bash
# Makes the suite's own Windows installer, OUTDIR/quillset-setup.exe, with
# the command-line builder from a project made by its editing commands.
#   bash scripts/suite_setup.sh PROGRAMS OUTDIR
# PROGRAMS holds the Windows programs (Quillset.exe when it was built,
# quillset-build.exe, ext.dat, uninst.dat, ext64.dat, uninst64.dat,
# setup.JPG, Ciphon.dll). The
# builder is $QUILLSET_BUILD, else dist/quillset-build; it takes the stub
# and the uninstaller from its own folder. The project is kept beside the
# package as OUTDIR/quillset-setup.qsp.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
programs=$(cd "${1:?usage: suite_setup.sh PROGRAMS OUTDIR}" && pwd)
outdir=${2:?usage: suite_setup.sh PROGRAMS OUTDIR}
qb=${QUILLSET_BUILD:-$root/dist/quillset-build}
[ -x "$qb" ] || { echo "suite_setup.sh: no command-line builder at $qb" >&2; exit 1; }
mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)
project="$outdir/quillset-setup.qsp"

files=()
for f in Quillset.exe quillset-build.exe ext.dat uninst.dat ext64.dat uninst64.dat setup.JPG Ciphon.dll; do
  if [ -f "$programs/$f" ]; then
    files+=("$programs/$f")
  elif [ "$f" != Quillset.exe ]; then
    echo "suite_setup.sh: $f is missing from $programs" >&2
    exit 1
  fi
done

"$qb" new "$project" --force --name Quillset --folder '%program files%\Quillset' > /dev/null
"$qb" add "$project" "${files[@]}" > /dev/null
"$qb" set "$project" uninstaller=on progress-bar=smooth shortcuts-for=current-user output="$outdir/quillset-setup.exe" \
  'eoi-message=Quillset is installed. Start it from the start menu, or run quillset-build.exe from its folder.'
if [ -f "$programs/Quillset.exe" ]; then
  "$qb" shortcut "$project" add Quillset.exe start-menu Quillset --folder Quillset
  "$qb" shortcut "$project" add Quillset.exe desktop Quillset
fi
"$qb" shortcut "$project" add Uninstall.exe start-menu "Uninstall Quillset" --folder Quillset
"$qb" check "$project"
"$qb" build "$project"
