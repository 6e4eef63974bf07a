#!/usr/bin/env bash
# A mirrored hill, on a 1280 x 1024 x 16 display: M six times (once round
# the five modes and on to left/right), the brush keys ] ] ] ] [ and keypad
# + - + (4, 6, 8, 12, 8, 12, 8, 12), 40 taps of the Right arrow (4 world
# units, so the brush stays clear of the map's edge), the raise icon, and
# the right button held on the ground until the view shows a hill. Escape
# with the map unsaved leaves it as a recovered map in the state folder,
# read back here: its heights are mirrored left to right but not top to
# bottom, the middle columns are untouched, and each side's raised columns
# are at least the 24 of brush 12 and fewer than the 32 of brush 16 (the
# picked cell may move a little as the ground rises): the hill raised on
# one side stands mirrored on the other. The keys and the button reach the
# editor in the order sent, one message a frame, so the stroke starts with
# mode, brush and view set.
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

xdotool key m m m m m m bracketright bracketright bracketright bracketright bracketleft \
    KP_Add KP_Subtract KP_Add $(printf 'Right %.0s' {1..40})
click_at "$win" "$(icon_x 0)" "$(icon_y 2)"
pointer_to "$win" 860 240
screenshot "$E2E_OUT/before.png"
xdotool mousedown 3
wait_until 60 'screenshot "$shot"; [ "$(changed_in "$E2E_OUT/before.png" "$shot" 400 300 660 90)" -gt 20000 ]'
grown=$?
xdotool mouseup 3
[ $grown = 0 ] || fail "holding the right button with the raise tool raises no hill"
cp "$shot" "$E2E_OUT/hill.png"

xdotool key Escape
code=$(wait_for_exit "$E2E_EDITOR_PID" 10) || fail "the editor did not end within 10 s of Escape"
[ "$code" = 0 ] || fail "the editor ended with exit code $code"
map=$(ls "$XDG_STATE_HOME"/terrain-editor/Wiederhergestellt*.map 2>/dev/null | head -n1)
[ -n "$map" ] || fail "no recovered map in $XDG_STATE_HOME/terrain-editor"
# Records from byte 8, row by row (x inner), the height at byte 40.
read -r across along left middle right <<<"$(od -A n -v -t f4 -j 8 -w68 "$map" | awk '
    { n = NR - 1; h[n % 257, int(n / 257)] = $11 }
    END {
        for (x = 0; x <= 256; x++) for (y = 0; y <= 256; y++) {
            if (h[x, y] != h[256 - x, y]) lr++
            if (h[x, y] != h[x, 256 - y]) tb++
            if (h[x, y] != 0) raised[x] = 1
        }
        for (x in raised) { if (x + 0 < 100) l++; else if (x + 0 > 156) r++; else m++ }
        print lr + 0, tb + 0, l + 0, m + 0, r + 0
    }')"
e2e_log "differences to the mirror image left/right $across, top/bottom $along;" \
    "raised columns $left left, $middle in the middle, $right right"
[ "$across" = 0 ] || fail "$across heights differ from their mirror image across the vertical line"
[ "$along" -gt 0 ] || fail "the heights are mirrored top to bottom too: M did not step to left/right"
[ "$middle" = 0 ] || fail "the stroke reached the middle of the map"
[ "$left" -ge 24 ] && [ "$left" -lt 32 ] || fail "$left raised columns: the brush is not 12"
exit 0
