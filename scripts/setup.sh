#!/usr/bin/env bash
# Installs every Debian package the project needs and fetches the minizip
# sources for the cross build. Safe to run again: it skips what is present.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"

native_pkgs=(build-essential cmake ninja-build pkg-config zlib1g-dev libminizip-dev libdeflate-dev
             libgtest-dev googletest libssl-dev openssl unzip zip python3 dpkg-dev icoutils
             osslsigncode clang libclang-rt-14-dev)
cross_pkgs=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 libz-mingw-w64-dev)
wine_pkgs=(wine wine32:i386 wine64 xvfb xauth imagemagick)

missing=()
for p in "${native_pkgs[@]}" "${cross_pkgs[@]}" "${wine_pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

need_src=0
[ -f "$here/third_party/minizip/zip.c" ] || need_src=1
need_deflate_src=0
[ -f "$here/third_party/libdeflate/lib/deflate_compress.c" ] || need_deflate_src=1

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ] || [ $need_deflate_src -eq 1 ]; then
  if ! dpkg --print-foreign-architectures | grep -q '^i386$'; then
    $SUDO dpkg --add-architecture i386
  fi
  # apt-get source needs deb-src lines for the running suite.
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
      $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    else
      codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
      echo "deb-src http://deb.debian.org/debian $codename main" | $SUDO tee /etc/apt/sources.list.d/quillset-src.list >/dev/null
    fi
  fi
  $SUDO apt-get update -q
fi

if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# minizip has no mingw package: compile its sources from Debian's source package.
if [ $need_src -eq 1 ]; then
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -q --download-only minizip >/dev/null && dpkg-source -x --no-check ./*.dsc src >/dev/null)
  srcdir=$(find "$tmp/src" -name zip.c -not -path '*/.pc/*' -printf '%h\n' | head -n 1)
  mkdir -p "$here/third_party/minizip"
  for f in zip.c zip.h unzip.c unzip.h ioapi.c ioapi.h iowin32.c iowin32.h crypt.h; do
    [ -f "$srcdir/$f" ] && cp "$srcdir/$f" "$here/third_party/minizip/"
  done
  rm -rf "$tmp"
fi

# libdeflate (whole-buffer deflate for payload entries) has no mingw package
# either: the cross builds compile its compressor from Debian's source
# package. Unpacked beside the target and moved in at once, so that an
# interrupted run leaves nothing half-copied behind.
if [ $need_deflate_src -eq 1 ]; then
  tmp=$(mktemp -d)
  (cd "$tmp" && apt-get source -q --download-only libdeflate >/dev/null && dpkg-source -x --no-check ./*.dsc src >/dev/null)
  mkdir -p "$tmp/out"
  cp -r "$tmp/src/lib" "$tmp/src/libdeflate.h" "$tmp/src/common_defs.h" "$tmp/src/COPYING" "$tmp/out/"
  mkdir -p "$here/third_party"
  rm -rf "$here/third_party/libdeflate"
  mv "$tmp/out" "$here/third_party/libdeflate"
  rm -rf "$tmp"
fi
echo "setup: done"
