#!/usr/bin/env bash
# The Windows program as a user gets it: the zip is unpacked into the output
# folder; its terrain-editor.exe carries the program's icon (a group icon of
# 16 to 256 pixels, read with icoutils' wrestool and icotool) and a version
# resource, and is run under Wine on Xvfb, through a whole session:
#   - the start dialog "OpenGL" (client area 115 x 109): no black inside or
#     beside its group box, and the three resolution labels whole (the third,
#     one character longer, is wider than the second and ends inside the box);
#   - Return presses Start: the fullscreen window "OpenGLFullScreen" at
#     0,0 1280 x 1024, the frame rate at (100, 100); with the pointer left
#     where it was (over the middle of the screen) the view stays still for
#     2 s: the pointer position is known before the mouse first moves, so
#     no edge scrolling starts;
#   - meadow painted under the pointer turns the ground green, and a hill
#     raised there changes the picture; the status display shows in the
#     menu panel (minimap, tool, pointer and map);
#   - saving through the common dialog "Karte speichern": a typed name and
#     Return write a map of 4,491,340 bytes with header 256, 256; saving
#     again over it succeeds with the new content; saving as Höhenkarte.map
#     in a subfolder "karten" succeeds, and the file it replaced lies under
#     %LOCALAPPDATA%\terrain-editor\ as "Ersetzt ... karte.map"; loading
#     the first file brings its picture back;
#   - R, 4 and E change the tool's field, F1 shows the card of the keys and
#     F1 again hides it;
#   - a stroke after the last save, then Escape: exit code 0, and the
#     recovered map lies under %LOCALAPPDATA%\terrain-editor\; the next
#     start shows the box "Wiederherstellung", whose "Öffnen" (Return)
#     loads the recovered map (the picture before Escape); its save dialog
#     starts in "karten", the folder last used (a bare name typed lands
#     there), and it leaves no session data behind;
#   - on a 1024 x 768 display Start shows the box "Fehler", and Return ends
#     the program with exit code 0.
# The Wine prefix lives in the build folder (wineprefix/), made by wineboot
# on first use; mono and gecko installers are switched off. The pictures of
# the dialog and of the edited map stay in the output folder.
# Usage: wine_session_e2e.sh ZIP (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
zip=$1
e2e_init windows_session

export WINEPREFIX="$PWD/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
wine_cleanup() {
    e2e_cleanup
    # The prefix's own server and its helper processes end with the test.
    wineserver -k 2>/dev/null
}
trap wine_cleanup EXIT

# 0. The package: one folder with the program, its textures, LIESMICH.txt and LICENSE.txt.
[ -f "$zip" ] || fail "no zip $zip"
(cd "$E2E_OUT" && cmake -E tar xf "$zip") || fail "the zip cannot be unpacked"
package="$E2E_OUT/$(basename "$zip" .zip)"
for entry in terrain-editor.exe LIESMICH.txt LICENSE.txt textures/water.bmp textures/menue textures/ground; do
    [ -e "$package/$entry" ] || fail "the zip holds no $entry"
done
exe="$package/terrain-editor.exe"
wrestool -l "$exe" >"$E2E_OUT/resources.txt" 2>&1 || fail "wrestool cannot read the .exe's resources"
grep -q -- '--type=16 ' "$E2E_OUT/resources.txt" || fail "the .exe has no version resource"
wrestool -x --type=14 -o "$E2E_OUT/exe-icon.ico" "$exe" && [ -s "$E2E_OUT/exe-icon.ico" ] ||
    fail "the .exe has no group icon"
icon_sizes=$(icotool -l "$E2E_OUT/exe-icon.ico" | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | xargs)
[ "$icon_sizes" = "16 32 48 256" ] || fail "the .exe's group icon holds the sizes '$icon_sizes'"
launcher="$E2E_OUT/run-editor.sh"
printf '#!/bin/sh\ncd "%s" && exec wine terrain-editor.exe\n' "$package" >"$launcher"
chmod +x "$launcher"

start_xvfb 1280x1024x16
# A German keyboard, as the program's users have: the umlauts of a typed
# file name are keys of it, which Wine reads when it starts.
setxkbmap -layout de || fail "setxkbmap cannot set the German layout"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    e2e_log "making the Wine prefix $WINEPREFIX"
    timeout 300 wineboot -i >"$E2E_OUT/wineboot.log" 2>&1 || fail "wineboot failed (see wineboot.log)"
    timeout 60 wineserver -w
