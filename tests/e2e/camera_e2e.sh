#!/usr/bin/env bash
# Camera controls of the running editor on a 1280 x 1024 x 16 display.
#
# The start view has the map's left edge (world x = 0) running up the middle
# of the screen: left of it the cleared background, right of it the ground.
# The column where the ground begins on a pixel row ("edge") is the measure:
#   - holding the Right arrow scrolls the map to the left (edge moves left),
#     the Left arrow brings it back;
#   - with the edge left of the centre, holding keypad 2 lowers the eye
#     (zoom in): the ground at a row is nearer, so the edge moves further
#     from the centre; keypad 8 zooms out again;
#   - holding keypad 6 turns the view: the edge line tilts, so the edges on
#     an upper and a lower row move apart in the other direction; keypad 4
#     turns back.
# Each hold lasts until the expected change is seen (polled screenshots),
# never a fixed time. The view is also checked to stay put once keys are
# released, the bottom 230 rows to hold no ground, and Escape to end the
# editor with exit code 0. A picture of the textured map is left as
# overview.png in the output folder.
# Usage: camera_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init camera

start_xvfb 1280x1024x16
start_editor "$editor"

dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92
win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"

# The pointer rests low in the middle, inside the menu rows but away from
# the 20-pixel scroll bands and from the rows measured; the keyboard focus
# follows it.
pointer_to "$win" 640 900

shot="$E2E_OUT/current.png"
ROW_MID=500
ROW_HIGH=380
ROW_LOW=700

# edge_at FILE ROW: first column of a run of 8 non-background pixels on the
# row (screen coordinates, y from the top); 1280 when there is none.
edge_at() {
    convert "$1" -crop "1280x1+0+$2" +repage -colorspace Gray -depth 8 txt:- |
        awk -F'[,:() ]+' 'NR > 1 {
                 v = $5 + 0; x = $1 + 0
                 if (v > 12) { if (run == 0) start = x; run++; if (run >= 8) { print start; found = 1; exit } }
                 else run = 0
             }
             END { if (!found) print 1280 }'
}

EDGE_MID=0
EDGE_HIGH=0
EDGE_LOW=0
measure() {
    [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
    screenshot "$shot"
    EDGE_MID=$(edge_at "$shot" $ROW_MID)
    EDGE_HIGH=$(edge_at "$shot" $ROW_HIGH)
    EDGE_LOW=$(edge_at "$shot" $ROW_LOW)
}

# settle: waits until two screenshots in a row measure the same edges (keys
# released, the view no longer moves), and keeps that measurement.
settle() {
    local previous=""
    stable() {
        measure
        local now="$EDGE_MID $EDGE_HIGH $EDGE_LOW"
        [ "$now" = "$previous" ] && return 0
        previous=$now
        return 1
    }
    wait_until 20 stable || fail "the view keeps moving with no key held"
    e2e_log "edges: high $EDGE_HIGH, middle $EDGE_MID, low $EDGE_LOW"
}

# hold_until KEY TIMEOUT CONDITION: holds KEY until CONDITION (evaluated after
# a fresh measurement) holds, then releases it.
hold_until() {
    local key=$1 timeout=$2 condition=$3
    hold_key "$key"
    wait_until "$timeout" "measure; $condition"
    local ok=$?
    release_key "$key"
    [ $ok = 0 ] || fail "holding $key: '$condition' not reached (edges $EDGE_HIGH $EDGE_MID $EDGE_LOW)"
    e2e_log "held $key until $condition"
}

# The first frames: the ground shows right of the middle, nothing left of it.
wait_until 30 'measure; [ "$EDGE_MID" -lt 1280 ]' || fail "no ground drawn on row $ROW_MID"
settle
cp "$shot" "$E2E_OUT/start.png"
[ "$EDGE_MID" -ge 600 ] && [ "$EDGE_MID" -le 680 ] ||
    fail "start view: the map edge is at column $EDGE_MID, not near the middle"
left_mean=$(region_mean "$shot" 500 300 40 300)
at_least 0.02 "$left_mean" || fail "start view: left of the map edge is not background ($left_mean)"
right_mean=$(region_mean "$shot" 500 300 700 300)
at_least "$right_mean" 0.1 || fail "start view: no ground right of the edge ($right_mean)"
# Nothing of the 3D view in the menu rows (the menu sits at the right).
menu_rows_mean=$(region_mean "$shot" 600 229 0 795)
at_least 0.02 "$menu_rows_mean" || fail "ground drawn into the bottom 230 rows ($menu_rows_mean)"

# Scrolling with the arrow keys.
start=$EDGE_MID
hold_until Right 20 "[ \$EDGE_MID -lt $((start - 200)) ]"
settle
scrolled=$EDGE_MID
hold_until Left 20 "[ \$EDGE_MID -gt $((scrolled + 100)) ]"
settle
# Park the edge left of the middle for the zoom.
hold_until Right 20 "[ \$EDGE_MID -lt 520 ] && [ \$EDGE_MID -gt 200 ]"
settle
cp "$shot" "$E2E_OUT/scrolled.png"

# Zoom: keypad 2 lowers the eye, keypad 8 raises it again.
before=$EDGE_MID
hold_until KP_2 30 "[ \$EDGE_MID -lt $((before - 80)) ]"
settle
cp "$shot" "$E2E_OUT/zoomed_in.png"
zoomed=$EDGE_MID
hold_until KP_8 30 "[ \$EDGE_MID -gt $((zoomed + 60)) ]"
settle

# Turn: keypad 6 tilts the edge line one way, keypad 4 the other.
slope() { echo $((EDGE_HIGH - EDGE_LOW)); }
tilt=$(slope)
e2e_log "edge tilt (high - low) $tilt"
hold_until KP_6 30 "[ \$((EDGE_HIGH - EDGE_LOW)) -lt $((tilt - 80)) ]"
settle
cp "$shot" "$E2E_OUT/turned.png"
turned=$(slope)
hold_until KP_4 30 "[ \$((EDGE_HIGH - EDGE_LOW)) -gt $((turned + 60)) ]"
settle

# Over the middle of the map for the overview picture: forward and right.
hold_until Up 30 "[ \$EDGE_MID -ge 1280 ] && [ \$EDGE_HIGH -ge 1280 ]"
hold_key Right
wait_until 30 'measure; [ "$EDGE_LOW" -ge 1280 ]'
release_key Right
settle
cp "$shot" "$E2E_OUT/overview.png"

pointer_to "$win" 640 900
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 5) || fail "the editor did not end within 5 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
e2e_log "editor ended with exit code 0"
exit 0
