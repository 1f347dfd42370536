#!/usr/bin/env bash
# Times the real installer under Wine on the build benchmark's corpus
# (about 2,000 files, 300 MB): a silent install (/S, the whole run from the
# program's start), an interactive one driven through the wizard (the
# install step, from the Install click until "Done" shows, and the whole
# run), and the silent removal (Uninstall.exe /S). Prints wall times and
# the interactive/silent ratio.
#   QUILL_DIST=build/win32/dist QUILL_SOURCE=. QUILL_BUILD=build/native \
#     bash bench/install_wine_bench.sh [QUILLSET_BUILD]
set -euo pipefail
TEST=install_bench
builder=${1:-$QUILL_BUILD/dist/quillset-build}
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
bench=${QUILL_BENCH_DIR:-/tmp/quill-bench}
mkdir -p "$bench/wine-dist"
if [ ! -f "$bench/corpus.qsp" ]; then
  python3 "$QUILL_SOURCE/bench/build_corpus.py" "$bench/corpus" "$bench/corpus.qsp.tmp"
  mv "$bench/corpus.qsp.tmp" "$bench/corpus.qsp"
fi
cp "$builder" "$bench/wine-dist/quillset-build"
for f in ext.dat uninst.dat setup.JPG; do cp "$QUILL_DIST/$f" "$bench/wine-dist/$f"; done
if [ ! -f "$bench/wine-setup.exe" ]; then
  # The corpus project with the uninstaller included.
  cp "$bench/corpus.qsp" "$bench/wine-corpus.qsp"
  "$bench/wine-dist/quillset-build" set "$bench/wine-corpus.qsp" uninstaller=on >/dev/null
  "$bench/wine-dist/quillset-build" "$bench/wine-corpus.qsp" -o "$bench/wine-setup.exe" >/dev/null
fi
cp "$bench/wine-setup.exe" "$WORK/setup.exe"
files=$(find "$bench/corpus" -type f | wc -l)

now() { date +%s.%N; }
span() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

# Silent install, whole run.
t0=$(now)
wine "$WORK/setup.exe" /S '/D=C:\Silent Bench' >/dev/null 2>&1 || fail "silent install failed"
t1=$(now)
silent=$(span "$t0" "$t1")
installed=$(find "$DRIVE_C/Silent Bench" -type f | wc -l)

# Silent removal.
t0=$(now)
wine 'C:\Silent Bench\Uninstall.exe' /S >/dev/null 2>&1 || fail "silent removal failed"
t1=$(now)
removal=$(span "$t0" "$t1")
left=$( (find "$DRIVE_C/Silent Bench" -type f 2>/dev/null || true) | wc -l)

# Interactive: to the summary step, then Install until "Done".
t_start=$(now)
start_installer "$WORK/setup.exe" '/D=C:\Interactive Bench'
driver wait-control 1007 600 click 1000 wait-control 1010 30 >/dev/null || fail "no summary step"
t0=$(now)
driver wait-control 1010 5 click 1000 wait-text 1000 Done 3600 >/dev/null || fail "no Done"
t1=$(now)
interactive=$(span "$t0" "$t1")
whole=$(span "$t_start" "$t1")
driver wait-control 1000 5 click 1000 >/dev/null
wait "$STUB_PID" || true

echo "corpus: $files files; installed silently: $installed; left after removal: $left"
echo "silent install (whole run): $silent s"
echo "interactive install step (Install to Done): $interactive s; whole run to Done: $whole s"
awk -v i="$interactive" -v w="$whole" -v s="$silent" \
  'BEGIN { printf "ratio interactive/silent: install step %.2fx, whole run %.2fx\n", i / s, w / s }'
echo "silent removal: $removal s"