fi
# Each run starts with an empty state folder of its own.
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/terrain-editor

shot="$E2E_OUT/current.png"
capture() {
    [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
    screenshot "$shot"
}

# ink_span FILE X Y W H: first and last column (from X) of the region that
# holds text pixels (grey below 84 %; the dialog's face is 96 %).
ink_span() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace Gray -depth 8 txt:- |
        awk -F'[,:() ]+' -v x0="$2" 'NR > 1 && $5 + 0 < 215 {
                 x = $1 + 0; if (lo == "" || x < lo) lo = x; if (x > hi) hi = x }
             END { if (lo == "") print -1, -1; else print lo + x0, hi + x0 }'
}

# 1. The start dialog.
start_editor "$launcher"
dialog=$(wait_for_window OpenGL 60) || fail "the start dialog 'OpenGL' did not appear"
read -r dx dy dw dh <<<"$(window_geometry "$dialog")"
e2e_log "start dialog at $dx,$dy size ${dw}x$dh"
[ "$dw $dh" = "115 109" ] || fail "start dialog client area is ${dw}x$dh, not 115x109"
# The form is drawn once its button's caption shows (dark text at 32,80 41x25).
wait_until 20 'screenshot "$shot"; at_least "$(dark_pixel_count "$shot" 41 25 $((dx + 32)) $((dy + 80)))" 20' ||
    fail "the start dialog is not drawn"
cp "$shot" "$E2E_OUT/screen_dialog.png"
convert "$shot" -crop "${dw}x${dh}+${dx}+${dy}" +repage "$E2E_OUT/start_dialog.png"
# Everything above the button (the group box at 8,8 97x65 and its
# surroundings) is light: frame lines and grey labels, never black.
black=$(dark_pixel_count "$shot" "$dw" 76 "$dx" "$dy")
[ "$black" -le 4 ] || fail "the start dialog shows $black black pixels in and beside its group box"
# The labels lie in rows of 15 pixels from y = 22, their text right of the
# round mark (x >= 30), inside the frame line at x = 103.
read -r _ end1 <<<"$(ink_span "$shot" $((dx + 30)) $((dy + 22)) 73 15)"
read -r start2 end2 <<<"$(ink_span "$shot" $((dx + 30)) $((dy + 37)) 73 15)"
read -r start3 end3 <<<"$(ink_span "$shot" $((dx + 30)) $((dy + 52)) 73 15)"
width2=$((end2 - start2 + 1)) width3=$((end3 - start3 + 1))
e2e_log "label text widths: '1024 x 768' $width2, '1280 x 1024' $width3 pixels; ends $end1 $end2 $end3"
[ "$end1" -gt 0 ] && [ "$end2" -gt 0 ] && [ "$end3" -gt 0 ] || fail "a resolution label is missing"
# One more digit: at least a third of an average character wider.
[ $((30 * (width3 - width2))) -ge "$width2" ] ||
    fail "the label '1280 x 1024' is cut ($width3 pixels against $width2 for '1024 x 768')"
[ "$end3" -le $((dx + 100)) ] || fail "the label '1280 x 1024' runs into the group box's frame"

# 2. Return presses Start; the pointer stays over the middle of the screen.
pointer_to "$dialog" 57 54
xdotool key Return
win=$(wait_for_window OpenGLFullScreen 30) || fail "the fullscreen window did not appear"
read -r fx fy fw fh <<<"$(window_geometry "$win")"
e2e_log "fullscreen window at $fx,$fy size ${fw}x$fh"
[ "$fx $fy $fw $fh" = "0 0 1280 1024" ] || fail "fullscreen window is not 0,0 1280x1024"
wait_until 60 'capture; frame_rate_box_in "$shot"' || fail "no frame-rate box at (100, 100)"
e2e_log "frame-rate box found"
# The scene above the menu panel, without the frame-rate box: for 2 s no
# more than the odd pixel may change while nothing is touched.
SCENE="1280 600 0 140"
cp "$shot" "$E2E_OUT/still_a.png"
if wait_until 2 'capture; [ "$(changed_in "$E2E_OUT/still_a.png" "$shot" $SCENE)" -gt 200 ]'; then
    cp "$shot" "$E2E_OUT/still_b.png"
    fail "the view moves with the pointer left still ($(changed_in "$E2E_OUT/still_a.png" "$shot" $SCENE) pixels changed)"
