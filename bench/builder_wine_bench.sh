#!/usr/bin/env bash
# The builder's window under Wine: opening projects of 1,000 and 32,768
# files (tree view filled), "Add folder" of a tree of 10,000 files, and the
# builder's peak memory with 32,768 files, and how fast the window answers
# during a build of the 300 MB corpus. Prints one line per figure.
#   bench/builder_wine_bench.sh        (after scripts/build.sh)
# Opening is measured in the builder's processor seconds, less those of
# opening an empty project; "Add folder" in wall seconds.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export QUILL_SOURCE=$here
export QUILL_DIST32=${QUILL_DIST32:-$here/build/win32/dist}
export QUILL_DIST=$QUILL_DIST32
export QUILL_DIST64=${QUILL_DIST64:-$here/build/win64/dist}
export QUILL_BUILD=${QUILL_BUILD:-$here/build/native}
TEST=builder_bench
source "$here/tests/builder_wine/common.sh"

# Project files with Windows paths; the files themselves need not exist to
# be opened.
make_project() {  # COUNT OUT
  python3 - "$1" "$2" "$here/bench" <<'PY'
import sys
sys.path.insert(0, sys.argv[3])
import corpus_project
count, out = int(sys.argv[1]), sys.argv[2]
corpus_project.write_files([("C:\\bench\\files\\d%02d\\f%05d.txt" % (i % 64, i), "d%02d/f%05d.txt" % (i % 64, i))
                            for i in range(count)], out)
PY
}
mkdir -p "$DRIVE_C/bench"
make_project 1000 "$DRIVE_C/bench/p1000.qsp"
make_project 32768 "$DRIVE_C/bench/p32768.qsp"
# A folder tree of 10,000 files in 100 folders.
python3 - "$DRIVE_C/bench/add" <<'PY'
import os, sys
for d in range(100):
    folder = os.path.join(sys.argv[1], "d%02d" % d)
    os.makedirs(folder, exist_ok=True)
    for i in range(100):
        with open(os.path.join(folder, "f%03d.txt" % i), "w") as f:
            f.write("x")
PY

# An orderly first run creates the settings key; later starts skip the
# association question.
start_builder
driver answer no 30 >/dev/null
builder menu 40004 answer no 10 >/dev/null
driver wait-process Quillset.exe 20
wine reg add "$SETTINGS" /v qspfiles /d yes /f >/dev/null

now() { date +%s.%N; }
quit_builder() {
  builder menu 40004 answer no 10 >/dev/null
  driver wait-process Quillset.exe 60
  wait "$BUILDER_PID" || true
}
peak_mib() {  # the running builder's peak resident memory
  local pid
  pid=$(pgrep -P "$BUILDER_PID" | head -n 1)
  awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status"
}
# Processor seconds the builder has used so far (user and system).
cpu_seconds() {
  local pid
  pid=$(pgrep -P "$BUILDER_PID" | head -n 1)
  awk -v tick="$(getconf CLK_TCK)" '{ printf "%.3f", ($14 + $15) / tick }' "/proc/$pid/stat"
}
# Processor seconds the builder spends on "Open project" of PROJECT, until
# its title names it (the open-file dialog included). The builder idles
# otherwise, so this is the open's own cost; wall time under Wine is
# dominated by the dialog's coming and going.
timed_open() {
  local before
  before=$(cpu_seconds)
  builder menu 40002 answer-file "$1" 10 wait-window "#32770" "=Quillset - $1" 900 >/dev/null
  echo "$(cpu_seconds) - $before" | bc
}

make_project 0 "$DRIVE_C/bench/p0.qsp"
start_builder
builder >/dev/null
peak_empty=$(peak_mib)
# Small figures: the mean of five opens each (processor time counts in
# hundredths of a second).
mean_open() {
  local total=0 i
  for i in 1 2 3 4 5; do
    timed_open 'C:\bench\p-other.qsp' >/dev/null  # the title must change between opens
    total=$(echo "$total + $(timed_open "$1")" | bc)
  done
  echo "$total / 5" | bc -l
}
cp "$DRIVE_C/bench/p0.qsp" "$DRIVE_C/bench/p-other.qsp"
base=$(mean_open 'C:\bench\p0.qsp')
t1000=$(mean_open 'C:\bench\p1000.qsp')
builder expect-tree 1097 '%install path%/d39/f00999.txt' 1 >/dev/null || fail "1,000 files not shown"
t32768=$(timed_open 'C:\bench\p32768.qsp')
builder expect-tree 1097 '%install path%/d63/f32767.txt' 1 >/dev/null || fail "32,768 files not shown"
peak=$(peak_mib)
quit_builder
printf 'open an empty project: %.2f s processor time (the dialog; subtracted below)\n' "$base"
printf 'open 1,000 files: %.3f s\n' "$(echo "$t1000 - $base" | bc -l)"
printf 'open 32,768 files: %.2f s\n' "$(echo "$t32768 - $base" | bc)"
echo "peak memory with 32,768 files: $peak MiB (the wine process; $peak_empty MiB at start)"

start_builder
builder tree-select 1097 '%install path%' click 1003 >/dev/null
t0=$(now)
builder answer-folder 'C:\bench\add' 30 wait-text 1010 Ready 900 >/dev/null || fail "add folder"
t=$(echo "$(now) - $t0" | bc)
builder expect-tree 1097 '%install path%/add/d99/f099.txt' 1 >/dev/null || fail "the added tree is incomplete"
quit_builder
printf 'add folder of 10,000 files: %.2f s\n' "$t"

# The window during a build of the 300 MB corpus: the build runs on its own
# thread, so the window should answer at once. Each sample is the time the
# window takes to hand over the status text.
python3 "$QUILL_SOURCE/bench/build_corpus.py" "$DRIVE_C/corpus" "$WORK/corpus.qsp" >/dev/null
start_builder
builder tree-select 1097 '%install path%' click 1003 answer-folder 'C:\corpus' 30 wait-text 1010 Ready 900 \
  tab 1074 5 set-text 1006 'C:\bench\corpus-setup.exe' >/dev/null || fail "corpus project"
t0=$(now)
builder click 1008 >/dev/null
samples=()
status=""
while [ "$status" != "Done!" ]; do
  # (the tab control is hidden while the build runs: find the window by 1010)
  out=$(driver wait-control 1010 5 mark text 1010 elapsed)
  status=$(sed -n 1p <<<"$out")
  samples+=("$(sed -n 2p <<<"$out")")
  [ "$(echo "$(now) - $t0 > 900" | bc)" = 1 ] && fail "the build did not end"
  sleep 0.5
done
t=$(echo "$(now) - $t0" | bc)
quit_builder
sorted=$(printf '%s\n' "${samples[@]}" | sort -n)
printf 'build of the corpus (%s MB) from the window: %.1f s; the window answered %d times, median %.3f s, slowest %.3f s\n' \
  "$(( $(stat -c %s "$DRIVE_C/bench/corpus-setup.exe") / 1048576 ))" "$t" "${#samples[@]}" \
  "$(sed -n "$(( (${#samples[@]} + 1) / 2 ))p" <<<"$sorted")" "$(tail -n 1 <<<"$sorted")"
