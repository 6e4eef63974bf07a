#!/usr/bin/env bash
# Editing a map as a person would, on a 1280 x 1024 x 16 display:
#   - the view is scrolled with the arrow keys until the map's left edge lies
#     left of the middle, so the house and the water tower stand in view;
#   - the meadow icon, then the left button held and moved over a patch of
#     ground: the patch turns green (the painted corners get meadow tiles),
#     and a map saved then holds at least four meadow corners;
#   - brush size 8 and the raise icon, the left button held on another spot:
#     the ground there changes its shading (a hill grows);
#   - the lower icon, the RIGHT button held on a third spot until the ground
#     sinks below the water level: water shows there (blue outweighs red);
#   - the save icon opens the GTK dialog "Karte speichern"; a typed absolute
#     file name and Return write the map: 4,491,340 bytes, header 256, 256,
#     records with raised ground and with ground below the water level, and
#     meadow ('w') corners; (with no window manager the test itself hands
#     the new dialog the keyboard focus, as a window manager would);
#   - after the dialog the editor draws again and picks the cell under the
#     pointer;
#   - the status display in the panel: choosing brush 8 and raise changes
#     the middle field and shows the brush on the ground beside the yellow
#     cell (against the same view with no tool); the hill shows in the
#     minimap; after the save the right field changes (the file's name),
#     the next stroke brings the unsaved mark (orange text); a press in the
#     minimap's far corner moves the view there and the outline with it;
#   - Escape ends the editor with exit code 0 within 5 s.
# Every hold lasts until its result is seen in a screenshot, never a fixed
# time: the tools act a fixed step per frame, and the frame rate depends on
# how busy the machine is. The final picture is edited.png in the output
# folder; footprint.png (the brush on the ground and the status display) is
# the README's docs/screenshot.png.
# Usage: editing_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init editing

click_icon() {
    pointer_to "$win" "$(icon_x "$2")" "$(icon_y "$1")"
    xdotool click 1
}

shot="$E2E_OUT/current.png"
capture() {
    [ -z "$(find_window Fehler)" ] || fail "an error box appeared while the editor ran"
    screenshot "$shot"
}

# green_region W H X Y: the current picture's region is clearly green.
green_region() {
    local r g b
    read -r r g b <<<"$(rgb_mean "$shot" "$@")"
    awk -v r="$r" -v g="$g" -v b="$b" 'BEGIN { exit !(g > r + 0.04 && g > b + 0.04) }'
}
# water_region W H X Y: the region shows water: more blue than red. The
# ground's earth tones have about half as much blue as red, however lit; the
# translucent blue water over the sunken ground turns that round. (The
# black background beyond the map has neither.)
water_region() {
    local r g b
    read -r r g b <<<"$(rgb_mean "$shot" "$@")"
    awk -v r="$r" -v g="$g" -v b="$b" 'BEGIN { exit !(b > 1.05 * r && r + g + b > 0.05) }'
}

# The panel's fields (W H X Y in window pixels): minimap, tool, pointer
# and map.
MINIMAP="300 190 18 816" TOOL_FIELD="300 190 338 816" MAP_FIELD="300 190 658 816"
# Where the pointer rests for pictures of the panel: over the panel, its
# picture clear of the three fields and of the scroll band.
park() { pointer_to "$win" 990 860; }
# orange_pixels W H X Y: pixels of the current picture in the unsaved mark's
# orange.
orange_pixels() {
    convert "$shot" -crop "$1x$2+$3+$4" +repage \
        -fx '(r > 0.8 && g > 0.4 && g < 0.7 && b < 0.45) ? 1 : 0' -format '%[fx:round(mean*w*h)]' info:
}
# yellow_pixels X Y W H: pixels of the picked cell's yellow (the ground
# texture modulated by yellow loses all its blue).
yellow_pixels() {
    convert "$shot" -crop "$3x$4+$1+$2" +repage -fx '(b < 0.03 && r > 0.15) ? 1 : 0' \
        -format '%[fx:round(mean*w*h)]' info:
}

