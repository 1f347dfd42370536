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

# The project is made by the builder's editing commands (the same project
# as example/example.qsp.in, which a test keeps in step).
QUILLSET_BUILD="$builder" bash "$here/make_example.sh" "$work/example.qsp" > "$work/make.log" ||
  { cat "$work/make.log" >&2; exit 1; }
"$builder" "$work/example.qsp" -o "$outdir/example-setup.exe"
