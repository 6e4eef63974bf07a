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
# must stay put with no key held, the bottom rows show the menu panel, and
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

# edges FILE: for the rows ROW_HIGH, ROW_MID and ROW_LOW (screen rows, y
# from the top), the first column of a run of 8 non-background pixels;
# 1280 when the row has none, 0 when ground covers it from the left.
edges() {
    convert "$1" -colorspace Gray -depth 8 \
        \( -clone 0 -crop "1280x1+0+$ROW_HIGH" \) \( -clone 0 -crop "1280x1+0+$ROW_MID" \) \
        \( -clone 0 -crop "1280x1+0+$ROW_LOW" \) -delete 0 +repage -append txt:- |
        awk -F'[,:() ]+' 'NR > 1 {
                 x = $1 + 0; y = $2 + 0; v = $5 + 0
                 if (y != row) { row = y; run = 0 }
                 if (done[y]) next
                 if (v > 12) { if (run == 0) start[y] = x; run++; if (run >= 8) done[y] = 1 }
                 else run = 0
             }
             END { for (y = 0; y < 3; y++) printf "%d ", done[y] ? start[y] : 1280; print "" }'
}

EDGE_MID=0
EDGE_HIGH=0
EDGE_LOW=0
measure() {
    [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
    screenshot "$shot"
    read -r EDGE_HIGH EDGE_MID EDGE_LOW <<<"$(edges "$shot")"
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
    wait_until 60 stable || fail "the view keeps moving with no key held"
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

# park LO HI: brings the edge on the middle row into [LO, HI] with short
# presses of Left or Right (far off: a press of a tenth of a second, near:
# single taps), checking the picture after each.
park() {
    local lo=$1 hi=$2 tries=0 key distance
    while [ "$EDGE_MID" -lt "$lo" ] || [ "$EDGE_MID" -gt "$hi" ]; do
        tries=$((tries + 1))
        [ $tries -le 60 ] || fail "could not bring the edge into [$lo, $hi] ($EDGE_MID)"
        # Left moves the map (and its edge) right; 1280 means no ground on
        # the row: the map lies off to the right.
        if [ "$EDGE_MID" -lt "$lo" ]; then
            key=Left distance=$((lo - EDGE_MID))
        else
            key=Right distance=$((EDGE_MID - hi))
        fi
        if [ $distance -gt 150 ]; then
            xdotool keydown $key sleep 0.1 keyup $key
        else
            xdotool key $key
        fi
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
# The bottom rows belong to the menu panel, drawn over its whole width.
menu_rows_mean=$(region_mean "$shot" 600 200 0 810)
at_least "$menu_rows_mean" 0.05 || fail "no menu panel in the bottom rows ($menu_rows_mean)"

# Turning: about the looked-at point, so the middle row keeps its edge.
tap_until KP_6 30 '[ $(tilt) -lt -60 ]'
cp "$shot" "$E2E_OUT/turned.png"
[ "$EDGE_MID" -ge 615 ] && [ "$EDGE_MID" -le 665 ] ||
    fail "turning moved the looked-at point (edge $EDGE_MID)"
tap_until KP_4 30 '[ $(tilt) -ge -6 ]'
# One tap lasts as many frames as the key stays down (more on a busy
# machine), so the way back may overshoot by a few taps' worth, not more.
[ "$(tilt)" -le 40 ] || fail "keypad 4 did not turn the view back (tilt $(tilt))"

# Scrolling sideways: held arrows (the view runs on while a screenshot is
# taken, so the conditions are one-sided).
# The timeouts are upper bounds for a busy machine, where a frame (and so
# a scroll step) can take ten times as long.
hold_until Right 90 '[ $EDGE_MID -lt 560 ]'
settle
hold_until Left 90 '[ $EDGE_MID -gt 560 ]'
settle
# Left of the middle by at least a metre of ground: the zoom below moves it.
park 150 470
parked=$EDGE_MID
cp "$shot" "$E2E_OUT/scrolled.png"

# Scrolling forward runs along the edge: the edge stays, the ground moves.
# ground_changed: pixels of a patch of ground right of the edge that differ
# from the picture before.
ground_changed() {
    convert "$E2E_OUT/scrolled.png" -crop 400x300+800+300 +repage "$E2E_OUT/ground_a.png"
    convert "$shot" -crop 400x300+800+300 +repage "$E2E_OUT/ground_b.png"
    compare -metric AE -fuzz 10% "$E2E_OUT/ground_a.png" "$E2E_OUT/ground_b.png" null: 2>&1 |
        cut -d' ' -f1
}
tap_until Up 30 'at_least "$(ground_changed)" 1000'
e2e_log "forward scroll changed $(ground_changed) ground pixels"
# The heading may be a tap or two off straight ahead after the turning
# above, which lets the edge drift by a few pixels, never by more.
[ $((EDGE_MID - parked)) -ge -8 ] && [ $((EDGE_MID - parked)) -le 8 ] ||
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
[ $((EDGE_MID - parked)) -ge -3 ] && [ $((EDGE_MID - parked)) -le 3 ] ||
    fail "zooming out fully did not give back the view ($parked -> $EDGE_MID)"

# Into the map, lower and turned a little, for the overview picture; the
# pointer over the ground picks a cell, which shows in yellow (the ground
# texture modulated by yellow loses all its blue).
hold_until Right 30 '[ $EDGE_HIGH -eq 0 ] && [ $EDGE_MID -eq 0 ] && [ $EDGE_LOW -eq 0 ]'
settle
# (Plain input gestures; nothing below depends on how far they go.)
xdotool keydown KP_2 sleep 1 keyup KP_2
for turn in 1 2 3 4 5 6 7 8; do xdotool key KP_6; done
yellow_pixels() {
    convert "$shot" -crop "$3x$4+$1+$2" +repage -fx '(b < 0.03 && r > 0.15) ? 1 : 0' \
        -format '%[fx:round(mean*w*h)]' info:
}
pointer_to "$win" 700 450
wait_until 20 'measure; at_least "$(yellow_pixels 620 400 160 100)" 200' ||
    fail "no highlighted cell under the pointer"
away=$(yellow_pixels 900 150 300 150)
[ "$away" -eq 0 ] || fail "$away yellow pixels far from the pointer"
cp "$shot" "$E2E_OUT/overview.png"

pointer_to "$win" 640 900
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 5) || fail "the editor did not end within 5 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
e2e_log "editor ended with exit code 0"
exit 0