# edge_column: the first column of a run of 8 non-background pixels on
# pixel row 400 of the current picture (where the map's left edge runs),
# 1280 when the row has none.
edge_column() {
    convert "$shot" -crop 1280x1+0+400 +repage -colorspace Gray -depth 8 txt:- |
        awk -F'[,:() ]+' 'NR > 1 {
                 x = $1 + 0; v = $5 + 0
                 if (v > 12) { if (run == 0) start = x; run++; if (run >= 8) { print start; found = 1; exit } }
                 else run = 0
             }
             END { if (!found) print 1280 }'
}

start_xvfb 1280x1024x16
start_editor "$editor"

# 1. Start dialog, Start, the fullscreen window and its first frames.
dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92
win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
# The pointer over the menu panel, away from its 20-pixel scroll band:
# neither a tool nor scrolling acts there, and the keyboard focus follows it.
pointer_to "$win" 640 900
wait_until 30 'capture; [ "$(edge_column)" -lt 1280 ]' || fail "the editor shows no ground"

# Scroll the map to the left (single taps of Right, each a frame or two of
# movement) until its left edge lies left of the middle: the house and the
# tower then stand in the lower middle of the view.
wait_until 90 'xdotool key Right; capture; [ "$(edge_column)" -le 420 ]' ||
    fail "the Right arrow does not scroll the map (edge at $(edge_column))"
e2e_log "map edge scrolled to column $(edge_column)"

# Spots on the ground (window pixels), all well above the 280 menu rows.
MEADOW_X=520 MEADOW_Y=420
HILL_X=700 HILL_Y=150
PIT_X=1020 PIT_Y=200
# The region that must show water: a band of ground around the pit's middle,
# beside the pointer and its highlighted cell.
POND="240 40 $((PIT_X - 120)) $((PIT_Y + 40))"
POINTER_X=800 POINTER_Y=460

# The spot of the hill with no tool selected, once the frame with the
# pointer there is drawn (its cell shows yellow).
pointer_to "$win" $HILL_X $HILL_Y
wait_until 20 'capture; at_least "$(yellow_pixels $((HILL_X - 60)) $((HILL_Y - 40)) 120 80)" 100' ||
    fail "no cell is picked under the pointer"
cp "$shot" "$E2E_OUT/no_tool.png"

# 2. Meadow: hold the left button and sweep over a patch of ground until the
# patch shows green. Painting changes the one vertex under the pointer per
# frame, so the sweep repeats until every corner of the patch was hit.
click_icon 1 1
pointer_to "$win" $MEADOW_X $MEADOW_Y
xdotool mousedown 1
wait_until 60 'sweep_around "$win" $MEADOW_X $MEADOW_Y; capture; green_region 80 50 $((MEADOW_X - 40)) $((MEADOW_Y - 25))'
painted=$?
xdotool mouseup 1
[ $painted = 0 ] || fail "painting meadow does not turn the ground green ($(rgb_mean "$shot" 80 50 $((MEADOW_X - 40)) $((MEADOW_Y - 25))))"
e2e_log "meadow painted: $(rgb_mean "$shot" 80 50 $((MEADOW_X - 40)) $((MEADOW_Y - 25)))"
# The patch can turn green before four of its corners are meadow, which is
# what the saved map is held to below: the map is saved (as meadow.map) and
# its meadow corners counted, and while it holds fewer the patch is swept
# again (a save ends the paint tool, so it is chosen anew).
meadowFile="$E2E_OUT/meadow.map"
meadow_corners() { od -A n -v -t u1 -j 8 -w68 "$1" | awk '$1 == 119 { n++ } END { print n + 0 }'; }
meadow_saved() {
    rm -f "$meadowFile"
    park
    click_icon 0 1
    file_dialog_enter "Karte speichern" "$meadowFile" "$shot"
    wait_until 20 '[ -f "$meadowFile" ] && [ "$(stat -c %s "$meadowFile")" = 4491340 ]' ||
        fail "no map file of 4,491,340 bytes ($(stat -c %s "$meadowFile" 2>&1))"
    [ "$(meadow_corners "$meadowFile")" -ge 4 ]
}
paint_meadow() {
    click_icon 1 1
    pointer_to "$win" $MEADOW_X $MEADOW_Y
    xdotool mousedown 1
    sweep_around "$win" $MEADOW_X $MEADOW_Y
    xdotool mouseup 1
}
wait_until 180 'meadow_saved || { paint_meadow; false; }' ||
    fail "the saved map holds only $(meadow_corners "$meadowFile") meadow corners after sweeping"
