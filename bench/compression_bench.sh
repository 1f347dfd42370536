#!/usr/bin/env bash
# Package size and build time of the two compressions against a peer's
# solid LZMA (makensis from the Debian package "nsis", SetCompressor /SOLID
# lzma), on the corpus of the machine's own files (bench/peer_corpus.py),
# one run side by side; then the silent install of our deflate and LZMA
# packages under Wine, best of 3 each in one prefix, with the installer's
# peak memory (the wine process's high-water mark, which includes Wine's
# own share: compare the two).
#   QUILL_DIST=build/win64/dist QUILL_SOURCE=. QUILL_BUILD=build/native \
#     bash bench/compression_bench.sh [QUILLSET_BUILD]
# QUILL_BENCH_SKIP_PEER=1 leaves out makensis (over a minute and a half).
set -euo pipefail
TEST=compression_bench
builder=${1:-$QUILL_BUILD/dist/quillset-build}
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
bench=${QUILL_BENCH_DIR:-/tmp/quill-bench-peer}
mkdir -p "$bench/dist"
if [ ! -f "$bench/corpus.qsp" ]; then
  python3 "$QUILL_SOURCE/bench/peer_corpus.py" "$bench/corpus" "$bench/corpus.qsp.tmp"
  mv "$bench/corpus.qsp.tmp" "$bench/corpus.qsp"
fi
cp "$builder" "$bench/dist/quillset-build"
for f in ext.dat uninst.dat setup.JPG; do cp "$QUILL_DIST/$f" "$bench/dist/$f"; done
qb="$bench/dist/quillset-build"
export SOURCE_DATE_EPOCH=1767225600
files=$(find "$bench/corpus" -type f | wc -l)
bytes=$(du -sb "$bench/corpus" | cut -f1)
echo "corpus: $files files, $((bytes / 1000000)) MB, $(nproc) cores, load $(cut -d' ' -f1 /proc/loadavg)"
cat $(find "$bench/corpus" -type f) > /dev/null

# timed NAME COMMAND...: wall seconds, peak kilobytes and processor seconds
# (user and system) into $NAME_s, $NAME_kb, $NAME_cpu.
timed() {
  local name=$1
  shift
  /usr/bin/time -f '%e %M %U %S' -o "$bench/time.txt" "$@" > /dev/null 2>&1 || fail "$name: $*"
  read -r secs kb user system < "$bench/time.txt"
  printf -v "${name}_s" '%s' "$secs"
  printf -v "${name}_kb" '%s' "$kb"
  printf -v "${name}_cpu" '%s' "$(awk -v u="$user" -v s="$system" 'BEGIN { printf "%.2f", u + s }')"
}
for c in deflate lzma; do
  cp "$bench/corpus.qsp" "$bench/$c.qsp"
  "$qb" set "$bench/$c.qsp" compression=$c uninstaller=on > /dev/null
  timed "$c" "$qb" "$bench/$c.qsp" -o "$bench/$c-setup.exe"
done
deflate_size=$(stat -c %s "$bench/deflate-setup.exe")
lzma_size=$(stat -c %s "$bench/lzma-setup.exe")
echo "build deflate: ${deflate_s} s (processor ${deflate_cpu} s), $deflate_size bytes, peak ${deflate_kb} KB"
echo "build lzma:    ${lzma_s} s (processor ${lzma_cpu} s), $lzma_size bytes, peak ${lzma_kb} KB"

if [ -z "${QUILL_BENCH_SKIP_PEER:-}" ]; then
  command -v makensis > /dev/null || fail "makensis is not installed (Debian package nsis)"
  cat > "$bench/peer.nsi" <<NSI
Name "Peer Bench"
OutFile "$bench/peer-setup.exe"
InstallDir "C:\\Peer Bench"
SetCompressor /SOLID lzma
RequestExecutionLevel admin
Section
  SetOutPath "\$INSTDIR"
  File /r "$bench/corpus/*.*"
SectionEnd
NSI
  timed peer makensis -V1 "$bench/peer.nsi"
  peer_size=$(stat -c %s "$bench/peer-setup.exe")
  echo "build peer solid LZMA: ${peer_s} s (processor ${peer_cpu} s), $peer_size bytes, peak ${peer_kb} KB"
  awk -v a="$lzma_size" -v b="$peer_size" -v s="$lzma_s" -v t="$peer_s" -v d="$deflate_size" 'BEGIN {
    printf "lzma against the peer: size %.3fx, build time %.3fx; against our deflate: size %.3fx\n", a / b, s / t, a / d }'
fi

# Silent installs, alternated, best of 3.
best_deflate=999999 best_lzma=999999
for round in 1 2 3; do
  for c in deflate lzma; do
    cp "$bench/$c-setup.exe" "$WORK/$c.exe"
    timed "run" wine "$WORK/$c.exe" /S "/D=C:\\Bench $c"
    [ "$(find "$DRIVE_C/Bench $c" -type f | wc -l)" -ge "$files" ] || fail "$c: not every file installed"
    wine "C:\\Bench $c\\Uninstall.exe" /S > /dev/null 2>&1 || fail "$c: removal"
    echo "install $c round $round: ${run_s} s, peak ${run_kb} KB"
    if awk -v a="$run_s" -v b="$(eval echo \$best_$c)" 'BEGIN { exit !(a < b) }'; then
      printf -v "best_$c" '%s' "$run_s"
    fi
  done
done
awk -v a="$best_lzma" -v b="$best_deflate" 'BEGIN {
  printf "install best of 3: deflate %.2f s, lzma %.2f s: %.2fx\n", b, a, a / b }'
