#!/usr/bin/env bash
# A mirrored hill: M six times (round the modes to left/right), ] ] ] ] [ and
# keypad + - + (brush 12), Right 40 times, raise, the right button held until
# a hill shows, Escape. The recovered map is mirrored left to right only, the
# middle untouched, each side's hill 24 to 31 columns wide (brush 12; the pick
# moves a little as the ground rises). Input is served in the order sent.
# Usage: symmetry_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
e2e_init symmetry
export XDG_STATE_HOME="$E2E_OUT/state"
start_xvfb 1280x1024x16
start_editor "$1"
dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
click_at "$dialog" 52 92
win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
pointer_to "$win" 640 900  # on the menu panel: the keys go to the editor
shot="$E2E_OUT/current.png"
wait_until 30 'screenshot "$shot"; frame_rate_box_in "$shot"' || fail "the editor draws no frames"
cp "$shot" "$E2E_OUT/no_tool.png"
xdotool key m m m m m m bracketright bracketright bracketright bracketright bracketleft \
    KP_Add KP_Subtract KP_Add $(printf 'Right %.0s' {1..40})
click_at "$win" "$(icon_x 0)" "$(icon_y 2)"
# The keys and the click are served one message a frame, in the order sent:
# once the middle field of the panel shows the raise tool's icon (48 x 48
# pixels at its top left), every key before the click has been served.
ICON="48 48 348 826"
wait_until 60 'screenshot "$shot"; [ "$(changed_in "$E2E_OUT/no_tool.png" "$shot" $ICON)" -gt 300 ]' ||
    fail "the keys and the raise icon are not served ($(changed_in "$E2E_OUT/no_tool.png" "$shot" $ICON) icon pixels)"
pointer_to "$win" 860 240
screenshot "$E2E_OUT/before.png"
xdotool mousedown 3
wait_until 60 'screenshot "$shot"; [ "$(changed_in "$E2E_OUT/before.png" "$shot" 400 300 660 90)" -gt 20000 ]' ||
    { xdotool mouseup 3; fail "holding the right button with the raise tool raises no hill"; }
xdotool mouseup 3
xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the editor did not end within 10 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
map=$(ls "$XDG_STATE_HOME"/terrain-editor/Wiederhergestellt*.map 2>/dev/null | head -n1)
[ -n "$map" ] || fail "no recovered map in $XDG_STATE_HOME/terrain-editor"
# Records from byte 8, row by row (x inner), the height at byte 40.
read -r across along left middle <<<"$(od -A n -v -t f4 -j 8 -w68 "$map" | awk '
    { n = NR - 1; h[n % 257, int(n / 257)] = $11 }
    END { for (x = 0; x <= 256; x++) for (y = 0; y <= 256; y++) {
              lr += h[x, y] != h[256 - x, y]; tb += h[x, y] != h[x, 256 - y]; if (h[x, y]) up[x] = 1 }
          for (x in up) { if (x + 0 < 100) l++; else if (x + 0 <= 156) m++ }
          print lr, tb, l + 0, m + 0 }')"
e2e_log "unlike their image: $across across, $along along; raised columns: $left left, $middle middle"
[ "$across" = 0 ] || fail "$across heights differ from their mirror image across the vertical line"
[ "$along" -gt 0 ] || fail "the heights are mirrored top to bottom too: M did not step to left/right"
[ "$middle" = 0 ] || fail "the stroke reached the middle of the map"
[ "$left" -ge 24 ] && [ "$left" -lt 32 ] || fail "$left raised columns: the brush is not 12"
exit 0
