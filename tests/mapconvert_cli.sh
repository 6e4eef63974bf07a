#!/usr/bin/env bash
# mapconvert from the command line: heightmaps of every PNG colour type and
# depth (libpng's PNG suite and ImageMagick ramps) and RAW16 files import
# with the heights and orientation ImageMagick sees in them, a seed makes an
# import repeatable, info reports what a cut map is missing, and hostile
# input (files and output paths) ends in one clear line and exit status 1
# with no output left behind, under AddressSanitizer and UBSan.
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
heights() { od -An -v -t f4 -j 48 -w68 "$1" | awk '{print $1}'; }

# --- Orientation: bright top-left pixel -> high vertex at map (0, height),
# from a PNG and from RAW16 in either byte order.
convert -size 5x4 xc:black -fill white -draw 'point 0,0' -colorspace Gray \
  -define png:color-type=0 -define png:bit-depth=16 "$work/corner.png" || fail "ImageMagick"
convert "$work/corner.png" -depth 16 -endian LSB "gray:$work/corner.r16"
convert "$work/corner.png" -depth 16 -endian MSB "gray:$work/corner-be.r16"
"$tool" import "$work/corner.png" "$work/corner.map" || fail "import of the ImageMagick heightmap"
"$tool" import --raw "$work/corner.r16" "$work/le.map" --size 5x4 || fail "import of its RAW"
"$tool" import --raw "$work/corner-be.r16" "$work/be.map" --size 5x4 --big-endian ||
  fail "import of its big-endian RAW"
for map in corner le be; do
  [ "$(height_at "$work/$map.map" 4 0 3)" = "1.5" ] || fail "$map: vertex (0, 3) is not at the highest height"
  [ "$(height_at "$work/$map.map" 4 0 0)" = "-2" ] || fail "$map: vertex (0, 0) is not at the lowest height"
  [ "$(height_at "$work/$map.map" 4 4 3)" = "-2" ] || fail "$map: vertex (4, 3) is not at the lowest height"
done

# --- RAW16 round trip: within one 16-bit step; the same seed, the same map.
convert -size 65x33 plasma:fractal -colorspace Gray -depth 16 -define png:color-type=0 "$work/plasma.png"
"$asan" import "$work/plasma.png" "$work/plasma.map" --seed 7 || fail "import plasma"
"$asan" import "$work/plasma.png" "$work/again.map" --seed 7 || fail "import plasma again"
cmp -s "$work/plasma.map" "$work/again.map" || fail "two imports with --seed 7 differ"
"$asan" export --raw "$work/plasma.map" "$work/plasma.r16" || fail "export --raw"
"$asan" import --raw "$work/plasma.r16" "$work/back.map" --size 65x33 || fail "import --raw back"
paste <(heights "$work/plasma.map") <(heights "$work/back.map") |
  awk '{d = $1 - $2; if (d < 0) d = -d; if (d > 3.5 / 65535 * 1.01) bad++} END {exit bad > 0}' ||
  fail "RAW round trip moved heights by more than one 16-bit step"

# --- Every colour type and depth, "picture|expectation": "same REF" imports
# to the map REF gives (same seed), "grey" to the map of the grey samples
# ImageMagick reads from it, "colour" imports and says so, naming the file.
# (ImageMagick 6.9 writes a black-and-white picture wrongly at 16 bits, so
# the two-level ramp is compared with its 8-bit form.)
convert -size 2x3 xc:black xc:'gray(33.3333%)' xc:'gray(66.6667%)' xc:white +append \
  -colorspace Gray "$work/four.png"
convert -size 4x3 xc:black xc:white +append -colorspace Gray "$work/two.png"
declare -A reference=([four]=16 [two]=8)
table=""
for kind in "four 0 16" "four 0 2" "four 0 4" "four 0 8" "four 2 8 " "four 2 16" "four 3 2" \
            "four 3 4" "four 3 8" "four 4 8 -alpha set" "four 4 16 -alpha set" \
            "four 6 8 -alpha set" "four 6 16 -alpha set" "two 0 8" "two 0 1" "two 3 1"; do
  set -- $kind
  convert "$work/$1.png" "${@:4}" -define png:color-type=$2 -define png:bit-depth=$3 "$work/$1-$2-$3.png"
  [ "$(identify -format '%[png:IHDR.color-type-orig] %[png:IHDR.bit-depth-orig]' "$work/$1-$2-$3.png")" = "$2 $3" ] ||
    fail "ImageMagick did not write $1-$2-$3.png as colour type $2, depth $3"
  table+="$work/$1-$2-$3.png|same $work/$1-0-${reference[$1]}.png"$'\n'
