#!/usr/bin/env bash
# Project save/load benchmark: builds bench/project_bench.cpp in a release
# build folder of its own and prints its table.
#   bench/project_bench.sh [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build/project-bench}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target project_bench -j2 > /dev/null
"$build/bench/project_bench"
