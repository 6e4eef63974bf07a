#!/usr/bin/env bash
# Without a display the program ends at once with a non-zero exit code and
# exactly one line on standard error, whether DISPLAY is unset or names a
# server that does not exist.
# Usage: no_display_e2e.sh EDITOR-BINARY
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init no_display

check_without_display() {
    local label=$1
    shift
    local err="$E2E_OUT/$label.stderr" code=0
    env "$@" timeout 10 "$editor" >"$E2E_OUT/$label.stdout" 2>"$err" || code=$?
    [ "$code" != 124 ] || fail "$label: the program hung"
    [ "$code" != 0 ] || fail "$label: exit code 0 without a display"
    [ "$code" -lt 128 ] || fail "$label: the program crashed (exit code $code)"
    [ "$(wc -l <"$err")" = 1 ] || fail "$label: standard error has $(wc -l <"$err") lines, not 1"
    grep -qi display "$err" || fail "$label: the message does not mention the display"
    e2e_log "$label: exit code $code, message: $(cat "$err")"
}
check_without_display unset -u DISPLAY -u WAYLAND_DISPLAY
check_without_display missing_server -u WAYLAND_DISPLAY DISPLAY=:59999
exit 0
