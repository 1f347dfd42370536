#!/usr/bin/env bash
# Build benchmark at the table's limit: a project of 32,768 small files in
# 64 folders, built by quillset-build. Prints wall time and peak memory.
#   bench/build_many_bench.sh [QUILLSET_BUILD]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
builder=${1:-$here/../dist/quillset-build}
[ -x "$builder" ] || { echo "no quillset-build at $builder" >&2; exit 1; }
bench=${QUILL_BENCH_DIR:-/tmp/quill-bench}/many
mkdir -p "$bench/dist"
cp "$builder" "$bench/dist/quillset-build"
for f in ext.dat uninst.dat setup.JPG; do
  if [ -f "$(dirname "$builder")/$f" ]; then cp "$(dirname "$builder")/$f" "$bench/dist/$f"
  else printf 'stand-in %s' "$f" > "$bench/dist/$f"; fi
done
if [ ! -f "$bench/many.qsp" ]; then
  python3 - "$bench" <<'PY'
import os, sys
root = sys.argv[1]
lines = ["%install path%\\", "%custom path%\\"] + ["%%install path%%\\d%02d\\" % d for d in range(64)] + ["|"]
for i in range(32768):
    folder = os.path.join(root, "files", "d%02d" % (i % 64))
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, "f%05d.txt" % i)
    with open(path, "w") as f:
        f.write(("line %d of a small file\n" % i) * 40)
    lines += [path, "f%05d.txt" % i, "%%install path%%\\d%02d\\" % (i % 64)]
lines += ["|"] * 26
lines += ["", "", "Many", "%name% Setup", "%program files%\\%name%", "", "false", "0", "false", "OK",
          "false", "true", "false", "true", "%name%", "640", "480", "", "", "32768",
          "%a registry key macro%", "false", "Arial", "36", "700", "0", "0", "0", "0",
          "255", "255", "255", "0", "0", "0", "0", "0", "255", "0", "0", "0", "0", "true", "4"]
with open(os.path.join(root, "many.qsp"), "wb") as f:
    f.write("".join(l + "\r\n" for l in lines).encode())
PY
fi
/usr/bin/time -f '%e %M %U %S' -o "$bench/time" "$bench/dist/quillset-build" "$bench/many.qsp" \
  -o "$bench/many.exe" > /dev/null
read -r wall kib user sys < "$bench/time"
echo "32768 files: $wall s wall, $user s user, $sys s system, peak $((kib / 1024)) MiB," \
     "package $(stat -c %s "$bench/many.exe") bytes"
rm -f "$bench/many.exe"
