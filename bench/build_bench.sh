#!/usr/bin/env bash
# Build benchmark: quillset-build against `zip -r -6` on the same corpus,
# in one run. Prints wall times, their ratio, sizes and peak memory.
#   bench/build_bench.sh [QUILLSET_BUILD]
# The corpus (about 2,000 files, 300 MB) is generated once into
# ${QUILL_BENCH_DIR:-/tmp/quill-bench}; ext.dat etc. are stand-ins when the
# builder's folder lacks them (the stub's size does not matter here).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
builder=${1:-$here/../dist/quillset-build}
[ -x "$builder" ] || { echo "no quillset-build at $builder" >&2; exit 1; }
bench=${QUILL_BENCH_DIR:-/tmp/quill-bench}
mkdir -p "$bench"
if [ ! -f "$bench/corpus.qsp" ]; then
  python3 "$here/build_corpus.py" "$bench/corpus" "$bench/corpus.qsp.tmp"
  mv "$bench/corpus.qsp.tmp" "$bench/corpus.qsp"
fi

# A private builder folder, so that stand-ins never land in dist/.
mkdir -p "$bench/dist"
cp "$builder" "$bench/dist/quillset-build"
for f in ext.dat uninst.dat setup.JPG; do
  if [ -f "$(dirname "$builder")/$f" ]; then cp "$(dirname "$builder")/$f" "$bench/dist/$f"
  else printf 'stand-in %s' "$f" > "$bench/dist/$f"; fi
done
stub=$(stat -c %s "$bench/dist/ext.dat")
files=$(find "$bench/corpus" -type f | wc -l)
bytes=$(du -sb "$bench/corpus" | cut -f1)
echo "corpus: $files files, $((bytes / 1000000)) MB, $(nproc) cores"

# Warm the page cache so that neither side pays for the first read.
cat $(find "$bench/corpus" -type f) > /dev/null

measure() {  # measure LOG COMMAND...: wall seconds and peak KiB into LOG
  /usr/bin/time -f '%e %M' -o "$1" "${@:2}" > /dev/null
}
rm -f "$bench/setup.exe" "$bench/ref.zip"
measure "$bench/ours.time" "$bench/dist/quillset-build" "$bench/corpus.qsp" -o "$bench/setup.exe"
(cd "$bench" && measure "$bench/zip.time" zip -r -6 -q ref.zip corpus)

read -r ours_s ours_kb < "$bench/ours.time"
read -r zip_s zip_kb < "$bench/zip.time"
package=$(stat -c %s "$bench/setup.exe")
archive=$((package - stub - 8))
ref=$(stat -c %s "$bench/ref.zip")
python3 - "$ours_s" "$zip_s" "$archive" "$ref" "$ours_kb" "$zip_kb" <<'PY'
import sys
ours, ref, archive, zipsize, kb, zkb = map(float, sys.argv[1:])
print("quillset-build: %6.2f s  archive %12d bytes  peak %6.1f MiB" % (ours, archive, kb / 1024))
print("zip -r -6:      %6.2f s  archive %12d bytes  peak %6.1f MiB" % (ref, zipsize, zkb / 1024))
print("time ratio %.2fx zip's wall time; size %+.2f%% against zip" % (ours / ref, (archive / zipsize - 1) * 100))
PY
rm -f "$bench/setup.exe" "$bench/ref.zip"
