#!/usr/bin/env bash
# No finished stroke is lost, as a person would find out, on a 1280 x 1024
# x 16 display, with the state folder (XDG_STATE_HOME) inside the output
# folder:
#   1. a hill raised with brush 8, then kill -9 200 ms after the button's
#      release has been served; at the next start the box
#      "Wiederherstellung" appears and the state folder holds one recovered
#      map whose heights show the hill;
#      loading it through the load dialog shows the picture the killed
#      editor showed after the release (its tiles and its hill, within the
#      shading of a frame's raise step);
#   2. the hill of the loaded map smoothed, then Escape: exit code 0, a second
#      recovered map, the box again at the next start, and loading that map
#      shows exactly the picture the editor showed before Escape;
#   3. a session with no stroke, and one saved after its last stroke, end
#      with Escape: no box at their next starts, no session data left.
# The compared area and the hill's spot are those of undo_e2e.sh: ground
# of the start view, clear of the objects, the water and the frame rate.
# Every wait polls for its condition; the one fixed delay is the 200 ms
# between the served release and the kill, which is what is being tested.
# Usage: recovery_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init recovery

export XDG_STATE_HOME="$E2E_OUT/state"
folder="$XDG_STATE_HOME/terrain-editor"
AREA="400 400 660 40"
HILL_X=860 HILL_Y=240
REST_X=640 REST_Y=900

shot="$E2E_OUT/current.png"
click_icon() {
    pointer_to "$win" "$(icon_x "$2")" "$(icon_y "$1")"
    xdotool click 1
}
area_of() {
    read -r w h x y <<<"$AREA"
    convert "$1" -crop "${w}x${h}+${x}+${y}" +repage -depth 8 rgb:"$2"
}
# differing NAME: pixels of the current picture's area that differ by more
# than 8 % from the kept area NAME.
differing() {
    read -r w h x y <<<"$AREA"
    convert "$shot" -crop "${w}x${h}+${x}+${y}" +repage "$E2E_OUT/now.png"
    convert -size "${w}x${h}" -depth 8 rgb:"$E2E_OUT/area_$1.rgb" "$E2E_OUT/kept.png"
    compare -metric AE -fuzz 8% "$E2E_OUT/now.png" "$E2E_OUT/kept.png" null: 2>&1 | cut -d' ' -f1
}
# keep NAME: the area of a fresh screenshot, once two in a row agree.
keep() {
    screenshot "$shot"
    area_of "$shot" "$E2E_OUT/area_$1.rgb"
    wait_until 20 "screenshot '$shot'; area_of '$shot' '$E2E_OUT/area_now.rgb';
        cmp -s '$E2E_OUT/area_now.rgb' '$E2E_OUT/area_$1.rgb' ||
        { cp '$E2E_OUT/area_now.rgb' '$E2E_OUT/area_$1.rgb'; false; }" ||
        fail "the compared area does not stand still ($1)"
}
recovered_maps() { ls "$folder" 2>/dev/null | grep -c '^Wiederhergestellt .*\.map$'; }
sessions_left() { ls "$folder" 2>/dev/null | grep -c '^session-'; }
# highest_height MAP: the largest height (the float at byte 40 of every
# 68-byte record after the 8-byte header).
highest_height() {
    od -A n -v -t f4 -j 8 -w68 "$1" | awk '{ h = $11 + 0; if (NR == 1 || h > hi) hi = h } END { print hi }'
}

# start_session BOX: starts the editor, presses Start; with BOX "box" the
# recovery box must appear (it is closed with Return), with "none" the
# ground must show without it.
start_session() {
    start_editor "$editor"
    local dialog
    dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
    click_at "$dialog" 52 92
    if [ "$1" = box ]; then
        local box
        box=$(wait_for_window Wiederherstellung 20) || fail "no box 'Wiederherstellung' at the start"
        e2e_log "box 'Wiederherstellung' shown"
        screenshot "$E2E_OUT/box_$2.png"
        pointer_to "$box" 20 20
        wait_until 20 "xdotool key Return; wait_for_no_window Wiederherstellung 4" ||
            fail "the box 'Wiederherstellung' does not close"
    fi
    win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
    pointer_to "$win" $REST_X $REST_Y
    wait_until 30 "screenshot '$shot'; at_least \"\$(region_mean '$shot' $AREA)\" 0.1" ||
        fail "the editor shows no ground"
    [ -z "$(find_window Wiederherstellung)" ] || fail "an unexpected box 'Wiederherstellung'"
}

