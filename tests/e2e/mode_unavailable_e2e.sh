#!/usr/bin/env bash
# A display that cannot take 1280 x 1024 (Xvfb at 1024 x 768 x 16): Start
# shows the message box "Fehler" instead of the fullscreen window; Return
# dismisses it and the program ends with exit code 0. (The message text is
# checked by the unit tests; here the title and the screenshot.)
# Usage: mode_unavailable_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init mode_unavailable

start_xvfb 1024x768x16
start_editor "$editor"
dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92

box=$(wait_for_window Fehler 15) || fail "no message box 'Fehler' appeared"
screenshot "$E2E_OUT/message_box.png"
[ -z "$(find_window OpenGLFullScreen)" ] || fail "a fullscreen window exists beside the error box"
# The box is a light panel with dark text.
read -r bx by bw bh <<<"$(window_geometry "$box")"
dark=$(dark_pixel_count "$E2E_OUT/message_box.png" "$bw" "$bh" "$bx" "$by")
at_least "$dark" 50 || fail "the message box shows no text"

press_key "$box" Return
wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "the program did not end after the box was dismissed"
code=$E2E_EXIT_CODE
[ "$code" = 0 ] || fail "the program ended with exit code $code"
e2e_log "program ended with exit code 0"
exit 0
