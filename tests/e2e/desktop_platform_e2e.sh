#!/usr/bin/env bash
# Runs the desktop backend's unit tests that need a display on a private
# 640 x 480 x 16 X server, one program after the other.
# Usage: desktop_platform_e2e.sh TEST-BINARY...
set -u
source "$(dirname "$0")/lib.sh"
e2e_init desktop_platform
start_xvfb 640x480x16
# GTK keeps the file chooser's settings in memory: no session bus here.
export GSETTINGS_BACKEND=memory
failed=""
for binary in "$@"; do
    name=$(basename "$binary")
    "$binary" 2>&1 | tee "$E2E_OUT/$name.log"
    [ "${PIPESTATUS[0]}" = 0 ] || failed="$failed $name"
done
[ -z "$failed" ] || fail "desktop backend tests failed:$failed"
exit 0
