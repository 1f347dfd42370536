#!/usr/bin/env bash
# Installs every Debian package the project needs and fetches the zlib, minizip,
# libdeflate, JSON and YAML library sources for the cross builds. Safe to run again: it skips what is
# present.
#
# A package index that cannot be refreshed (a mirror in the middle of a sync)
# does not stop it: it retries, then goes on with the indexes the machine has.
# It fails only when a package it needs cannot be installed or a source
# package cannot be fetched, and then names the package, the index that
# failed and what to do. The 32-bit Wine packages are installed only where the
# kernel runs 32-bit code, and only as a wish: without them the wine tests run
# the x86_64 builds of the same programs (tests/wine/lib.sh probes which).
#
#   QUILL_APT_TRIES, QUILL_APT_PAUSE   tries of `apt-get update` and the pause
#                                      between them in seconds (3, 15)
#   QUILL_SETUP_32BIT=yes|no           skip the 32-bit probe
#   QUILL_APT_ETC                      apt's configuration folder (/etc/apt)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
apt_tries=${QUILL_APT_TRIES:-3}
apt_pause=${QUILL_APT_PAUSE:-15}
apt_etc=${QUILL_APT_ETC:-/etc/apt}

native_pkgs=(build-essential cmake ninja-build pkg-config zlib1g-dev libminizip-dev libdeflate-dev
             libgtest-dev googletest libssl-dev openssl unzip zip python3 dpkg-dev icoutils
             osslsigncode clang libclang-rt-14-dev nlohmann-json3-dev libyaml-cpp-dev python3-yaml)
cross_pkgs=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 libz-mingw-w64-dev)
wine_pkgs=(wine wine64 xvfb xauth imagemagick fonts-wqy-microhei)  # the CJK font Wine shows and measures with
wine32_pkgs=(wine32:i386)

# True when the kernel runs 32-bit x86 code: a 96-byte static i386 program
# that exits with code 32.
runs_32bit() {
  case "${QUILL_SETUP_32BIT:-probe}" in yes) return 0 ;; no) return 1 ;; esac
  local probe code=0
  probe=$(mktemp)
  echo 'f0VMRgEBAQAAAAAAAAAAAAIAAwABAAAAVIAECDQAAAAAAAAAAAAAADQAIAABAAAAAAAAAAEAAAAAAAAAAIAECACABAhgAAAAYAAAAAUAAAAAEAAAuAEAAAC7IAAAAM2A' |
    base64 -d > "$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || code=$?
  rm -f "$probe"
  [ "$code" = 32 ]
}

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

# The indexes the last `apt-get update` could not fetch, one line.
failed_indexes=""
refresh_indexes() {
  local try out
  out=$(mktemp)
  for try in $(seq 1 "$apt_tries"); do
    if $SUDO apt-get update -q >"$out" 2>&1; then
      failed_indexes=""
      rm -f "$out"
      return
    fi
    failed_indexes=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$out" | sort -u | tr '\n' ' ')
    [ -n "$failed_indexes" ] || failed_indexes="(apt-get update: $(grep '^E:' "$out" | head -n 1))"
    [ "$try" -lt "$apt_tries" ] && sleep "$apt_pause"
  done
  rm -f "$out"
  echo "setup: the package indexes could not all be refreshed after $apt_tries tries (failed: ${failed_indexes% }); going on with the indexes this machine has"
}

# What to tell the user when something could not be had: the index that
# failed, if one did, and to try again later.
give_up() {
  echo "setup: $1" >&2
  [ -z "$failed_indexes" ] || echo "setup: the package index that could not be refreshed: ${failed_indexes% }" >&2
  echo "setup: this is often a mirror in the middle of a sync; run 'bash scripts/setup.sh' again later" >&2
  exit 1
}

with_32bit=0
runs_32bit && with_32bit=1
mapfile -t missing < <(missing_of "${native_pkgs[@]}" "${cross_pkgs[@]}" "${wine_pkgs[@]}")
missing32=()
[ $with_32bit -eq 0 ] || mapfile -t missing32 < <(missing_of "${wine32_pkgs[@]}")

