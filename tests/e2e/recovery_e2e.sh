#!/usr/bin/env bash
# No finished stroke is lost, as a person would find out, on a 1280 x 1024
# x 16 display, with the state folder (XDG_STATE_HOME) inside the output
# folder:
#   1. a hill raised with brush 8, then kill -9 200 ms after the button's
#      release has been served; at the next start the box
#      "Wiederherstellung" appears and the state folder holds one recovered
#      map whose heights show the hill; the box's "Öffnen" (Return) loads
#      it: the picture the killed editor showed after the release (its
#      tiles and its hill, within the shading of a frame's raise step);
#   2. the hill of the loaded map smoothed, then Escape: exit code 0, a second
#      recovered map, the box again at the next start, "Später" (Escape)
#      keeps the new map, and loading the recovered one through the load
#      dialog shows exactly the picture the editor showed before Escape;
#   3. a session with no stroke, and one saved after its last stroke, end
#      with Escape: no box at their next starts, no session data left; the
#      map saved again over its file leaves the first file's bytes in the
#      state folder, and loading them shows the first save's picture;
#   4. a state folder that cannot be written: a stroke, the box "Fehler",
#      then Escape asks "Jetzt speichern?"; Ja opens the save dialog and the
#      map saved there holds the hill.
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

# start_session BOX NAME ANSWER: starts the editor, presses Start; with BOX
# "box" the recovery box must appear and is answered with ANSWER ("open":
# Return, its first button; "later": Escape), with "none" the ground must
# show without it.
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
        local key=Return
        [ "$3" = later ] && key=Escape
        wait_until 20 "[ -z \"\$(find_window Wiederherstellung)\" ] || xdotool key $key; wait_for_no_window Wiederherstellung 4" ||
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
start_session box killed open
[ "$(recovered_maps)" = 1 ] || fail "$(recovered_maps) recovered maps after the kill"
recovered="$folder/$(ls "$folder" | grep '^Wiederhergestellt ')"
at_least "$(highest_height "$recovered")" 0.01 || fail "the recovered map has no hill"
e2e_log "recovered after the kill: $recovered (highest $(highest_height "$recovered"))"

# The recovered map, opened by the box, shows what the killed editor showed
# at the end: its tiles and its hill.
# at_hill TOOL: brush 8 and the tool of the menu's third row are chosen
# again and the pointer goes back to the hill, as when the picture was
# taken, so the brush's footprint is the same.
at_hill() {
    click_icon 3 3
    click_icon 2 "$1"
    pointer_to "$win" $HILL_X $HILL_Y
}
# load_map MAP TOOL: loads MAP through the dialog, then at_hill TOOL.
load_map() {
    pointer_to "$win" $REST_X $REST_Y
    xdotool key ctrl+o
    file_dialog_enter "Karte laden" "$1" "$shot"
    at_hill "$2"
}
at_hill 0
wait_until 20 'screenshot "$shot"; [ "$(differing killed)" -lt 2000 ]' ||
    fail "the map the box opened does not show what the killed editor showed ($(differing killed) pixels differ)"
e2e_log "the box opened the recovered map: the killed editor's hill ($(differing killed) pixels differ)"

# 2. The hill smoothed, then Escape: exit 0, a second recovered map, the box.
stroke 3
pointer_to "$win" $HILL_X $HILL_Y
keep before_escape
end_with_escape
[ "$(recovered_maps)" = 2 ] || fail "$(recovered_maps) recovered maps after Escape"
[ "$(sessions_left)" = 1 ] || fail "no note of the recovered map after Escape"
start_session box escape later
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
# Saved again over its file: the first file's bytes are kept, and load.
first=$(md5sum <"$E2E_OUT/saved.map")
at_hill 0
keep first_save
stroke 3
xdotool key ctrl+s
file_dialog_enter "Karte speichern" "$E2E_OUT/saved.map" "$shot"
wait_until 20 "[ \"\$(md5sum <'$E2E_OUT/saved.map')\" != '$first' ]" || fail "the map was not saved again"
kept="$folder/$(ls "$folder" | grep '^Ersetzt .* saved\.map$' | head -n1)"
[ -f "$kept" ] && [ "$(md5sum <"$kept")" = "$first" ] || fail "the replaced map is not kept ($(ls "$folder" | tr '\n' ';'))"
load_map "$kept" 0
wait_until 20 'screenshot "$shot"; [ "$(differing first_save)" -lt 2000 ]' ||
    fail "the kept map does not show the first save ($(differing first_save) pixels differ)"
e2e_log "the replaced map is kept as $kept and loads"
end_with_escape
[ "$(sessions_left)" = 0 ] || fail "a session saved after its last stroke left data"
start_session none
end_with_escape
[ "$(recovered_maps)" = 2 ] || fail "clean sessions changed the recovered maps"
e2e_log "clean sessions leave nothing"

# 4. A state folder that cannot be written (for root: immutable).
chmod a-w "$folder"
trap 'chattr -i "$folder" 2>/dev/null; chmod u+w "$folder"; e2e_cleanup' EXIT
[ "$(id -u)" != 0 ] || chattr +i "$folder" || fail "chattr cannot lock the state folder"
start_session none
stroke 0
box=$(wait_for_window Fehler 20) || fail "no box 'Fehler' for the state folder"
pointer_to "$box" 20 20
wait_until 20 "[ -z \"\$(find_window Fehler)\" ] || xdotool key Return; wait_for_no_window Fehler 4" || fail "the box 'Fehler' does not close"
pointer_to "$win" $REST_X $REST_Y
xdotool key Escape
box=$(wait_for_window Fehler 20) || fail "Escape with unsaved work asks nothing"
screenshot "$E2E_OUT/box_save_now.png"
pointer_to "$box" 20 20
wait_until 20 "[ -z \"\$(find_window Fehler)\" ] || xdotool key Return; wait_for_no_window Fehler 4" || fail "the question does not close"
file_dialog_enter "Karte speichern" "$E2E_OUT/asked.map" "$shot"
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the editor did not end after the save"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
at_least "$(highest_height "$E2E_OUT/asked.map")" 0.01 || fail "the map saved at the question has no hill"
e2e_log "Escape with a locked state folder asked, and Ja saved the hill"
exit 0
