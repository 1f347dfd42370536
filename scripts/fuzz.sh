#!/usr/bin/env bash
# Builds the fuzz targets (tests/fuzz) with clang, libFuzzer, AddressSanitizer
# and UBSan in build/fuzz, then runs each target over its corpus and fuzzes
# it for a bounded time.
#
#   scripts/fuzz.sh [--time SECONDS] [TARGET...]
#
# --time is per target (default 20). Inputs found while fuzzing are kept in
# build/fuzz/corpus/TARGET beside the seeds of the tree; a crash or a broken
# property leaves its input in build/fuzz/artifacts and fails the script.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"

seconds=20
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --time) seconds="$2"; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
[ ${#targets[@]} -gt 0 ] || targets=(lines data_files macros declarations declared_install payload project uninstall install texts)

flags="-fsanitize=fuzzer-no-link -gline-tables-only"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=Release -DQUILL_FUZZ=ON -DQUILL_SANITIZE=ON \
      -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build build/fuzz -j 2 --target "${targets[@]/#/fuzz_}"

# Allocation and free stacks are kept 10 frames deep rather than 30: taking
# them cost a fifth of the install target's time, and the fault's own stack
# stays whole. Replay an artifact with ASAN_OPTIONS=detect_leaks=1 for full ones.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:malloc_context_size=10}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p build/fuzz/artifacts
status=0
for t in "${targets[@]}"; do
  mkdir -p "build/fuzz/corpus/$t"
  log="build/fuzz/$t.log"
  result=ok
  # The process's CPU time as well: on a shared machine the wall-clock rate
  # says more about the other load than about the target.
  TIMEFORMAT='%U %S'
  { time build/fuzz/tests/fuzz/"fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="build/fuzz/artifacts/$t-" \
      "build/fuzz/corpus/$t" "tests/fuzz/corpus/$t" >"$log" 2>&1 || result=FAILED; } 2>"build/fuzz/$t.cpu"
  [ $result = ok ] || status=1
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  cpu_speed=$(awk -v n="${runs:-0}" '{ t = $1 + $2; if (t > 0) printf "%d", n / t; else print "?" }' "build/fuzz/$t.cpu")
  echo "fuzz $t: $result, ${runs:-?} inputs, ${speed:-?} inputs/s, ${cpu_speed} inputs per CPU second ($log)"
  [ $result = ok ] || tail -n 40 "$log"
done
exit $status
