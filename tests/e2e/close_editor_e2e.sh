#!/usr/bin/env bash
# Other ways to end the running editor, each ending the program with exit
# code 0 within 5 seconds: Alt+F4 on the fullscreen window (a close request
# through the system-command path), and a termination signal (SIGTERM),
# which closes the window like its close box.
# Usage: close_editor_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init close_editor
start_xvfb 1280x1024x16

# run_editor_until_frames: starts the editor, presses Start and waits for the
# frame-rate display; leaves the window id in $fullscreen.
run_editor_until_frames() {
    start_editor "$editor"
    local dialog
    dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
    click_at "$dialog" 52 92
    fullscreen=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
    shown() {
        [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
        screenshot "$E2E_OUT/running.png"
        frame_rate_box_in "$E2E_OUT/running.png"
    }
    wait_until 30 shown || fail "the editor shows no frames"
}

run_editor_until_frames
pointer_to "$fullscreen" 640 400
xdotool key alt+F4
wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "Alt+F4 did not end the editor within 5 s"
[ "$E2E_EXIT_CODE" = 0 ] || fail "after Alt+F4 the exit code is $E2E_EXIT_CODE"
wait_for_no_window OpenGLFullScreen 2 || fail "the fullscreen window outlives the program"
e2e_log "Alt+F4: exit code 0"

run_editor_until_frames
kill -TERM "$E2E_EDITOR_PID"
wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "SIGTERM did not end the editor within 5 s"
[ "$E2E_EXIT_CODE" = 0 ] || fail "after SIGTERM the exit code is $E2E_EXIT_CODE"
e2e_log "SIGTERM: exit code 0"
exit 0
