#!/usr/bin/env bash
# Item move benchmark: builds bench/move_bench.cpp in a release build folder
# and prints the times of copying and moving folder trees of 1,000 and
# 10,000 files.
#   bench/move_bench.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/native}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target move_bench -j2 > /dev/null
"$build/bench/move_bench"
