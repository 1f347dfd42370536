#!/usr/bin/env bash
# Enblow's throughput on a 256 MiB file against openssl's Blowfish (ECB) on
# the same file, in one run, with the ratio: libciphon.so natively and the
# shipped 32-bit Ciphon.dll under Wine. Builds an optimised libciphon.so in
# build/cipher-bench unless CIPHON_LIB names one; takes Ciphon.dll and
# ciphon_check.exe from CIPHON_DLL_DIR (default build/win32/dist) and leaves
# the DLL out when they are missing. The DLL runs in a 32-bit Wine prefix of
# the benchmark's own (QUILL_BENCH_WINEPREFIX, made on first use).
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
dll_dir=${CIPHON_DLL_DIR:-$here/build/win32/dist}
dll_args=()
if [ -f "$dll_dir/Ciphon.dll" ] && [ -f "$dll_dir/ciphon_check.exe" ] && command -v wine >/dev/null; then
    export WINEPREFIX=${QUILL_BENCH_WINEPREFIX:-/tmp/quill-bench-w32} WINEARCH=win32 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    [ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
    echo "dll: $dll_dir/Ciphon.dll under $(wine --version) in $WINEPREFIX"
    dll_args=(--dll "$dll_dir")
else
    echo "dll: no Ciphon.dll and ciphon_check.exe in $dll_dir (or no wine): left out"
fi
echo "load average at the start: $(cut -d' ' -f1 /proc/loadavg)"
python3 "$here/bench/cipher_bench.py" "$lib" "${dll_args[@]}" "$@"
echo "load average at the end: $(cut -d' ' -f1 /proc/loadavg)"
