#!/usr/bin/env bash
# Start and stop of the editor on a 1280 x 1024 x 16 display: the start
# dialog "OpenGL" appears at its fixed size, Start opens the fullscreen
# window "OpenGLFullScreen" and hides the dialog, the frame rate shows as
# black digits on a white box at (100, 100), and Escape ends the program
# with exit code 0 within 5 seconds.
# Usage: startup_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init startup

start_xvfb 1280x1024x16
start_editor "$editor"

dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
read -r dx dy dw dh <<<"$(window_geometry "$dialog")"
e2e_log "start dialog at $dx,$dy size ${dw}x$dh"
[ "$dw" = 115 ] && [ "$dh" = 109 ] || fail "start dialog client area is ${dw}x$dh, not 115x109"
# Centred on the screen (within a pixel of rounding).
[ $((2 * dx + dw - 1280)) -ge -2 ] && [ $((2 * dx + dw - 1280)) -le 2 ] &&
    [ $((2 * dy + dh - 1024)) -ge -2 ] && [ $((2 * dy + dh - 1024)) -le 2 ] ||
    fail "start dialog is not centred"
screenshot "$E2E_OUT/dialog.png"

# The Start button's rectangle is 32,80 41x25: click its middle.
click_at "$dialog" 52 92
fullscreen=$(wait_for_window OpenGLFullScreen 20) || {
    [ -n "$(find_window Fehler)" ] && fail "an error box appeared instead of the editor"
    fail "the fullscreen window did not appear"
}
read -r fx fy fw fh <<<"$(window_geometry "$fullscreen")"
e2e_log "fullscreen window at $fx,$fy size ${fw}x$fh"
[ "$fx $fy $fw $fh" = "0 0 1280 1024" ] || fail "fullscreen window is not 0,0 1280x1024"
wait_for_no_window OpenGL 5 || fail "the start dialog stays visible while the editor runs"

# The frame rate: black glyphs on a white box whose top-left corner is at
# (100, 100), 13 pixels high, 8 pixels per digit. Poll screenshots until it
# shows; the picture of a frame with an error box fails at once.
shot="$E2E_OUT/editor.png"
frame_rate_shown() {
    [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
    screenshot "$shot"
    frame_rate_box_in "$shot"
}
wait_until 30 frame_rate_shown || fail "no frame-rate box at (100, 100)"
e2e_log "frame-rate box found"
# The box starts exactly at (100, 100): the pixel row above it and the
# column left of it belong to the scene, not to the white box.
above=$(white_pixel_count "$shot" 8 1 100 99)
left=$(white_pixel_count "$shot" 1 13 99 100)
[ "$above" -lt 8 ] || [ "$left" -lt 13 ] || fail "the white box reaches beyond (100, 100)"
convert "$shot" -crop 48x21+96+96 +repage -scale 800% "$E2E_OUT/frame_rate_zoom.png"

press_key "$fullscreen" Escape
wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "the editor did not end within 5 s of Escape"
code=$E2E_EXIT_CODE
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
e2e_log "editor ended with exit code 0"
exit 0
