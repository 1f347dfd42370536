#!/usr/bin/env bash
# Build benchmark: quillset-build against `zip -r -6` on the same corpus,
# in one run. Prints wall times, their ratio, sizes and peak memory; also
# the shipped 32-bit quillset-build.exe under Wine against the native one,
# when that program and wine are present.
#   bench/build_bench.sh [QUILLSET_BUILD [QUILLSET_BUILD_EXE]]
# QUILL_BENCH_CORPUS chooses the corpus: `build` (the default;
# build_corpus.py's generated files, about 2,000 files, 250 MB, in
# ${QUILL_BENCH_DIR:-/tmp/quill-bench}) or `peer` (peer_corpus.py's copy of
# the machine's own files, 260 MB, most of it two large shared libraries,
# in ${QUILL_BENCH_DIR:-/tmp/quill-bench-peer}). Either is made once, on
# first use. QUILL_BENCH_ROUNDS sets the rounds (3; 5 for `peer`).
# ext.dat etc. are stand-ins when the
# builder's folder lacks them (the stub's size does not matter here). The
# .exe runs in a 32-bit Wine prefix of the benchmark's own
# (QUILL_BENCH_WINEPREFIX, made on first use). Every build runs with one
# SOURCE_DATE_EPOCH, so that all packages of a run must be the same bytes:
# the script checks that and says so.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
builder=${1:-$here/../dist/quillset-build}
[ -x "$builder" ] || { echo "no quillset-build at $builder" >&2; exit 1; }
exe=${2:-$(dirname "$builder")/quillset-build.exe}
export SOURCE_DATE_EPOCH=1767225600
corpus_kind=${QUILL_BENCH_CORPUS:-build}
case $corpus_kind in
  build) bench=${QUILL_BENCH_DIR:-/tmp/quill-bench} default_rounds=3 ;;
  peer) bench=${QUILL_BENCH_DIR:-/tmp/quill-bench-peer} default_rounds=5 ;;
  *) echo "QUILL_BENCH_CORPUS is build or peer, not $corpus_kind" >&2; exit 1 ;;
esac
mkdir -p "$bench"
bench=$(cd "$bench" && pwd)
if [ ! -f "$bench/corpus.qsp" ]; then
  python3 "$here/${corpus_kind}_corpus.py" "$bench/corpus" "$bench/corpus.qsp.tmp"
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

# The .exe gets its own builder folder with the same stand-ins, and a copy
# of the project whose sources are Windows paths on Wine's Z: drive.
use_exe=0
if [ -f "$exe" ] && command -v wine >/dev/null; then
  use_exe=1
  export WINEPREFIX=${QUILL_BENCH_WINEPREFIX:-/tmp/quill-bench-w32} WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
  mkdir -p "$bench/wdist"
  cp "$exe" "$bench/wdist/quillset-build.exe"
  cp "$bench/dist/ext.dat" "$bench/dist/uninst.dat" "$bench/dist/setup.JPG" "$bench/wdist/"
  corpus_abs=$(cd "$bench/corpus" && pwd)
  sed "\|^$corpus_abs| { s|/|\\\\|g; s|^|Z:| }" "$bench/corpus.qsp" > "$bench/corpus-win.qsp"
  winpath() { echo "Z:$1" | sed 's|/|\\|g'; }
  echo "exe: $exe under $(wine --version), prefix $WINEPREFIX"
else
  echo "exe: no quillset-build.exe at $exe (or no wine): left out"
fi
files=$(find "$bench/corpus" -type f | wc -l)
bytes=$(du -sb "$bench/corpus" | cut -f1)
echo "corpus ($corpus_kind): $files files, $((bytes / 1000000)) MB, $(nproc) cores"

# Warm the page cache so that neither side pays for the first read.
cat $(find "$bench/corpus" -type f) > /dev/null

measure() {  # measure LOG COMMAND...: wall s, peak KiB, user s, system s appended to LOG
  /usr/bin/time -a -f '%e %M %U %S' -o "$1" "${@:2}" > /dev/null
}
# Alternate the two, so that both meet the same background load; the
# machine is shared, so the best of the rounds is the figure compared.
rounds=${QUILL_BENCH_ROUNDS:-$default_rounds}
# Packages and zip's archive go to a memory-backed folder when there is
# one: on a disk shared with other work, write-back sets the figures.
out=$bench
if [ -w /dev/shm ]; then out=/dev/shm/quill-build-bench.$$; mkdir -p "$out"; fi
echo "outputs written to $out"
rm -f "$bench/ours.time" "$bench/zip.time" "$bench/exe.time" "$out/first.exe"
same=yes
for _ in $(seq "$rounds"); do
  rm -f "$out/setup.exe" "$out/ref.zip" "$out/wine-setup.exe"
  measure "$bench/ours.time" "$bench/dist/quillset-build" "$bench/corpus.qsp" -o "$out/setup.exe"
  [ -f "$out/first.exe" ] || cp "$out/setup.exe" "$out/first.exe"
  cmp -s "$out/first.exe" "$out/setup.exe" || same="no (native runs differ)"
  (cd "$bench" && measure "$bench/zip.time" zip -r -6 -q "$out/ref.zip" corpus)
  if [ $use_exe = 1 ]; then
    (cd "$bench/wdist" && measure "$bench/exe.time" wine quillset-build.exe \
       "$(winpath "$bench/corpus-win.qsp")" -o "$(winpath "$out/wine-setup.exe")")
    cmp -s "$out/first.exe" "$out/wine-setup.exe" || same="no (the .exe's package differs)"
  fi
done

package=$(stat -c %s "$out/setup.exe")
archive=$((package - stub - 8))
ref=$(stat -c %s "$out/ref.zip")
python3 - "$bench/ours.time" "$bench/zip.time" "$archive" "$ref" "$bench/exe.time" <<'PY'
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
import os
if os.path.exists(sys.argv[5]):
    exes = runs(sys.argv[5])
    ebest = min(r[0] for r in exes)
    print("quillset-build.exe (32-bit, Wine) wall s: " + " ".join("%.2f" % r[0] for r in exes) +
          "   peak %.1f MiB (Wine's own included)" % (max(r[1] for r in exes) / 1024))
    print("best %.2f s against the native %.2f s: %.2fx the native wall time, %.2fx zip's"
          % (ebest, best, ebest / best, ebest / zbest))
    print("processor time (user + system), best: %.2f s" % min(r[2] + r[3] for r in exes))
print("load average at the end: %s" % open("/proc/loadavg").read().split()[0])
print("archive %d bytes against zip's %d: %+.2f%%" % (archive, zipsize, (archive / zipsize - 1) * 100))
PY
echo "every package of this run the same bytes: $same"
rm -f "$out/setup.exe" "$out/ref.zip" "$out/wine-setup.exe" "$out/first.exe"
[ "$out" = "$bench" ] || rmdir "$out"
