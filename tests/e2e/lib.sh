# Shared helpers of the end-to-end tests: a private X server (Xvfb), the
# editor started in the background, window lookup, pointer and keyboard
# input through XTEST (xdotool), screenshots and pixel checks (ImageMagick).
#
# Conventions: sourced by bash scripts run with `set -u`. Every wait polls a
# condition with a timeout (seconds, fractional allowed); nothing sleeps in
# the hope that something has happened. Coordinates are pixels with (0, 0)
# at the top-left. There is no window manager: the keyboard focus follows
# the pointer, so key presses go to the window under the pointer, and no
# window is activated or closed by a manager. Logs and screenshots of a run
# go to $E2E_OUT (tests/e2e/out/<test name>/ in the build folder); a failed
# check leaves a screenshot "failure.png" there.

E2E_XVFB_PID=""
E2E_EDITOR_PID=""
E2E_OUT=""

# e2e_init NAME: prepares the output folder and the cleanup on exit.
e2e_init() {
    E2E_OUT="$PWD/tests/e2e/out/$1"
    rm -rf "$E2E_OUT"
    mkdir -p "$E2E_OUT"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
}

e2e_log() {
    echo "[$(date +%H:%M:%S.%N | cut -c1-12)] $*" | tee -a "$E2E_OUT/steps.log" >&2
}

e2e_cleanup() {
    if [ -n "$E2E_EDITOR_PID" ] && kill -0 "$E2E_EDITOR_PID" 2>/dev/null; then
        kill "$E2E_EDITOR_PID" 2>/dev/null
        wait_until 5 "! kill -0 $E2E_EDITOR_PID 2>/dev/null" || kill -9 "$E2E_EDITOR_PID" 2>/dev/null
    fi
    if [ -n "$E2E_XVFB_PID" ] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait_until 5 "! kill -0 $E2E_XVFB_PID 2>/dev/null" || kill -9 "$E2E_XVFB_PID" 2>/dev/null
    fi
}

# fail MESSAGE: records a screenshot of the screen as it is and ends the test.
fail() {
    e2e_log "FAIL: $*"
    if [ -n "${DISPLAY:-}" ] && [ -n "$E2E_XVFB_PID" ]; then
        import -window root "$E2E_OUT/failure.png" 2>/dev/null &&
            e2e_log "screenshot: $E2E_OUT/failure.png"
    fi
    e2e_log "logs in $E2E_OUT"
    exit 1
}

