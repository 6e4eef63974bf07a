#!/usr/bin/env bash
# Camera controls of the running editor on a 1280 x 1024 x 16 display.
#
# The start view has the map's left edge (world x = 0) running up the middle
# of the screen through the point the camera looks at: left of it the
# cleared background, right of it the ground. The column where the ground
# begins on a pixel row ("edge") is the measure, on three rows:
#   - keypad 6 turns the view about that point: the edge stays put on the
#     middle row while the line tilts (top to the left); keypad 4 turns back;
#   - holding the Right arrow scrolls the map to the left (the edge moves
#     left), the Left arrow to the right; the Up arrow scrolls forward, along
#     the edge: the ground changes, the edge stays;
#   - with the edge left of the middle, holding keypad 2 lowers the eye
#     (zoom in): the ground on a row is nearer, so the edge moves away from
#     the middle; holding keypad 8 zooms out to the top height again, which
#     gives back the same picture.
# Holds last until the expected change is seen (polled screenshots), never
# a fixed time. Where a target window must be hit, single taps are used, as
# a held key moves the view further while a screenshot is taken. The view
# must stay put with no key held, the bottom 230 rows hold no ground, and
# Escape ends the editor with exit code 0. A picture of the map is left as
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

# settle [quiet]: waits until two screenshots in a row measure the same edges (keys
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
    [ "${1:-}" = quiet ] || e2e_log "edges: high $EDGE_HIGH, middle $EDGE_MID, low $EDGE_LOW"
}

# hold_until KEY TIMEOUT CONDITION: holds KEY down until CONDITION (tested
# after a fresh measurement) holds, then releases it.
hold_until() {
    local key=$1 timeout=$2 condition=$3
    hold_key "$key"
    wait_until "$timeout" "measure; $condition"
    local ok=$?
    release_key "$key"
    [ $ok = 0 ] || fail "holding $key: '$condition' not reached (edges $EDGE_HIGH $EDGE_MID $EDGE_LOW)"
    e2e_log "held $key until $condition"
}

# tap_until KEY TIMEOUT CONDITION: taps KEY (down and up, a frame or two of
# movement each) until CONDITION holds.
tap_until() {
    local key=$1 timeout=$2 condition=$3
    wait_until "$timeout" "xdotool key $key; settle quiet; $condition" ||
        fail "tapping $key: '$condition' not reached (edges $EDGE_HIGH $EDGE_MID $EDGE_LOW)"
    e2e_log "tapped $key until $condition"
}

# park LO HI: taps Left or Right until the edge on the middle row lies in
# [LO, HI].
park() {
    local lo=$1 hi=$2 tries=0
    while [ "$EDGE_MID" -lt "$lo" ] || [ "$EDGE_MID" -gt "$hi" ]; do
        tries=$((tries + 1))
        [ $tries -le 200 ] || fail "could not bring the edge into [$lo, $hi] ($EDGE_MID)"
        # No ground on the row (1280): the map lies right of the screen.
        if [ "$EDGE_MID" -lt "$lo" ]; then xdotool key Left; else xdotool key Right; fi
        settle quiet
    done
    e2e_log "edge parked at $EDGE_MID"
}

tilt() { echo $((EDGE_HIGH - EDGE_LOW)); }

# The first frames: the ground shows right of the middle, nothing left of it.
wait_until 30 'measure; [ "$EDGE_MID" -lt 1280 ]' || fail "no ground drawn on row $ROW_MID"
settle
cp "$shot" "$E2E_OUT/start.png"
[ "$EDGE_MID" -ge 620 ] && [ "$EDGE_MID" -le 660 ] ||
    fail "start view: the map edge is at column $EDGE_MID, not in the middle"
[ "$(tilt)" -ge -12 ] && [ "$(tilt)" -le 12 ] || fail "start view: the map edge is not upright"
left_mean=$(region_mean "$shot" 500 300 40 300)
at_least 0.02 "$left_mean" || fail "start view: left of the map edge is not background ($left_mean)"
right_mean=$(region_mean "$shot" 500 300 700 300)
at_least "$right_mean" 0.1 || fail "start view: no ground right of the edge ($right_mean)"
# Nothing of the 3D view in the menu rows (the menu sits at the right).
menu_rows_mean=$(region_mean "$shot" 600 229 0 795)
at_least 0.02 "$menu_rows_mean" || fail "ground drawn into the bottom 230 rows ($menu_rows_mean)"

# Turning: about the looked-at point, so the middle row keeps its edge.
tap_until KP_6 30 '[ $(tilt) -lt -60 ]'
cp "$shot" "$E2E_OUT/turned.png"
[ "$EDGE_MID" -ge 615 ] && [ "$EDGE_MID" -le 665 ] ||
    fail "turning moved the looked-at point (edge $EDGE_MID)"
tap_until KP_4 30 '[ $(tilt) -ge -6 ]'
[ "$(tilt)" -le 12 ] || fail "keypad 4 did not turn the view back (tilt $(tilt))"

# Scrolling sideways: held arrows.
hold_until Right 20 '[ $EDGE_MID -lt 560 ]'
settle
park 380 470
parked=$EDGE_MID
hold_until Left 20 '[ $EDGE_MID -gt 560 ]'
settle
park 380 470
parked=$EDGE_MID
cp "$shot" "$E2E_OUT/scrolled.png"

# Scrolling forward runs along the edge: the edge stays, the ground moves.
# ground_changed: pixels of a patch of ground right of the edge that differ
# from the picture before.
ground_changed() {
    compare -metric AE -fuzz 10% "$E2E_OUT/scrolled.png" "$shot" \
        -crop 400x300+800+300 null: 2>&1 | cut -d' ' -f1
}
tap_until Up 30 'at_least "$(ground_changed)" 1000'
e2e_log "forward scroll changed $(ground_changed) ground pixels"
[ $((EDGE_MID - parked)) -ge -3 ] && [ $((EDGE_MID - parked)) -le 3 ] ||
    fail "scrolling forward moved the map edge ($parked -> $EDGE_MID)"
parked=$EDGE_MID
cp "$shot" "$E2E_OUT/before_zoom.png"

# Zoom: keypad 2 held lowers the eye, keypad 8 held raises it to the top
# height again, which gives back the very same edge.
hold_until KP_2 30 "[ \$EDGE_MID -lt $((parked - 80)) ]"
settle
cp "$shot" "$E2E_OUT/zoomed_in.png"
hold_until KP_8 30 "[ \$EDGE_MID -ge $((parked - 1)) ]"
settle
[ $((EDGE_MID - parked)) -ge -1 ] && [ $((EDGE_MID - parked)) -le 1 ] ||
    fail "zooming out fully did not give back the view ($parked -> $EDGE_MID)"

# Into the map for the overview picture.
tap_until Right 60 '[ $EDGE_HIGH -eq 0 ] && [ $EDGE_MID -eq 0 ] && [ $EDGE_LOW -eq 0 ]'
for i in 1 2 3 4 5 6 7 8; do xdotool key Right; done
settle
cp "$shot" "$E2E_OUT/overview.png"

pointer_to "$win" 640 900
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 5) || fail "the editor did not end within 5 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
e2e_log "editor ended with exit code 0"
exit 0
