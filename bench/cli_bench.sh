#!/usr/bin/env bash
# Benchmark of the editing commands: "add" of a folder tree into a new
# project and "show --json" of the result, for 1,000 and 32,768 files
# (the file table's size). Prints seconds per run and per 1,000 files.
#   bash bench/cli_bench.sh [QUILLSET_BUILD]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
qb=${1:-$here/build/native/dist/quillset-build}
work=$(mktemp -d "${TMPDIR:-/tmp}/quill-cli-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

# A tree of `count` small files, 256 to a folder.
make_tree() {
  local dir=$1 count=$2
  python3 - "$dir" "$count" <<'PY'
import os, sys
root, count = sys.argv[1], int(sys.argv[2])
for i in range(count):
    folder = os.path.join(root, "d%03d" % (i // 256))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%05d.txt" % i), "w") as f:
        f.write("x")
PY
}

seconds() { local t0 t1; t0=$(date +%s.%N); "$@" > /dev/null; t1=$(date +%s.%N); echo "$t1 - $t0" | bc; }

printf '%-8s %10s %10s %12s %12s\n' files add_s show_s add_ms/1k show_ms/1k
for count in 1000 32768; do
  tree="$work/tree$count/payload"
  make_tree "$tree" "$count"
  "$qb" new "$work/p$count.qsp" > /dev/null
  add=$(seconds "$qb" add "$work/p$count.qsp" "$tree")
  show=$(seconds "$qb" show "$work/p$count.qsp" --json)
  printf '%-8s %10.3f %10.3f %12.2f %12.2f\n' "$count" "$add" "$show" \
    "$(echo "$add * 1000000 / $count" | bc -l)" "$(echo "$show * 1000000 / $count" | bc -l)"
done
