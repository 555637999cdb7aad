#!/usr/bin/env bash
# Reads what the progress window's batches wrote under Wine with the formats' own tools,
# natively: each FLAC file tested and decoded by flac and compared with the disc's audio, the
# tags by metaflac and ffprobe, the Ogg Vorbis streams by ogginfo.
#   check_with_tools.sh SIMDRIVE_WINE PREFIX SHIM TEST_PROGRAM.exe
set -euo pipefail
simwine=$1 prefix=$2 shim=$3 program=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SONORIA_PROGRESS_EXPORT="Z:${work//\//\\}" "$simwine" "$prefix" "$shim" "$program" \
  --gtest_filter='ProgressWindow.Rips*:ProgressWindow.Converts*' >"$work/log" 2>&1 \
  || { cat "$work/log"; exit 1; }
. "$(dirname "$0")/tools_check_lib.sh"

for n in "01:Song One" "02:Song Two" "03:Song Three"; do
  f="$work/${n%%:*} ${n#*:}.flac"
  check_flac "$f" "$f.raw" "${n#*:}" "Band" "Album"
done
for ext in wav mp3 ogg wma; do
  check_tags "$work/song.$ext" "First song" "Singer" "Record"
  check_tags "$work/Song[1].$ext" "Second song" "Singer" "Record"
done
exit $fail
