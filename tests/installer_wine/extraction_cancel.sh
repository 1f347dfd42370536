#!/usr/bin/env bash
# Cancel while the payload archive is being copied: the extraction window
# shows the copy in whole MiB, Cancel ends the installer without a wizard and
# the payload folder is removed.
TEST=extraction_cancel
source "$(dirname "$0")/common.sh"

head -c 40000000 /dev/urandom > "$WORK/big.bin"
export WORK
make_package "$WORK/setup.exe" <<'JSON'
{"data": {"tt.txt": "Big", "wt.txt": "Welcome"}, "stored": true,
 "entry_files": {"big.bin": "$WORK/big.bin"}}
JSON
rm "$WORK/big.bin"
payload=$(( $(stat -c %s "$WORK/setup.exe") - $(stat -c %s "$QUILL_DIST/ext.dat") - 8 ))

# The driver starts the package and holds its loader just before it reads
# the archive's first 10 MiB chunk, so the Cancel below always lands while
# the copy is under way, however fast the machine.
driver start-held "\"$(winepath -w "$WORK/setup.exe")\"" 10485760 60 \
  wait-control 1040 60 expect-text 1040 "Extracting..." \
  wait-range 1022 $((payload / 1024 / 1024)) 10 progress 1022 click 1000 release 30 \
  > "$WORK/driver.out" 2>&1 || { cat "$WORK/driver.out"; fail "no extraction window"; }
progress=$(tail -n 1 "$WORK/driver.out")
[ "${progress#*/}" = "0-$((payload / 1024 / 1024))" ] || fail "progress range: $progress"
position=${progress%%/*}
[ "$position" -lt $((payload / 1024 / 1024)) ] || fail "cancelled after the copy: $progress"
echo "cancelled at $progress"
# The installer ends by itself: a wizard would wait for input.
driver wait-process setup.exe 60 || fail "the installer did not end after the cancel"
[ ! -e "$(payload_dir)" ] || fail "payload folder left behind after a cancelled extraction"
echo "PASS"