fi
e2e_log "the view stands still while the pointer does"

click_icon() {
    pointer_to "$win" "$(icon_x "$2")" "$(icon_y "$1")"
    xdotool click 1
}
# Where no tool and no edge scrolling acts: over the menu panel.
park_pointer() { pointer_to "$win" 640 900; }

# 3. Meadow on the ground right of the map's edge, swept until green.
MEADOW_X=820 MEADOW_Y=320
MEADOW="80 50 $((MEADOW_X - 40)) $((MEADOW_Y - 25))"
click_icon 1 1
pointer_to "$win" $MEADOW_X $MEADOW_Y
xdotool mousedown 1
green() {
    local r g b
    read -r r g b <<<"$(rgb_mean "$shot" $MEADOW)"
    awk -v r="$r" -v g="$g" -v b="$b" 'BEGIN { exit !(g > r + 0.04 && g > b + 0.04) }'
}
wait_until 90 'sweep_around "$win" $MEADOW_X $MEADOW_Y; capture; green'
painted=$?
xdotool mouseup 1
[ $painted = 0 ] || fail "painting meadow does not turn the ground green ($(rgb_mean "$shot" $MEADOW))"
e2e_log "meadow painted: $(rgb_mean "$shot" $MEADOW)"

# 4. Saving through the common dialog: the name typed into its focused name
# field (the dialog starts in the program's folder), then Return.
# save_as NAME [FOLDER [enter]]: saves the map as NAME typed into the dialog
# (after entering FOLDER through the name field with "enter") and waits until
# NAME in the package folder (or its FOLDER) has the map's size and differs
# from what was there before.
save_as() {
    local typed=$1 name=${2:+$2/}$1 before=""
    [ -f "$package/$name" ] && before=$(md5sum <"$package/$name")
    click_icon 0 1
    local box
    box=$(wait_for_window "Karte speichern" 30) || fail "the save dialog 'Karte speichern' did not appear"
    wait_until 20 'capture; read -r gx gy gw _ <<<"$(window_geometry "$box")"; at_least "$(region_mean "$shot" "$gw" 40 "$gx" "$gy")" 0.6' ||
        fail "the save dialog is not drawn"
    pointer_to "$box" 40 40
    if [ "${3:-}" = enter ]; then
        xdotool type --delay 30 "$2"
        capture
        cp "$shot" "$E2E_OUT/before_folder.png"
        xdotool key Return
        read -r gx gy gw gh <<<"$(window_geometry "$box")"
        wait_until 20 'capture; at_least "$(changed_in "$E2E_OUT/before_folder.png" "$shot" "$gw" "$gh" "$gx" "$gy")" 200' ||
            fail "the save dialog does not enter $2"
    fi
    xdotool type --delay 30 "$typed"
    cp "$shot" "$E2E_OUT/save_dialog.png"
    xdotool key Return
    wait_for_no_window "Karte speichern" 20 || fail "the save dialog stays open after Return"
    saved() {
        [ -f "$package/$name" ] && [ "$(stat -c %s "$package/$name")" = 4491340 ] &&
            [ "$(md5sum <"$package/$name")" != "$before" ]
    }
    wait_until 20 saved || fail "saving as $name wrote no new map of 4,491,340 bytes ($(ls -l "$package" | tr '\n' ';'))"
    local header
    header=$(od -A n -t d4 -N 8 "$package/$name" | tr -s ' ' | sed 's/^ //')
    [ "$header" = "256 256" ] || fail "the header of $name is '$header', not '256 256'"
    e2e_log "map saved as $name"
    park_pointer
}
save_as karte.map

