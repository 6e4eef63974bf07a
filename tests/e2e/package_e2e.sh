#!/usr/bin/env bash
# The Debian package as a user gets it:
#   - `cmake --build . --target deb` makes it; it holds both programs, the
#     texture pack, the desktop entry, the icons (PNGs of their directory's
#     size, transparent around the picture), the AppStream metadata, both
#     manual pages, the copyright file and the README, and its Depends
#     (dpkg-shlibdeps) names the libraries the programs use;
#   - lintian finds no error and no warning, desktop-file-validate and
#     appstreamcli validate accept the entry and the metadata;
#   - unpacked with dpkg-deb -x into a scratch root and started from an
#     unrelated working folder (nothing there, home in a scratch folder),
#     the editor opens fullscreen after Start with textured ground (earth
#     tones: clearly less blue than red, as no white untextured face has) and
#     no "Fehler" box, and Escape ends it with exit code 0; started from
#     there and from the home folder, its status display's fields equal
#     those of a run in the data folder and differ by their text from a
#     run whose pack lacks the panel font;
#   - from the same folder the unpacked mapconvert imports a heightmap (which
#     needs the pack) and its info names the tiles' textures.
# Usage: package_e2e.sh DEB APP-ID (run in the build folder).
set -u
source "$(dirname "$0")/lib.sh"
deb=$1
app=$2
e2e_init package

# 1. The package, made the documented way, and what it holds.
cmake --build . --target deb >"$E2E_OUT/deb.log" 2>&1 || fail "the target deb failed (see deb.log)"
[ -f "$deb" ] || fail "no package $deb"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's#^\./#/#' >"$E2E_OUT/contents.txt"
for path in /usr/bin/terrain-editor /usr/bin/mapconvert \
    /usr/share/terrain-editor/textures/ground/_ground.txt /usr/share/terrain-editor/textures/water.bmp \
    "/usr/share/applications/$app.desktop" "/usr/share/metainfo/$app.metainfo.xml" \
    /usr/share/man/man1/terrain-editor.1.gz /usr/share/man/man1/mapconvert.1.gz \
    /usr/share/doc/terrain-editor/copyright /usr/share/doc/terrain-editor/README.md.gz; do
    grep -qx "$path" "$E2E_OUT/contents.txt" || fail "the package holds no $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
e2e_log "Depends: $depends"
tr ',|' '\n\n' <<<"$depends" | awk '{ print $1 }' >"$E2E_OUT/depends.txt"
for package in libsdl2-2.0-0 libgtk-3-0 libpng16-16 libegl1 libglu1-mesa libgl1 libstdc++6; do
    grep -Fqx "$package" "$E2E_OUT/depends.txt" || fail "Depends names no $package"
done

# 2. The validators of the field.
lintian --fail-on error,warning "$deb" >"$E2E_OUT/lintian.log" 2>&1 ||
    fail "lintian reports errors or warnings (see lintian.log)"
root="$E2E_OUT/root"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x failed"
desktop-file-validate "$root/usr/share/applications/$app.desktop" >"$E2E_OUT/desktop.log" 2>&1 ||
    fail "desktop-file-validate rejects the desktop entry (see desktop.log)"
appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" >"$E2E_OUT/appstream.log" 2>&1 ||
    fail "appstreamcli rejects the metadata (see appstream.log)"
for size in 48 128 256; do
    icon="$root/usr/share/icons/hicolor/${size}x$size/apps/terrain-editor.png"
    [ -f "$icon" ] || fail "no ${size}-pixel icon"
    read -r w h corner <<<"$(convert "$icon" -format '%w %h %[fx:p{0,0}.a]' info:)"
    [ "$w $h $corner" = "$size $size 0" ] || fail "the ${size}-pixel icon is ${w}x$h, corner alpha $corner"
done

# 3. The unpacked editor, started from elsewhere: from an empty folder and
# from the home folder, its status display shows the same text as when it
# runs in its data folder, and differs from a run whose pack lacks the
# panel font by that text.
mkdir -p "$E2E_OUT/elsewhere" "$E2E_OUT/home"
export HOME="$E2E_OUT/home"
nofont="$E2E_OUT/nofont"
cp -a "$root" "$nofont" && rm "$nofont"/usr/share/terrain-editor/textures/menue/schrift*.bmp ||
    fail "cannot make a pack without the panel font"
