#!/usr/bin/env bash
# scripts/setup.sh against a package manager that misbehaves, without the
# network: apt-get, dpkg, dpkg-query and dpkg-source are stand-ins on the PATH
# that record their calls. An index that cannot be refreshed must not stop
# the set-up; a package or source that cannot be had must, with a message
# that names it and the failed index.
#   setup_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/quill-setup-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

bin="$work/bin"
mkdir -p "$bin"
cat > "$bin/apt-get" <<'SH'
#!/usr/bin/env bash
echo "apt-get $*" >> "$FAKE_CALLS"
case " $* " in
  *" update "*)
    n=$(grep -c '^apt-get update' "$FAKE_CALLS")
    if [ "$FAKE_UPDATE" = always ] || { [ "$FAKE_UPDATE" = once ] && [ "$n" -eq 1 ]; }; then
      echo "E: Failed to fetch http://deb.example/dists/sec/main/binary-i386/Packages.xz  File has unexpected size (1 != 2). Mirror sync in progress?" >&2
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
      exit 100
    fi ;;
  *" install "*)
    for p in $FAKE_UNINSTALLABLE; do
      case " $* " in *" $p "*) echo "E: Unable to correct problems, you have held broken packages." >&2; exit 100 ;; esac
    done ;;
  *" source "*)
    pkg=${*: -1}
    [ "${pkg%%=*}" != "$FAKE_NO_SOURCE" ] || { echo "E: Unable to find a source package for $pkg" >&2; exit 100; }
    # A stale package: the index lists version 2, whose files are gone.
    if [ "${pkg%%=*}" = "$FAKE_STALE" ] && [ "$pkg" != "$FAKE_STALE=1" ]; then
      echo "E: Failed to fetch http://deb.example/pool/${pkg%%=*}_2.dsc  404  Not Found" >&2; exit 100
    fi
    touch "${pkg}_1.dsc" ;;
esac
SH
cat > "$bin/apt-cache" <<'SH'
#!/usr/bin/env bash
[ "${*: -1}" = "$FAKE_NO_SOURCE" ] || printf 'Package: %s\nVersion: 1\n\nPackage: %s\nVersion: 2\n' "${*: -1}" "${*: -1}"
SH
cat > "$bin/dpkg-query" <<'SH'
#!/usr/bin/env bash
for p in $FAKE_MISSING; do [ "$p" != "${*: -1}" ] || exit 1; done
printf 'install ok installed'
SH
cat > "$bin/dpkg" <<'SH'
#!/usr/bin/env bash
[ "$1" = --print-foreign-architectures ] && exit 0
echo "dpkg $*" >> "$FAKE_CALLS"
SH
cat > "$bin/dpkg-source" <<'SH'
#!/usr/bin/env bash
mkdir -p src/lib
touch src/zip.c src/zip.h src/unzip.c src/unzip.h src/ioapi.c src/ioapi.h src/lib/deflate_compress.c \
      src/libdeflate.h src/common_defs.h src/COPYING
for f in adler32.c compress.c crc32.c crc32.h deflate.c deflate.h gzguts.h inffast.c inffast.h \
         inffixed.h inflate.c inflate.h inftrees.c inftrees.h trees.c trees.h uncompr.c zconf.h \
         zlib.h zutil.c zutil.h LICENSE; do touch "src/$f"; done
mkdir -p src/single_include/nlohmann src/include/yaml-cpp src/src
touch src/single_include/nlohmann/json.hpp src/LICENSE.MIT src/include/yaml-cpp/yaml.h src/src/emitter.cpp
mkdir -p src/C src/DOC
for f in 7zTypes.h 7zWindows.h Bra.h Bra86.c Compiler.h CpuArch.c CpuArch.h LzFind.c LzFind.h LzFindMt.h LzHash.h \
         LzmaDec.c LzmaDec.h LzmaEnc.c LzmaEnc.h Precomp.h Threads.h; do touch "src/C/$f"; done
