#!/usr/bin/env bash
# Runs every test: the native tests and the wine tests of the release build,
# then the native tests again under AddressSanitizer and UBSan, then the fuzz
# targets for a short bounded time.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/build.sh

# Which Windows programs the wine tests run on this machine, and why.
QUILL_BUILD="$here/build/native" QUILL_DIST32="$here/build/win32/dist" QUILL_DIST64="$here/build/win64/dist" \
  bash -c 'source tests/wine/lib.sh; echo "wine tests run $WINEARCH programs from $QUILL_DIST: $WINE_ARCH_REASON"'

# Prints again, after ctest's summary, the last lines of what each failed
# test printed: ctest shows a failure's output where the test ended, which a
# long log buries far above the summary.
failed_output() {
  awk '/^[0-9]+\/[0-9]+ Testing: / { name = $3; n = 0; inside = 0; passed = 0; next }
       /^Output:$/ { inside = 1; next }
       inside && /^<end of output>$/ { inside = 0; next }
       inside { line[n++] = $0; next }
       /^Test Passed\.$/ { passed = 1 }
       / end time: / && !passed {
         print "== the last lines of " name " =="
         for (i = (n > 60 ? n - 60 : 0); i < n; i++) print line[i] }' \
    "$1/Testing/Temporary/LastTest.log" 2>/dev/null || true
}

status=0
(cd build/native && ctest --output-on-failure -j 2 --timeout 900) || { status=1; failed_output build/native; }

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILL_SANITIZE=ON >/dev/null
cmake --build build/asan -j "$(nproc)"
(cd build/asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j 2 -L native --timeout 900) || { status=1; failed_output build/asan; }
# Every fuzz target over its corpus, then fuzzed for a bounded time.
bash scripts/fuzz.sh --time 20 || status=1
exit $status