# wait_until TIMEOUT COMMAND: evaluates COMMAND every 50 ms until it succeeds
# (returns 0) or TIMEOUT seconds have passed (returns 1).
wait_until() {
    local timeout=$1
    shift
    local deadline
    deadline=$(date +%s%N)
    deadline=$((deadline + $(awk -v t="$timeout" 'BEGIN { printf "%.0f", t * 1000000000 }')))
    while :; do
        if eval "$*"; then return 0; fi
        [ "$(date +%s%N)" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}

# start_xvfb WxHxDEPTH: starts Xvfb on a free display and exports DISPLAY
# once the server answers. The server repeats no held key (-r): the editor
# takes one message a frame, so on a busy machine repeats would pile up in
# its queue and a released key would act on for as long as they last; a key
# held is one press and one release, and the editor acts on its level.
start_xvfb() {
    local screen=$1
    local numberFile="$E2E_OUT/xvfb.display"
    : >"$numberFile"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset -r \
        3>"$numberFile" >"$E2E_OUT/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    wait_until 20 "[ -s '$numberFile' ] || ! kill -0 $E2E_XVFB_PID 2>/dev/null" ||
        fail "Xvfb did not report its display number"
    [ -s "$numberFile" ] || fail "Xvfb ended at start (see xvfb.log)"
    export DISPLAY=":$(head -n1 "$numberFile" | tr -d '[:space:]')"
    wait_until 20 "xdpyinfo >/dev/null 2>&1" || fail "Xvfb on $DISPLAY does not answer"
    e2e_log "Xvfb $screen on $DISPLAY (pid $E2E_XVFB_PID)"
}

# start_editor BINARY: starts the editor in the background; its output goes
# to editor.log. A small wrapper shell waits for it and writes its exit code
# to editor.exit, so that wait_for_exit works from any (sub)shell.
# E2E_EDITOR_PID is the editor's own process id. The editor keeps its
# recovery data in the test's own state folder, so a run that ends with
# unsaved work leaves nothing in the user's home for the next start to show.
start_editor() {
    rm -f "$E2E_OUT/editor.pid" "$E2E_OUT/editor.exit"
    mkdir -p "$E2E_OUT/state"
    (
        XDG_STATE_HOME="$E2E_OUT/state" "$1" >"$E2E_OUT/editor.log" 2>&1 &
        echo $! >"$E2E_OUT/editor.pid"
        code=0
        wait $! || code=$?
        echo "$code" >"$E2E_OUT/editor.exit.part"
        mv "$E2E_OUT/editor.exit.part" "$E2E_OUT/editor.exit"
    ) &
    wait_until 10 "[ -s '$E2E_OUT/editor.pid' ]" || fail "the editor could not be started"
    E2E_EDITOR_PID=$(cat "$E2E_OUT/editor.pid")
    e2e_log "editor started (pid $E2E_EDITOR_PID)"
}

# wait_for_exit PID TIMEOUT: waits for the process to end; prints its exit
# code and also leaves it in E2E_EXIT_CODE. Returns 1 (printing nothing)
# when it still runs after TIMEOUT. For the editor the code comes from its
# wrapper; any other process must be a child of the calling shell.
E2E_EXIT_CODE=""
wait_for_exit() {
    local pid=$1 timeout=$2 code=0
    E2E_EXIT_CODE=""
    if [ "$pid" = "$E2E_EDITOR_PID" ]; then
        wait_until "$timeout" "[ -s '$E2E_OUT/editor.exit' ]" || return 1
        code=$(cat "$E2E_OUT/editor.exit")
    else
        wait_until "$timeout" "! kill -0 $pid 2>/dev/null" || return 1
        wait "$pid" || code=$?
    fi
    E2E_EXIT_CODE=$code
    echo "$code"
}

# find_window NAME: ids (decimal) of the viewable windows whose name is
# exactly NAME. The names come from xwininfo, which reads the UTF-8 names
# (_NET_WM_NAME) that SDL sets; xdotool's own name search cannot read them.
find_window() {
    local id
    xwininfo -root -tree 2>/dev/null |
        awk -v name=" \"$1\": " 'index($0, name) > 0 { print $1 }' |
        while read -r id; do
            if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
                echo $((id))
            fi
        done
}

# wait_for_window NAME TIMEOUT: prints the id of the first mapped window named
# exactly NAME once there is one; returns 1 after TIMEOUT.
wait_for_window() {
    local name=$1 timeout=$2
    wait_until "$timeout" "[ -n \"\$(find_window '$name')\" ]" || return 1
    find_window "$name" | head -n1
}

# wait_for_no_window NAME TIMEOUT: returns 0 once no mapped window is named NAME.
wait_for_no_window() {
    wait_until "$2" "[ -z \"\$(find_window '$1')\" ]"
}

# window_geometry WID: prints "X Y WIDTH HEIGHT" of the window on the screen.
window_geometry() {
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    echo "$X $Y $WIDTH $HEIGHT"
}

# pointer_to WID X Y: moves the pointer to (X, Y) relative to the window.
pointer_to() {
    local geometry
    read -r -a geometry <<<"$(window_geometry "$1")"
    xdotool mousemove --sync $((geometry[0] + $2)) $((geometry[1] + $3))
}

# sweep_around WID X Y: moves the pointer over a 5 x 5 grid of points around
# (X, Y), 120 x 80 pixels in all. Painting changes the one vertex under the
# pointer per frame, so a held button needs sweeps to cover a patch.
sweep_around() {
    local dx dy
    for dy in -40 -20 0 20 40; do
        for dx in -60 -30 0 30 60; do
            pointer_to "$1" $(($2 + dx)) $(($3 + dy))
        done
    done
}

# click_at WID X Y: left click at (X, Y) relative to the window.
click_at() {
    pointer_to "$1" "$2" "$3"
    xdotool click 1
}

# press_key WID KEY: puts the pointer over the window (the focus follows it)
# and taps KEY (an X keysym name such as Escape, Return, KP_8).
press_key() {
    pointer_to "$1" 10 10
    xdotool key "$2"
}

# hold_key KEY / release_key KEY: key down and key up on the window under the
# pointer.
hold_key() { xdotool keydown "$1"; }
release_key() { xdotool keyup "$1"; }

# screenshot FILE: the whole screen as PNG.
screenshot() {
    import -window root "$1" || fail "screenshot $1 failed"
}

# region_mean FILE W H X Y: mean brightness (0..1) of the region.
region_mean() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace Gray -format '%[fx:mean]' info:
}

# dark_pixel_count FILE W H X Y: pixels of the region darker than 25 %.
dark_pixel_count() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace Gray -threshold 25% \
        -negate -format '%[fx:round(mean*w*h)]' info:
}

# white_pixel_count FILE W H X Y: pixels of the region brighter than 90 %.
white_pixel_count() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage -colorspace Gray -threshold 90% \
        -format '%[fx:round(mean*w*h)]' info:
}

