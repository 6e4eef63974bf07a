#!/usr/bin/env bash
# Shaping the land as a person would, on a 1280 x 1024 x 16 display, the maps
# saved through the dialog and read back:
#   - brush 4, raise, the right button held on a spot until a hill shows; a
#     click of snow there marks the picked cell A (its lower-left corner);
#   - R, the left button pressed there and released on the middle of cell
#     B = A - (5, 5) on the flat ground (its pixel from the start view's
#     camera): along the centre line, the corners (ax - k, ay - k), the
#     heights fall and lie within 1e-4 of the straight line from A to B;
#   - E, a right click on the hill's flank, and a click of meadow with Shift:
#     heights changed inside one brush only (8 x 8 corners at most), and the
#     52 corners within distance 4 are meadow;
#   - F1 shows the card of the keys over the view, F1 again hides it.
# Usage: shaping_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
e2e_init shaping
start_xvfb 1280x1024x16
start_editor "$1"
dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92
win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
shot="$E2E_OUT/current.png"
park() { pointer_to "$win" 990 860; }
click_icon() { pointer_to "$win" "$(icon_x "$2")" "$(icon_y "$1")"; xdotool click 1; }
# ground_pixel X Y: the window pixel of grid point (X, Y) cells on flat ground,
# seen by the start view (eye 6 above the plane, looking at 3 ahead).
ground_pixel() {
    awk -v x="$1" -v y="$2" 'BEGIN { X = x * 0.3; Y = y * 0.3; w = 0.4472136 * Y + 5.3665631
        ye = 0.8944272 * Y - 2.6832816; c = 1 / 0.41421356
        printf "%d %d\n", (c / 1.25 * X / w + 1) * 640, (1 - c * ye / w) * 512 }'
}
# save NAME: the map saved through the dialog as NAME, once it is whole.
save() {
    park
    click_icon 0 1
    file_dialog_enter "Karte speichern" "$E2E_OUT/$1" "$shot"
    wait_until 20 "[ \"\$(stat -c %s '$E2E_OUT/$1' 2>/dev/null)\" = 4491340 ]" || fail "no $1 saved"
}
# records MAP: x y height ground-byte per vertex, in the file's order.
records() {
    paste <(od -A n -v -t f4 -j 8 -w68 "$1" | awk '{ print $11 }') \
          <(od -A n -v -t u1 -j 8 -w68 "$1" | awk '{ print $1 }') |
        awk '{ print (NR - 1) % 257, int((NR - 1) / 257), $1, $2 }'
}
park
wait_until 30 'screenshot "$shot"; frame_rate_box_in "$shot"' || fail "the editor draws no frames"

# 1. The hill and the snow mark at A.
read -r hx hy <<<"$(ground_pixel 10.5 18.5)"
click_icon 3 1
click_icon 2 0
pointer_to "$win" "$hx" "$hy"
screenshot "$E2E_OUT/before.png"
xdotool mousedown 3
HILL="300 200 $((hx - 150)) $((hy - 100))"
wait_until 60 'screenshot "$shot"; [ "$(changed_in "$E2E_OUT/before.png" "$shot" $HILL)" -gt 2500 ]'; raised=$?
xdotool mouseup 3
[ $raised = 0 ] || fail "holding the right button with the raise tool raises no hill"
click_icon 1 2
pointer_to "$win" "$hx" "$hy"
xdotool click 1
save hill.map
read -r ax ay <<<"$(records "$E2E_OUT/hill.map" | awk '$4 == 115 { print $1, $2 }')"
[ -n "$ax" ] || fail "no snow corner in hill.map"
bx=$((ax - 5)) by=$((ay - 5))
e2e_log "A = ($ax, $ay), B = ($bx, $by)"

# 2. The ramp from A down to B.
read -r qx qy <<<"$(ground_pixel "$bx.5" "$by.5")"
pointer_to "$win" "$hx" "$hy"
xdotool key r mousedown 1
pointer_to "$win" "$qx" "$qy"
xdotool mouseup 1
save ramp.map
read -r ramp_fault <<<"$(paste -d' ' <(records "$E2E_OUT/hill.map") <(records "$E2E_OUT/ramp.map") |
    awk -v ax="$ax" -v ay="$ay" -v bx="$bx" -v by="$by" '
    { was[$1, $2] = $3; now[$1, $2] = $7 }
    END { ha = (was[ax, ay] + was[ax + 1, ay] + was[ax, ay + 1] + was[ax + 1, ay + 1]) / 4
          hb = (was[bx, by] + was[bx + 1, by] + was[bx, by + 1] + was[bx + 1, by + 1]) / 4
          if (ha < 0.2 || hb != 0) { print "the ends are at " ha " and " hb; exit }
          for (k = 0; k < 5; k++) {
              h = now[ax - k, ay - k]; t = ha + (hb - ha) * (k + 0.5) / 5
              if (h - t > 1e-4 || t - h > 1e-4) { print "corner " k " at " h ", not " t; exit }
              if (k > 0 && h > last) { print "corner " k " rises to " h; exit }
              last = h }
          print "none" }')"
[ "$ramp_fault" = none ] || fail "ramp: $ramp_fault"

# 3. Erosion on the hill's flank; meadow with Shift on the flat ground.
read -r ex ey <<<"$(ground_pixel $((ax + 3)).5 $((ay + 1)).5)"
xdotool key e
pointer_to "$win" "$ex" "$ey"
# Clicks are strokes of one frame (the ground a held erosion wears would move
# the picked cell), served before the save's click as messages are in order.
xdotool click 3
read -r mx my <<<"$(ground_pixel 8.5 8.5)"
click_icon 1 1
pointer_to "$win" "$mx" "$my"
xdotool keydown shift click 1 keyup shift
save shaped.map
read -r shaped <<<"$(paste -d' ' <(records "$E2E_OUT/ramp.map") <(records "$E2E_OUT/shaped.map") |
    awk '$3 != $7 { n++; if (!x0 || $1 < x0) x0 = $1; if ($1 > x1) x1 = $1
                            if (!y0 || $2 < y0) y0 = $2; if ($2 > y1) y1 = $2 }
         $8 == 119 { w++; if (!u0 || $1 < u0) u0 = $1; if ($1 > u1) u1 = $1 }
         END { print n + 0, x1 - x0 + 1, y1 - y0 + 1, w + 0, u1 - u0 + 1 }')"
e2e_log "changed heights, their columns and rows, meadow corners, their columns: $shaped"
read -r n cols rows meadow mcols <<<"$shaped"
[ "$n" -gt 0 ] && [ "$cols" -le 8 ] && [ "$rows" -le 8 ] || fail "erosion reached beyond its brush: $shaped"
[ "$meadow" = 52 ] && [ "$mcols" = 8 ] || fail "Shift painting did not paint the whole brush at once: $shaped"

# 4. The key card.
park
screenshot "$E2E_OUT/before.png"
CARD="240 300 660 250"  # over the ground, right of the map's left edge
xdotool key F1
wait_until 20 "screenshot '$shot'; [ \"\$(changed_in '$E2E_OUT/before.png' '$shot' $CARD)\" -gt 36000 ]" ||
    fail "F1 shows no card"
xdotool key F1
wait_until 20 "screenshot '$shot'; [ \"\$(changed_in '$E2E_OUT/before.png' '$shot' $CARD)\" -lt 500 ]" ||
    fail "F1 again does not hide the card"
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the editor did not end within 10 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