done
convert "$work/four.png" -fill '#c04020' -tint 60 -define png:color-type=2 "$work/tinted.png"
table+="$work/tinted.png|colour"$'\n'
for p in "$data"/pngsuite/*.png; do
  case $(identify -format '%[colorspace]' "$p") in *Gray) table+="$p|grey"$'\n' ;; *) table+="$p|colour"$'\n' ;; esac
done
while IFS='|' read -r picture expect; do
  [ -n "$picture" ] || continue
  if ! "$asan" import "$picture" "$work/got.map" --seed 3 2> "$work/stderr"; then
    fail "$picture: $(cat "$work/stderr")"; continue
  fi
  case $expect in
    same*) "$asan" import "${expect#same }" "$work/want.map" --seed 3 ;;
    grey) convert "$picture" -alpha off -set colorspace Gray -depth 16 -endian LSB "gray:$work/want.r16"
          "$asan" import --raw "$work/want.r16" "$work/want.map" --seed 3 \
            --size "$(identify -format '%wx%h' "$picture")" ;;
    colour) grep -q "warning: $picture is in colour" "$work/stderr" || fail "$picture: no colour note"
            continue ;;
  esac
  cmp -s "$work/got.map" "$work/want.map" || fail "$picture: heights differ from $expect"
  [ -s "$work/stderr" ] && fail "$picture: $(cat "$work/stderr")"
done <<<"$table"

# --- info on a map cut inside its 17th record, after the high vertex.
head -c $((8 + 68 * 16 + 30)) "$work/corner.map" > "$work/cut.map"
info=$("$asan" info "$work/cut.map") || fail "info on a cut map"
grep -q "size: 4 x 3 cells" <<<"$info" || fail "info size: $info"
grep -q "records: 16 of 20 (4 missing" <<<"$info" || fail "info records: $info"
grep -q "stray bytes: 30 of a cut record" <<<"$info" || fail "info stray bytes: $info"
grep -q "heights: lowest -2, highest 1.5" <<<"$info" || fail "info heights: $info"

# --- Hostile input: "label|command words|the reason the line gives".
head -c 100 "$work/corner.png" > "$work/truncated.png"
{ head -c 33 "$work/corner.png"; printf '\x7f\xff\xff\xf0tEXt'; } > "$work/hugechunk.png"
{ head -c 29 "$work/corner.png"; printf '\x00\x00\x00\x00'; tail -c +34 "$work/corner.png"; } > "$work/badcrc.png"
convert -size 1x1 xc:gray "$work/dot.png"
convert -size 6x5 xc:red -define png:color-type=2 "$work/colour.png"
echo "not a picture" > "$work/text.png"
{ cat "$work/corner.r16"; printf x; } > "$work/odd.r16"
printf '\x00\x00\x00\x70\x00\x00\x00\x70' > "$work/huge.map"
printf '\xff\xff\xff\xff\x02\x00\x00\x00' > "$work/negative.map"
mkdir "$work/out" && mkfifo "$work/fifo.map"
mkdir -p "$work/locked" && chmod 555 "$work/locked"
locked="$work/locked"
# Root writes into a read-only folder anyway; /proc takes no new files.
[ "$(id -u)" = 0 ] && locked=/proc
out="$work/out"
cases="huge declared size|import $data/mapconvert/huge_size.png $out/a.map|Image width exceeds user limit
image data cut short|import $data/mapconvert/short_data.png $out/a.map|Not enough image data
truncated PNG|import $work/truncated.png $out/a.map|unexpected end of the file
chunk longer than the file|import $work/hugechunk.png $out/a.map|tEXt: chunk data is too large
damaged header|import $work/badcrc.png $out/a.map|IHDR: CRC error
one pixel|import $work/dot.png $out/a.map|at least 2 x 2 pixels
not a PNG|import $work/text.png $out/a.map|not a PNG file
missing file|import $work/none.png $out/a.map|No such file or directory
RAW of an odd length|import --raw $work/odd.r16 $out/a.map|41 bytes are not a whole number
RAW of no square|import --raw $work/corner.r16 $out/a.map|no square picture
RAW of another size|import --raw $work/corner.r16 $out/a.map --size 4x4|but 4 x 4 16-bit samples take 32
ground picture of another size|import $work/corner.png $out/a.map --ground $work/colour.png|the ground picture is 6 x 5
map header beyond the largest map|info $work/huge.map|a map has 0 to
negative map header|export $work/negative.map $out/a.png|a map has 0 to
unwritable map|import $work/corner.png $locked/mapconvert_test.map|cannot write
unwritable heightmap|export $work/corner.map $locked/mapconvert_test.png|cannot write
unwritable ground picture|export $work/corner.map $out/a.png --ground $locked/mapconvert_test_ground.png|cannot write
map to a FIFO|import $work/corner.png $work/fifo.map|is not a regular file
missing output folder|preview $work/corner.map $work/none/a.png|does not exist"
while IFS='|' read -r label words reason; do
  # shellcheck disable=SC2086
  "$asan" $words > "$work/stdout" 2> "$work/stderr"
  rc=$?
  [ "$rc" = 1 ] || fail "$label: exit status $rc (want 1): $(cat "$work/stderr")"
  [ "$(grep -vc ': warning: ' "$work/stderr")" = 1 ] || fail "$label: not one line: $(cat "$work/stderr")"
  grep -v ': warning: ' "$work/stderr" | grep -q "^mapconvert: .*$reason" || fail "$label: $(cat "$work/stderr")"
  [ -z "$(ls -A "$out")" ] || fail "$label: left $(ls -A "$out")"
  rm -f "$out"/* "$out"/.map*
done <<<"$cases"
ls /proc/mapconvert_test* >/dev/null 2>&1 && fail "files left in /proc"

# --- Wrong calls, "command words|the fault the one line names": exit status
# 2, nothing written, the usage left to --help.
cases="|no command given
frobnicate|unknown command \"frobnicate\"
info|info needs MAP
info a b|info takes MAP: \"b\" is one argument too many
info a --raw|info has no option --raw
export $work/corner.map|export needs OUT
export $work/corner.map $out/a.map|the output $out/a.map is named as a map
export $work/corner.map $out/a.png --ground $out/g.MAP|the output $out/g.MAP is named as a map
import $work/corner.png $out/a.png|the output $out/a.png is named as a picture
import $work/corner.png $out/a.map --size 3x3|--size is for RAW input
import --raw $work/corner.r16 $out/a.map --size 3|--size 3: not a size WxH of 1 to 4097
import $work/corner.png $out/a.map --seed abc|--seed abc: not a whole number from 0 to 4294967295
import $work/corner.png $out/a.map --seed|--seed needs a value
preview $work/corner.map $out/a.png --size 5000|--size 5000: not a whole number from 16 to 1024"
while IFS='|' read -r words fault; do
  # shellcheck disable=SC2086
  "$asan" $words > "$work/stdout" 2> "$work/stderr"
  rc=$?
  [ "$rc" = 2 ] || fail "'$words': exit status $rc (want 2)"
  [ "$(wc -l < "$work/stderr")" = 1 ] && grep -qF "mapconvert: $fault" "$work/stderr" &&
    grep -qF '"mapconvert --help" shows the usage' "$work/stderr" || fail "'$words': $(cat "$work/stderr")"
  [ -z "$(ls -A "$out")" ] || fail "'$words': left $(ls -A "$out")"
done <<<"$cases"
"$asan" --version | grep -qx 'mapconvert [0-9]*\.[0-9]*\.[0-9]*' || fail "--version: $("$asan" --version)"

[ "$failures" = 0 ] && echo "mapconvert command line: all checks passed"
exit $((failures != 0))