# stroke TOOL: brush 8 and the tool of the menu's third row (0 raise, 3
# smooth), the right button held on the spot until the area has changed
# over a good part of it. Smoothing a hill flattens it without ever taking
# the ground down to the water, whose waves would keep the picture moving.
stroke() {
    click_icon 3 3
    click_icon 2 "$1"
    pointer_to "$win" $REST_X $REST_Y
    keep flat
    pointer_to "$win" $HILL_X $HILL_Y
    xdotool mousedown 3
    local grown=0
    wait_until 60 'screenshot "$shot"; [ "$(differing flat)" -gt 20000 ]' || grown=1
    xdotool mouseup 3
    [ $grown = 0 ] || fail "holding the right button with tool $1 changes nothing"
}

end_with_escape() {
    xdotool key Escape
    local code
    code=$(wait_for_exit "$E2E_EDITOR_PID" 5) || fail "the editor did not end within 5 s of Escape"
    [ "$code" = 0 ] || fail "the editor ended with exit code $code"
}

start_xvfb 1280x1024x16

# 1. A hill, then kill -9 200 ms after the release has been served: the
# editor takes one message a frame, so the release is served once the hill
# stops growing, when two pictures of the area in a row agree (that is what
# the killed editor showed at the end).
start_session none
stroke 0
keep killed
sleep 0.2
kill -9 "$E2E_EDITOR_PID"
wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "the editor survived kill -9"
[ "$(sessions_left)" = 1 ] || fail "no session data after the kill ($(ls "$folder" 2>&1))"
start_session box killed
[ "$(recovered_maps)" = 1 ] || fail "$(recovered_maps) recovered maps after the kill"
recovered="$folder/$(ls "$folder" | grep '^Wiederhergestellt ')"
at_least "$(highest_height "$recovered")" 0.01 || fail "the recovered map has no hill"
e2e_log "recovered after the kill: $recovered (highest $(highest_height "$recovered"))"

# The recovered map, loaded through the load dialog, shows what the killed
# editor showed at the end: its tiles and its hill.
# load_map MAP TOOL: loads MAP through the dialog; then brush 8 and the tool
# of the menu's third row are chosen again and the pointer goes back to the
# hill, as when the picture was taken, so the brush's footprint is the same.
load_map() {
    pointer_to "$win" $REST_X $REST_Y
    xdotool key ctrl+o
    file_dialog_enter "Karte laden" "$1" "$shot"
    click_icon 3 3
    click_icon 2 "$2"
    pointer_to "$win" $HILL_X $HILL_Y
}
load_map "$recovered" 0
wait_until 20 'screenshot "$shot"; [ "$(differing killed)" -lt 2000 ]' ||
    fail "the recovered map does not show what the killed editor showed ($(differing killed) pixels differ)"
e2e_log "the recovered map shows the killed editor's hill ($(differing killed) pixels differ)"

# 2. The hill smoothed, then Escape: exit 0, a second recovered map, the box.
stroke 3
pointer_to "$win" $HILL_X $HILL_Y
keep before_escape
end_with_escape
[ "$(recovered_maps)" = 2 ] || fail "$(recovered_maps) recovered maps after Escape"
[ "$(sessions_left)" = 1 ] || fail "no note of the recovered map after Escape"
start_session box escape
[ "$(sessions_left)" = 0 ] || fail "session data left after the box"
load_map "$folder/$(ls -t "$folder" | grep '^Wiederhergestellt ' | head -n1)" 3
wait_until 20 "screenshot '$shot'; area_of '$shot' '$E2E_OUT/area_now.rgb'; cmp -s '$E2E_OUT/area_now.rgb' '$E2E_OUT/area_before_escape.rgb'" ||
    fail "the map recovered at Escape does not show what the editor showed ($(differing before_escape) pixels differ)"
e2e_log "the map recovered at Escape shows exactly the picture before Escape"

# 3. No stroke, then a stroke saved through the dialog: no box after either.
end_with_escape
[ "$(sessions_left)" = 0 ] || fail "a session without a stroke left data"
start_session none
stroke 0
xdotool key ctrl+s
file_dialog_enter "Karte speichern" "$E2E_OUT/saved.map" "$shot"
wait_until 20 "[ -s '$E2E_OUT/saved.map' ]" || fail "the map was not saved"
end_with_escape
[ "$(sessions_left)" = 0 ] || fail "a session saved after its last stroke left data"
start_session none
end_with_escape
[ "$(recovered_maps)" = 2 ] || fail "clean sessions changed the recovered maps"
e2e_log "clean sessions leave nothing"
exit 0