# 5. A hill raised at a spot beside the meadow changes the picture there;
# then the map is saved over the first file.
HILL_X=1050 HILL_Y=260
HILL="300 160 $((HILL_X - 150)) $((HILL_Y - 80))"
click_icon 3 3
click_icon 2 0
pointer_to "$win" $HILL_X $HILL_Y
capture
cp "$shot" "$E2E_OUT/before_hill.png"
xdotool mousedown 1
wait_until 60 'capture; [ "$(changed_in "$E2E_OUT/before_hill.png" "$shot" $HILL)" -gt 12000 ]'
grown=$?
xdotool mouseup 1
[ $grown = 0 ] || fail "holding the left button with the raise tool changes nothing"
e2e_log "hill raised"
display_shown "$shot" "$package/textures/menue/menue.bmp" || fail "the panel shows no status display"
cp "$shot" "$E2E_OUT/display.png"
first=$(md5sum <"$package/karte.map")
save_as karte.map
state=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local/terrain-editor 2>/dev/null | head -n1)
kept=$(ls "$state" 2>/dev/null | grep '^Ersetzt .* karte\.map$' | head -n1)
[ -n "$kept" ] && [ "$(md5sum <"$state/$kept")" = "$first" ] ||
    fail "the replaced karte.map is not kept under %LOCALAPPDATA% ($(ls "$state" 2>&1 | tr '\n' ';'))"
e2e_log "the replaced map is kept as $kept"
# The picture of what karte.map now holds, with the pointer parked.
wait_until 10 'capture; frame_rate_box_in "$shot"' || fail "the editor does not draw after saving"
cp "$shot" "$E2E_OUT/editor.png"

# 6. The hill lowered again (right button), so that the picture differs
# from what karte.map holds.
click_icon 2 1
pointer_to "$win" $HILL_X $HILL_Y
xdotool mousedown 3
wait_until 60 'capture; [ "$(changed_in "$E2E_OUT/editor.png" "$shot" $HILL)" -gt 12000 ]'
lowered=$?
xdotool mouseup 3
[ $lowered = 0 ] || fail "holding the right button with the lower tool changes nothing"
park_pointer

# 7. Loading karte.map brings its picture back.
click_icon 0 0
box=$(wait_for_window "Karte laden" 30) || fail "the load dialog 'Karte laden' did not appear"
wait_until 20 'capture; read -r gx gy gw _ <<<"$(window_geometry "$box")"; at_least "$(region_mean "$shot" "$gw" 40 "$gx" "$gy")" 0.6' ||
    fail "the load dialog is not drawn"
pointer_to "$box" 40 40
xdotool type --delay 30 karte.map
xdotool key Return
wait_for_no_window "Karte laden" 20 || fail "the load dialog stays open after Return"
park_pointer
wait_until 20 'capture; [ "$(changed_in "$E2E_OUT/editor.png" "$shot" $HILL)" -lt 300 ]' ||
    fail "loading karte.map does not bring its picture back ($(changed_in "$E2E_OUT/editor.png" "$shot" $HILL) pixels differ)"
e2e_log "karte.map loaded: its hill is back"

# 8. The map saved under a name with umlauts, in a folder of its own.
mkdir -p "$package/karten"
save_as "Höhenkarte.map" karten enter

# 8a. R, 4 and E each change the tool's field (Rampe, "Stärke: 40 %",
# Erosion); F1 shows the card over the view, F1 again hides it; 0: 100 %.
TOOL_FIELD="300 190 338 816" CARD="240 300 660 250"
for step in "r $TOOL_FIELD -gt 40" "4 $TOOL_FIELD -gt 40" "e $TOOL_FIELD -gt 40" \
            "F1 $CARD -gt 36000" "F1 $CARD -lt 500"; do
    set -- $step
    key=$1 region="$2 $3 $4 $5" test="$6 $7"
    [ "$key" = F1 ] || { capture; cp "$shot" "$E2E_OUT/before_key.png"; }
    xdotool key "$key"
    wait_until 20 "capture; [ \"\$(changed_in '$E2E_OUT/before_key.png' '$shot' $region)\" $test ]" ||
        fail "the key $key does not change the picture as it should ($step)"
done
xdotool key 0
e2e_log "R, 4, E and F1 served"

# 9. A stroke after the save, then Escape: the program ends with exit code
# 0 and the unsaved map is recovered under %LOCALAPPDATA%.
click_icon 2 0
pointer_to "$win" $HILL_X $HILL_Y
capture
cp "$shot" "$E2E_OUT/before_last.png"
xdotool mousedown 1
wait_until 60 'capture; [ "$(changed_in "$E2E_OUT/before_last.png" "$shot" $HILL)" -gt 4000 ]' ||
    fail "the last stroke changes nothing"
