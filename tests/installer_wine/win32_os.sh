#!/usr/bin/env bash
# The Win32 backend of the OS boundary, checked by win32_os_check.exe.
TEST=win32_os
source "$(dirname "$0")/common.sh"
out=$(wine "$QUILL_DIST/win32_os_check.exe" | tr -d '\r') || { echo "$out"; fail "backend checks"; }
echo "$out"
echo "PASS"
