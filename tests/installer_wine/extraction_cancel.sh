#!/usr/bin/env bash
# Cancel while the payload archive is being copied: the extraction window
# shows the copy in whole MiB, Cancel ends the installer without a wizard and
# the payload folder is removed. The 300 MB payload keeps the window up for
# a few seconds.
TEST=extraction_cancel
source "$(dirname "$0")/common.sh"

head -c 300000000 /dev/urandom > "$WORK/big.bin"
export WORK
make_package "$WORK/setup.exe" <<'JSON'
{"data": {"tt.txt": "Big", "wt.txt": "Welcome"}, "stored": true,
 "entry_files": {"big.bin": "$WORK/big.bin"}}
JSON
rm "$WORK/big.bin"
payload=$(( $(stat -c %s "$WORK/setup.exe") - $(stat -c %s "$QUILL_DIST/ext.dat") - 8 ))

start_installer "$WORK/setup.exe"
progress=$(driver wait-control 1040 30 expect-text 1040 "Extracting..." progress 1022) ||
  fail "no extraction window"
shot extracting
[ "${progress#*/}" = "0-$((payload / 1024 / 1024))" ] || fail "progress range: $progress"
progress=$(driver wait-control 1040 5 progress 1022 click 1000) ||
  fail "the extraction ended before it could be cancelled"
position=${progress%%/*}
[ "$position" -lt $((payload / 1024 / 1024)) ] || fail "cancelled after the copy: $progress"
# The installer ends by itself: a wizard would wait for input.
wait_installer setup.exe 30
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind after a cancelled extraction"
echo "PASS"