need_src=0
[ -f "$here/third_party/minizip/zip.c" ] || need_src=1
need_deflate_src=0
[ -f "$here/third_party/libdeflate/lib/deflate_compress.c" ] || need_deflate_src=1
need_zlib_src=0
[ -f "$here/third_party/zlib/inflate.c" ] || need_zlib_src=1
need_json_src=0
[ -f "$here/third_party/nlohmann/nlohmann/json.hpp" ] || need_json_src=1
need_yaml_src=0
[ -f "$here/third_party/yaml-cpp/src/emitter.cpp" ] || need_yaml_src=1
need_lzma_src=0
[ -f "$here/third_party/lzma/Bra86.c" ] || need_lzma_src=1

if [ ${#missing[@]} -gt 0 ] || [ ${#missing32[@]} -gt 0 ] || [ $need_src -eq 1 ] || [ $need_deflate_src -eq 1 ] ||
   [ $need_zlib_src -eq 1 ] || [ $need_json_src -eq 1 ] || [ $need_yaml_src -eq 1 ] || [ $need_lzma_src -eq 1 ]; then
  if [ $with_32bit -eq 1 ] && ! dpkg --print-foreign-architectures | grep -q '^i386$'; then
    $SUDO dpkg --add-architecture i386
  fi
  # apt-get source needs deb-src lines for the running suite.
  if ! grep -rqs '^Types:.*deb-src' "$apt_etc/sources.list.d/" && ! grep -qs '^deb-src' "$apt_etc/sources.list"; then
    if [ -f "$apt_etc/sources.list.d/debian.sources" ]; then
      $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$apt_etc/sources.list.d/debian.sources"
    else
      codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
      echo "deb-src http://deb.debian.org/debian $codename main" | $SUDO tee "$apt_etc/sources.list.d/quillset-src.list" >/dev/null
    fi
  fi
  refresh_indexes
fi

if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    give_up "could not install: ${missing[*]}"
fi
if [ ${#missing32[@]} -gt 0 ] &&
   ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing32[@]}" >/dev/null 2>&1; then
  echo "setup: could not install ${missing32[*]}${failed_indexes:+ (the index ${failed_indexes% } could not be refreshed)}; the wine tests will run the x86_64 builds. For the 32-bit programs, run 'bash scripts/setup.sh' again later"
fi

# Fetches Debian's source package $1 and unpacks it into $2/src. A mirror
# may list a version whose files it no longer holds (the security archive
# answers 404 for a moment after a newer update replaced it): then the index
# is refreshed and the newest version tried again, and failing that each
# older version the indexes list, newest first, with a warning.
fetch_one() {  # PACKAGE[=VERSION] FOLDER
  rm -rf "${2:?}"/*
  (cd "$2" && apt-get source -q --download-only "$1" >/dev/null 2>&1 &&
    dpkg-source -x --no-check ./*.dsc src >/dev/null)
}
fetch_source() {
  local version
  fetch_one "$1" "$2" && return
  refresh_indexes
  fetch_one "$1" "$2" && return
  while read -r version; do
    if fetch_one "$1=$version" "$2"; then
      echo "setup: the newest source package of $1 could not be fetched; using version $version"
      return
    fi
  done < <(apt-cache showsrc --only-source "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -r -V -u)
  give_up "could not fetch the source package $1"
}

# Moves the files gathered in $1/out into third_party/$2 at once, so that an
# interrupted run leaves nothing half-copied behind, and removes $1.
move_in() {
  mkdir -p "$here/third_party"
  rm -rf "$here/third_party/$2"
  mv "$1/out" "$here/third_party/$2"
  rm -rf "$1"
}

# minizip has no mingw package: compile its sources from Debian's source package.
if [ $need_src -eq 1 ]; then
  tmp=$(mktemp -d)
  fetch_source minizip "$tmp"
  srcdir=$(find "$tmp/src" -name zip.c -not -path '*/.pc/*' -printf '%h\n' | head -n 1)
  mkdir -p "$here/third_party/minizip"
  for f in zip.c zip.h unzip.c unzip.h ioapi.c ioapi.h iowin32.c iowin32.h crypt.h; do
    [ -f "$srcdir/$f" ] && cp "$srcdir/$f" "$here/third_party/minizip/"
  done
  rm -rf "$tmp"
fi

# libdeflate (whole-buffer deflate for payload entries) has no mingw package
# either: the cross builds compile its compressor from Debian's source
# package, unpacked beside the target and moved in at once.
if [ $need_deflate_src -eq 1 ]; then
  tmp=$(mktemp -d)
  fetch_source libdeflate "$tmp"
  mkdir -p "$tmp/out"
  cp -r "$tmp/src/lib" "$tmp/src/libdeflate.h" "$tmp/src/common_defs.h" "$tmp/src/COPYING" "$tmp/out/"
  move_in "$tmp" libdeflate
fi

# zlib for the cross builds, from Debian's source package too: compiled
# with the linker sections and the small CRC table that keep the installer
# stub small (see CMakeLists.txt). Moved in at once, like libdeflate.
if [ $need_zlib_src -eq 1 ]; then
  tmp=$(mktemp -d)
  fetch_source zlib "$tmp"
  mkdir -p "$tmp/out"
  for f in adler32.c compress.c crc32.c crc32.h deflate.c deflate.h gzguts.h inffast.c inffast.h \
           inffixed.h inflate.c inflate.h inftrees.c inftrees.h trees.c trees.h uncompr.c zconf.h \
           zlib.h zutil.c zutil.h LICENSE; do
    cp "$tmp/src/$f" "$tmp/out/" || give_up "the zlib source package lacks $f"
  done
  move_in "$tmp" zlib
fi
# The builder writes JSON and YAML through libraries: nlohmann-json is one
# header, taken from its source package; yaml-cpp has no mingw package, so
# the cross builds compile its sources. Moved in at once, like libdeflate.
if [ $need_json_src -eq 1 ]; then
  tmp=$(mktemp -d)
  fetch_source nlohmann-json3 "$tmp"
  mkdir -p "$tmp/out/nlohmann"
  cp "$tmp/src/single_include/nlohmann/json.hpp" "$tmp/out/nlohmann/" &&
    cp "$tmp/src/LICENSE.MIT" "$tmp/out/" || give_up "the nlohmann-json3 source package lacks its single header"
  move_in "$tmp" nlohmann
fi
if [ $need_yaml_src -eq 1 ]; then
  tmp=$(mktemp -d)
  fetch_source yaml-cpp "$tmp"
  mkdir -p "$tmp/out"
  cp -r "$tmp/src/include" "$tmp/src/src" "$tmp/src/LICENSE" "$tmp/out/" ||
    give_up "the yaml-cpp source package lacks its sources"
  move_in "$tmp" yaml-cpp
fi
# The LZMA coder of the payload: Debian packages no library of its C
# sources, so every build (native and cross) compiles the few files it needs
# from the 7zip source package: the decoder for the stub, the encoder for
# the builder, and the x86 branch converter for both.
if [ $need_lzma_src -eq 1 ]; then
  tmp=$(mktemp -d)
  fetch_source 7zip "$tmp"
  mkdir -p "$tmp/out"
  for f in 7zTypes.h 7zWindows.h Bra.h Bra86.c Compiler.h CpuArch.c CpuArch.h LzFind.c LzFind.h LzFindMt.h LzHash.h \
           LzmaDec.c LzmaDec.h LzmaEnc.c LzmaEnc.h Precomp.h Threads.h; do
    cp "$tmp/src/C/$f" "$tmp/out/" || give_up "the 7zip source package lacks C/$f"
  done
  cp "$tmp/src/DOC/License.txt" "$tmp/out/" || give_up "the 7zip source package lacks its licence"
  move_in "$tmp" lzma
fi
[ $with_32bit -eq 1 ] || echo "setup: this kernel does not run 32-bit code: the 32-bit Wine packages are left out, the wine tests run x86_64 builds"
echo "setup: done"
