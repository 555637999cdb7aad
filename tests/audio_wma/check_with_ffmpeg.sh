#!/usr/bin/env bash
# Checks a file written by our WMA writer (under Wine) with FFmpeg's command-line tools,
# natively: the duration, the tags and the decoded length.
#   check_with_ffmpeg.sh WINE_WRAPPER TEST_PROGRAM.exe
set -euo pipefail
wine=$1 program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
file=$work/export.wma
SONORIA_WMA_EXPORT="Z:${file//\//\\}" "$wine" "$program" \
  --gtest_filter=WmaExport.TaggedFileForAnIndependentDecoder >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
[ -s "$file" ] || { echo "no file written"; cat "$work/log"; exit 1; }

fail=0
expect() {   # expect WHAT ACTUAL WANTED
  if [ "$2" != "$3" ]; then echo "$1: got '$2', want '$3'"; fail=1; fi
}
probe() { ffprobe -v error -show_entries "$1" -of default=noprint_wrappers=1:nokey=1 "$file"; }
expect codec "$(probe stream=codec_name)" wmav2
expect channels "$(probe stream=channels)" 2
expect duration "$(probe format=duration)" 1.500000
expect title "$(probe format_tags=title)" "Export title"
expect artist "$(probe format_tags=artist)" "Export artist"
expect album "$(probe format_tags=album)" "Export album"
expect genre "$(probe format_tags=genre)" "Blues"
expect track "$(probe format_tags=track)" "7"
# FFmpeg does not cut the last codec frames at the file's duration: at least the input's 66150
# samples, less than two 2048-sample frames more.
samples=$(( $(ffmpeg -v error -i "$file" -f s16le -acodec pcm_s16le - | wc -c) / 4 ))
if [ "$samples" -lt 66150 ] || [ "$samples" -ge $((66150 + 2 * 2048)) ]; then
  echo "decoded samples: $samples"; fail=1
fi

# The other way: files of FFmpeg's own encoder decode to as many samples as FFmpeg decodes,
# the last codec frame included, each within one step of FFmpeg's (the two builds round the
# codec's floating point differently).
samples16() { od -An -v -td2 -w2 "$1"; }
for rate in 44100 22050; do
  wma=$work/ffmpeg_$rate.wma
  ffmpeg -v error -f lavfi -i "sine=frequency=440:sample_rate=$rate:duration=1.3" -ac 2 \
    -c:a wmav2 -b:a 64k "$wma"
  ffmpeg -v error -i "$wma" -f s16le -acodec pcm_s16le "$work/ffmpeg_$rate.raw"
  SONORIA_WMA_IMPORT="Z:${wma//\//\\}" SONORIA_WMA_IMPORT_PCM="Z:${work//\//\\}\\ours_$rate.raw" \
    "$wine" "$program" --gtest_filter=WmaImport.FileOfAnotherEncoderForComparison \
    >"$work/log" 2>&1 || { cat "$work/log"; exit 1; }
  expect "$rate Hz bytes" "$(stat -c %s "$work/ours_$rate.raw")" "$(stat -c %s "$work/ffmpeg_$rate.raw")"
  far=$(paste <(samples16 "$work/ffmpeg_$rate.raw") <(samples16 "$work/ours_$rate.raw") |
        awk '{ d = $1 - $2; if (d < -1 || d > 1) n++ } END { print n + 0 }')
  expect "$rate Hz samples more than one step off" "$far" 0
done
exit $fail
