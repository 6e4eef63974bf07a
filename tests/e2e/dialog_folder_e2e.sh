#!/usr/bin/env bash
# The file dialogs start where the user works (state folder in the output
# folder): a map saved with Ctrl+S under an absolute name in "maps"; after
# Escape and a new start, with "maps" holding one subfolder among other
# files, a bare name typed after what the name field holds saves into
# "maps": the dialog started there, and its name field was empty (GTK would
# complete the subfolder's name into it once the folder is read).
# Usage: dialog_folder_e2e.sh EDITOR-BINARY (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
e2e_init dialog_folder
maps="$E2E_OUT/maps"
shot="$E2E_OUT/current.png"
# session TYPED FILE [as-is]: starts the editor, saves as TYPED, waits for
# FILE and ends the editor.
session() {
    start_editor "$1"
    dialog=$(wait_for_window OpenGL 15) || fail "the start dialog 'OpenGL' did not appear"
    click_at "$dialog" 52 92
    win=$(wait_for_window OpenGLFullScreen 20) || fail "the fullscreen window did not appear"
    pointer_to "$win" 640 900
    xdotool key ctrl+s
    file_dialog_enter "Karte speichern" "$2" "$shot" "${4:-}"
    wait_until 20 "[ -s '$3' ]" || fail "no map $3 after saving as '$2' (see dialog.png)"
    press_key "$win" Escape
    wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "the editor did not end within 5 s of Escape"
}
start_xvfb 1280x1024x16
mkdir -p "$maps"
session "$1" "$maps/eins.map" "$maps/eins.map"
rm "$maps/eins.map" && mkdir "$maps/X11" && (cd "$maps" && touch $(seq -f "f%g.txt" 3000)) ||
    fail "cannot fill $maps"
session "$1" zwei "$maps/zwei.map" as-is
exit 0
