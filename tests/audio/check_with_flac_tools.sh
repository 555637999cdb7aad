#!/usr/bin/env bash
# Checks FLAC and Ogg Vorbis files our writers made (under Wine) with the formats' reference
# tools, natively, and has our tag readers read files those tools made.
#   check_with_flac_tools.sh WINE_WRAPPER TEST_PROGRAM.exe
set -euo pipefail
wine=$1 program=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winwork="Z:${work//\//\\}"

fail=0
expect() {   # expect WHAT ACTUAL WANTED
  if [ "$2" != "$3" ]; then echo "$1: got '$2', want '$3'"; fail=1; fi
}
run() {      # run VARIABLE TEST
  env "$1=$winwork" "$wine" "$program" --gtest_filter="FlacVorbisTools.$2" >"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
}

run SONORIA_TOOLS_EXPORT TaggedFilesForTheReferenceTools
flac -t -s "$work/ours.flac" || { echo "flac -t rejects our file"; fail=1; }
expect "FLAC year" "$(metaflac --show-tag=DATE "$work/ours.flac")" "DATE=1999"
expect "FLAC comment" "$(metaflac --show-tag=COMMENT "$work/ours.flac")" "COMMENT=Export comment"
expect "FLAC track" "$(metaflac --show-tag=TRACKNUMBER "$work/ours.flac")" "TRACKNUMBER=4"
ogginfo -q "$work/ours.ogg" >"$work/ogginfo" 2>&1 || { cat "$work/ogginfo"; fail=1; }
comments=$(vorbiscomment -l "$work/ours.ogg")
expect "Vorbis year" "$(grep '^DATE=' <<<"$comments")" "DATE=1999"
expect "Vorbis title" "$(grep '^TITLE=' <<<"$comments")" "TITLE=Export title"

ffmpeg -v error -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.5" -ac 2 \
  -c:a pcm_s16le "$work/tone.wav"
tags=(-T "TITLE=Their title" -T "DATE=2003-04-05" -T "COMMENT=Their comment" -T "TRACKNUMBER=7")
flac -s -f "${tags[@]}" -o "$work/theirs.flac" "$work/tone.wav"
oggenc -Q -t "Their title" -d "2003-04-05" -c "COMMENT=Their comment" -N 7 \
  -o "$work/theirs.ogg" "$work/tone.wav"
run SONORIA_TOOLS_IMPORT TagsOfTheReferenceToolsReadBack
exit $fail