xdotool mouseup 1
park_pointer
# The picture once the parked pointer shows: two captures in a row agree.
capture
wait_until 20 'cp "$shot" "$E2E_OUT/before_escape.png"; capture; [ "$(changed_in "$E2E_OUT/before_escape.png" "$shot" $HILL)" -lt 50 ]' ||
    fail "the picture does not settle before Escape"
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the program did not end within 10 s of Escape"
[ "$code" = 0 ] || fail "the program ended with exit code $code"
e2e_log "program ended with exit code 0"
state=$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local/terrain-editor 2>/dev/null | head -n1)
[ -n "$state" ] && ls "$state" | grep -q '^Wiederhergestellt .*\.map$' ||
    fail "no recovered map under %LOCALAPPDATA% ($(ls -R "$WINEPREFIX/drive_c/users" 2>&1 | grep -i terrain))"
e2e_log "recovered map under ${state#$WINEPREFIX/}: $(ls "$state" | grep '^Wiederhergestellt ')"

# 9b. The next start names it in the box "Wiederherstellung".
start_editor "$launcher"
dialog=$(wait_for_window OpenGL 60) || fail "the start dialog did not appear again"
pointer_to "$dialog" 57 54
xdotool key Return
box=$(wait_for_window Wiederherstellung 30) || fail "no box 'Wiederherstellung' at the next start"
screenshot "$E2E_OUT/recovery_box.png"
press_key "$box" Return
wait_for_no_window Wiederherstellung 10 || fail "the box 'Wiederherstellung' does not close"
win=$(wait_for_window OpenGLFullScreen 30) || fail "the fullscreen window did not appear after the box"
park_pointer
wait_until 20 'capture; [ "$(changed_in "$E2E_OUT/before_escape.png" "$shot" $HILL)" -lt 300 ]' ||
    fail "Öffnen does not load the recovered map ($(changed_in "$E2E_OUT/before_escape.png" "$shot" $HILL) pixels differ)"
# The dialog starts where the last map was saved, in the run before.
save_as neu.map karten
# 9c. B, a drag over the hill, Ctrl+C: the copy file appears under
# %LOCALAPPDATA%; Ctrl+V and a click below it: the saved map holds the copy.
xdotool key b
pointer_to "$win" $((HILL_X - 120)) $((HILL_Y - 70))
xdotool mousedown 1
pointer_to "$win" $((HILL_X + 120)) $((HILL_Y + 70))
xdotool mouseup 1
xdotool key ctrl+c
wait_until 30 '[ -s "$state/ablage.ground" ]' || fail "Ctrl+C leaves no copy under %LOCALAPPDATA%"
pointer_to "$win" $((HILL_X - 50)) $((HILL_Y + 300))
xdotool key ctrl+v
xdotool click 1
save_as kopie.map karten
[ -n "$(python3 "$(dirname "$0")/ground_copy.py" places "$package/karten/kopie.map" "$state/ablage.ground" -)" ] ||
    fail "kopie.map does not hold the pasted copy"
e2e_log "copied and pasted"
press_key "$win" Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the program did not end after the box"
[ "$code" = 0 ] || fail "the program ended with exit code $code after the box"
! ls "$state" | grep -q '^session-' || fail "session data left after the box"
e2e_log "the next start told of the recovered map, and its Öffnen loaded it"

# 10. A display that cannot take 1280 x 1024: the box "Fehler", Return, exit 0.
# Wine's processes belong to the display they started on, so they end with it.
wineserver -k 2>/dev/null
timeout 30 wineserver -w
kill "$E2E_XVFB_PID"
wait_until 10 "! kill -0 $E2E_XVFB_PID 2>/dev/null" || fail "Xvfb does not end"
start_xvfb 1024x768x16
start_editor "$launcher"
dialog=$(wait_for_window OpenGL 60) || fail "the start dialog did not appear at 1024 x 768"
pointer_to "$dialog" 57 54
xdotool key Return
box=$(wait_for_window Fehler 30) || fail "no message box 'Fehler' appeared at 1024 x 768"
[ -z "$(find_window OpenGLFullScreen)" ] || fail "a fullscreen window exists beside the error box"
screenshot "$E2E_OUT/message_box.png"
press_key "$box" Return
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the program did not end after the box was dismissed"
[ "$code" = 0 ] || fail "the program ended with exit code $code after the error box"
e2e_log "error box dismissed, exit code 0"
exit 0
