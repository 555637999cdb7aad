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

fail=0
expect() {   # expect WHAT ACTUAL WANTED (letter case aside: tag names differ by writer)
  if [ "${2,,}" != "${3,,}" ]; then echo "$1: got '$2', want '$3'"; fail=1; fi
}
for n in "01:Song One" "02:Song Two" "03:Song Three"; do
  t=${n#*:} f="$work/${n%%:*} ${n#*:}.flac"
  [ -s "$f" ] || { echo "$f was not written"; fail=1; continue; }
  flac -s -t "$f" || { echo "$t.flac: flac -t failed"; fail=1; }
  flac -s -d -c --force-raw-format --endian=little --sign=signed "$f" >"$work/decoded.raw"
  cmp -s "$work/decoded.raw" "$f.raw" || { echo "$t.flac: audio differs from the disc"; fail=1; }
  expect "$t title" "$(metaflac --show-tag=TITLE "$f")" "TITLE=$t"
  expect "$t artist" "$(metaflac --show-tag=ARTIST "$f")" "ARTIST=Band"
  expect "$t album" "$(metaflac --show-tag=ALBUM "$f")" "ALBUM=Album"
done

tag() {   # tag NAME FILE: a format or stream tag, as ffprobe reads it
  { ffprobe -v error -show_entries "format_tags=$1" -of default=noprint_wrappers=1:nokey=1 "$2"
    ffprobe -v error -show_entries "stream_tags=$1" -of default=noprint_wrappers=1:nokey=1 "$2"
  } | grep -m1 . || true
}
for ext in wav mp3 ogg wma; do
  for pair in "song:First song" "Song[1]:Second song"; do
    f="$work/${pair%%:*}.$ext"
    [ -s "$f" ] || { echo "$f was not written"; fail=1; continue; }
    expect "$f title" "$(tag title "$f")" "${pair#*:}"
    expect "$f artist" "$(tag artist "$f")" "Singer"
    expect "$f album" "$(tag album "$f")" "Record"
    if [ "$ext" = ogg ]; then
      ogginfo "$f" >"$work/ogginfo" 2>&1 || { echo "$f: ogginfo failed"; cat "$work/ogginfo"; fail=1; }
    fi
  done
done
exit $fail
