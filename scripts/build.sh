#!/usr/bin/env bash
# Builds both configurations and collects the deliverables in dist/.
#   build/win32   cross build (i686 mingw-w64): the Windows programs
#   build/win64   the same programs for x86_64: the stub and uninstaller of
#                 packages for 64-bit Windows (ext64.dat, uninst64.dat), and
#                 what the wine tests run where 32-bit code cannot execute
#   build/native  native build: logic, tests, command-line builder, libciphon.so
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
cd "$here"
[ "${QUILL_SKIP_SETUP:-0}" = 1 ] || bash scripts/setup.sh
jobs=$(nproc)

cmake -S . -B build/win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-i686.cmake" \
      -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build build/win32 -j "$jobs"

# The same programs for x86_64: packages for 64-bit Windows are made with
# their stub and uninstaller, and the wine tests run them on machines that
# cannot execute 32-bit code (see tests/wine/lib.sh).
cmake -S . -B build/win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-x86_64.cmake" \
      -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build build/win64 -j "$jobs"

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DQUILL_WIN64_DIST="$here/build/win64/dist" -DQUILL_SHIP_DIST="$here/build/win32/dist" >/dev/null
cmake --build build/native -j "$jobs"

mkdir -p dist
for f in Quillset.exe ext.dat uninst.dat Ciphon.dll setup.JPG quillset-build.exe; do
  [ -f "build/win32/dist/$f" ] && cp "build/win32/dist/$f" dist/
done
for f in ext64.dat uninst64.dat; do
  cp "build/win64/dist/$f" dist/
done
for f in quillset-build libciphon.so; do
  [ -f "build/native/dist/$f" ] && cp "build/native/dist/$f" dist/
done
[ -f dist/setup.JPG ] || { [ -f resources/setup.JPG ] && cp resources/setup.JPG dist/; }
echo "build: dist/ holds: $(ls dist | tr '\n' ' ')"