# frame_rate_box_in FILE: the screenshot shows the frame-rate display, a
# white box of 13 pixel rows with black glyph pixels, at (100, 100).
frame_rate_box_in() {
    at_least "$(dark_pixel_count "$1" 8 13 100 100)" 10 &&
        at_least "$(white_pixel_count "$1" 8 13 100 100)" 40
}

# display_shown FILE PANEL: the screenshot shows the status display in the
# menu panel's fields: they differ from the panel picture PANEL (the menu's
# background, drawn 1:1 at the screen's lower-left corner on a 1280 x 1024
# screen) in the minimap (whose earth is close to the wood's brown, so only
# where grain and joints differ) and where the texts of the middle and right
# fields lie. Regions are in the picture's pixels from its top.
display_shown() {
    convert "$1" -crop 1280x280+0+744 +repage "$E2E_OUT/panel_now.png"
    at_least "$(changed_in "$2" "$E2E_OUT/panel_now.png" 170 170 83 82)" 1500 &&
        at_least "$(changed_in "$2" "$E2E_OUT/panel_now.png" 280 170 348 78)" 300 &&
        at_least "$(changed_in "$2" "$E2E_OUT/panel_now.png" 280 170 668 78)" 300
}

# rgb_mean FILE W H X Y: the region's mean red, green and blue (0..1).
rgb_mean() {
    convert "$1" -crop "${2}x${3}+${4}+${5}" +repage \
        -format '%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]' info:
}

# changed_in FILE-A FILE-B W H X Y: pixels of the region differing by more
# than 8 %.
changed_in() {
    convert "$1" -crop "${3}x${4}+${5}+${6}" +repage "$E2E_OUT/cmp_a.png"
    convert "$2" -crop "${3}x${4}+${5}+${6}" +repage "$E2E_OUT/cmp_b.png"
    compare -metric AE -fuzz 8% "$E2E_OUT/cmp_a.png" "$E2E_OUT/cmp_b.png" null: 2>&1 |
        cut -d' ' -f1
}

# Menu cells in window pixels (y from the top): the middle of a cell's
# 48 x 48 icon. Columns start at x = 1026 + 60 c; a row's lower edge lies at
# y = 197 - 60 r from the bottom of the 1024-pixel-high screen.
icon_x() { echo $((1026 + 60 * $1 + 24)); }
icon_y() { echo $((1023 - (197 - 60 * $1) - 24)); }

# at_least VALUE MINIMUM: true when VALUE >= MINIMUM (decimals allowed).
at_least() {
    awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 >= b + 0) }'
}

# file_dialog_enter TITLE PATH SHOT [as-is]: waits for the GTK file dialog
# TITLE, types PATH into it once it is drawn and has settled (after
# selecting what the name field holds, unless "as-is"), and presses Return
# until the dialog is gone. SHOT is the screenshot file the checks use (the
# caller's own). With no window manager the dialog takes the keyboard focus
# itself; the name field completes folder names as it goes, with a pop-up
# list that would take the Return, so Return waits for the dialog's picture
# to stand still and is pressed again should the dialog still be open.
file_dialog_enter() {
    local title=$1 path=$2 shot=$3 dialog dialogW previous=""
    dialog=$(wait_for_window "$title" 20) || fail "the dialog '$title' did not appear"
    read -r _ _ dialogW _ <<<"$(window_geometry "$dialog")"
    _dialog_drawn() {
        screenshot "$shot"
        read -r gx gy _ _ <<<"$(window_geometry "$dialog")"
        at_least "$(region_mean "$shot" "$dialogW" 60 "$gx" "$gy")" 0.6
    }
    wait_until 20 _dialog_drawn || fail "the dialog '$title' is not drawn"
    pointer_to "$dialog" $((dialogW / 2)) 26
    _dialog_settled() {
        screenshot "$shot"
        read -r gx gy gw gh <<<"$(window_geometry "$dialog")"
        local now
        now=$(convert "$shot" -crop "${gw}x${gh}+${gx}+${gy}" +repage -depth 8 rgb:- | md5sum)
        [ "$now" = "$previous" ] && return 0
        previous=$now
        return 1
    }
    # as-is: what the field holds once the folder is shown stays, unselected.
    if [ "${4:-}" != as-is ]; then xdotool key ctrl+a
    else wait_until 20 _dialog_settled && previous="" && xdotool key Right || fail "'$title' does not settle"; fi
    xdotool type --delay 20 "$path"
    wait_until 20 _dialog_settled || fail "the dialog '$title' does not settle after typing"
    cp "$shot" "$E2E_OUT/dialog.png"
    wait_until 40 "xdotool key Return; wait_for_no_window '$title' 8" ||
        fail "the dialog '$title' stays open after Return"
}
