#!/usr/bin/env bash
# Regions of ground, maps saved through the dialog and read by
# ground_copy.py: a hill, B and a drag over it, Ctrl+C (the copy file
# appears); elsewhere Ctrl+V, T, a click: the copy turned by 90 degrees,
# exactly; Ctrl+Z: the map before, byte for byte; Shift + click: the heights
# added; M, then a click: the mirrored placement too; a second editor at the
# same time (second display, same state folder) pastes the first one's copy.
# Usage: regions_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init regions
reader="python3 $(dirname "$0")/ground_copy.py"
state="$E2E_OUT/state"
copyFile="$state/terrain-editor/ablage.ground"
shot="$E2E_OUT/current.png"
SECOND_XVFB="" SECOND_EDITOR=""
trap 'for p in $SECOND_EDITOR $SECOND_XVFB; do kill "$p" 2>/dev/null; done; e2e_cleanup' EXIT

HILL_X=640 HILL_Y=520 REST_X=640 REST_Y=900 PASTE_X=150 PASTE_Y=250
ICON="48 48 348 826"  # the middle field's tool icon
start_xvfb 1280x1024x16
start_editor "$editor"
dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92
win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
pointer_to "$win" $REST_X $REST_Y
wait_until 30 'screenshot "$shot"; frame_rate_box_in "$shot"' || fail "the editor draws no frames"

# save NAME: Ctrl+S and the dialog; waits for the whole map file.
save() {
    local file="$E2E_OUT/$1"
    rm -f "$file"
    pointer_to "$win" $REST_X $REST_Y
    xdotool key ctrl+s
    file_dialog_enter "Karte speichern" "$file" "$shot"
    wait_until 20 '[ "$(stat -c %s "$file" 2>/dev/null)" = 4491340 ]' || fail "$1 was not saved"
}

# Into the map, then raise: once its icon shows, the keys are served.
cp "$shot" "$E2E_OUT/no_tool.png" && xdotool key $(printf 'Right %.0s' {1..60})
click_at "$win" "$(icon_x 0)" "$(icon_y 2)"
wait_until 60 'screenshot "$shot"; [ "$(changed_in "$E2E_OUT/no_tool.png" "$shot" $ICON)" -gt 300 ]' ||
    fail "the keys and the raise icon are not served"
pointer_to "$win" $HILL_X $HILL_Y
screenshot "$E2E_OUT/flat.png"
xdotool mousedown 3
wait_until 60 'screenshot "$shot"; [ "$(changed_in "$E2E_OUT/flat.png" "$shot" 300 200 490 420)" -gt 3000 ]' ||
    { xdotool mouseup 3; fail "no hill grows"; }
xdotool mouseup 3
cp "$shot" "$E2E_OUT/raise.png"
xdotool key b
wait_until 20 'screenshot "$shot"; [ "$(changed_in "$E2E_OUT/raise.png" "$shot" $ICON)" -gt 300 ]' ||
    fail "B does not select the select tool"
pointer_to "$win" $((HILL_X - 160)) $((HILL_Y - 110))
xdotool mousedown 1
pointer_to "$win" $((HILL_X + 160)) $((HILL_Y + 110))
xdotool mouseup 1
xdotool key ctrl+c
wait_until 20 '[ -s "$copyFile" ]' || fail "Ctrl+C leaves no copy file in the state folder"
save before.map
[ -n "$($reader places "$E2E_OUT/before.map" "$copyFile" -)" ] || fail "the copy is not the selected ground"
[ -z "$($reader places "$E2E_OUT/before.map" "$copyFile" t)" ] || fail "the turned copy (or a flat one) is there before"

pointer_to "$win" $PASTE_X $PASTE_Y
xdotool key ctrl+v t click 1
save pasted.map
read -r px py <<<"$($reader places "$E2E_OUT/pasted.map" "$copyFile" t)"
[ -n "$px" ] || fail "pasted.map does not hold the copy turned by 90 degrees"  # at px, py
[ -n "$($reader places "$E2E_OUT/pasted.map" "$copyFile" -)" ] || fail "the placement covered its source"

xdotool key ctrl+z
save undone.map
cmp -s "$E2E_OUT/undone.map" "$E2E_OUT/before.map" || fail "Ctrl+Z does not give back before.map byte for byte"

pointer_to "$win" $PASTE_X $PASTE_Y
xdotool key ctrl+v t
xdotool keydown shift click 1 keyup shift
save stamped.map
result=$($reader stamped "$E2E_OUT/undone.map" "$E2E_OUT/stamped.map" "$copyFile" t "$px" "$py")
[ "$result" = ok ] || fail "Shift + click does not add the copy's heights: $result"

pointer_to "$win" $PASTE_X $PASTE_Y
xdotool key m ctrl+v t click 1
save mirrored.map
read -r qx qy <<<"$($reader places "$E2E_OUT/mirrored.map" "$copyFile" t | head -n1)"
[ -n "$qx" ] || fail "mirrored.map does not hold the turned copy"
places=$($reader places "$E2E_OUT/mirrored.map" "$copyFile" tl)
wide=$(od -A n -t d4 -j 12 -N 4 "$copyFile" | tr -d ' ')  # the turned copy's width
grep -q "^$((256 - qx - wide + 1)) $qy\$" <<<"$places" ||
    fail "no mirrored placement across the vertical centre line ($places)"

# The second editor, on its own display, the same state folder.
first=$DISPLAY SECOND_XVFB=$E2E_XVFB_PID  # the first display, ended on exit
start_xvfb 1280x1024x16
XDG_STATE_HOME="$state" "$editor" >"$E2E_OUT/editor2.log" 2>&1 &
SECOND_EDITOR=$!
dialog=$(wait_for_window OpenGL 15) || fail "the second start dialog did not appear"
click_at "$dialog" 52 92
win=$(wait_for_window OpenGLFullScreen 20) || fail "the second fullscreen window did not appear"
pointer_to "$win" $REST_X $REST_Y
wait_until 30 'screenshot "$shot"; frame_rate_box_in "$shot"' || fail "the second editor draws no frames"
pointer_to "$win" 950 400  # on the map in the start view
xdotool key ctrl+v click 1
save second.map
[ -n "$($reader places "$E2E_OUT/second.map" "$copyFile" -)" ] ||
    fail "the second editor does not paste the first one's copy"
kill -0 "$E2E_EDITOR_PID" 2>/dev/null || fail "the first editor is no longer running"
xdotool key Escape
wait_until 10 '! kill -0 $SECOND_EDITOR 2>/dev/null' || fail "the second editor does not end on Escape"
export DISPLAY=$first
win=$(find_window OpenGLFullScreen | head -n1)
pointer_to "$win" $REST_X $REST_Y
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the editor did not end within 10 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
exit 0
