#!/usr/bin/env bash
# The example project made by the editing commands equals the project kept
# in examples/example/example.qsp.in (whose uninstaller source names only
# the file: the build takes it from beside the builder).
#   example_commands_test.sh QUILLSET_BUILD SOURCE_DIR
set -euo pipefail
builder=$1
source_dir=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quill-example-commands.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/dist"
cp "$builder" "$work/dist/quillset-build"
printf 'MZ-uninstaller' > "$work/dist/uninst.dat"

QUILLSET_BUILD="$work/dist/quillset-build" bash "$source_dir/examples/make_example.sh" "$work/made.qsp" > /dev/null
sed "s|^$work/dist/uninst.dat\r\$|uninst.dat\r|" "$work/made.qsp" > "$work/made-relative.qsp"
sed "s|@EXAMPLE@|$source_dir/examples/example|g" "$source_dir/examples/example/example.qsp.in" > "$work/kept.qsp"
if ! cmp -s "$work/made-relative.qsp" "$work/kept.qsp"; then
  echo "FAIL: the commands make another project than example.qsp.in:"
  diff "$work/kept.qsp" "$work/made-relative.qsp" | cat -A | head -40
  exit 1
fi
echo "example: the commands make example.qsp.in byte for byte"