start_xvfb 1280x1024x16
shot="$E2E_OUT/editor.png"
shown() {
    [ -z "$(find_window Fehler)" ] && screenshot "$shot" && frame_rate_box_in "$shot"
}
# The tool and map fields of the panel (W H X Y in window pixels).
FIELDS="620 190 338 816"
# run_from FOLDER ROOT NAME: starts ROOT's editor in FOLDER, waits for its
# frame with the pointer resting on the panel and keeps it as NAME.png.
run_from() {
    cd "$1" || fail "cannot enter $1"
    start_editor "$2/usr/bin/terrain-editor"
    dialog=$(wait_for_window OpenGL 15) || fail "$3: the start dialog 'OpenGL' did not appear"
    click_at "$dialog" 52 92
    fullscreen=$(wait_for_window OpenGLFullScreen 20) || fail "$3: the fullscreen window did not appear"
    pointer_to "$fullscreen" 990 860
    wait_until 30 shown || fail "$3: no editor frame (or a 'Fehler' box)"
    # shellcheck disable=SC2086
    wait_until 10 'cp "$shot" "$E2E_OUT/before.png"; shown; [ "$(changed_in "$shot" "$E2E_OUT/before.png" $FIELDS)" = 0 ]' ||
        fail "$3: the panel does not settle"
    cp "$shot" "$E2E_OUT/$3.png"
    press_key "$fullscreen" Escape
    wait_for_exit "$E2E_EDITOR_PID" 5 >/dev/null || fail "$3: the editor did not end within 5 s of Escape"
    [ "$E2E_EXIT_CODE" = 0 ] || fail "$3: the editor ended with exit code $E2E_EXIT_CODE"
    cd "$E2E_OUT" || fail "cannot enter $E2E_OUT"
}
run_from "$E2E_OUT/elsewhere" "$root" elsewhere
# The ground right of the screen's middle, above the menu.
read -r red green blue <<<"$(rgb_mean "$E2E_OUT/elsewhere.png" 300 200 700 300)"
e2e_log "ground mean colour: $red $green $blue"
at_least "$red" 0.1 && at_least "$(awk -v r="$red" 'BEGIN { print 0.8 * r }')" "$blue" ||
    fail "the ground is not textured (mean colour $red $green $blue)"
run_from "$HOME" "$root" home
run_from "$root/usr/share/terrain-editor" "$root" data
run_from "$nofont/usr/share/terrain-editor" "$nofont" nofont
for name in elsewhere home; do
    # shellcheck disable=SC2086
    same=$(changed_in "$E2E_OUT/$name.png" "$E2E_OUT/data.png" $FIELDS)
    # shellcheck disable=SC2086
    text=$(changed_in "$E2E_OUT/$name.png" "$E2E_OUT/nofont.png" $FIELDS)
    e2e_log "$name: the fields differ in $same pixels from the data folder's run, in $text from no font's"
    [ "$same" = 0 ] && at_least "$text" 1000 || fail "$name: the status display shows not the text it shows in the data folder"
done
cd "$E2E_OUT/elsewhere" || fail "cannot enter $E2E_OUT/elsewhere"

# 4. The unpacked mapconvert, from the same folder.
convert -size 9x9 gradient: -colorspace Gray -define png:bit-depth=16 hill.png || fail "ImageMagick"
"$root/usr/bin/mapconvert" import hill.png hill.map >"$E2E_OUT/mapconvert.log" 2>&1 ||
    fail "mapconvert import failed (see mapconvert.log)"
"$root/usr/bin/mapconvert" info hill.map >"$E2E_OUT/info.txt" 2>&1 || fail "mapconvert info failed"
grep -q "(eeee_1)" "$E2E_OUT/info.txt" || fail "mapconvert info names no tile textures: $(cat "$E2E_OUT/info.txt")"
e2e_log "package checks passed"
exit 0
