#!/usr/bin/env bash
# Real key input reaches the editor: the keypad's digit keys move the camera
# with NumLock off (keypad 2 then sends KP_Down) as well as with NumLock on
# (keypad 4 sends KP_4): both arrive as the keypad's own key codes. (Keypad
# 8 raises the camera, which starts at its highest point, so it would show
# no change.) Without input the picture changes only a little (the
# water is animated); holding the key changes much more of it.
# Usage: keypad_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init keypad

start_xvfb 1280x1024x16
start_editor "$editor"
dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92
fullscreen=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
# The pointer in the middle of the screen: no edge scrolling, no menu, and
# the keyboard focus on the editor window.
pointer_to "$fullscreen" 640 400

# Pixels that differ (beyond 8 % fuzz) between two screenshots, outside the
# frame-rate box.
changed_pixels() {
    convert "$1" -crop 1280x900+0+124 +repage "$E2E_OUT/compare_a.png"
    convert "$2" -crop 1280x900+0+124 +repage "$E2E_OUT/compare_b.png"
    compare -metric AE -fuzz 8% "$E2E_OUT/compare_a.png" "$E2E_OUT/compare_b.png" null: 2>&1 |
        cut -d' ' -f1
}
first_frames_shown() {
    [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
    screenshot "$E2E_OUT/still_1.png"
    frame_rate_box_in "$E2E_OUT/still_1.png"
}
wait_until 30 first_frames_shown || fail "the editor does not show its first frames"
screenshot "$E2E_OUT/still_2.png"
noise=$(changed_pixels "$E2E_OUT/still_1.png" "$E2E_OUT/still_2.png")
threshold=$((noise * 2 + 20000))
e2e_log "pixels changing without input: $noise; needed with the key held: $threshold"

hold_and_compare() {
    local keysym=$1 label=$2
    screenshot "$E2E_OUT/${label}_before.png"
    hold_key "$keysym"
    moved() {
        screenshot "$E2E_OUT/${label}_held.png"
        [ "$(changed_pixels "$E2E_OUT/${label}_before.png" "$E2E_OUT/${label}_held.png")" -gt "$threshold" ]
    }
    wait_until 15 moved
    local result=$?
    release_key "$keysym"
    [ $result = 0 ] || fail "holding $keysym ($label) does not move the camera"
    e2e_log "$label: camera moved"
}
hold_and_compare KP_Down numlock_off
xdotool key Num_Lock
hold_and_compare KP_4 numlock_on
xdotool key Num_Lock

press_key "$fullscreen" Escape
wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "the editor did not end within 5 s of Escape"
[ "$E2E_EXIT_CODE" = 0 ] || fail "the editor ended with exit code $E2E_EXIT_CODE"
exit 0
