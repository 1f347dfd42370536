#!/usr/bin/env bash
# The Debian package of the Linux builder: made by CPack, unpacked into a
# scratch root with dpkg -x, and used from there to make and build the
# example project.
#   deb_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$1
source_dir=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/quill-deb-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build_dir" && cpack -B "$work/pkg" > "$work/cpack.log" 2>&1) || fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/pkg/*.deb)
[ "$(dpkg-deb -f "$deb" Package)" = quillset-build ] || fail "package name"
root="$work/root"
dpkg -x "$deb" "$root"
for f in usr/bin/quillset-build usr/lib/quillset/quillset-build usr/lib/quillset/ext.dat \
         usr/lib/quillset/uninst.dat usr/lib/quillset/ext64.dat usr/lib/quillset/uninst64.dat \
         usr/lib/quillset/setup.JPG usr/lib/libciphon.so \
         usr/share/man/man1/quillset-build.1; do
  [ -e "$root/$f" ] || fail "$f missing from the package"
done
[ -L "$root/usr/bin/quillset-build" ] || fail "usr/bin/quillset-build is not a link"
grep -q '^\.SH SET' "$root/usr/share/man/man1/quillset-build.1" || fail "man page lacks the set command"
nm -D --defined-only "$root/usr/lib/libciphon.so" | grep -w Enblow > /dev/null || fail "libciphon.so exports no Enblow"

# The installed builder, called through its link, finds its files.
qb="$root/usr/bin/quillset-build"
QUILLSET_BUILD="$qb" bash "$source_dir/examples/make_example.sh" "$work/example.qsp" > "$work/make.log" 2>&1 ||
  fail "making the example: $(cat "$work/make.log")"
grep -qF "$root/usr/lib/quillset/uninst.dat" "$work/example.qsp" || fail "uninstaller source not in the library folder"
"$qb" check "$work/example.qsp" > "$work/check.log" 2>&1 || fail "check: $(cat "$work/check.log")"
"$qb" build "$work/example.qsp" -o "$work/example-setup.exe" > "$work/build.log" 2>&1 ||
  fail "build: $(cat "$work/build.log")"
grep -q "warning:" "$work/build.log" && fail "warnings: $(cat "$work/build.log")"
cmp -s -n "$(stat -c %s "$root/usr/lib/quillset/ext.dat")" "$root/usr/lib/quillset/ext.dat" "$work/example-setup.exe" ||
  fail "the package does not begin with the installed stub"
python3 - "$work/example-setup.exe" "$root/usr/lib/quillset/uninst.dat" "$source_dir/tests/support" <<'PY' ||
import sys
sys.path.insert(0, sys.argv[3])
import package_payload
names, read, archive = package_payload.open_package(sys.argv[1])
assert read("Uninstall.exe") == open(sys.argv[2], "rb").read()
assert "%Quillpack%/img/setup.jpg" in names
PY
  fail "package contents"
echo "deb: $(basename "$deb") installs a builder that builds the example"
