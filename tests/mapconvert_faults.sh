#!/usr/bin/env bash
# The save path under injected faults: mapconvert import over an existing
# map (mode 0640) while one system call of the save fails (strace's fault
# injection), for every call a plain run's save makes and each error such a
# call can really meet. A run must leave either the old map byte for byte
# (exit 1, the error's own words on standard error) or the complete new map
# with the old mode (exit 0), and no temporary of its own; interrupted calls
# (EINTR) are made again, so those runs succeed. Beside the map lie a dead
# temporary (nobody holds it, as after a killed writer) and a live one (held
# by another process's flock): a save removes the dead one once its folder
# scan is done, and never the live one.
#   mapconvert_faults.sh MAPCONVERT
# Runs in the build folder, where the texture pack lies.
set -u
tool=$1
work=$(mktemp -d)
holder=
trap '[ -n "$holder" ] && kill "$holder" 2>/dev/null; rm -rf "$work"' EXIT
export MESA_SHADER_CACHE_DISABLE=true  # no cache files: the same calls in every run
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The errors a call of the save path can meet.
declare -A errors=(
  [newfstatat]="EIO EACCES EINTR" [readlink]="EIO EINTR" [faccessat2]="EACCES EROFS EIO EINTR"
  [openat]="EACCES EROFS ENOSPC EDQUOT EIO EINTR" [getdents64]="EIO EINTR" [flock]="EINTR"
  [fchown]="EIO EROFS EINTR" [fchmod]="EIO EROFS EINTR" [write]="EIO ENOSPC EDQUOT EINTR"
  [fsync]="EIO ENOSPC EDQUOT EROFS EINTR" [close]="EIO ENOSPC EDQUOT EINTR"
  [rename]="EIO ENOSPC EDQUOT EACCES EROFS EINTR" [unlink]="EIO EACCES EROFS EINTR")

convert -size 40x30 plasma:fractal -colorspace Gray -depth 16 "$work/heights.png" || fail "ImageMagick"
"$tool" import "$work/heights.png" "$work/old.map" --seed 1 &&
  "$tool" import "$work/heights.png" "$work/new.map" --seed 2 || fail "reference imports"
cmp -s "$work/old.map" "$work/new.map" && fail "the old and the new map are the same"
chmod 640 "$work/old.map"
maps=$work/maps
mkdir "$maps" && mkfifo "$work/release" && : > "$maps/.mapLIVE01"
flock "$maps/.mapLIVE01" sh -c "echo > '$work/held'; cat '$work/release' > /dev/null" &
holder=$!
for _ in $(seq 100); do [ -e "$work/held" ] && break; sleep 0.1; done
[ -e "$work/held" ] || fail "the live temporary was not locked within 10 s"

# One save into a fresh copy of the old map: strace options in "$@".
save() {
  cp -p "$work/old.map" "$maps/the.map" && : > "$maps/.mapDEAD01"
  strace -f -o "$work/trace" "$@" "$tool" import "$work/heights.png" "$maps/the.map" --seed 2 \
    > /dev/null 2> "$work/stderr"
  rc=$?
}
# What a save left: "$1" is 1 when the dead temporary has to be gone.
check() {
  local left
  left=$(ls -A "$maps" | grep -vx '.mapDEAD01' | sort | tr '\n' ' ')
  [ "$left" = ".mapLIVE01 the.map " ] || fail "$label: left $left"
  [ "$1" = 1 ] && [ -e "$maps/.mapDEAD01" ] && fail "$label: the dead temporary is still there"
  if [ "$rc" = 0 ]; then
    cmp -s "$maps/the.map" "$work/new.map" || fail "$label: exit 0 but the map is not the new one"
    [ "$(stat -c %a "$maps/the.map")" = 640 ] || fail "$label: the mode changed"
  elif [ "$rc" = 1 ]; then
    cmp -s "$maps/the.map" "$work/old.map" || fail "$label: exit 1 but the old map is changed"
    grep -q "^mapconvert: .*$reason" "$work/stderr" || fail "$label: $(cat "$work/stderr")"
  else
    fail "$label: exit status $rc: $(cat "$work/stderr")"
  fi
}

label="plain save" reason=x
save
check 1
# The save path's calls of the main thread, from the save's first look at
# the map on: "name ordinal phase", phase 1 once its own temporary exists.
main=$(head -1 "$work/trace" | cut -d' ' -f1)
calls=$(awk -v main="$main" -v names="${!errors[*]}" '
  BEGIN { split(names, list, " "); for (i in list) wanted[list[i]] = 1 }
  $1 == main {
    name = $2; sub(/\(.*/, "", name); count[name]++
    if ($0 ~ /the\.map", .*AT_SYMLINK_NOFOLLOW/) saving = 1
    if (saving && (name in wanted)) print name, count[name], phase
    if ($0 ~ /O_CREAT\|O_EXCL/) phase = 1
  }' "$work/trace")
[ "$(wc -l <<<"$calls")" -ge 15 ] || fail "the plain trace shows too few calls: $calls"

while read -r name ordinal phase; do
  for error in ${errors[$name]}; do
    label="$name #$ordinal $error"
    save -e trace="execve,$name" -e inject="$name:error=$error:when=$ordinal"
    injected=$(grep "^$(head -1 "$work/trace" | cut -d' ' -f1) .*(INJECTED)" "$work/trace")
    [ -n "$injected" ] || { fail "$label: nothing injected (the calls moved)"; continue; }
    reason=$(sed 's/.*(\(.*\)) (INJECTED)$/\1/' <<<"$injected")
    [ "$error" = EINTR ] && [ "$rc" != 0 ] && fail "$label: an interrupted call failed the save"
    check "${phase:-0}"
  done
done <<<"$calls"

echo > "$work/release"
wait "$holder"
holder=
[ "$failures" = 0 ] && echo "save path under faults: all $(wc -l <<<"$calls") calls passed"
exit $((failures != 0))