touch src/DOC/License.txt
SH
printf '#!/usr/bin/env bash\nexec "$@"\n' > "$bin/sudo"
chmod +x "$bin"/*

# One run of a fresh copy of the script; prints its exit code, output and calls.
run_setup() {
  local repo="$work/repo"
  rm -rf "$repo"
  mkdir -p "$repo/scripts" "$work/etc/sources.list.d"
  cp "$source_dir/scripts/setup.sh" "$repo/scripts/"
  if [ "${1:-}" = with-sources ]; then
    mkdir -p "$repo/third_party/minizip" "$repo/third_party/libdeflate/lib" "$repo/third_party/zlib" \
             "$repo/third_party/nlohmann/nlohmann" "$repo/third_party/yaml-cpp/src" "$repo/third_party/lzma"
    touch "$repo/third_party/minizip/zip.c" "$repo/third_party/libdeflate/lib/deflate_compress.c" \
          "$repo/third_party/zlib/inflate.c" "$repo/third_party/nlohmann/nlohmann/json.hpp" \
          "$repo/third_party/yaml-cpp/src/emitter.cpp" "$repo/third_party/lzma/Bra86.c"
  fi
  echo "deb-src http://deb.example/debian bookworm main" > "$work/etc/sources.list"
  : > "$FAKE_CALLS"
  local code=0
  PATH="$bin:$PATH" QUILL_APT_ETC="$work/etc" QUILL_APT_PAUSE=0 bash "$repo/scripts/setup.sh" \
    > "$work/out" 2>&1 || code=$?
  echo "exit $code"
  cat "$work/out" "$FAKE_CALLS"
}

export FAKE_CALLS="$work/calls"
# name | update | 32-bit | missing | uninstallable | source missing | stale source | what the run must print (grep -E, each line)
cases=(
  "index fails once|once|yes|cmake wine32:i386||||exit 0;apt-get update.*apt-get update;dpkg --add-architecture i386;install.* cmake;install.* wine32:i386;setup: done"
  "index always fails, packages install|always|yes|cmake||||exit 0;refreshed after 3 tries \(failed: http://deb.example/dists/sec/main/binary-i386/Packages.xz\); going on;install.* cmake;setup: done"
  "index fails, package cannot install|always|yes|cmake wine64|wine64|||exit 1;could not install: cmake wine64;could not be refreshed: http://deb.example/dists/sec/main/binary-i386/Packages.xz;again later"
  "32-bit Wine cannot install|always|yes|wine32:i386|wine32:i386|||exit 0;could not install wine32:i386 \(the index http://deb.example/.*Packages.xz could not be refreshed\); the wine tests will run the x86_64 builds;setup: done"
  "kernel refuses 32-bit code|ok|no|cmake wine32:i386|wine32:i386|||exit 0;install.* cmake;does not run 32-bit code;setup: done"
  "source package missing|ok|yes|||libdeflate||exit 1;could not fetch the source package libdeflate;again later"
  "YAML source package missing|ok|yes|||yaml-cpp||exit 1;could not fetch the source package yaml-cpp;again later"
  "newest source gone, an older one fetched|ok|yes||||zlib|exit 0;apt-get update;source.* zlib=2;source.* zlib=1;using version 1;setup: done"
)
for c in "${cases[@]}"; do
  IFS='|' read -r name FAKE_UPDATE QUILL_SETUP_32BIT FAKE_MISSING FAKE_UNINSTALLABLE FAKE_NO_SOURCE FAKE_STALE expected \
    <<< "$c"
  export FAKE_UPDATE QUILL_SETUP_32BIT FAKE_MISSING FAKE_UNINSTALLABLE FAKE_NO_SOURCE FAKE_STALE
  out=$(run_setup)
  IFS=';' read -ra patterns <<< "$expected"
  for p in "${patterns[@]}"; do
    grep -Ezq -- "$p" <<< "$out" || { echo "$out"; fail "$name: no '$p'"; }
  done
  if [ "$QUILL_SETUP_32BIT" = no ]; then
    grep -E 'wine32|add-architecture' "$FAKE_CALLS" && fail "$name: 32-bit packages asked for"
  fi
done

# With everything present nothing is asked of the package manager, so a
# broken index cannot matter.
export FAKE_UPDATE=always FAKE_MISSING="" QUILL_SETUP_32BIT=yes
out=$(run_setup with-sources)
grep -q 'exit 0' <<< "$out" || fail "everything present: $out"
! grep -q 'apt-get' "$FAKE_CALLS" || fail "everything present, yet apt-get ran: $(cat "$FAKE_CALLS")"
echo PASS
