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

measure() {  # measure LOG COMMAND...: wall s, peak KiB, user s, system s appended to LOG
  /usr/bin/time -a -f '%e %M %U %S' -o "$1" "${@:2}" > /dev/null
}
# Alternate the two, so that both meet the same background load; the
# machine is shared, so the best of the rounds is the figure compared.
rounds=${QUILL_BENCH_ROUNDS:-3}
rm -f "$bench/ours.time" "$bench/zip.time"
for _ in $(seq "$rounds"); do
  rm -f "$bench/setup.exe" "$bench/ref.zip"
  measure "$bench/ours.time" "$bench/dist/quillset-build" "$bench/corpus.qsp" -o "$bench/setup.exe"
  (cd "$bench" && measure "$bench/zip.time" zip -r -6 -q ref.zip corpus)
done

package=$(stat -c %s "$bench/setup.exe")
archive=$((package - stub - 8))
ref=$(stat -c %s "$bench/ref.zip")
python3 - "$bench/ours.time" "$bench/zip.time" "$archive" "$ref" <<'PY'
import sys
def runs(path):
    return [tuple(map(float, line.split())) for line in open(path) if line.strip()]
ours, zips = runs(sys.argv[1]), runs(sys.argv[2])
archive, zipsize = int(sys.argv[3]), int(sys.argv[4])
print("quillset-build wall s: " + " ".join("%.2f" % r[0] for r in ours) +
      "   peak %.1f MiB" % (max(r[1] for r in ours) / 1024))
print("zip -r -6      wall s: " + " ".join("%.2f" % r[0] for r in zips) +
      "   peak %.1f MiB" % (max(r[1] for r in zips) / 1024))
best, zbest = min(r[0] for r in ours), min(r[0] for r in zips)
print("best %.2f s against %.2f s: %.2fx zip's wall time" % (best, zbest, best / zbest))
cpu, zcpu = min(r[2] + r[3] for r in ours), min(r[2] + r[3] for r in zips)
print("processor time (user + system), best: %.2f s against %.2f s" % (cpu, zcpu))
print("load average at the end: %s" % open("/proc/loadavg").read().split()[0])
print("archive %d bytes against zip's %d: %+.2f%%" % (archive, zipsize, (archive / zipsize - 1) * 100))
PY
rm -f "$bench/setup.exe" "$bench/ref.zip"
