#!/usr/bin/env bash
# The main job: set up, build everything into dist/, then build the bundled
# example project into an installer package in out/, with the suite's own
# installer and the Debian package of the Linux builder beside it.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
bash scripts/build.sh
if [ -x dist/quillset-build ] && [ -f examples/example.sh ]; then
  bash examples/example.sh out
  bash scripts/suite_setup.sh dist out
  cmake --build build/native --target package >/dev/null
  cp build/native/quillset-build_*.deb out/
fi
