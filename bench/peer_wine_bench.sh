#!/usr/bin/env bash
# Silent install and silent removal under Wine, against a peer installer
# (makensis from the Debian package "nsis", zlib compression) built from the
# same corpus (about 2,000 files): wall times including each program's
# start, alternated over rounds, and the ratios of the best runs.
#   QUILL_DIST=build/win32/dist QUILL_SOURCE=. QUILL_BUILD=build/native \
#     bash bench/peer_wine_bench.sh
# Run bench/install_wine_bench.sh first: it makes the corpus and our package.
# The peer's uninstaller returns before its copy has removed anything: its
# time runs until its folder is gone, polled every 0.1 s.
set -euo pipefail
TEST=peer_bench
source "$QUILL_SOURCE/tests/installer_wine/common.sh"
bench=${QUILL_BENCH_DIR:-/tmp/quill-bench}
[ -f "$bench/wine-setup.exe" ] || fail "run bench/install_wine_bench.sh first"
command -v makensis >/dev/null || fail "makensis is not installed"
if [ ! -f "$bench/peer-setup.exe" ]; then
  cat > "$bench/peer.nsi" <<NSI
Name "Peer Bench"
OutFile "$bench/peer-setup.exe"
InstallDir "C:\\Peer Bench"
SetCompressor zlib
RequestExecutionLevel admin
Section
  SetOutPath "\$INSTDIR"
  File /r "$bench/corpus/*.*"
  WriteUninstaller "\$INSTDIR\\Uninstall.exe"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Peer Bench" "DisplayName" "Peer Bench"
  WriteRegStr HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Peer Bench" "UninstallString" "\$INSTDIR\\Uninstall.exe"
SectionEnd
Section Uninstall
  RMDir /r "\$INSTDIR"
  DeleteRegKey HKLM "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Peer Bench"
SectionEnd
NSI
  makensis -V1 "$bench/peer.nsi"
fi
cp "$bench/wine-setup.exe" "$WORK/ours.exe"
cp "$bench/peer-setup.exe" "$WORK/peer.exe"

now() { date +%s.%N; }
timed() { local t0; t0=$(now); wine "$@" >/dev/null 2>&1 || true; awk -v a="$t0" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
rounds=${QUILL_BENCH_ROUNDS:-2}
ours_in=() ours_out=() peer_in=() peer_out=()
for _ in $(seq "$rounds"); do
  ours_in+=("$(timed "$WORK/ours.exe" /S '/D=C:\Our Bench')")
  [ -f "$DRIVE_C/Our Bench/Uninstall.exe" ] || fail "our install did not finish"
  ours_out+=("$(timed 'C:\Our Bench\Uninstall.exe' /S)")
  [ ! -e "$DRIVE_C/Our Bench" ] || fail "our removal left files"
  peer_in+=("$(timed "$WORK/peer.exe" /S '/D=C:\Peer Bench')")
  [ -f "$DRIVE_C/Peer Bench/Uninstall.exe" ] || fail "the peer's install did not finish"
  # The peer's uninstaller starts a copy of itself and returns: the time
  # runs until its folder is gone (or a minute has passed).
  t0=$(now)
  wine 'C:\Peer Bench\Uninstall.exe' /S >/dev/null 2>&1 || true
  for _ in $(seq 600); do [ -e "$DRIVE_C/Peer Bench" ] || break; sleep 0.1; done
  peer_out+=("$(awk -v a="$t0" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }')")
  peer_left=$( (find "$DRIVE_C/Peer Bench" -type f 2>/dev/null || true) | wc -l)
  rm -rf "$DRIVE_C/Peer Bench"
done
best() { printf '%s\n' "$@" | sort -n | head -n 1; }
echo "files: $(find "$bench/corpus" -type f | wc -l); packages: ours $(stat -c %s "$bench/wine-setup.exe") bytes, peer $(stat -c %s "$bench/peer-setup.exe") bytes"
echo "silent install  s: ours ${ours_in[*]}; peer ${peer_in[*]}"
echo "silent removal  s: ours ${ours_out[*]}; peer ${peer_out[*]} (files the peer left: $peer_left)"
awk -v a="$(best "${ours_in[@]}")" -v b="$(best "${peer_in[@]}")" -v c="$(best "${ours_out[@]}")" \
    -v d="$(best "${peer_out[@]}")" \
  'BEGIN { printf "best: install %.2fx the peer'"'"'s time, removal %.2fx\n", a / b, c / d }'
