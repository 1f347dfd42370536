#!/usr/bin/env bash
# The main job: set up, build everything into dist/, then build the bundled
# example project into an installer package in out/.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/build.sh
if [ -x dist/quillset-build ] && [ -f examples/example.sh ]; then
  bash examples/example.sh out
fi
