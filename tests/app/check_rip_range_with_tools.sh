#!/usr/bin/env bash
# Reads what the multi-track and raw rips wrote under Wine with the reference tools, natively:
# the FLAC tested and decoded by flac and compared with the disc's sectors, its tags by
# metaflac, the WAV's audio by ffprobe's view of its format and by bytes, the cue sheet's
# file name and times.
#   check_rip_range_with_tools.sh SIMDRIVE_WINE PREFIX SHIM TEST_PROGRAM.exe
set -euo pipefail
simwine=$1 prefix=$2 shim=$3 program=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SONORIA_RIPRANGE_EXPORT="Z:${work//\//\\}" "$simwine" "$prefix" "$shim" "$program" \
  --gtest_filter='RipRangeTest.MultiTrack*:RipRangeTest.RawRip*' >"$work/log" 2>&1 \
  || { cat "$work/log"; exit 1; }

fail=0
expect() {   # expect WHAT ACTUAL WANTED (letter case aside: tag names differ by writer)
  if [ "${2,,}" != "${3,,}" ]; then echo "$1: got '$2', want '$3'"; fail=1; fi
}
f=$work/multitrack.flac
if [ -s "$f" ]; then
  flac -s -t "$f" || { echo "multitrack.flac: flac -t failed"; fail=1; }
  flac -s -d -c --force-raw-format --endian=little --sign=signed "$f" >"$work/decoded.raw"
  cmp -s "$work/decoded.raw" "$f.raw" || { echo "multitrack.flac: audio differs from the disc"; fail=1; }
  expect "title" "$(metaflac --show-tag=TITLE "$f")" "TITLE=Joined Up"
  expect "album" "$(metaflac --show-tag=ALBUM "$f")" "ALBUM=Range Album"
  expect "samples" "$(metaflac --show-total-samples "$f")" "$(( (1700 - 300) * 588 ))"
else
  echo "multitrack.flac was not written"; fail=1
fi
cue=$work/multitrack.cue
if [ -s "$cue" ]; then
  expect "cue file" "$(grep -m1 '^FILE' "$cue" | tr -d '\r')" 'FILE "multitrack.flac" WAVE'
  expect "cue times" "$(grep -o 'INDEX 01 [0-9:]*' "$cue" | tr '\n' ' ')" \
    "INDEX 01 00:00:00 INDEX 01 00:06:27 INDEX 01 00:12:34 "
else
  echo "multitrack.cue was not written"; fail=1
fi
w=$work/rawtrack.wav
if [ -s "$w" ]; then
  expect "wav format" "$(ffprobe -v error -show_entries stream=codec_name,sample_rate,channels \
    -of csv=p=0 "$w")" "pcm_s16le,44100,2"
  ffmpeg -v error -i "$w" -f s16le -c:a pcm_s16le - >"$work/wav.raw"
  cmp -s "$work/wav.raw" "$w.raw" || { echo "rawtrack.wav: audio differs from the disc"; fail=1; }
else
  echo "rawtrack.wav was not written"; fail=1
fi
exit $fail