e2e_log "meadow saved: $(meadow_corners "$meadowFile") corners"

# 3a. A hill: brush size 8, raise, the left button held on the spot until the
# ground around it has changed its shading over a good part of the region.
click_icon 3 3
click_icon 2 0
park
capture
cp "$shot" "$E2E_OUT/before_hill_parked.png"
[ "$(changed_in "$E2E_OUT/no_tool.png" "$shot" $TOOL_FIELD)" -gt 200 ] ||
    fail "the middle field does not change when raise and brush 8 are chosen"
# The brush on the ground: left of the yellow cell, clear of the pointer
# picture, the tint and ring change the ground against the view with no tool.
BESIDE="80 40 $((HILL_X - 130)) $((HILL_Y - 20))"
pointer_to "$win" $HILL_X $HILL_Y
wait_until 20 'capture; [ "$(changed_in "$E2E_OUT/no_tool.png" "$shot" $BESIDE)" -gt 800 ]' ||
    fail "no brush footprint beside the picked cell ($(changed_in "$E2E_OUT/no_tool.png" "$shot" $BESIDE) pixels)"
cp "$shot" "$E2E_OUT/before_hill.png"
cp "$shot" "$E2E_OUT/footprint.png"
xdotool mousedown 1
hill_grown() {
    capture
    [ "$(changed_in "$E2E_OUT/before_hill.png" "$shot" 300 160 $((HILL_X - 150)) $((HILL_Y - 80)))" -gt 12000 ]
}
wait_until 60 hill_grown
grown=$?
xdotool mouseup 1
[ $grown = 0 ] || fail "holding the left button with the raise tool changes nothing"
cp "$shot" "$E2E_OUT/hill.png"
e2e_log "hill raised"
park
wait_until 20 'capture; [ "$(changed_in "$E2E_OUT/before_hill_parked.png" "$shot" $MINIMAP)" -gt 10 ]' ||
    fail "the hill does not show in the minimap"

# 3b. A pit: lower, the right button held until the ground sinks below the
# water level and water shows around the spot.
click_icon 2 1
pointer_to "$win" $PIT_X $PIT_Y
xdotool mousedown 3
wait_until 90 'capture; water_region $POND'
flooded=$?
xdotool mouseup 3
[ $flooded = 0 ] || fail "lowering with the right button shows no water ($(rgb_mean "$shot" $POND))"
cp "$shot" "$E2E_OUT/pit.png"
e2e_log "water in the pit: $(rgb_mean "$shot" $POND)"

# 4. Save through the GTK dialog: a typed absolute path and Return.
mapFile="$E2E_OUT/edited.map"
rm -f "$mapFile"
park
capture
cp "$shot" "$E2E_OUT/before_save.png"
click_icon 0 1
file_dialog_enter "Karte speichern" "$mapFile" "$shot"
cp "$E2E_OUT/dialog.png" "$E2E_OUT/save_dialog.png"
size_reached() { [ -f "$mapFile" ] && [ "$(stat -c %s "$mapFile")" = 4491340 ]; }
wait_until 20 size_reached || fail "no map file of 4,491,340 bytes ($(stat -c %s "$mapFile" 2>&1))"
header=$(od -A n -t d4 -N 8 "$mapFile" | tr -s ' ' | sed 's/^ //')
[ "$header" = "256 256" ] || fail "map header is '$header', not '256 256'"
# The height is the float at byte 40 of each 68-byte record (records from
# byte 8): count the records whose height is not 0.0, and the lowest and
# highest height.
read -r nonzero lowest highest <<<"$(od -A n -v -t f4 -j 8 -w68 "$mapFile" |
    awk '{ h = $11 + 0; if (h != 0) n++; if (NR == 1 || h < lo) lo = h; if (NR == 1 || h > hi) hi = h }
         END { printf "%d %s %s\n", n, lo, hi }')"
