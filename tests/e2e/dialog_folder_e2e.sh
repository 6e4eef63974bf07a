#!/usr/bin/env bash
# The file dialogs start where the user works, on a 1280 x 1024 x 16
# display with the state folder in the output folder:
#   - a map saved through Ctrl+S under an absolute name in a folder "maps";
#   - after Escape and a new start, with that folder holding only a
#     subfolder besides other files, Ctrl+S and a bare name typed after
#     what the name field holds save the map into "maps": the dialog
#     started there, and its name field was empty (GTK would otherwise
#     have completed the subfolder's name into it).
# Usage: dialog_folder_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
editor=$1
e2e_init dialog_folder
maps="$E2E_OUT/maps"
mkdir -p "$maps"
shot="$E2E_OUT/current.png"

# session: starts the editor and leaves its fullscreen window in $win.
session() {
    start_editor "$editor"
    dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
    click_at "$dialog" 52 92
    win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
    pointer_to "$win" 640 900
}
# save_as NAME FILE [as-is]: Ctrl+S, NAME typed, and FILE must appear.
save_as() {
    xdotool key ctrl+s
    file_dialog_enter "Karte speichern" "$1" "$shot" "${3:-}"
    wait_until 20 "[ -s '$2' ]" || fail "no map $2 after saving as '$1' (see dialog.png)"
}
end_session() {
    press_key "$win" Escape
    wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "the editor did not end within 5 s of Escape"
}

start_xvfb 1280x1024x16
session
save_as "$maps/eins.map" "$maps/eins.map"
end_session
# One subfolder and enough other files that GTK is still reading the folder
# when the dialog has the focus: that is when it completes an empty field.
rm "$maps/eins.map" && mkdir "$maps/X11" && (cd "$maps" && touch $(seq -f "f%g.txt" 3000)) ||
    fail "cannot fill $maps"
session
save_as zwei "$maps/zwei.map" as-is
end_session
e2e_log "dialog folder checks passed"
exit 0
