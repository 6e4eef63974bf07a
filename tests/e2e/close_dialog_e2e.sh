#!/usr/bin/env bash
# Closing the start dialog with a close request (WM_DELETE_WINDOW, as a
# window manager's close box sends it) ends the program with exit code 0
# without ever opening the fullscreen window.
# Usage: close_dialog_e2e.sh EDITOR-BINARY CLOSE-REQUEST-HELPER
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
closer=$2
e2e_init close_dialog

start_xvfb 1280x1024x16
start_editor "$editor"
dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
"$closer" "$dialog" || fail "the dialog does not accept a close request"

fullscreen_seen=0
ended() {
    [ -n "$(find_window OpenGLFullScreen)" ] && fullscreen_seen=1
    ! kill -0 "$E2E_EDITOR_PID" 2>/dev/null
}
wait_until 5 ended || fail "the program did not end within 5 s of the close request"
[ "$fullscreen_seen" = 0 ] || fail "the fullscreen window appeared"
wait_for_exit "$E2E_EDITOR_PID" 1 >/dev/null || fail "the program still runs"
code=$E2E_EXIT_CODE
[ "$code" = 0 ] || fail "the program ended with exit code $code"
e2e_log "program ended with exit code 0"
exit 0