# The ground letter is the record's first byte: meadow is 'w' (119).
meadow=$(od -A n -v -t u1 -j 8 -w68 "$mapFile" | awk '$1 == 119 { n++ } END { print n + 0 }')
e2e_log "map saved: $nonzero records with a height, from $lowest to $highest; $meadow meadow corners"
[ "$meadow" -ge 4 ] || fail "the saved map holds only $meadow meadow corners"
[ "$nonzero" -ge 50 ] || fail "the saved map holds only $nonzero edited heights"
at_least "$highest" 0.01 || fail "the saved map has no raised ground (highest $highest)"
awk -v h="$lowest" 'BEGIN { exit !(h < -1.0) }' || fail "the saved map has no ground below the water level (lowest $lowest)"
park
wait_until 20 'capture; [ "$(changed_in "$E2E_OUT/before_save.png" "$shot" $MAP_FIELD)" -gt 100 ]' ||
    fail "the right field does not change after the save"
[ "$(orange_pixels $MAP_FIELD)" = 0 ] || fail "the saved map still shows the unsaved mark"

# 5. The final picture, once the editor draws again with the pointer over the
# ground: the cell under it shows highlighted in yellow.
pointer_to "$win" $POINTER_X $POINTER_Y
wait_until 20 'capture; at_least "$(yellow_pixels $((POINTER_X - 80)) $((POINTER_Y - 60)) 160 120)" 200' ||
    fail "the editor does not pick the cell under the pointer after saving"
cp "$shot" "$E2E_OUT/edited.png"

# 6. The next stroke (raise, the right button held until the ground
# changes) brings the unsaved mark once it ends.
click_icon 2 0
pointer_to "$win" $POINTER_X $POINTER_Y
capture
cp "$shot" "$E2E_OUT/before_stroke.png"
xdotool mousedown 3
wait_until 30 'capture; [ "$(changed_in "$E2E_OUT/before_stroke.png" "$shot" 200 120 $((POINTER_X - 100)) $((POINTER_Y - 60)))" -gt 2000 ]'
raised=$?
xdotool mouseup 3
[ $raised = 0 ] || fail "the stroke after the save changes nothing"
park
wait_until 20 'capture; at_least "$(orange_pixels $MAP_FIELD)" 20' || fail "no unsaved mark after the next stroke"

# 7. A press in the minimap's far corner (the map's cell 255, 255: the
# picture of a 256 x 256 map is 174 pixels square, its top-right corner at
# window pixel (254, 823)) moves the view there: the terrain and the
# outline change.
cp "$shot" "$E2E_OUT/before_jump.png"
click_at "$win" 252 826
park
wait_until 20 'capture; [ "$(changed_in "$E2E_OUT/before_jump.png" "$shot" 1280 500 0 200)" -gt 50000 ]' ||
    fail "a press in the minimap does not move the view"
[ "$(changed_in "$E2E_OUT/before_jump.png" "$shot" $MINIMAP)" -gt 20 ] || fail "the view's outline does not move"
cp "$shot" "$E2E_OUT/jumped.png"
e2e_log "status display: footprint, minimap, saved and unsaved, minimap press"

# 8. Escape ends the editor.
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 5) || fail "the editor did not end within 5 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
e2e_log "editor ended with exit code 0"
exit 0
