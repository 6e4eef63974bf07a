#!/usr/bin/env bash
# mapconvert from the command line: a heightmap made by ImageMagick imports
# with the right orientation, info reports what a cut map is missing, and
# hostile input (files and output paths) ends in one clear line and exit
# status 1 with no output left behind, under AddressSanitizer and UBSan.
#   mapconvert_cli.sh MAPCONVERT MAPCONVERT_ASAN DATA_DIR
# Runs in the build folder, where the texture pack lies.
set -u
tool=$1
asan=$2
data=$3
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
# A sanitizer finding exits with its own status, never with the 1 expected.
export ASAN_OPTIONS=detect_leaks=1:exitcode=99
export UBSAN_OPTIONS=print_stacktrace=1:exitcode=98
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Height of vertex (x, y) of a map W cells wide: record y * (W + 1) + x,
# height at byte 40 of the 68-byte record after the 8-byte header.
height_at() {
  od -An -t f4 -j $((8 + 68 * ($4 * ($2 + 1) + $3) + 40)) -N 4 "$1" | tr -d ' '
}

# --- Orientation: bright top-left pixel -> high vertex at map (0, height).
convert -size 5x4 xc:black -fill white -draw 'point 0,0' -colorspace Gray \
  -define png:color-type=0 -define png:bit-depth=16 "$work/corner.png" || fail "ImageMagick"
"$tool" import "$work/corner.png" "$work/corner.map" || fail "import of the ImageMagick heightmap"
[ "$(height_at "$work/corner.map" 4 0 3)" = "1.5" ] || fail "vertex (0, 3) is not at the highest height"
[ "$(height_at "$work/corner.map" 4 0 0)" = "-2" ] || fail "vertex (0, 0) is not at the lowest height"
[ "$(height_at "$work/corner.map" 4 4 3)" = "-2" ] || fail "vertex (4, 3) is not at the lowest height"

# --- info on a map cut inside its 17th record, after the high vertex.
head -c $((8 + 68 * 16 + 30)) "$work/corner.map" > "$work/cut.map"
info=$("$asan" info "$work/cut.map") || fail "info on a cut map"
grep -q "size: 4 x 3 cells" <<<"$info" || fail "info size: $info"
grep -q "records: 16 of 20 (4 missing" <<<"$info" || fail "info records: $info"
grep -q "stray bytes: 30 of a cut record" <<<"$info" || fail "info stray bytes: $info"
grep -q "heights: lowest -2, highest 1.5" <<<"$info" || fail "info heights: $info"

# --- Hostile input: each case is "label|command words", one per line.
head -c 100 "$work/corner.png" > "$work/truncated.png"
convert -size 6x5 xc:red -define png:color-type=2 "$work/colour.png"
echo "not a picture" > "$work/text.png"
printf '\x00\x00\x00\x70\x00\x00\x00\x70' > "$work/huge.map"
printf '\xff\xff\xff\xff\x02\x00\x00\x00' > "$work/negative.map"
mkdir "$work/out"
mkdir -p "$work/locked" && chmod 555 "$work/locked"
locked="$work/locked"
# Root writes into a read-only folder anyway; /proc takes no new files.
[ "$(id -u)" = 0 ] && locked=/proc
out="$work/out"
cases="huge declared size|import $data/huge_size.png $out/a.map
image data cut short|import $data/short_data.png $out/a.map
truncated PNG|import $work/truncated.png $out/a.map
colour PNG|import $work/colour.png $out/a.map
not a PNG|import $work/text.png $out/a.map
missing file|import $work/none.png $out/a.map
colour ground picture|import $work/corner.png $out/a.map --ground $work/colour.png
map header beyond the largest map|info $work/huge.map
negative map header|export $work/negative.map $out/a.png
unwritable map|import $work/corner.png $locked/mapconvert_test.map
unwritable heightmap|export $work/corner.map $locked/mapconvert_test.png
unwritable ground picture|export $work/corner.map $out/a.png --ground $locked/mapconvert_test_ground.png
missing output folder|preview $work/corner.map $work/none/a.png"
while IFS='|' read -r label words; do
  # shellcheck disable=SC2086
  "$asan" $words > "$work/stdout" 2> "$work/stderr"
  rc=$?
  [ "$rc" = 1 ] || fail "$label: exit status $rc (want 1): $(cat "$work/stderr")"
  [ "$(wc -l < "$work/stderr")" = 1 ] || fail "$label: not one line on stderr: $(cat "$work/stderr")"
  grep -q "^mapconvert: " "$work/stderr" || fail "$label: $(cat "$work/stderr")"
  [ -z "$(ls -A "$out")" ] || fail "$label: left $(ls -A "$out")"
  rm -f "$out"/*
done <<<"$cases"
ls /proc/mapconvert_test* >/dev/null 2>&1 && fail "files left in /proc"

# --- Wrong calls: usage text, exit status 2.
for words in "" "info" "export $work/corner.map" "import a b --size 3" "preview a b --size x" "frobnicate"; do
  # shellcheck disable=SC2086
  "$asan" $words > /dev/null 2> "$work/stderr"
  rc=$?
  [ "$rc" = 2 ] || fail "'$words': exit status $rc (want 2)"
  grep -q "^usage: mapconvert" "$work/stderr" || fail "'$words': no usage text"
done

[ "$failures" = 0 ] && echo "mapconvert command line: all checks passed"
exit $((failures != 0))
