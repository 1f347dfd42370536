#!/usr/bin/env bash
# Editor benchmark: builds bench/editor_bench.cpp in a release build folder
# of its own and prints its table (open 1,000 / 32,768 files, add a folder
# of 10,000 files, peak memory).
#   bench/editor_bench.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/editor-bench}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target editor_bench -j2 > /dev/null
"$build/bench/editor_bench"
