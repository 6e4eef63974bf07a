#!/usr/bin/env bash
# Taking back a stroke and putting it back, on a 1280 x 1024 x 16 display:
#   - brush size 8 and the raise icon; the pointer rests on the menu panel
#     (no tool acts there, no scrolling), and a picture of the terrain area
#     is taken: "before";
#   - the right button (the faster step) held on a spot of ground until a
#     hill shows, then released; the pointer back on the panel: "after";
#   - Ctrl+Z: the terrain area becomes exactly "before" again;
#   - Ctrl+Y: it becomes exactly "after" again;
#   - Escape ends the editor with exit code 0.
# The compared area is a block of ground right of the map's left edge, as
# the start view shows it: above the menu rows, away from the frame-rate
# text, the house and the water tower (and so from the tree, which sways),
# and from any water (the flat start map lies above the water level, and
# raising keeps it there). That it stands still from frame to frame is
# checked first, so an equal picture means equal terrain.
# Every wait polls for its picture; nothing waits a fixed time.
# Usage: undo_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init undo

# Menu cells in window pixels (see editing_e2e.sh): the middle of an icon.
icon_x() { echo $((1026 + 60 * $1 + 24)); }
icon_y() { echo $((1023 - (197 - 60 * $1) - 24)); }
click_icon() {
    pointer_to "$win" "$(icon_x "$2")" "$(icon_y "$1")"
    xdotool click 1
}

# The compared terrain area (W H X Y) and the spot the hill grows on, in
# its middle.
AREA="400 400 660 40"
HILL_X=860 HILL_Y=240
REST_X=640 REST_Y=900  # on the menu panel, clear of its scroll band

shot="$E2E_OUT/current.png"
capture() {
    [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
    screenshot "$shot"
}
# area_of FILE OUT: the compared area of FILE as raw pixels in OUT.
area_of() {
    read -r w h x y <<<"$AREA"
    convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 rgb:"$2"
}
# area_is NAME: the current picture's area equals the saved one, exactly.
area_is() {
    capture
    area_of "$shot" "$E2E_OUT/area_now.rgb"
    cmp -s "$E2E_OUT/area_now.rgb" "$E2E_OUT/area_$1.rgb"
}
# differing_pixels NAME: pixels of the area that differ from the saved one.
differing_pixels() {
    read -r w h x y <<<"$AREA"
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$E2E_OUT/cmp_now.png"
    compare -metric AE "$E2E_OUT/cmp_now.png" "$E2E_OUT/area_$1.png" null: 2>&1 | cut -d' ' -f1
}
# keep NAME: saves the area of the current picture (raw and as PNG).
keep() {
    area_of "$shot" "$E2E_OUT/area_$1.rgb"
    read -r w h x y <<<"$AREA"
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$E2E_OUT/area_$1.png"
    cp "$shot" "$E2E_OUT/$1.png"
}

start_xvfb 1280x1024x16
start_editor "$editor"

dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92
win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
pointer_to "$win" $REST_X $REST_Y
ground_shown() { capture; at_least "$(region_mean "$shot" $AREA)" 0.1; }
wait_until 30 ground_shown || fail "the editor shows no ground in the compared area"

# Brush 8, raise; then the pointer back on the panel.
click_icon 3 3
click_icon 2 0
pointer_to "$win" $REST_X $REST_Y

# The area before the hill, once two pictures in a row agree: the pointer's
# last move has been drawn and nothing in the area moves by itself.
capture
keep before
wait_until 20 'area_is before || { keep before; false; }' ||
    fail "the compared area does not stand still"
e2e_log "area before the hill taken"

# A hill: the right button held on the spot until the area has changed over
# a good part of it.
pointer_to "$win" $HILL_X $HILL_Y
xdotool mousedown 3
wait_until 60 'capture; [ "$(differing_pixels before)" -gt 20000 ]'
grown=$?
xdotool mouseup 3
[ $grown = 0 ] || fail "holding the right button with the raise tool changes nothing in the area"
pointer_to "$win" $REST_X $REST_Y
capture
keep after
wait_until 20 'area_is after || { keep after; false; }' ||
    fail "the area does not stand still after the hill"
e2e_log "hill raised: $(differing_pixels before) pixels differ from before"

# Ctrl+Z: exactly the picture before the hill.
xdotool key ctrl+z
wait_until 20 'area_is before' ||
    fail "after Ctrl+Z the area is not the one before the hill ($(differing_pixels before) pixels differ)"
e2e_log "Ctrl+Z: the area equals the one before the hill"

# Ctrl+Y: exactly the picture with the hill.
xdotool key ctrl+y
wait_until 20 'area_is after' ||
    fail "after Ctrl+Y the area is not the one with the hill ($(differing_pixels after) pixels differ)"
e2e_log "Ctrl+Y: the area equals the one with the hill"

xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 5) || fail "the editor did not end within 5 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
e2e_log "editor ended with exit code 0"
exit 0
