#!/usr/bin/env bash
# Runs the desktop backend's own unit tests on a private 640 x 480 x 16 X
# server.
# Usage: desktop_platform_e2e.sh DESKTOPPLATFORM-TEST-BINARY [gtest options]
set -u
source "$(dirname "$0")/lib.sh"
binary=$1
shift
e2e_init desktop_platform
start_xvfb 640x480x16
"$binary" "$@" 2>&1 | tee "$E2E_OUT/gtest.log"
code=${PIPESTATUS[0]}
[ "$code" = 0 ] || fail "desktop backend tests failed (exit code $code)"
exit 0
