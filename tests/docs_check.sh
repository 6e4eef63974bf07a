#!/usr/bin/env bash
# The manuals name what the programs have: the key sections of the README,
# the manual page and LIESMICH.txt are those keydocs writes from the key
# table (so every key of the table is in each of them), and every command
# and option that `mapconvert --help` lists is in its manual page.
#   docs_check.sh KEYDOCS MAPCONVERT SOURCE_DIR
set -u
keydocs=$1 mapconvert=$2 source=$3
failures=0
"$keydocs" check "$source/README.md" "$source/packaging/terrain-editor.1" \
  "$source/packaging/LIESMICH.txt" || failures=$((failures + 1))
manual=$(sed 's/\\-/-/g' "$source/packaging/mapconvert.1")
for word in info export import preview $("$mapconvert" --help | grep -o -- '--[a-z-]*' | sort -u); do
  grep -qF -- "$word" <<<"$manual" || { echo "FAIL: mapconvert.1 names no $word" >&2; failures=$((failures + 1)); }
done
exit $((failures != 0))
