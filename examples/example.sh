#!/usr/bin/env bash
# Builds the example project into OUTDIR/example-setup.exe.
#   bash examples/example.sh OUTDIR
# The command-line builder is taken from $QUILLSET_BUILD, else dist/ of this
# tree; it needs ext.dat, uninst.dat and setup.JPG beside itself.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
outdir=${1:?usage: example.sh OUTDIR}
builder=${QUILLSET_BUILD:-$root/dist/quillset-build}
[ -x "$builder" ] || { echo "example.sh: no command-line builder at $builder" >&2; exit 1; }

mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/quill-example.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The project names its sources by absolute path: fill in where they lie.
example="$here/example"
sed "s|@EXAMPLE@|$example|g" "$example/example.qsp.in" > "$work/example.qsp"
"$builder" "$work/example.qsp" -o "$outdir/example-setup.exe"
