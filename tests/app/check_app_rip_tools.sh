#!/usr/bin/env bash
# Reads what the batches of the program's main window wrote under Wine with the formats' own
# tools, natively: the ripped FLAC files tested, decoded by flac and compared with the disc's
# sectors, their tags by metaflac; the converted files' tags by ffprobe, the Ogg Vorbis
# streams by ogginfo.
#   check_app_rip_tools.sh SIMDRIVE_WINE PREFIX SHIM TEST_PROGRAM.exe
set -euo pipefail
simwine=$1 prefix=$2 shim=$3 program=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SONORIA_APP_RIP_EXPORT="Z:${work//\//\\}" "$simwine" "$prefix" "$shim" "$program" \
  --gtest_filter='AppRip.Every*:AppRip.Converter*' >"$work/log" 2>&1 \
  || { cat "$work/log"; exit 1; }
. "$(dirname "$0")/tools_check_lib.sh"

ls "$work"/mouse*.flac >/dev/null 2>&1 || { echo "no ripped file was exported"; fail=1; }
for f in "$work"/mouse*.flac; do
  [ -e "$f" ] || continue
  n=$(basename "$f" .flac); n=${n#mouse}
  check_flac "$f" "$f.raw" "Song $n" "Window Band" "Window Album"
done
for ext in wav mp3 ogg wma; do
  check_tags "$work/conv_song.$ext" "First song" "Singer" "Record"
  check_tags "$work/conv_Song[1].$ext" "Second song" "Singer" "Record"
done
exit $fail
