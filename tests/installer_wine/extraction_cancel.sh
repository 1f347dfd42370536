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

# The driver waits for the window before the installer starts, then reads the
# progress and clicks Cancel in the same run: a wine start-up in between
# would let the copy finish first.
driver wait-control 1040 60 expect-text 1040 "Extracting..." \
  wait-range 1022 $((payload / 1024 / 1024)) 10 progress 1022 click 1000 \
  > "$WORK/driver.out" 2>&1 &
driver_pid=$!
sleep 2
start_installer "$WORK/setup.exe"
wait "$driver_pid" || { cat "$WORK/driver.out"; fail "no extraction window"; }
progress=$(tail -n 1 "$WORK/driver.out")
[ "${progress#*/}" = "0-$((payload / 1024 / 1024))" ] || fail "progress range: $progress"
position=${progress%%/*}
[ "$position" -lt $((payload / 1024 / 1024)) ] || fail "cancelled after the copy: $progress"
# The installer ends by itself: a wizard would wait for input.
wait_installer setup.exe 30
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind after a cancelled extraction"
echo "PASS"
