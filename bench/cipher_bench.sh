#!/usr/bin/env bash
# Enblow's throughput on a 256 MiB file against openssl's Blowfish (ECB) on
# the same file, in one run, with the ratio. Builds an optimised
# libciphon.so in build/cipher-bench unless CIPHON_LIB names one.
#   bench/cipher_bench.sh [--mib N] [--runs N] [--dir FOLDER]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
lib=${CIPHON_LIB:-}
if [ -z "$lib" ]; then
    cmake -S "$here" -B "$here/build/cipher-bench" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$here/build/cipher-bench" --target ciphon -j 2 >/dev/null
    lib="$here/build/cipher-bench/dist/libciphon.so"
fi
echo "library: $lib"
echo "openssl: $(openssl version)"
exec python3 "$here/bench/cipher_bench.py" "$lib" "$@"
